#include "app/main/DownloadRequest.h"

#include "graphics/protocol/MainWindowProtocol.h"
#include "app/main/MainSeams.h"

namespace {

// One global block per request; the worker owns and frees it.
struct DownloadRequest {
    IHttpDownloader* http;
    HWND window;
    UINT message;
    WCHAR url[kDownloadUrlChars + 1];
    WCHAR file[MAX_PATH];
};

DWORD WINAPI DownloadWorker(void* parameter)
{
    DownloadRequest* request = (DownloadRequest*)parameter;
    if (request->url[0]) {
        int status = request->http->Download(request->url, request->file);
        if (request->window && request->message)
            SendMessageW(request->window, request->message, (WPARAM)status, 0);
    }
    GlobalFree(request);
    return 0;
}

}  // namespace

bool CopyDownloadUrl(const COPYDATASTRUCT& block, WCHAR (&url)[kDownloadUrlChars + 1])
{
    url[0] = 0;
    if (block.dwData != CD_DOWNLOADREQUEST || !block.lpData || block.cbData == 0 || block.cbData % 2 != 0)
        return false;
    DWORD chars = block.cbData / 2;
    if (chars > kDownloadUrlChars)
        chars = kDownloadUrlChars;
    const WCHAR* text = (const WCHAR*)block.lpData;
    DWORD n = 0;
    while (n < chars && text[n])
        ++n;
    for (DWORD i = 0; i < n; ++i)
        url[i] = text[i];
    url[n] = 0;
    return true;
}

CKernelHandle StartDownloadRequest(IHttpDownloader& http, HWND answerWindow, const WCHAR* url, const WCHAR* folder)
{
    DownloadRequest* request = (DownloadRequest*)GlobalAlloc(GPTR, sizeof(DownloadRequest));
    if (!request)
        return CKernelHandle();
    request->http = &http;
    request->window = answerWindow;
    request->message = UM_PROFILEDOWNLOADED;
    lstrcpynW(request->url, url, kDownloadUrlChars + 1);
    if (lstrlenW(folder) + 15 < MAX_PATH)
        wsprintfW(request->file, L"%sdownloaded.ini", folder);
    else
        request->url[0] = 0;  // no room for the target: nothing to do
    CKernelHandle thread(CreateThread(nullptr, 0, DownloadWorker, request, 0, nullptr));
    if (!thread)
        GlobalFree(request);
    return thread;
}
