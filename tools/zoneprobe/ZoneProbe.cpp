// zoneprobe <program folder> "<zone name>" <instant>...
// Prints, for each UTC instant YYYY-MM-DDTHH:MM:SSZ, the zone's local time as
// the clocks compute it (dated changes applied as of the instant), the daylight
// state, and the local time by the zone's own arithmetic.
#include <stdio.h>
#include <wchar.h>

#include "app/zones/SystemZone.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/time/ZoneConvert.h"

namespace {

const int kBadArguments = 2;

bool ParseInstant(const wchar_t* text, SYSTEMTIME* t)
{
    unsigned y, mo, d, h, mi, s;
    wchar_t z = 0;
    if (swscanf(text, L"%4u-%2u-%2uT%2u:%2u:%2u%lc", &y, &mo, &d, &h, &mi, &s, &z) != 7 || z != L'Z')
        return false;
    *t = SYSTEMTIME{(WORD)y, (WORD)mo, 0, (WORD)d, (WORD)h, (WORD)mi, (WORD)s, 0};
    return GetDayNumber(*t) != 0 || (y == 1601 && mo == 1 && d == 1);
}

void Print(const SYSTEMTIME& t)
{
    printf("%04u-%02u-%02uT%02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: zoneprobe <program folder> <zone name> <instant>...\n");
        return kBadArguments;
    }
    wchar_t path[MAX_PATH];
    CSystemZone system;
    CZoneDatabase zones(system);
    swprintf(path, MAX_PATH, L"%ls\\timezones.txt", argv[1]);
    if (!zones.LoadTimeZonesFile(path)) {
        fprintf(stderr, "zoneprobe: cannot read %ls\n", path);
        return kBadArguments;
    }
    swprintf(path, MAX_PATH, L"%ls\\tz_changes.txt", argv[1]);
    zones.LoadZoneChangesFile(path);

    int index = zones.FindZoneByName(argv[2]);
    if (index < 0) {
        fprintf(stderr, "zoneprobe: unknown zone \"%ls\"\n", argv[2]);
        return kBadArguments;
    }
    for (int i = 3; i < argc; ++i) {
        SYSTEMTIME utc;
        if (!ParseInstant(argv[i], &utc)) {
            fprintf(stderr, "zoneprobe: bad instant \"%ls\" (want YYYY-MM-DDTHH:MM:SSZ)\n", argv[i]);
            return kBadArguments;
        }
        TimeZoneRecord zone = zones.LoadedZone(index);
        zones.ApplyZoneChanges(&zone, true, utc);
        SYSTEMTIME local, own, base = utc;
        bool ok = UtcToZoneTime(utc, &local, zone);
        UtcToZoneTimeOwn(utc, &own, zone);
        AddMinutes(base, -zone.tzi.Bias);
        int state = GetDaylightState(zone, base);
        printf("%ls ", argv[i]);
        if (ok)
            Print(local);
        else
            printf("error");
        printf(" %d ", state);
        Print(own);
        printf("\n");
    }
    return 0;
}
