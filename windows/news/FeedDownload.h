// The news download job: one worker thread fetches a list of feeds into
// their cache files and reports each one through a callback.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "windows/http/HttpClient.h"

// One entry's outcome, on the worker's stack: valid during the callback only.
struct FeedProgress {
    const WCHAR* url;
    const WCHAR* cachePath;
    int32_t result;      // DownloadFile's result; 200: the cache file is new
    uint32_t jobId;
    uint32_t index;      // from 0
    uint32_t count;
    HWND window;         // the job's window (PostRssProgress sends there)
};

// Called on the worker thread for each entry; false ends the job.
using FeedProgressCallback = bool (*)(const FeedProgress& progress);

struct FeedDownloadEntry {
    WCHAR url[kHttpUrlChars];   // the whole URL, so that the answer finds its feed
    WCHAR cachePath[MAX_PATH];
};

// A zero-filled GlobalAlloc block with room for `capacity` entries; the
// worker frees it.
struct FeedDownloadJob {
    FeedProgressCallback callback;
    uint32_t entryCount;
    uint32_t jobId;
    HWND window;
    WCHAR userAgent[64];
    uint32_t directAccess;  // no system proxy for the session
    uint32_t capacity;
    FeedDownloadEntry entries[1];
};

// Null when the memory is not there.
FeedDownloadJob* AllocFeedDownloadJob(uint32_t capacity, FeedProgressCallback callback, HWND window,
                                      const WCHAR* userAgent, bool directAccess);
void FreeFeedDownloadJob(FeedDownloadJob* job);
// Appends an entry, the URL cut to kHttpUrlChars - 1 characters and the path
// to MAX_PATH - 1; false when the job is full.
bool AddFeedDownloadEntry(FeedDownloadJob* job, const WCHAR* url, const WCHAR* cachePath);

// Starts the worker for `job`, which it takes in every case (freed at once
// when false). Refused while a job runs: at most one runs at a time.
bool StartFeedDownloadJob(FeedDownloadJob* job);
// True from a successful StartFeedDownloadJob until its worker is done.
bool IsFeedDownloadRunning();

// The worker; `parameter` is the FeedDownloadJob, which it frees.
DWORD WINAPI FeedDownloadThread(LPVOID parameter);

// The callback of the main window: sends UM_RSSPROGRESS (wParam the result,
// lParam the record) to `progress.window` and returns true; false, without
// sending, when that window is gone.
bool PostRssProgress(const FeedProgress& progress);
