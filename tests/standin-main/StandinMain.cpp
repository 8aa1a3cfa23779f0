// Stands in for tempolan.exe towards the settings program: a hidden window
// of the main program's class that notes every message it receives, one
// line each, into the log file named first on its command line. On
// UM_SAVESTATE it writes "savestate_marker=<count>" into the user's main
// section of the settings file named second, and answers 300 ms later, as
// the real program does after writing its timers. Ends on WM_CLOSE.
//
// Log line: <tick> <message> <wParam> <lParam>, all decimal, then for
// WM_COPYDATA " copydata <id> <bytes> <text>" (the block as UTF-16 up to its
// first null, as UTF-8, "\" and controls escaped as \xHH), and for
// UM_SAVESTATE and UM_SETTINGSCHANGED " snapshot <file>": a copy of the
// settings file as it was when the message came, before the marker.
//
// A download request (CD_DOWNLOADREQUEST) is answered as the real program's
// worker does, after the request returned: "status" of [download] in the
// file "<log>.download" (404 when missing); with 200 its "source" file is
// first copied to "downloaded.ini" beside the settings file. Nothing is
// fetched.
#include <windows.h>
#include <shellapi.h>

#include <stdio.h>

#include <string>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Paths.h"

namespace {

// what the real program takes to write its timer state, so that a settings
// program that does not wait for the answer shows up
const DWORD kSaveStateAnswerMs = 300;
// posted to itself: wParam the window that asked for a download
const UINT kAnswerDownload = WM_APP + 1;

struct StandinState {
    CKernelHandle log;
    std::wstring logPath;
    std::wstring settingsPath;
    WCHAR userPrefix[65];
    int saveStates;
    int snapshots;
};

StandinState g_state;

std::string Utf8(const std::wstring& text)
{
    std::string bytes;
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    if (n > 0) {
        bytes.resize(n);
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &bytes[0], n, nullptr, nullptr);
    }
    return bytes;
}

// The block's text; the sender's bytes are not trusted to hold a null.
std::wstring EscapedBlockText(const COPYDATASTRUCT* block)
{
    std::wstring text;
    const WCHAR* chars = (const WCHAR*)block->lpData;
    size_t count = chars ? block->cbData / sizeof(WCHAR) : 0;
    for (size_t i = 0; i < count && chars[i]; ++i) {
        if (chars[i] < 0x20 || chars[i] == L'\\') {
            WCHAR escape[8];
            swprintf(escape, 8, L"\\x%02X", (unsigned)chars[i]);
            text += escape;
        } else {
            text += chars[i];
        }
    }
    return text;
}

// Written at once, so that a test reads every line the moment it is there.
void WriteLogLine(const std::string& line)
{
    std::string bytes = line + "\n";
    DWORD written = 0;
    WriteFile(g_state.log.Get(), bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    FlushFileBuffers(g_state.log.Get());
}

std::wstring TakeSnapshot()
{
    std::wstring copy = g_state.logPath + L"." + std::to_wstring(++g_state.snapshots) + L".ini";
    if (!CopyFileW(g_state.settingsPath.c_str(), copy.c_str(), FALSE))
        return L"(none)";
    return copy;
}

void LogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    char head[96];
    snprintf(head, sizeof(head), "%lu %u %llu %lld", GetTickCount(), message, (unsigned long long)wParam,
             (long long)lParam);
    std::string line = head;
    if (message == WM_COPYDATA && lParam) {
        const COPYDATASTRUCT* block = (const COPYDATASTRUCT*)lParam;
        char more[64];
        snprintf(more, sizeof(more), " copydata %llu %lu ", (unsigned long long)block->dwData, block->cbData);
        line += more + Utf8(EscapedBlockText(block));
    } else if (message == UM_SAVESTATE || message == UM_SETTINGSCHANGED) {
        line += " snapshot " + Utf8(TakeSnapshot());
    }
    WriteLogLine(line);
}

LRESULT CALLBACK StandinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LogMessage(message, wParam, lParam);
    switch (message) {
    case UM_SAVESTATE: {
        std::wstring count = std::to_wstring(++g_state.saveStates);
        WritePrivateProfileStringW((std::wstring(g_state.userPrefix) + L":main").c_str(), L"savestate_marker",
                                   count.c_str(), g_state.settingsPath.c_str());
        Sleep(kSaveStateAnswerMs);
        return 0;
    }
    case WM_COPYDATA:
        if (lParam && ((const COPYDATASTRUCT*)lParam)->dwData == CD_DOWNLOADREQUEST)
            PostMessageW(hwnd, kAnswerDownload, wParam, 0);
        return 1;
    case kAnswerDownload: {
        std::wstring answer = g_state.logPath + L".download";
        UINT status = GetPrivateProfileIntW(L"download", L"status", 404, answer.c_str());
        if (status == 200) {
            WCHAR source[MAX_PATH] = {};
            GetPrivateProfileStringW(L"download", L"source", L"", source, MAX_PATH, answer.c_str());
            std::wstring target = g_state.settingsPath.substr(0, g_state.settingsPath.find_last_of(L"\\/") + 1);
            CopyFileW(source, (target + L"downloaded.ini").c_str(), FALSE);
        }
        SendMessageW((HWND)wParam, UM_PROFILEDOWNLOADED, status, 0);
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3)
        return 2;
    g_state.logPath = argv[1];
    g_state.settingsPath = argv[2];
    LocalFree(argv);
    ReadUserPrefix(g_state.userPrefix);
    g_state.log.Reset(CreateFileW(g_state.logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!g_state.log)
        return 3;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = StandinProc;
    wc.hInstance = instance;
    wc.lpszClassName = kMainWindowClass;
    if (!RegisterClassW(&wc))
        return 4;
    // never shown, as the real main window
    if (!CreateWindowW(kMainWindowClass, L"Tempolan", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                       CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr))
        return 5;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
