// clockshot <program folder> <clock number> <instant> <out.png>
// Renders clock N of the current user's settings in that folder with its own
// skin, built and padded as the taskbar builds its clocks, at the UTC instant
// YYYY-MM-DDTHH:MM:SSZ, into a PNG file (24-bit, no alpha). Transparent
// clocks are drawn over kCanvasColor.
// Exit codes: 0 written, 1 failed, 2 bad arguments.
#include <stdio.h>
#include <wchar.h>

#include "app/settings/Autostart.h"
#include "graphics/system/Handles.h"
#include "app/clocks/ClockSettings.h"
#include "app/settings/MainSettings.h"
#include "app/settings/SettingsSeams.h"
#include "app/zones/SystemZone.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/clock/Clock.h"
#include "graphics/clock/ClockFactory.h"
#include "graphics/clock/ClockHost.h"
#include "graphics/skin/Graphics.h"
#include "graphics/language/Language.h"
#include "graphics/time/LocalZone.h"
#include "graphics/system/Paths.h"
#include "tools/common/PngWriter.h"

namespace {

const int kFailed = 1;
const int kBadArguments = 2;
// room a clock may take: a large face, or two lines of a big font
const int kLargestSize = 400;
const COLORREF kCanvasColor = RGB(212, 208, 200);

bool ParseInstant(const wchar_t* text, SYSTEMTIME* t)
{
    unsigned y, mo, d, h, mi, s;
    wchar_t z = 0;
    if (swscanf(text, L"%4u-%2u-%2uT%2u:%2u:%2u%lc", &y, &mo, &d, &h, &mi, &s, &z) != 7 || z != L'Z')
        return false;
    *t = SYSTEMTIME{(WORD)y, (WORD)mo, 0, (WORD)d, (WORD)h, (WORD)mi, (WORD)s, 0};
    FILETIME ft;
    // fills the weekday as well
    return SystemTimeToFileTime(t, &ft) && FileTimeToSystemTime(&ft, t);
}

// The registry's autostart entry is the main program's business.
class CKeepAutostart : public IAutostartEntry {
public:
    bool Set(const WCHAR*) override { return true; }
    bool Remove() override { return true; }
};

int Usage(const char* why)
{
    fprintf(stderr, "clockshot: %s\nusage: clockshot <program folder> <clock number> <YYYY-MM-DDTHH:MM:SSZ> <out.png>\n",
            why);
    return kBadArguments;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 5)
        return Usage("four arguments wanted");
    wchar_t* end = nullptr;
    long number = wcstol(argv[2], &end, 10);
    if (!end || *end || number < 1 || number > kMaxClocks)
        return Usage("the clock number is 1 to 30");
    SYSTEMTIME utc;
    if (!ParseInstant(argv[3], &utc))
        return Usage("bad instant");

    wchar_t folder[MAX_PATH];
    swprintf(folder, MAX_PATH, L"%ls\\", argv[1]);
    SettingsPaths paths;
    if (!BuildIniPaths(folder, &paths))
        return Usage("bad program folder");
    wchar_t section[128], probe[16];
    swprintf(section, 128, L"%ls:clock%ld", paths.userPrefix, number);
    if (GetPrivateProfileSectionW(section, probe, 16, paths.userIni) == 0) {
        fprintf(stderr, "clockshot: no section [%ls] in %ls\n", section, paths.userIni);
        return kBadArguments;
    }

    CSystemZone system;
    CZoneDatabase zones(system);
    wchar_t path[MAX_PATH];
    swprintf(path, MAX_PATH, L"%lstimezones.txt", paths.folder);
    if (!zones.LoadTimeZonesFile(path)) {
        fprintf(stderr, "clockshot: cannot read %ls\n", path);
        return kBadArguments;
    }
    swprintf(path, MAX_PATH, L"%lstz_changes.txt", paths.folder);
    zones.LoadZoneChangesFile(path);

    CClockHostResources host;
    if (!host.Load(paths.folder)) {
        fprintf(stderr, "clockshot: no language resource library in %ls\n", paths.folder);
        return kFailed;
    }
    CLanguage& language = host.Language();
    ClockReadContext read = {&paths, &zones, &language, &system, nullptr, utc};

    // the main settings give the language and the local-zone highlight; the
    // autostart entry and the time service stay as they are
    CLanguageActivation activation(language);
    CKeepAutostart autostart;
    CNoTimeServiceControl service;
    CZoneDatabaseNames zoneNames(zones);
    MainSettingsSeams seams = {&paths, &activation, &autostart, &service, &zoneNames, read};
    CMainSettings settings(seams);
    settings.LoadMainSettings();

    ClockRecord record = {};
    record.id = (uint32_t)number;
    ReadClock(read, paths.userPrefix, (int)number, &record);
    zones.ApplyZoneChanges(&record.zone, (record.flags & kClockUseDaylight) != 0, utc);

    LocalZoneState local = {};
    CSystemLocalZone localSource;
    RefreshLocalZoneState(&local, localSource);
    ClockContext context = host.Context();
    context.localZone = &local;
    context.localHighlight = &settings.Block().localHighlight;

    WCHAR skinName[81];
    CopyFieldText(skinName, 81, record.skin, 80);
    // no settings for the style: its name is the clock's, not the taskbar's
    CGraphics* skin = CreateClockSkin(paths.skinsRoot, skinName[0] ? skinName : kStandardStyleName,
                                      kTaskbarLargestFace, kTaskbarFontSize, nullptr, nullptr);
    ClockOptions options = {(settings.Block().options & kOptOverlayPrefixes) != 0};
    CClock* clock = CreateClock(record, skin, context, options);
    ReleaseClockSkin(skin);

    CDibSection canvas;
    int status = kFailed;
    if (canvas.Create(kLargestSize, kLargestSize)) {
        clock->Update(utc);
        clock->Measure(canvas.GetDC(), kLargestSize, kLargestSize, nullptr, nullptr);
        // the face is drawn for the measured size
        clock->Update(utc);
        RECT rect = clock->GetRect();
        CDibSection shot;
        if (rect.right > 0 && rect.bottom > 0 && shot.Create(rect.right, rect.bottom)) {
            CGdiObject<HBRUSH> brush(CreateSolidBrush(kCanvasColor));
            RECT all = {0, 0, rect.right, rect.bottom};
            FillRect(shot.GetDC(), &all, brush.Get());
            clock->Paint(shot.GetDC(), nullptr);
            GdiFlush();
            if (WritePng(argv[4], shot))
                status = 0;
            else
                fprintf(stderr, "clockshot: cannot write %ls\n", argv[4]);
        } else {
            fprintf(stderr, "clockshot: the clock measured empty\n");
        }
    }
    delete clock;
    FreeClockAlarms(&record);
    return status;
}
