// AddLogEntry when the log holds 2000 entries, against the same call when it
// holds 10, in one window of the same run: an entry's cost must not grow
// with the log (goal: at most 3 times). Each measured batch is deleted again
// before the next pass, so every pass adds at the same count.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "app/log/ReminderLogWindow.h"
#include "graphics/language/Language.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Paths.h"
#include "tests/bench/BenchTimer.h"
#include "tests/support/TestFiles.h"

namespace {

const int kBatch = 10;
const int kRounds = 9;

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
    CReminderLogWindow log(paths, language, alarms, resources.Get(), seams);
    if (!log.CreateLogWindow()) {
        printf("log_bench: no window\n");
        return 1;
    }
    ClockRecord clock;
    memset(&clock, 0, sizeof(clock));
    AlarmRecord alarm = {};
    lstrcpynW(alarm.text, L"Stand-up meeting of the Singapore team", 260);
    alarm.reminderMinutes = 90;
    SYSTEMTIME time = {2026, 3, 2, 10, 12, 0, 0, 0};
    auto add = [&](int i) {
        return log.AddLogEntry(clock, alarm, time, i % 2 == 0);
    };
    HWND list = log.List();
    auto count = [&] { return (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); };
    auto fillTo = [&](int n) {
        for (int i = count(); i < n; ++i)
            add(i);
        Pump();
    };

    // the batch adds the entries after `held`, and goes again afterwards
    std::vector<int> batch(kBatch);
    for (int i = 0; i < kBatch; ++i)
        batch[i] = i;
    auto measure = [&](int held) {
        fillTo(held);
        double best = 1e30;
        for (int r = 0; r < kRounds; ++r) {
            best = std::min(best, BestNsPerItem(batch, 1, add));
            while (count() > held)
                SendMessageW(list, LVM_DELETEITEM, count() - 1, 0);
            Pump();
        }
        return best;
    };
    double tenth = measure(9);
    double later = measure(1999);
    printf("AddLogEntry, the 10th entry              %10.1f us/call (anchor)\n", tenth / 1000);
    printf("AddLogEntry, the 2000th entry            %10.1f us/call  ratio %.2f  (goal <= 3)\n", later / 1000,
           later / tenth);
    log.DestroyLogWindow();
    return 0;
}
