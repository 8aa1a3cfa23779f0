// The settings program's request to download a settings file: a WM_COPYDATA
// block (identifier CD_DOWNLOADREQUEST) holding a URL, fetched into
// "downloaded.ini" of the program folder by a worker thread.
#pragma once

#include <windows.h>

#include "graphics/system/Handles.h"

class IHttpDownloader;

const int kDownloadUrlChars = 511;

// The URL of a request block, copied by the block's size: at most
// min(cbData / 2, 511) characters and a terminator. False for another
// identifier, an empty or odd-sized block; any process can send one.
bool CopyDownloadUrl(const COPYDATASTRUCT& block, WCHAR (&url)[kDownloadUrlChars + 1]);

// Starts the worker, which downloads `url` into `folder` + "downloaded.ini"
// and then sends `answerWindow` UM_PROFILEDOWNLOADED with the HTTP status.
// An empty URL downloads nothing and answers nothing. `http` must outlive
// the worker. Returns the worker thread, empty when none could be started.
CKernelHandle StartDownloadRequest(IHttpDownloader& http, HWND answerWindow, const WCHAR* url, const WCHAR* folder);
