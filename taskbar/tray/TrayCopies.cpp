#include "taskbar/tray/TrayCopies.h"

#include "graphics/records/FixedText.h"

namespace {

template <class T>
void Terminate(T& field)
{
    field[FIELD_WIDTH(field) - 1] = 0;
}

void TerminateZone(TimeZoneRecord& zone)
{
    Terminate(zone.tzi.StandardName);
    Terminate(zone.tzi.DaylightName);
    Terminate(zone.displayName);
    Terminate(zone.zoneName);
}

void TerminateProfile(ClockProfileRecord& profile)
{
    Terminate(profile.label);
}

void SanitizeSettings(SettingsBlock& s, const WCHAR* folder)
{
    memset(s.programFolder, 0, sizeof(s.programFolder));
    lstrcpynW(s.programFolder, folder ? folder : L"", FIELD_WIDTH(s.programFolder));
    Terminate(s.skin);
    Terminate(s.timeServer);
    Terminate(s.language);
    TerminateProfile(s.localHighlight);
    Terminate(s.tooltip.fontName);
    Terminate(s.tooltip.monthFormat);
    Terminate(s.tooltip.todayFormat);
    if (s.clockCount > (uint32_t)kMaxClocks)
        s.clockCount = kMaxClocks;
    if (s.trayClocks < 1)
        s.trayClocks = 1;
    if (s.trayClocks > (uint32_t)kMaxTrayClocks)
        s.trayClocks = kMaxTrayClocks;
}

void SanitizeClock(ClockRecord& c)
{
    // the time and date formats share their field with the timer format
    if (!(c.kind & kClockTimer))
        Terminate(c.timeFormat);
    Terminate(c.timerFormat);
    Terminate(c.caption);
    Terminate(c.location);
    TerminateZone(c.zone);
    Terminate(c.skin);
    Terminate(c.prefix);
    Terminate(c.clickUrl);
    if (c.profileCount > (uint32_t)kMaxProfiles)
        c.profileCount = kMaxProfiles;
    for (ClockProfileRecord& p : c.profiles)
        TerminateProfile(p);
    // the sender's list means nothing here; ours arrives in its own block
    c.alarms.raw = 0;
    c.alarmCount = 0;
}

void* AllocCopy(const void* data, DWORD size, HGLOBAL* block)
{
    *block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    void* p = *block ? GlobalLock(*block) : nullptr;
    if (!p) {
        if (*block)
            GlobalFree(*block);
        *block = nullptr;
        return nullptr;
    }
    memcpy(p, data, size);
    return p;
}

void FreeBlock(void* p)
{
    if (!p)
        return;
    HGLOBAL block = GlobalHandle(p);
    if (block) {
        GlobalUnlock(block);
        GlobalFree(block);
    }
}

void FreeAlarmList(TrayCopies& copies, int i)
{
    if (copies.alarmBlocks[i]) {
        GlobalUnlock(copies.alarmBlocks[i]);
        GlobalFree(copies.alarmBlocks[i]);
        copies.alarmBlocks[i] = nullptr;
    }
    if (copies.clocks && (uint32_t)i < copies.clockRecords) {
        copies.clocks[i].alarms.raw = 0;
        copies.clocks[i].alarmCount = 0;
    }
}

void CountPanelClocks(TrayCopies& copies)
{
    copies.panelClocks = 0;
    int n = ClockCopyCount(copies);
    for (int i = 0; i < n; ++i)
        if (copies.clocks[i].enabled && !(copies.clocks[i].flags & kClockOnDesktop))
            ++copies.panelClocks;
}

LRESULT TakeClocks(TrayCopies& copies, DWORD size, const void* data)
{
    uint32_t n = size / sizeof(ClockRecord);
    if (n > (uint32_t)kMaxClocks)
        n = kMaxClocks;  // more would be a block of no main program
    FreeClockRecords(copies, false);
    if (copies.settings.clockCount > n)
        copies.settings.clockCount = n;
    if (copies.settings.trayClocks > copies.settings.clockCount && copies.settings.clockCount > 0)
        copies.settings.trayClocks = copies.settings.clockCount;
    if (n > 0) {
        HGLOBAL block;
        copies.clocks = (ClockRecord*)AllocCopy(data, n * sizeof(ClockRecord), &block);
        if (copies.clocks) {
            copies.clockRecords = n;
            for (uint32_t i = 0; i < n; ++i)
                SanitizeClock(copies.clocks[i]);
        }
    }
    CountPanelClocks(copies);
    return 1;
}

LRESULT TakeCities(TrayCopies& copies, DWORD size, const void* data)
{
    FreeCityRecords(copies);
    uint32_t n = size / sizeof(CityRecord);
    if (n > 0) {
        HGLOBAL block;
        copies.cities = (CityRecord*)AllocCopy(data, n * sizeof(CityRecord), &block);
        if (copies.cities) {
            copies.cityCount = n;
            for (uint32_t i = 0; i < n; ++i) {
                CityRecord& city = copies.cities[i];
                city.zoneRecord.raw = 0;
                Terminate(city.cityName);
                Terminate(city.countryName);
            }
        }
    }
    return 0;
}

LRESULT TakeAlarms(TrayCopies& copies, int i, DWORD size, const void* data)
{
    if (!copies.clocks || i >= ClockCopyCount(copies))
        return 1;  // a list of a clock we do not have is acknowledged all the same
    FreeAlarmList(copies, i);
    uint32_t n = size / sizeof(AlarmRecord);
    if (n == 0)
        return 1;
    HGLOBAL block;
    AlarmRecord* alarms = (AlarmRecord*)AllocCopy(data, n * sizeof(AlarmRecord), &block);
    if (!alarms)
        return 1;
    for (uint32_t k = 0; k < n; ++k) {
        Terminate(alarms[k].comment);
        Terminate(alarms[k].text);
    }
    copies.alarmBlocks[i] = block;
    copies.clocks[i].alarms.ptr = alarms;
    copies.clocks[i].alarmCount = n;
    return 1;
}

}  // namespace

int ClockCopyCount(const TrayCopies& copies)
{
    if (!copies.clocks)
        return 0;
    uint32_t n = copies.settings.clockCount < copies.clockRecords ? copies.settings.clockCount : copies.clockRecords;
    return (int)(n < (uint32_t)kMaxClocks ? n : kMaxClocks);
}

void FreeClockRecords(TrayCopies& copies, bool zeroCounts)
{
    for (int i = 0; i < kMaxClocks; ++i)
        FreeAlarmList(copies, i);
    FreeBlock(copies.clocks);
    copies.clocks = nullptr;
    copies.clockRecords = 0;
    copies.panelClocks = 0;
    if (zeroCounts) {
        copies.settings.clockCount = 0;
        copies.settings.enabledClocks = 0;
    }
}

void FreeCityRecords(TrayCopies& copies)
{
    FreeBlock(copies.cities);
    copies.cities = nullptr;
    copies.cityCount = 0;
}

BlockResult ReceiveTrayBlock(TrayCopies& copies, ULONG_PTR id, DWORD size, const void* data, const WCHAR* folder,
                             LRESULT* reply)
{
    *reply = 0;
    // a block of size 0 is never read, whatever its pointer says
    if (size > 0 && !data)
        return BlockResult::Ignored;
    if (id == kBlockSettings) {
        if (size != sizeof(SettingsBlock))
            return BlockResult::Ignored;
        memcpy(&copies.settings, data, sizeof(SettingsBlock));
        SanitizeSettings(copies.settings, folder);
        CountPanelClocks(copies);
        *reply = 1;
        return BlockResult::Settings;
    }
    if (id == kBlockClocks) {
        if (size % sizeof(ClockRecord))
            return BlockResult::Ignored;
        *reply = TakeClocks(copies, size, data);
        return BlockResult::Clocks;
    }
    if (id == kBlockCities) {
        if (size % sizeof(CityRecord))
            return BlockResult::Ignored;
        *reply = TakeCities(copies, size, data);
        return BlockResult::Cities;
    }
    if (id >= kBlockAlarms && id < kBlockAlarms + kMaxClocks) {
        if (size % sizeof(AlarmRecord))
            return BlockResult::Ignored;
        *reply = TakeAlarms(copies, (int)(id - kBlockAlarms), size, data);
        return BlockResult::Alarms;
    }
    return BlockResult::Ignored;
}
