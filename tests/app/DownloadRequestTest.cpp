#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/main/DownloadRequest.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "app/main/MainSeams.h"

namespace {

COPYDATASTRUCT Block(DWORD id, const void* data, DWORD bytes)
{
    COPYDATASTRUCT block = {id, bytes, (void*)data};
    return block;
}

// Notes what it was asked for; answers `status`.
class CFakeDownloader : public IHttpDownloader {
public:
    int Download(const WCHAR* url, const WCHAR* file) override
    {
        this->url = url;
        this->file = file;
        ++calls;
        return status;
    }
    std::wstring url, file;
    int calls = 0;
    int status = 200;
};

struct Answers {
    int count = 0;
    WPARAM status = 0;
};
Answers* g_answers = nullptr;

LRESULT CALLBACK AnswerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_PROFILEDOWNLOADED && g_answers) {
        ++g_answers->count;
        g_answers->status = wParam;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Pumps the calling thread until `worker` ended, noting UM_PROFILEDOWNLOADED;
// false when the wait failed or timed out.
bool PumpUntilEnded(HANDLE worker)
{
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &worker, FALSE, 10000, QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1)
            return r == WAIT_OBJECT_0;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

}  // namespace

TEST(DownloadRequest, UrlCopiedByTheBlockSize)
{
    WCHAR unterminated[600];
    for (int i = 0; i < 600; ++i)
        unterminated[i] = L'a' + i % 26;
    const WCHAR text[] = L"http://example.test/a.ini";
    struct {
        const char* name;
        COPYDATASTRUCT block;
        bool taken;
        size_t chars;
    } cases[] = {
        {"whole text", Block(CD_DOWNLOADREQUEST, text, sizeof(text)), true, 25},
        {"no terminator sent", Block(CD_DOWNLOADREQUEST, text, 10), true, 5},
        {"no terminator, long", Block(CD_DOWNLOADREQUEST, unterminated, sizeof(unterminated)), true, 511},
        {"exactly 511", Block(CD_DOWNLOADREQUEST, unterminated, 511 * 2), true, 511},
        {"empty", Block(CD_DOWNLOADREQUEST, text, 0), false, 0},
        {"odd size", Block(CD_DOWNLOADREQUEST, text, 9), false, 0},
        {"no data", Block(CD_DOWNLOADREQUEST, nullptr, 8), false, 0},
        {"other id", Block(CD_DOWNLOADREQUEST + 1, text, sizeof(text)), false, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR url[kDownloadUrlChars + 1];
        EXPECT_EQ(c.taken, CopyDownloadUrl(c.block, url));
        EXPECT_EQ(c.chars, wcslen(url));
        EXPECT_EQ(0, wcsncmp(url, (const WCHAR*)(c.block.lpData ? c.block.lpData : L""), c.chars));
    }
}

TEST(DownloadRequest, WorkerDownloadsIntoTheProgramFolderAndAnswers)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = AnswerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TestDownloadAnswer";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    Answers answers;
    g_answers = &answers;

    CFakeDownloader http;
    http.status = 404;
    CKernelHandle worker = StartDownloadRequest(http, window, L"http://example.test/p.ini", L"C:\\prog\\");
    ASSERT_TRUE(worker);
    EXPECT_TRUE(PumpUntilEnded(worker.Get()));
    EXPECT_EQ(L"http://example.test/p.ini", http.url);
    EXPECT_EQ(L"C:\\prog\\downloaded.ini", http.file);
    EXPECT_EQ(1, answers.count);
    EXPECT_EQ(404u, answers.status);

    // an empty URL is freed without a download or an answer
    worker = StartDownloadRequest(http, window, L"", L"C:\\prog\\");
    ASSERT_TRUE(worker);
    EXPECT_TRUE(PumpUntilEnded(worker.Get()));
    EXPECT_EQ(1, http.calls);
    EXPECT_EQ(1, answers.count);

    g_answers = nullptr;
    DestroyWindow(window);
}
