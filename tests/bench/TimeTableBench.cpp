// The time table's fill at 30 clocks and 5 minutes (288 rows of 31 columns),
// against filling the same list view with as many constant strings, in the
// same run (goal: at most 2 times).
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "app/dialogs/ClockDialogHost.h"
#include "app/dialogs/TimeWindow.h"
#include "graphics/language/Language.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Paths.h"
#include "graphics/window/Window.h"
#include "tests/bench/BenchTimer.h"
#include "tests/support/TestFiles.h"

namespace {

const int kClocks = 30;
const int kRounds = 15;

class CBenchHost : public IClockDialogHost {
public:
    HWND MainWindow() override { return nullptr; }
    ClockRecord* Clocks() override { return clocks.data(); }
    int ClockCount() override { return (int)clocks.size(); }
    const SettingsBlock& ProgramSettings() override { return settings; }
    const TooltipStyle& CalendarLook() override { return look; }
    const LocalZoneState& LocalZone() override { return local; }

    std::vector<ClockRecord> clocks;
    SettingsBlock settings = {};
    TooltipStyle look = {};
    LocalZoneState local = {};
};

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

// Every cell of the table's size set to one text, as the fill sets them.
void FillConstant(HWND list, int rows, int columns)
{
    WCHAR text[] = L"Sun 12:00 AM";
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, rows, 0);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = column;
            item.pszText = text;
            if (column == 0)
                SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item);
            else
                SendMessageW(list, LVM_SETITEMTEXTW, row, (LPARAM)&item);
        }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

int main()
{
    CTempFolder folder;
    SettingsPaths paths;
    CModule english(LoadLibraryExW(TL_PROGRAM_FOLDER L"res_en.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!BuildIniPathsFor(folder.Path().c_str(), L"bench", &paths) || !english) {
        printf("time_table_bench: the program's files are missing\n");
        return 1;
    }
    WritePrivateProfileStringW(L"bench:main", L"ttable_interval", L"5", paths.userIni);
    CLanguage language;
    language.SetResources(english.Get(), nullptr);
    RegisterWindowClasses(GetModuleHandleW(nullptr));

    CBenchHost host;
    wcscpy(host.local.zone.zoneName, L"Local System Time");
    for (int i = 0; i < kClocks; ++i) {
        ClockRecord clock;
        memset(&clock, 0, sizeof(clock));
        clock.enabled = 1;
        // zones every 45 minutes from -11:00, each with a working-hours profile
        clock.zone.tzi.Bias = 660 - i * 45;
        wsprintfW(clock.caption, L"Clock %d", i + 1);
        wsprintfW(clock.zone.zoneName, L"Zone %d", i + 1);
        clock.profilesEnabled = 1;
        clock.profileCount = 1;
        clock.profiles[0].enabled = 1;
        clock.profiles[0].weekdays = 0x3E;
        clock.profiles[0].startMinute = 9 * 60;
        clock.profiles[0].endMinute = 17 * 60;
        clock.profiles[0].color = RGB(0, 160, 0);
        clock.profiles[0].weight = 96;
        host.clocks.push_back(clock);
    }

    CTimeTable table(language, paths);
    table.SetHost(&host);
    if (!table.Show() || !table.Window()) {
        printf("time_table_bench: no window\n");
        return 1;
    }
    CTimeWindow& window = *table.Window();
    HWND list = window.List();
    int rows = (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    int columns = window.Rows().Columns();
    if (rows != 288 || columns != kClocks + 1) {
        printf("time_table_bench: %d rows of %d columns\n", rows, columns);
        return 1;
    }
    Pump();
    // alternating, so that the X server's occasional waits fall on both sides
    std::vector<double> fills, constants;
    for (int r = 0; r < kRounds; ++r) {
        // each side goes first in every other round
        for (int side = 0; side < 2; ++side) {
            bool fill = (side + r) % 2 == 0;
            double t0 = QpcNowMs();
            if (fill)
                window.Refill();
            else
                FillConstant(list, rows, columns);
            double t1 = QpcNowMs();
            (fill ? fills : constants).push_back(t1 - t0);
            Pump();
        }
    }
    double constant = Median(constants), fill = Median(fills);
    printf("time table, 288 x 31 constant strings %8.1f ms, median (anchor)\n", constant);
    printf("time table fill, 30 clocks at 5 min   %8.1f ms, median  ratio %.2f  (goal <= 2)\n", fill,
           fill / constant);
    table.Close();
    return 0;
}
