#include "app/clocks/ClockSettings.h"

#include <string.h>

#include <string>

#include "graphics/time/FileTimeTicks.h"
#include "graphics/records/AlarmRecord.h"
#include "graphics/records/FixedText.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/time/LocalZone.h"
#include "graphics/time/ZoneConvert.h"
#include "app/settings/SettingsFiles.h"
#include "app/settings/SettingsIni.h"
#include "app/zones/ZoneDatabase.h"
#include "app/zones/ZoneHelpers.h"

namespace {

const WCHAR kNewClockSection[] = L"default:newclock";
const int kMinAlpha = 10;
const int kMaxAlpha = 255;
const int kDefaultAlpha = 255;
const uint32_t kMaxClickAction = 7;
const int kAlarmArrayStep = 8;
const UINT kWeekFormatString = 222;
// system colour 18 (COLOR_BTNTEXT), flagged as a system colour by the top bit
const uint32_t kDefaultTextColor = 0x80000012;

// Longest texts the clock fields take.
const size_t kMaxSkinChars = 80;
const size_t kMaxPrefixChars = 32;
const size_t kMaxLocationChars = 162;
const size_t kMaxFormatChars = 32;
const size_t kMaxTooltipChars = 78;
const size_t kMaxTimerFormatChars = 100;
const size_t kMaxUrlChars = 512;

class CSectionReader {
public:
    CSectionReader(const SettingsPaths& paths, const WCHAR* section) : m_file(paths.userIni), m_section(section) {}

    int Int(const WCHAR* key, int def) const { return (int)GetPrivateProfileIntW(m_section, key, def, m_file); }
    bool Exists(const WCHAR* key) const { return KeyExists(m_file, m_section, key); }
    std::wstring Text(const WCHAR* key, const WCHAR* def) const
    {
        std::wstring value;
        if (!ReadProfileText(m_file, m_section, key, def, &value))
            value = def;
        return value;
    }
    // "0..." is off, anything else (even an empty value) on
    bool Switch(const WCHAR* key) const { return Text(key, L"0").c_str()[0] != L'0'; }

private:
    const WCHAR* m_file;
    const WCHAR* m_section;
};

// 0 and an empty time when the value cannot be converted.
uint64_t ToFileTime(const SYSTEMTIME& t)
{
    uint64_t ticks = 0;
    SystemTimeToTicks(t, &ticks);
    return ticks;
}

SYSTEMTIME FromFileTime(uint64_t ticks)
{
    SYSTEMTIME t = {};
    TicksToSystemTime(ticks, &t);
    return t;
}

uint64_t ZoneTimeToFileTime(const ClockRecord& clock, const SYSTEMTIME& local)
{
    TimeZoneRecord zone;
    GetClockZone(clock, &zone);
    SYSTEMTIME utc;
    ZoneTimeToUtc(&utc, zone, local);
    return ToFileTime(utc);
}

void ReadLook(const ClockReadContext& context, const CSectionReader& keys, ClockRecord* clock)
{
    const WCHAR* defaults = context.paths->defaultIni;
    int mode = keys.Int(L"timer_mode", 0);
    clock->kind = mode == -1 ? kClockTimer | kClockCountdown : mode == 1 ? kClockTimer : 0;
    clock->enabled = keys.Switch(L"enabled");
    if (keys.Int(L"on_desktop", 0))
        clock->flags |= kClockOnDesktop;

    int alpha = keys.Int(L"alpha", 0);
    if (alpha == 0)
        alpha = (int)GetPrivateProfileIntW(kNewClockSection, L"alpha", kDefaultAlpha, defaults);
    // clamped, not cut to 8 bits: 300 must stay opaque
    clock->alpha = (uint8_t)(alpha < kMinAlpha ? kMinAlpha : alpha > kMaxAlpha ? kMaxAlpha : alpha);

    int transparent = keys.Exists(L"transparent")
                          ? keys.Int(L"transparent", 1)
                          : (int)GetPrivateProfileIntW(kNewClockSection, L"transparent", 1, defaults);
    if (transparent)
        clock->flags |= kClockTransparent;

    std::wstring skin = keys.Text(L"skin", L"");
    if (skin.empty() && !ReadProfileText(defaults, kNewClockSection, L"skin", L"", &skin))
        skin.clear();
    CopyFixed(clock->skin, kMaxSkinChars, skin.c_str());
}

void ReadZone(const ClockReadContext& context, const CSectionReader& keys, ClockRecord* clock)
{
    std::wstring name = keys.Text(L"zone", L"");
    int index = 0;
    if (!name.empty() && context.zones) {
        index = context.zones->FindZoneByName(name.c_str());
        if (index < 0)
            index = 0;
    }
    if (context.zones && context.zones->Count() > 0)
        clock->zone = context.zones->Zone(index);
    else
        CopyFixed(clock->zone.zoneName, FIELD_WIDTH(clock->zone.zoneName), kLocalZoneName);

    if (index == 0) {
        // the computer's zone follows the system's own daylight switch
        DWORD disabled = 0;
        if (!context.localZone || !context.localZone->ReadDisableAutoDaylight(&disabled) || disabled == 0)
            clock->flags |= kClockUseDaylight | kClockDaylightInUse;
        return;
    }
    if (keys.Switch(L"usedaylight"))
        clock->flags |= kClockUseDaylight;
    if (clock->zone.tzi.DaylightBias != 0 && clock->zone.tzi.DaylightDate.wMonth != 0)
        clock->flags |= kClockDaylightInUse;
    if (!(clock->flags & kClockUseDaylight)) {
        clock->zone.tzi.StandardBias = 0;
        clock->zone.tzi.DaylightBias = 0;
    }
}

void ReadTimeFormats(const ClockReadContext& context, const CSectionReader& keys, ClockRecord* clock)
{
    CopyFixed(clock->timeFormat, kMaxFormatChars, keys.Text(L"timeformat", L"Default").c_str());
    std::wstring date = keys.Text(L"dateformat", L"None");
    WCHAR week[kMaxFormatChars + 1];
    if (date == L"Week w" && context.language &&
        context.language->GetString(kWeekFormatString, week, (int)kMaxFormatChars + 1) > 0)
        date = week;
    CopyFixed(clock->dateFormat, kMaxFormatChars, date.c_str());
}

// A timer whose saved state lacks its moment: anchored at now and stopped.
bool StopAtNow(const ClockReadContext& context, ClockRecord* clock)
{
    SYSTEMTIME now = context.nowUtc;
    now.wMilliseconds = 0;
    clock->timerMoment = now;
    clock->timerAnchorUtc = ToFileTime(now);
    clock->timerRunning = 0;
    return false;
}

// True when the saved state is complete.
bool ReadCountdown(const ClockReadContext& context, const CSectionReader& keys, const WCHAR* section,
                   ClockRecord* clock)
{
    const SettingsPaths& paths = *context.paths;
    clock->countdownSeconds = keys.Int(L"duration", 0);
    int64_t remaining = 0;
    ReadMsKey(paths, section, L"remaining", &remaining);
    clock->timerValue = (uint64_t)remaining;
    if (clock->countdownSeconds == 0) {
        clock->kind |= kClockFixedMoment;
        SYSTEMTIME term;
        bool complete = ReadTimeStampKey(paths, section, L"term", &term);
        if (!complete) {
            SYSTEMTIME now = context.nowUtc;
            now.wMilliseconds = 0;
            GetClockLocalTime(now, &term, *clock);
        }
        clock->timerMoment = term;
        clock->timerAnchorUtc = ZoneTimeToFileTime(*clock, term);
        return complete;
    }
    int64_t end;
    if (ReadMsKey(paths, section, L"term_tsc", &end) && end >= 0) {
        clock->timerAnchorUtc = (uint64_t)end;
        clock->timerMoment = FromFileTime(clock->timerAnchorUtc);
        return true;
    }
    return StopAtNow(context, clock);
}

bool ReadStopwatch(const ClockReadContext& context, const WCHAR* section, ClockRecord* clock)
{
    const SettingsPaths& paths = *context.paths;
    int64_t elapsed = 0;
    ReadMsKey(paths, section, L"elapsed", &elapsed);
    clock->timerValue = (uint64_t)elapsed;
    SYSTEMTIME start;
    if (ReadTimeStampKey(paths, section, L"start_at", &start)) {
        clock->kind |= kClockFixedMoment;
        clock->timerMoment = start;
        clock->timerAnchorUtc = ZoneTimeToFileTime(*clock, start);
        return true;
    }
    if (ReadTimeStampKey(paths, section, L"start_time", &start)) {
        clock->timerMoment = start;
        clock->timerAnchorUtc = ToFileTime(start);
        return true;
    }
    return StopAtNow(context, clock);
}

void ReadTimer(const ClockReadContext& context, const CSectionReader& keys, const WCHAR* section, ClockRecord* clock)
{
    std::wstring prefix(clock->prefix, FixedLength(clock->prefix, FIELD_WIDTH(clock->prefix)));
    memset(clock->caption, 0, sizeof(clock->caption));
    CopyFixed(clock->caption, kMaxTooltipChars, keys.Text(L"tooltip", prefix.c_str()).c_str());
    CopyFixed(clock->timerFormat, kMaxTimerFormatChars, keys.Text(L"timerformat", L"%H:%02m:%02s").c_str());
    bool running = keys.Int(L"running", 0) != 0;
    clock->timerRunning = running;
    clock->execAction = keys.Int(L"exec_action", 0) != 0;
    bool complete = (clock->kind & kClockCountdown) ? ReadCountdown(context, keys, section, clock)
                                                    : ReadStopwatch(context, section, clock);
    if (running && !complete && context.timers)
        context.timers->RestartTimer(*clock);
}

void ReadProfiles(const CSectionReader& keys, ClockRecord* clock)
{
    clock->profilesEnabled = keys.Int(L"profiles", 1) != 0;
    clock->profileCount = 0;
    for (int n = 1; n <= kMaxProfiles; ++n) {
        std::wstring key = L"profile" + std::to_wstring(n);
        std::wstring text = keys.Text(key.c_str(), L"");
        if (!ParseClockProfile(text.c_str(), &clock->profiles[clock->profileCount], clock))
            break;
        ++clock->profileCount;
    }
}

void ReadAlarms(const ClockReadContext& context, const CSectionReader& keys, const WCHAR* section,
                ClockRecord* clock)
{
    clock->alarmsEnabled = keys.Int(L"alarms", 1) != 0;
    clock->alarmCount = 0;
    int capacity = kAlarmArrayStep;
    AlarmRecord* alarms = ResizeAlarmArray(nullptr, capacity);
    if (!alarms)
        capacity = 0;
    for (;;) {
        AlarmRecord alarm;
        if (!ReadAlarmSection(context, section, *clock, (int)clock->alarmCount + 1, &alarm))
            break;
        if ((int)clock->alarmCount == capacity) {
            AlarmRecord* grown = ResizeAlarmArray(alarms, capacity + kAlarmArrayStep);
            if (!grown)
                break;
            alarms = grown;
            capacity += kAlarmArrayStep;
        }
        alarms[clock->alarmCount++] = alarm;
    }
    clock->alarms.raw = 0;
    clock->alarms.ptr = alarms;
}

}  // namespace

bool ReadClockSection(const ClockReadContext& context, const WCHAR* section, ClockRecord* clock)
{
    if (!context.paths || !section || !clock)
        return false;
    // what the table builder set and what the drawing code keeps survive the read
    uint32_t id = clock->id;
    uint32_t reserved1 = clock->reserved1;
    uint32_t textColor = clock->textColor;
    SYSTEMTIME localTime = clock->localTime;
    FreeClockAlarms(clock);
    memset(clock, 0, sizeof(*clock));
    clock->id = id;
    clock->reserved1 = reserved1;
    clock->textColor = textColor;
    clock->localTime = localTime;

    CSectionReader keys(*context.paths, section);
    ReadLook(context, keys, clock);
    ReadZone(context, keys, clock);
    CopyFixed(clock->prefix, kMaxPrefixChars, keys.Text(L"prefix", L"").c_str());
    CopyFixed(clock->caption, kMaxPrefixChars, keys.Text(L"prefix", L"").c_str());
    CopyFixed(clock->location, kMaxLocationChars, keys.Text(L"location", L"").c_str());
    if (clock->kind & kClockTimer)
        ReadTimer(context, keys, section, clock);
    else
        ReadTimeFormats(context, keys, clock);

    int action = keys.Int(L"action", 0);
    clock->clickAction = action >= 0 && (uint32_t)action <= kMaxClickAction ? (uint32_t)action : 0;
    CopyFixed(clock->clickUrl, kMaxUrlChars, keys.Text(L"url", L"").c_str());
    // the picture of a timer fills the time format's place
    size_t width = (clock->kind & kClockTimer) ? FIELD_WIDTH(clock->timerFormat) : FIELD_WIDTH(clock->timeFormat);
    std::wstring format(clock->timerFormat, FixedLength(clock->timerFormat, width));
    bool seconds = FormatShowsSeconds(format.c_str());
    if (seconds)
        clock->flags |= kClockShowsSeconds;
    if (keys.Int(L"seconds_hand", seconds ? 1 : 0))
        clock->flags |= kClockSecondsHand;
    if (keys.Int(L"suffix", 1))
        clock->flags |= kClockSuffix;

    ReadProfiles(keys, clock);
    ReadAlarms(context, keys, section, clock);
    clock->expanded = (uint32_t)keys.Int(L"expanded", 0);
    return true;
}

bool ReadClock(const ClockReadContext& context, const WCHAR* userPrefix, int number, ClockRecord* clock)
{
    std::wstring suffix = L":clock" + std::to_wstring(number);
    std::wstring section = UserSection(userPrefix ? userPrefix : L"", suffix.c_str());
    return ReadClockSection(context, section.c_str(), clock);
}

ClockRecord* AllocClockTable(int count)
{
    if (count <= 0 || count > kMaxClocks)
        return nullptr;
    return (ClockRecord*)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, (SIZE_T)count * sizeof(ClockRecord));
}

void FreeClockAlarms(ClockRecord* clock)
{
    if (clock->alarms.ptr)
        ResizeAlarmArray(clock->alarms.ptr, 0);
    clock->alarms.raw = 0;
    clock->alarmCount = 0;
}

void FreeClockTable(ClockRecord* clocks, int count)
{
    if (!clocks)
        return;
    for (int i = 0; i < count; ++i)
        FreeClockAlarms(&clocks[i]);
    GlobalFree(clocks);
}

int BuildClockTable(const ClockReadContext& context, int count, ClockRecord** clocks)
{
    *clocks = nullptr;
    if (count > kMaxClocks)
        count = kMaxClocks;
    ClockRecord* table = AllocClockTable(count);
    if (!table)
        return 0;
    int enabled = 0;
    for (int n = 1; n <= count; ++n) {
        ClockRecord& clock = table[n - 1];
        clock.id = (uint32_t)n;
        clock.reserved1 = 0;
        clock.textColor = kDefaultTextColor;
        ReadClock(context, context.paths->userPrefix, n, &clock);
        if (clock.enabled == 1)
            ++enabled;
    }
    // something must show
    if (enabled == 0) {
        table[count - 1].enabled = 1;
        enabled = 1;
    }
    *clocks = table;
    return enabled;
}

namespace {

std::wstring Quoted(const WCHAR* field, size_t width)
{
    return L"\"" + FieldText(field, width) + L"\"";
}

}  // namespace

void WriteClockSection(const SettingsPaths& paths, const ClockRecord& clock)
{
    std::wstring name = UserSection(paths.userPrefix, (L":clock" + std::to_wstring(clock.id)).c_str());
    const WCHAR* section = name.c_str();
    const WCHAR* file = paths.userIni;
    auto put = [&](const WCHAR* key, const std::wstring& value) {
        WritePrivateProfileStringW(section, key, value.c_str(), file);
    };
    auto remove = [&](const WCHAR* key) { WritePrivateProfileStringW(section, key, nullptr, file); };
    auto flag = [&](const WCHAR* key, uint32_t bit) { put(key, (clock.flags & bit) ? L"1" : L"0"); };

    put(L"enabled", clock.enabled ? L"1" : L"0");
    // the computer's zone is written as empty values, which its reader takes for it
    bool local = FixedEquals(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName), kLocalZoneName);
    put(L"zone", local ? L"" : FieldText(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName)));
    put(L"timezone", local ? L"" : FieldText(clock.zone.displayName, FIELD_WIDTH(clock.zone.displayName)));
    put(L"location", FieldText(clock.location, FIELD_WIDTH(clock.location)));
    flag(L"usedaylight", kClockUseDaylight);
    flag(L"on_desktop", kClockOnDesktop);
    flag(L"transparent", kClockTransparent);
    put(L"alpha", std::to_wstring(clock.alpha));
    put(L"skin", FieldText(clock.skin, FIELD_WIDTH(clock.skin)));

    if (clock.kind & kClockTimer) {
        bool countdown = (clock.kind & kClockCountdown) != 0;
        bool dated = (clock.kind & kClockFixedMoment) != 0;
        put(L"timerformat", Quoted(clock.timerFormat, FIELD_WIDTH(clock.timerFormat)));
        put(L"timer_mode", countdown ? L"-1" : L"1");
        if (countdown) {
            put(L"duration", std::to_wstring((unsigned long)(uint32_t)clock.countdownSeconds));
            WriteTimeStampKey(paths, section, L"term", clock.timerMoment);
        }
        // a stale "start_at" would bind a stopwatch to a date again when read
        if (!countdown && dated)
            WriteTimeStampKey(paths, section, L"start_at", clock.timerMoment);
        else
            remove(L"start_at");
        put(L"running", clock.timerRunning ? L"1" : L"0");
    } else {
        put(L"timeformat", Quoted(clock.timeFormat, FIELD_WIDTH(clock.timeFormat)));
        put(L"dateformat", Quoted(clock.dateFormat, FIELD_WIDTH(clock.dateFormat)));
        remove(L"timer_mode");
        put(L"suffix", (clock.flags & kClockSuffix) ? L"-1" : L"0");
        put(L"seconds_hand", (clock.flags & kClockSecondsHand) ? L"-1" : L"0");
    }

    put(L"prefix", Quoted(clock.prefix, FIELD_WIDTH(clock.prefix)));
    put(L"action", std::to_wstring(clock.clickAction));
    put(L"url", FieldText(clock.clickUrl, FIELD_WIDTH(clock.clickUrl)));
    put(L"profiles", std::to_wstring(clock.profilesEnabled));
    uint32_t profiles = clock.profileCount < (uint32_t)kMaxProfiles ? clock.profileCount : (uint32_t)kMaxProfiles;
    for (uint32_t i = 0; i < profiles; ++i) {
        WCHAR value[512];
        WriteClockProfile(clock.profiles[i], value, 512, clock);
        put((L"profile" + std::to_wstring(i + 1)).c_str(), value);
    }
    remove((L"profile" + std::to_wstring(profiles + 1)).c_str());
    put(L"alarms", std::to_wstring(clock.alarmsEnabled));
    uint32_t alarms = clock.alarms.ptr ? clock.alarmCount : 0;
    for (uint32_t i = 0; i < alarms; ++i)
        WriteAlarmSection(file, section, clock, (int)i + 1, clock.alarms.ptr[i]);
    if (clock.expanded)
        put(L"expanded", std::to_wstring(clock.expanded));
    else
        remove(L"expanded");
    // the reader stops at the first missing alarm section
    std::wstring next = name + L":alarm" + std::to_wstring(alarms + 1);
    WritePrivateProfileStringW(next.c_str(), nullptr, nullptr, file);
}
