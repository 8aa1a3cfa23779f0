// One forced tick of four desktop clock windows (two analogue faces with the
// seconds hand, two digital skins): each window updates its clock, paints its
// back buffer and puts it on the screen as a layered window. The anchor is the
// same four clocks, at the windows' sizes and with the same skins, updated and
// painted into memory bitmaps.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include <windows.h>

#include "graphics/clock/Clock.h"
#include "graphics/clock/ClockFactory.h"
#include "graphics/clock/ClockHost.h"
#include "graphics/image/Bitmap.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/StyleNames.h"
#include "graphics/system/Paths.h"
#include "graphics/window/Window.h"
#include "tests/bench/BenchTimer.h"
#include "tests/support/FakeDesktopHost.h"
#include "tests/support/TestFiles.h"
#include "windows/SkinManager.h"
#include "windows/desktop/ClockWnd.h"

namespace {

const int kTicks = 40;
const int kRounds = 9;
// as wide as the layout of a text clock may grow
const int kUnbounded = 0x7FFFFFFF;

struct Look {
    const WCHAR* skin;
    uint32_t flags;
};

const Look kLooks[] = {
    {L"Classic Analog", kClockSecondsHand},
    {L"Classic Analog", kClockSecondsHand},
    {L"Blue LCD", kClockShowsSeconds},
    {kClassicStyleName, kClockShowsSeconds},
};
const int kClocks = (int)(sizeof(kLooks) / sizeof(kLooks[0]));

ClockRecord MakeRecord(int i)
{
    ClockRecord r = {};
    r.id = (uint32_t)i + 1;
    r.enabled = 1;
    r.alpha = 255;
    CopyFixed(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), L"UTC");
    r.zone.tzi.Bias = -60 * (i * 3 - 4);
    CopyFixed(r.timeFormat, FIELD_WIDTH(r.timeFormat), L"HH:mm:ss");
    CopyFixed(r.dateFormat, FIELD_WIDTH(r.dateFormat), i % 2 ? L"ddd d MMM" : L"None");
    CopyFixed(r.prefix, FIELD_WIDTH(r.prefix), L"City");
    CopyFixed(r.skin, FIELD_WIDTH(r.skin), kLooks[i].skin);
    r.flags = kClockOnDesktop | kClockSuffix | kLooks[i].flags;
    return r;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The anchor's copy of a window's clock: same record and skin, same size.
struct MemoryClock {
    CClock* clock = nullptr;
    CDibSection bitmap;
};

bool BuildMemoryClock(CClockWnd& window, const ClockContext& context, MemoryClock* out)
{
    CClock* shown = window.Clock();
    CDibSection& buffer = window.BackBuffer();
    if (!shown || !buffer.IsValid() || !out->bitmap.Create(buffer.GetWidth(), buffer.GetHeight()))
        return false;
    ClockOptions options = {};  // as the windows make their clocks
    CClock* clock = CreateClock(shown->Record(), shown->GetSkin(), context, options);
    SYSTEMTIME now;
    GetSystemTime(&now);
    clock->Update(now);
    HDC dc = out->bitmap.GetDC();
    CMechClock* mech = window.IsTextSkin() ? nullptr : dynamic_cast<CMechClock*>(clock);
    if (mech) {
        mech->ApplyFaceSize(dc, shown->GetFaceSize());
    } else {
        clock->SetFontSize(shown->GetFontSize());
        clock->Measure(dc, kUnbounded, kUnbounded, nullptr, nullptr);
    }
    RECT mine = clock->GetRect(), theirs = shown->GetRect();
    if (mine.right - mine.left != theirs.right - theirs.left || mine.bottom - mine.top != theirs.bottom - theirs.top)
        printf("  note: clock %d measures %ldx%ld in memory, %ldx%ld in its window\n", (int)shown->Record().id,
               mine.right - mine.left, mine.bottom - mine.top, theirs.right - theirs.left,
               theirs.bottom - theirs.top);
    clock->SetRect(theirs);
    out->clock = clock;
    return true;
}

}  // namespace

int main()
{
    const WCHAR* folder = TL_PROGRAM_FOLDER;
    std::wstring skinsRoot = std::wstring(folder) + L"skins\\";
    CClockHostResources resources;
    if (!resources.Load(folder)) {
        fprintf(stderr, "desktop_bench: no language resource library in %ls\n", folder);
        return 1;
    }
    HINSTANCE module = GetModuleHandleW(nullptr);
    if (!RegisterWindowClasses(module)) {
        fprintf(stderr, "desktop_bench: the window classes cannot be registered\n");
        return 1;
    }

    int exitCode = 0;
    {
        // the windows read and write their keys in a settings file of their own
        CTempFolder settingsFolder;
        SettingsPaths paths;
        BuildIniPathsFor(settingsFolder.Path().c_str(), L"bench", &paths);
        wcscpy(paths.skinsRoot, skinsRoot.c_str());

        CSkinManager skins(paths.skinsRoot, nullptr);
        CFakeDesktopHost host;
        for (int i = 0; i < kClocks; ++i)
            host.clocks.push_back(MakeRecord(i));

        DesktopClockServices services = {};
        services.paths = &paths;
        services.skins = &skins;
        services.context = resources.Context();
        CDesktopClocks desktop(services);
        desktop.SetHost(&host);

        std::vector<MemoryClock> memory(kClocks);
        int built = 0;
        if (desktop.Create(host.Clocks(), host.ClockCount()) && desktop.Count() == kClocks) {
            PumpMessages();
            ClockContext context = desktop.Context();
            for (int i = 0; i < kClocks && BuildMemoryClock(*desktop.At(i), context, &memory[i]); ++i)
                ++built;
        }
        // a hidden window would skip its repaint
        for (int i = 0; i < built; ++i)
            if (!IsWindowVisible(desktop.At(i)->GetHandle()))
                built = 0;
        if (built < kClocks) {
            fprintf(stderr, "desktop_bench: %d of %d desktop clock windows were made and shown\n", desktop.Count(),
                    kClocks);
            exitCode = 1;
        } else {
            printf("%d desktop clocks (window sizes):", kClocks);
            for (int i = 0; i < kClocks; ++i) {
                const ClockRecord& record = desktop.At(i)->Clock()->Record();
                WCHAR skin[FIELD_WIDTH(record.skin) + 1];
                CopyFieldText(skin, FIELD_WIDTH(skin), record.skin, FIELD_WIDTH(record.skin));
                CDibSection& buffer = desktop.At(i)->BackBuffer();
                printf(" %ls %dx%d%s", skin, buffer.GetWidth(), buffer.GetHeight(), i + 1 < kClocks ? "," : "\n");
            }

            std::vector<int> ticks(kTicks);
            double windowNs = BestNsPerItem(ticks, kRounds, [&](int) {
                bool ticked = desktop.GiveTime(true);
                GdiFlush();
                return ticked ? 1 : 0;
            });
            PumpMessages();
            double memoryNs = BestNsPerItem(ticks, kRounds, [&](int) {
                SYSTEMTIME now;
                GetSystemTime(&now);
                for (MemoryClock& m : memory) {
                    m.clock->Update(now);
                    m.clock->Paint(m.bitmap.GetDC(), nullptr);
                }
                GdiFlush();
                return memory[0].bitmap.GetBits()[0];
            });
            // the windows' own share of the tick: their back buffers, not yet on the screen
            double bufferNs = BestNsPerItem(ticks, kRounds, [&](int) {
                SYSTEMTIME now;
                GetSystemTime(&now);
                for (int i = 0; i < kClocks; ++i) {
                    desktop.At(i)->Clock()->Update(now);
                    desktop.At(i)->PaintBackground(nullptr);
                }
                return desktop.At(0)->BackBuffer().GetBits()[0];
            });
            printf("the clocks painted into memory bitmaps  %10.0f ns/tick (anchor)\n", memoryNs);
            printf("forced tick of the desktop windows      %10.0f ns/tick  ratio %.2f  (goal <= 2.00)\n", windowNs,
                   windowNs / memoryNs);
            printf("  of which their back buffers           %10.0f ns/tick  ratio %.2f (the rest puts them on the "
                   "screen)\n",
                   bufferNs, bufferNs / memoryNs);
        }

        for (MemoryClock& m : memory)
            delete m.clock;
        desktop.Destroy();
        PumpMessages();
        skins.ReleaseAll();
    }
    UnregisterWindowClasses(module);
    return exitCode;
}
