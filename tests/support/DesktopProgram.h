// The real program run from a folder of its own whose user has exactly the
// clocks a test writes, and what a test sees of its desktop clock windows
// and of the screen. This process shares the program's wineserver and looks
// at its windows directly.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/SettingsPaths.h"
#include "graphics/system/Paths.h"
#include "tests/support/PngFile.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestMessages.h"

struct ClockWindow {
    HWND window = nullptr;
    RECT rect = {};
    DWORD exStyle = 0;
    bool visible = false;
};

// The program's desktop clock windows by title (the clock's caption).
using ClockWindows = std::map<std::wstring, ClockWindow>;

struct CollectClockWindows {
    DWORD pid;
    ClockWindows found;
};

inline BOOL CALLBACK CollectClockWindowsProc(HWND hwnd, LPARAM lParam)
{
    CollectClockWindows* collect = (CollectClockWindows*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    WCHAR name[64] = {}, title[128] = {};
    if (pid != collect->pid || !GetClassNameW(hwnd, name, 64) || lstrcmpW(name, kLayeredWindowClass) != 0)
        return TRUE;
    GetWindowTextW(hwnd, title, 128);
    ClockWindow& found = collect->found[title];
    found.window = hwnd;
    GetWindowRect(hwnd, &found.rect);
    found.exStyle = (DWORD)GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    found.visible = IsWindowVisible(hwnd) != FALSE;
    return TRUE;
}

inline ClockWindows FindClockWindows(DWORD pid)
{
    CollectClockWindows collect = {pid, {}};
    EnumWindows(CollectClockWindowsProc, (LPARAM)&collect);
    return collect.found;
}

// Waits until `count` windows exist, all shown or all hidden; false when
// they did not within the wait. `windows` gets the last ones seen.
inline bool WaitForClockWindows(DWORD pid, size_t count, bool visible, ClockWindows* windows)
{
    return PumpUntil([&] {
        *windows = FindClockWindows(pid);
        if (windows->size() != count)
            return false;
        for (auto& w : *windows)
            if (w.second.visible != visible)
                return false;
        return true;
    }, kProgramWaitMs);
}

inline std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

// A program folder whose user has exactly the clocks written here.
class CDesktopProgram : public CProgramFolder {
public:
    CDesktopProgram() : m_paths() { m_ready = BuildIniPaths(Path().c_str(), &m_paths); }
    bool Ready() const { return m_ready && CProgramFolder::Ready(); }

    // Section "<user>:clock<number>" with `keys` ("name=value").
    void WriteClock(int number, const std::vector<std::wstring>& keys) const { WriteSection(Section(number), keys); }
    // Section "<user>:clock<clock>:alarm<number>" with `keys` ("name=value").
    void WriteAlarm(int clock, int number, const std::vector<std::wstring>& keys) const
    {
        WriteSection(Section(clock) + L":alarm" + std::to_wstring(number), keys);
    }
    // A key of the user's main section.
    void WriteMainKey(const wchar_t* key, const std::wstring& value) const
    {
        WritePrivateProfileStringW((std::wstring(m_paths.userPrefix) + L":main").c_str(), key, value.c_str(),
                                   m_paths.userIni);
    }
    // A key of the clock's section; `missing` when it is not there.
    std::wstring ClockKey(int number, const wchar_t* key, const wchar_t* missing = L"(none)") const
    {
        WCHAR value[128] = {};
        GetPrivateProfileStringW(Section(number).c_str(), key, missing, value, 128, m_paths.userIni);
        return value;
    }
    int ClockInt(int number, const wchar_t* key) const { return _wtoi(ClockKey(number, key).c_str()); }

    // Started with `arguments`; the pid, 0 when no main window came.
    DWORD StartProgram(const std::wstring& arguments)
    {
        m_index = Start(arguments);
        if (m_index < 0 || !WaitForMainWindow())
            return 0;
        return Process(m_index).Pid();
    }
    // Started with /nh: every enabled clock goes to the desktop.
    DWORD StartWithoutHook() { return StartProgram(L"/nh"); }
    // The program of the last start.
    CTestProcess& Started() { return Process(m_index); }
    // Ended by "/exit"; true when both ended well.
    bool ExitProgram() { return Exit() == 0 && ExitCode(m_index) == 0; }

private:
    void WriteSection(const std::wstring& name, const std::vector<std::wstring>& keys) const
    {
        std::wstring section;
        for (const std::wstring& key : keys)
            section += key + L'\0';
        section += L'\0';
        WritePrivateProfileSectionW(name.c_str(), section.c_str(), m_paths.userIni);
    }
    std::wstring Section(int number) const
    {
        return std::wstring(m_paths.userPrefix) + L":clock" + std::to_wstring(number);
    }

    SettingsPaths m_paths;
    bool m_ready = false;
    int m_index = -1;
};

// A clock with the built-in skin, its caption and `more` keys.
inline std::vector<std::wstring> PlainClock(const std::wstring& caption, std::vector<std::wstring> more = {})
{
    std::vector<std::wstring> keys = {L"enabled=1", L"skin=Standard System Clock", L"zone=UTC",
                                      L"timeformat=HH:mm", L"dateformat=None", L"prefix=" + caption};
    keys.insert(keys.end(), more.begin(), more.end());
    return keys;
}

// The whole screen through capture.exe into `path`; empty when it failed.
inline RgbPicture CaptureScreen(const std::wstring& path)
{
    RgbPicture picture;
    DeleteFileW(path.c_str());
    if (RunCapture(Quoted(path)) == 0)
        ReadPngPicture(path, &picture);
    return picture;
}

// The whole screen into `path` until `done(picture)` holds or a few tries
// have passed (windows paint a moment after they are shown); the last
// picture taken.
inline RgbPicture CaptureScreenUntil(const std::wstring& path, const std::function<bool(const RgbPicture&)>& done)
{
    RgbPicture picture;
    for (int attempt = 0; attempt < 5; ++attempt) {
        picture = CaptureScreen(path);
        if (picture.width > 0 && done(picture))
            break;
        PumpUntil([] { return false; }, 300);
    }
    return picture;
}

// Pixels of `r` that differ between the two pictures (of the same size).
inline int ChangedPixels(const RgbPicture& before, const RgbPicture& after, const RECT& r)
{
    int changed = 0;
    for (int y = r.top < 0 ? 0 : r.top; y < r.bottom && y < after.height; ++y)
        for (int x = r.left < 0 ? 0 : r.left; x < r.right && x < after.width; ++x)
            changed += before.At(x, y) != after.At(x, y);
    return changed;
}
