// Twelve clocks (time clocks and timers) built as the hosts build them and
// painted into one panel bitmap once per second of simulated time, against one
// BitBlt of the same panel: with the built-in looks and with each skin of the
// program folder (an analogue skin turns the time clocks into faces).
#include <stdio.h>

#include <string>
#include <vector>

#include <windows.h>

#include "graphics/clock/Clock.h"
#include "graphics/clock/ClockFactory.h"
#include "graphics/clock/ClockHost.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/Graphics.h"
#include "graphics/system/Handles.h"
#include "tests/bench/BenchTimer.h"

namespace {

const int kClocks = 12;
const int kSeconds = 120;
const int kRounds = 5;
const int kCellWidth = 200;
const int kCellHeight = 64;
const int kColumns = 4;
const uint64_t kSecond = 10000000;

ClockRecord MakeRecord(int i)
{
    ClockRecord r = {};
    r.id = (uint32_t)i + 1;
    r.enabled = 1;
    CopyFixed(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), L"UTC");
    r.zone.tzi.Bias = -60 * (i - 5);
    const WCHAR* formats[] = {L"HH:mm", L"HH:mm:ss", L"h:mm tt"};
    const WCHAR* dates[] = {L"None", L"dd.MM.yyyy", L"ddd d MMM"};
    CopyFixed(r.timeFormat, FIELD_WIDTH(r.timeFormat), formats[i % 3]);
    CopyFixed(r.dateFormat, FIELD_WIDTH(r.dateFormat), dates[(i / 3) % 3]);
    CopyFixed(r.prefix, FIELD_WIDTH(r.prefix), L"City");
    r.flags = (i % 3 == 1 ? kClockShowsSeconds | kClockSecondsHand : 0) | kClockSuffix | (i % 2 ? kClockTransparent : 0);
    if (i % 4 == 0) {
        // a profile that is on all day: the tinted path
        r.profilesEnabled = 1;
        r.profileCount = 1;
        r.profiles[0].enabled = 1;
        r.profiles[0].weekdays = 0x7F;
        r.profiles[0].color = RGB(255, 64, 0);
        r.profiles[0].weight = 96;
    }
    return r;
}

ClockRecord MakeTimer(int i)
{
    ClockRecord r = MakeRecord(i);
    r.kind = (i % 2) ? kClockTimer | kClockCountdown : kClockTimer;
    CopyFixed(r.timerFormat, FIELD_WIDTH(r.timerFormat), L"%H:%02m:%02s");
    r.timerRunning = 1;
    r.timerValue = 3600 * kSecond;
    return r;
}

struct Result {
    double paintNs, blitNs;
};

Result Measure(const WCHAR* skinsRoot, const WCHAR* look, const ClockContext& context)
{
    CGraphics* skin = CreateClockSkin(skinsRoot, look, kTaskbarLargestFace, kTaskbarFontSize, nullptr, nullptr);
    CDibSection panel, copy;
    int rows = (kClocks + kColumns - 1) / kColumns;
    panel.Create(kColumns * kCellWidth, rows * kCellHeight);
    copy.Create(panel.GetWidth(), panel.GetHeight());

    std::vector<SYSTEMTIME> seconds;
    SYSTEMTIME t = {2026, 1, 0, 4, 9, 58, 0, 0};
    FILETIME ft;
    SystemTimeToFileTime(&t, &ft);
    for (int i = 0; i < kSeconds; ++i) {
        ULARGE_INTEGER u = {{ft.dwLowDateTime, ft.dwHighDateTime}};
        u.QuadPart += (uint64_t)i * kSecond;
        FILETIME next = {u.LowPart, u.HighPart};
        SYSTEMTIME s;
        FileTimeToSystemTime(&next, &s);
        seconds.push_back(s);
    }

    std::vector<CClock*> clocks;
    ClockOptions options = {true};  // the taskbar's default
    for (int i = 0; i < kClocks; ++i) {
        CClock* clock = CreateClock(i % 4 == 3 ? MakeTimer(i) : MakeRecord(i), skin, context, options);
        clock->Update(seconds[0]);
        clock->Measure(panel.GetDC(), kCellWidth, kCellHeight, nullptr, nullptr);
        clock->Update(seconds[0]);
        RECT r = clock->GetRect();
        OffsetRect(&r, (i % kColumns) * kCellWidth, (i / kColumns) * kCellHeight);
        clock->SetRect(r);
        clocks.push_back(clock);
    }
    ReleaseClockSkin(skin);

    Result result;
    result.paintNs = BestNsPerItem(seconds, kRounds, [&](const SYSTEMTIME& now) {
        for (CClock* clock : clocks) {
            clock->Update(now);
            clock->Paint(panel.GetDC(), nullptr);
        }
        GdiFlush();
        return panel.GetBits()[0];
    });
    result.blitNs = BestNsPerItem(seconds, kRounds, [&](const SYSTEMTIME&) {
        BitBlt(copy.GetDC(), 0, 0, panel.GetWidth(), panel.GetHeight(), panel.GetDC(), 0, 0, SRCCOPY);
        GdiFlush();
        return copy.GetBits()[0];
    });
    for (CClock* clock : clocks)
        delete clock;
    return result;
}

}  // namespace

int main()
{
    const WCHAR* folder = TL_PROGRAM_FOLDER;
    std::wstring skinsRoot = std::wstring(folder) + L"skins\\";
    CClockHostResources host;
    if (!host.Load(folder)) {
        fprintf(stderr, "no language resource library in %ls\n", folder);
        return 1;
    }
    ClockContext context = host.Context();

    std::vector<std::wstring> looks = {kStandardStyleName, kClassicStyleName};
    WIN32_FIND_DATAW found;
    if (CFindHandle find{FindFirstFileW((skinsRoot + L"*").c_str(), &found)}) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != L'.')
                looks.push_back(found.cFileName);
        } while (FindNextFileW(find.Get(), &found));
    }

    printf("%d clocks (digital, timers, analogue) painted per simulated second, against one BitBlt of the panel\n",
           kClocks);
    for (const std::wstring& look : looks) {
        Result r = Measure(skinsRoot.c_str(), look.c_str(), context);
        printf("%-24ls paint %10.0f ns/s   blit %8.0f ns   ratio %6.1f\n", look.c_str(), r.paintNs, r.blitNs,
               r.paintNs / r.blitNs);
    }
    return 0;
}
