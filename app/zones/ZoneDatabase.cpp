#include "app/zones/ZoneDatabase.h"

#include <stdio.h>
#include <string.h>

#include <vector>

#include "graphics/records/FixedText.h"
#include "app/zones/SystemZone.h"
#include "app/zones/ZoneFiles.h"

namespace {

const int kFirstCapacity = 128;
const int kGrowBy = 64;
const int kRegistryNameChars = 512;

// The cleared slot after the first `count` items of a zeroed global memory
// block, grown by kGrowBy items when full; null when memory is out.
template <class T>
T* NextFreeSlot(T** block, int count, int* capacity)
{
    if (count == *capacity) {
        int wanted = *block ? *capacity + kGrowBy : kFirstCapacity;
        void* grown = *block ? GlobalReAlloc(*block, wanted * sizeof(T), GMEM_MOVEABLE | GMEM_ZEROINIT)
                             : GlobalAlloc(GPTR, wanted * sizeof(T));
        if (!grown)
            return nullptr;
        *block = (T*)grown;
        *capacity = wanted;
    }
    T* slot = &(*block)[count];
    memset(slot, 0, sizeof(*slot));
    return slot;
}

void FreeBlock(void* block)
{
    if (block)
        GlobalFree(block);
}

// Reads the file at once and hands it on line by line; a line longer than
// the limit is cut there.
template <class Fn>
bool ForEachLine(const WCHAR* path, Fn fn)
{
    FILE* file = _wfopen(path, L"rb");
    if (!file)
        return false;
    std::vector<char> bytes;
    const size_t kChunk = 65536;
    for (size_t got = kChunk; got == kChunk;) {
        size_t used = bytes.size();
        bytes.resize(used + kChunk);
        got = fread(bytes.data() + used, 1, kChunk, file);
        bytes.resize(used + got);
    }
    fclose(file);

    char line[kZoneLineMax + 1];
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const char* newline = (const char*)memchr(p, '\n', end - p);
        const char* lineEnd = newline ? newline : end;
        size_t n = (size_t)(lineEnd - p);
        if (n > (size_t)kZoneLineMax)
            n = kZoneLineMax;
        memcpy(line, p, n);
        line[n] = 0;
        fn(line);
        p = newline ? newline + 1 : end;
    }
    return true;
}

void KeepCityCount(TimeZoneRecord* target, const TimeZoneRecord& source)
{
    uint32_t cities = target->cityCount;
    *target = source;
    target->cityCount = cities;
}

}  // namespace

CZoneDatabase::CZoneDatabase(ISystemZone& system)
    : m_system(system), m_live(nullptr), m_count(0), m_capacity(0), m_loaded(nullptr), m_changes(nullptr),
      m_changeCount(0), m_changeCapacity(0), m_local(), m_autoDaylight(false), m_lastAppliedKey(0), m_lastYear(0)
{
}

CZoneDatabase::~CZoneDatabase()
{
    FreeZoneChanges();
    FreeZoneTable();
}

TimeZoneRecord* CZoneDatabase::NextFreeZone()
{
    return NextFreeSlot(&m_live, m_count, &m_capacity);
}

ZoneChangeRecord* CZoneDatabase::NextFreeChange()
{
    return NextFreeSlot(&m_changes, m_changeCount, &m_changeCapacity);
}

void CZoneDatabase::ReadRegistryNames(TimeZoneRecord* zone)
{
    WCHAR key[FIELD_WIDTH(zone->zoneName) + 1];
    CopyFixedField(key, zone->zoneName, FIELD_WIDTH(zone->zoneName));
    key[FIELD_WIDTH(zone->zoneName)] = 0;
    WCHAR text[kRegistryNameChars] = {};
    if (!m_system.ReadZoneValue(key, TL_W("Display"), text, kRegistryNameChars) || !text[0])
        return;
    CopyFixed(zone->displayName, FIELD_WIDTH(zone->displayName), text);
    if (m_system.ReadZoneValue(key, TL_W("Std"), text, kRegistryNameChars) && text[0])
        CopyFixed(zone->tzi.StandardName, FIELD_WIDTH(zone->tzi.StandardName), text);
    if (m_system.ReadZoneValue(key, TL_W("Dlt"), text, kRegistryNameChars) && text[0])
        CopyFixed(zone->tzi.DaylightName, FIELD_WIDTH(zone->tzi.DaylightName), text);
}

bool CZoneDatabase::LoadTimeZonesFile(const WCHAR* path)
{
    if (m_live)
        return false;
    TimeZoneRecord* local = NextFreeZone();
    if (!local)
        return false;
    RefreshLocalZoneState(&m_local, m_system);
    *local = m_local.zone;
    m_autoDaylight = m_local.daylight;
    m_count = 1;

    ForEachLine(path, [this](const char* line) {
        TimeZoneRecord* zone = NextFreeZone();
        if (!zone)
            return;
        if (!ParseTimeZoneLine(line, zone)) {
            memset(zone, 0, sizeof(*zone));
            return;
        }
        ++m_count;
        ReadRegistryNames(zone);
    });

    m_loaded = (TimeZoneRecord*)GlobalAlloc(GPTR, m_count * sizeof(TimeZoneRecord));
    if (m_loaded)
        memcpy(m_loaded, m_live, m_count * sizeof(TimeZoneRecord));
    return m_count > 1;
}

bool CZoneDatabase::LoadZoneChangesFile(const WCHAR* path)
{
    return ForEachLine(path, [this](const char* line) {
        ZoneChangeLine parsed;
        if (!ParseZoneChangeLine(line, &parsed))
            return;
        int index = FindZoneIndexById(parsed.zoneId);
        if (index < 0)
            return;
        ZoneChangeRecord* change = NextFreeChange();
        if (!change)
            return;
        ++m_changeCount;
        change->effective = parsed.effective;
        change->key = PackedDateKey(parsed.effective);
        // every line starts from the zone as loaded, not from an earlier change
        change->replacement = m_loaded ? m_loaded[index] : m_live[index];
        change->target = &m_live[index];
        ApplyZoneChangeFields(parsed.fields, &change->replacement);
    });
}

int CZoneDatabase::ApplyDueZoneChanges(const SYSTEMTIME& utcNow)
{
    int64_t now = PackedDateKey(utcNow);
    int applied = 0;
    for (int i = 0; i < m_changeCount; ++i) {
        ZoneChangeRecord& change = m_changes[i];
        if (change.key > now)
            break;
        if (!change.target)
            continue;
        KeepCityCount(change.target, change.replacement);
        change.target = nullptr;
        if (change.key > m_lastAppliedKey)
            m_lastAppliedKey = change.key;
        ++applied;
    }
    return applied;
}

bool CZoneDatabase::UpdateZoneChanges(const SYSTEMTIME& utcNow, ClockRecord* clocks, int count)
{
    bool restored = false;
    // a clock set back must not keep rules that are not in force yet
    if (utcNow.wYear < m_lastYear || PackedDateKey(utcNow) < m_lastAppliedKey) {
        RestoreZoneTable(clocks, count);
        restored = true;
    }
    m_lastYear = utcNow.wYear;
    int applied = ApplyDueZoneChanges(utcNow);
    if (applied > 0)
        RefreshAllClockZones(clocks, count);
    return restored || applied > 0;
}

bool CZoneDatabase::ApplyZoneChanges(TimeZoneRecord* zone, bool useDaylight, const SYSTEMTIME& utc) const
{
    int64_t key = PackedDateKey(utc);
    bool matched = false;
    for (int i = 0; i < m_changeCount; ++i) {
        const ZoneChangeRecord& change = m_changes[i];
        if (change.replacement.zoneId != zone->zoneId || change.key > key)
            continue;
        KeepCityCount(zone, change.replacement);
        matched = true;
    }
    if (!useDaylight) {
        zone->tzi.StandardBias = 0;
        zone->tzi.DaylightBias = 0;
    }
    return matched;
}

bool CZoneDatabase::RefreshClockZone(TimeZoneRecord* zone, bool useDaylight) const
{
    int index = FindZoneIndexById(zone->zoneId);
    if (index < 0 || !m_loaded)
        return false;
    KeepCityCount(zone, m_loaded[index]);
    if (!useDaylight) {
        zone->tzi.StandardBias = 0;
        zone->tzi.DaylightBias = 0;
    }
    return true;
}

void CZoneDatabase::RefreshAllClockZones(ClockRecord* clocks, int count) const
{
    for (int i = 0; i < count; ++i) {
        ClockRecord& clock = clocks[i];
        int index = FindZoneIndexById(clock.zone.zoneId);
        if (index < 0)
            continue;
        clock.zone = m_live[index];
        if (!(clock.flags & kClockUseDaylight)) {
            clock.zone.tzi.StandardBias = 0;
            clock.zone.tzi.DaylightBias = 0;
        }
    }
}

void CZoneDatabase::RestoreZoneTable(ClockRecord* clocks, int count)
{
    if (!m_loaded)
        return;
    // the city counts were added by the city loader after the copy was made
    for (int i = 0; i < m_count; ++i)
        KeepCityCount(&m_live[i], m_loaded[i]);
    for (int i = 0; i < m_changeCount; ++i) {
        int index = FindZoneIndexById(m_changes[i].replacement.zoneId);
        m_changes[i].target = index < 0 ? nullptr : &m_live[index];
    }
    m_lastAppliedKey = 0;
    RefreshAllClockZones(clocks, count);
}

int CZoneDatabase::FindZoneByName(const WCHAR* name) const
{
    for (int i = m_count - 1; i >= 0; --i)
        if (FixedEquals(m_live[i].zoneName, FIELD_WIDTH(m_live[i].zoneName), name))
            return i;
    return -1;
}

int CZoneDatabase::FindZoneIndexById(int32_t id) const
{
    for (int i = m_count - 1; i >= 0; --i)
        if (m_live[i].zoneId == id)
            return i;
    return -1;
}

void CZoneDatabase::RefreshLocalZone(ClockRecord* clocks, int count)
{
    RefreshLocalZoneState(&m_local, m_system);
    m_autoDaylight = m_local.daylight;
    if (m_live)
        KeepCityCount(&m_live[0], m_local.zone);
    if (m_loaded)
        KeepCityCount(&m_loaded[0], m_local.zone);
    for (int i = 0; i < count; ++i) {
        ClockRecord& clock = clocks[i];
        if (!FixedEquals(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName), kLocalZoneName))
            continue;
        clock.zone = m_local.zone;
        if (m_autoDaylight)
            clock.flags |= kClockUseDaylight | kClockDaylightInUse;
        else
            clock.flags &= ~(kClockUseDaylight | kClockDaylightInUse);
    }
}

int CZoneDatabase::GetLocalRegistryZoneName(WCHAR* buffer, int chars, const WCHAR* valueName) const
{
    if (chars <= 0)
        return 0;
    buffer[0] = 0;
    TIME_ZONE_INFORMATION tzi;
    if (!m_system.GetTimeZone(&tzi))
        return 0;
    const int kKeyChars = 1024, kValueChars = 256;
    WCHAR key[kKeyChars], std[kValueChars];
    for (DWORD i = 0; m_system.EnumZoneKey(i, key, kKeyChars); ++i) {
        if (!m_system.ReadZoneValue(key, TL_W("Std"), std, kValueChars) ||
            !FixedEquals(tzi.StandardName, FIELD_WIDTH(tzi.StandardName), std))
            continue;
        if (!valueName) {
            CopyFixed(buffer, chars, key);
        } else {
            WCHAR value[kValueChars] = {};
            m_system.ReadZoneValue(key, valueName, value, kValueChars);
            CopyFixed(buffer, chars, value);
        }
        buffer[chars - 1] = 0;
        return (int)FixedLength(buffer, chars);
    }
    return 0;
}

void CZoneDatabase::SetSystemTimeZone(const ClockRecord& clock, ClockRecord* clocks, int count,
                                      void (*postResend)(void*), void* context)
{
    m_system.EnableTimeZonePrivilege();
    if (!m_system.SetTimeZone(clock.zone.tzi)) {
        m_system.Beep(1500, 100);
        return;
    }
    bool useDaylight = (clock.flags & kClockUseDaylight) != 0;
    DWORD disabled = 0;
    bool alreadyDisabled = m_system.ReadDisableAutoDaylight(&disabled) && disabled != 0;
    if (useDaylight || !alreadyDisabled) {
        bool enable = useDaylight && clock.zone.tzi.DaylightDate.wMonth != 0;
        if (m_system.WriteDisableAutoDaylight(!enable))
            m_autoDaylight = enable;
    }
    RefreshLocalZone(clocks, count);
    RefreshAllClockZones(clocks, count);
    m_system.BroadcastIntlChange();
    if (postResend)
        postResend(context);
}

void CZoneDatabase::FreeZoneChanges()
{
    FreeBlock(m_changes);
    m_changes = nullptr;
    m_changeCount = m_changeCapacity = 0;
}

void CZoneDatabase::FreeZoneTable()
{
    FreeBlock(m_live);
    FreeBlock(m_loaded);
    m_live = m_loaded = nullptr;
    m_count = m_capacity = 0;
}
