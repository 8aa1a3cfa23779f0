// AddLogEntry when the log holds 2000 entries, against the same call when it
// holds 10, in the same run: an entry's cost must not grow with the log
// (goal: at most 3 times).
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "app/log/ReminderLogWindow.h"
#include "graphics/language/Language.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Paths.h"
#include "tests/support/TestFiles.h"

namespace {

const int kBatch = 10;
const int kRounds = 12;

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CTempFolder folder;
    SettingsPaths paths;
    CModule resources(LoadLibraryExW(TL_PROGRAM_FOLDER L"tempolan.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    CModule english(LoadLibraryExW(TL_PROGRAM_FOLDER L"res_en.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!BuildIniPathsFor(folder.Path().c_str(), L"bench", &paths) || !resources || !english) {
        printf("log_bench: the program's files are missing\n");
        return 1;
    }
    CLanguage language;
    language.SetResources(english.Get(), nullptr);
    AlarmCheckState alarms = {};
    LogWindowSeams seams = {};
    // two logs side by side, one short and one long, whose calls alternate:
    // under Wine a visible list's every change waits on the X server, which
    // other processes slow down now and then; alternating puts those waits
    // on both sides alike
    CReminderLogWindow shortLog(paths, language, alarms, resources.Get(), seams);
    CReminderLogWindow longLog(paths, language, alarms, resources.Get(), seams);
    if (!shortLog.CreateLogWindow() || !longLog.CreateLogWindow()) {
        printf("log_bench: no window\n");
        return 1;
    }
    ClockRecord clock;
    memset(&clock, 0, sizeof(clock));
    AlarmRecord alarm = {};
    lstrcpynW(alarm.text, L"Stand-up meeting of the Singapore team", 260);
    alarm.reminderMinutes = 90;
    SYSTEMTIME time = {2026, 3, 2, 10, 12, 0, 0, 0};
    auto count = [](HWND list) { return (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); };
    // the entries before the measured ones as AddLogEntry leaves them, put
    // in directly: two thousand calls would take minutes under Wine
    auto fillTo = [&](HWND list, int n) {
        for (int i = count(list); i < n; ++i) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = i;
            item.pszText = const_cast<WCHAR*>(L"In 1 hour");
            item.iImage = 1;
            SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item);
            LVITEMW sub = {};
            sub.iSubItem = 1;
            sub.pszText = alarm.text;
            SendMessageW(list, LVM_SETITEMTEXTW, i, (LPARAM)&sub);
        }
    };
    const int kShortHeld = 9, kLongHeld = 1999;
    fillTo(shortLog.List(), kShortHeld);
    fillTo(longLog.List(), kLongHeld);
    Pump();

    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    auto timed = [&](CReminderLogWindow& log, int i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        log.AddLogEntry(clock, alarm, time, i % 2 == 0);
        QueryPerformanceCounter(&t1);
        return (double)(t1.QuadPart - t0.QuadPart) * 1e6 / (double)freq.QuadPart;
    };
    // each round adds a batch to both and deletes it again, so that every
    // round adds at the same counts; the medians of single calls are compared
    std::vector<double> shortUs, longUs;
    for (int r = 0; r < kRounds; ++r) {
        for (int i = 0; i < kBatch; ++i) {
            shortUs.push_back(timed(shortLog, i));
            longUs.push_back(timed(longLog, i));
        }
        while (count(shortLog.List()) > kShortHeld)
            SendMessageW(shortLog.List(), LVM_DELETEITEM, count(shortLog.List()) - 1, 0);
        while (count(longLog.List()) > kLongHeld)
            SendMessageW(longLog.List(), LVM_DELETEITEM, count(longLog.List()) - 1, 0);
        Pump();
    }
    std::sort(shortUs.begin(), shortUs.end());
    std::sort(longUs.begin(), longUs.end());
    double tenth = shortUs[shortUs.size() / 2], later = longUs[longUs.size() / 2];
    printf("AddLogEntry, the 10th entry     %10.1f us/call, median (anchor)\n", tenth);
    printf("AddLogEntry, the 2000th entry   %10.1f us/call, median  ratio %.2f  (goal <= 3)\n", later,
           later / tenth);
    longLog.DestroyLogWindow();
    shortLog.DestroyLogWindow();
    return 0;
}
