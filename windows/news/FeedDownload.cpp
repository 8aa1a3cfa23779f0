#include "windows/news/FeedDownload.h"

#include "app/ui/LocalText.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "windows/http/HttpDownloader.h"

namespace {

// 1 while a job runs. The starter sets it on its own thread before the
// worker exists, so two starts in a row cannot both see it clear.
volatile LONG g_running = 0;

const WCHAR* const kFeedAcceptTypes[] = {L"text/xml", L"application/xml", L"text/plain", nullptr};

size_t JobBytes(uint32_t capacity)
{
    return offsetof(FeedDownloadJob, entries) + (size_t)capacity * sizeof(FeedDownloadEntry);
}

// "Accept-Language: xx,en" with the first two letters of the user's language.
void FormatAcceptLanguage(WCHAR (&header)[32])
{
    WCHAR abbrev[kLanguageAbbrevChars];
    if (!GetLanguageAbbrev(LOCALE_USER_DEFAULT, abbrev))
        lstrcpyW(abbrev, L"en");
    abbrev[2] = 0;
    wsprintfW(header, L"Accept-Language: %s,en", abbrev);
}

}  // namespace

FeedDownloadJob* AllocFeedDownloadJob(uint32_t capacity, FeedProgressCallback callback, HWND window,
                                      const WCHAR* userAgent, bool directAccess)
{
    if (capacity == 0)
        capacity = 1;
    auto* job = (FeedDownloadJob*)GlobalAlloc(GPTR, JobBytes(capacity));
    if (!job)
        return nullptr;
    job->callback = callback;
    job->window = window;
    job->capacity = capacity;
    job->directAccess = directAccess ? 1 : 0;
    if (userAgent)
        lstrcpynW(job->userAgent, userAgent, ARRAYSIZE(job->userAgent));
    return job;
}

void FreeFeedDownloadJob(FeedDownloadJob* job)
{
    if (job)
        GlobalFree(job);
}

bool AddFeedDownloadEntry(FeedDownloadJob* job, const WCHAR* url, const WCHAR* cachePath)
{
    if (!job || !url || !cachePath || job->entryCount >= job->capacity)
        return false;
    FeedDownloadEntry& entry = job->entries[job->entryCount++];
    lstrcpynW(entry.url, url, ARRAYSIZE(entry.url));
    lstrcpynW(entry.cachePath, cachePath, ARRAYSIZE(entry.cachePath));
    return true;
}

bool StartFeedDownloadJob(FeedDownloadJob* job)
{
    if (!job)
        return false;
    if (job->entryCount == 0 || InterlockedExchange(&g_running, 1) != 0) {
        FreeFeedDownloadJob(job);
        return false;
    }
    HANDLE thread = CreateThread(nullptr, 0, FeedDownloadThread, job, 0, nullptr);
    if (!thread) {
        FreeFeedDownloadJob(job);
        InterlockedExchange(&g_running, 0);
        return false;
    }
    CloseHandle(thread);
    return true;
}

bool IsFeedDownloadRunning()
{
    return InterlockedCompareExchange(&g_running, 0, 0) != 0;
}

DWORD WINAPI FeedDownloadThread(LPVOID parameter)
{
    auto* job = (FeedDownloadJob*)parameter;
    {
        CHttpClient client(job->userAgent, job->directAccess != 0);
        client.SetAcceptTypes((const WCHAR**)kFeedAcceptTypes);
        WCHAR language[32];
        FormatAcceptLanguage(language);
        client.SetExtraHeaders(language);
        uint32_t count = job->entryCount < job->capacity ? job->entryCount : job->capacity;
        for (uint32_t i = 0; i < count; ++i) {
            FeedDownloadEntry& entry = job->entries[i];
            entry.url[kHttpUrlChars - 1] = 0;
            entry.cachePath[MAX_PATH - 1] = 0;
            FeedProgress progress = {};
            progress.url = entry.url;
            progress.cachePath = entry.cachePath;
            progress.result = DownloadFileReplacing(client, entry.url, entry.cachePath);
            progress.jobId = job->jobId;
            progress.index = i;
            progress.count = count;
            progress.window = job->window;
            if (job->callback && !job->callback(progress))
                break;
        }
        FreeFeedDownloadJob(job);
    }
    // last: the next job may start as soon as this is clear
    InterlockedExchange(&g_running, 0);
    return 0;
}

bool PostRssProgress(const FeedProgress& progress)
{
    if (!progress.window || !IsWindow(progress.window))
        return false;
    SendMessageW(progress.window, UM_RSSPROGRESS, (WPARAM)(INT_PTR)progress.result, (LPARAM)&progress);
    return true;
}
