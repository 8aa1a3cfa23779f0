#include "app/clocks/ClockSettings.h"

#include <stdio.h>
#include <string.h>

#include <string>

#include "graphics/time/FileTimeTicks.h"
#include "graphics/records/AlarmRecord.h"
#include "graphics/records/FixedText.h"
#include "app/alarms/AlarmSchedule.h"
#include "app/settings/SettingsIni.h"
#include "app/settings/SettingsValues.h"
#include "app/zones/ZoneHelpers.h"

namespace {

const size_t kMaxScheduleChars = 511;
const size_t kMaxCommentChars = 77;
const size_t kMaxTextChars = 259;
const int kMaxAlarmAction = 8;

// The schedule keys, in the order of the kinds.
const WCHAR* const kScheduleKeys[] = {L"once", L"daily", L"weekly", L"monthly", L"yearly", L"cron"};

// A key of the settings file, or a sentinel when it is missing.
bool ReadText(const WCHAR* file, const WCHAR* section, const WCHAR* key, std::wstring* out)
{
    return ReadProfileText(file, section, key, kMissingKey, out) && !IsMissingKey(out->c_str());
}

int ReadInt(const WCHAR* file, const WCHAR* section, const WCHAR* key, int def)
{
    return (int)GetPrivateProfileIntW(section, key, def, file);
}

uint64_t FileTimeValue(const SYSTEMTIME& t, bool* ok)
{
    FILETIME ft;
    *ok = SystemTimeToFileTime(&t, &ft) != 0;
    return ((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

// Whole seconds of a "timestamp" (100-ns units); it must start with a digit.
bool ParseTimerTimestamp(const WCHAR* text, int32_t* seconds)
{
    if (*text < L'0' || *text > L'9')
        return false;
    uint64_t v = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        uint32_t d = (uint32_t)(*text - L'0');
        if (v > (UINT64_MAX - d) / 10)
            return false;
        v = v * 10 + d;
    }
    uint64_t s = v / kTicksPerSecond;
    if (s > 0x7FFFFFFF)
        return false;
    *seconds = (int32_t)s;
    return true;
}

// The schedule parsers take narrow text; a character beyond ASCII fails them.
std::string Narrow(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (WCHAR c : text)
        out += c < 0x80 ? (char)c : '?';
    return out;
}

}  // namespace

bool AlarmTimeToFileTime(const SYSTEMTIME& zoneTime, const ClockRecord& clock, AlarmRecord* alarm)
{
    if (!(clock.kind & kClockTimer) || !(clock.kind & kClockFixedMoment))
        return false;
    SYSTEMTIME local = zoneTime;
    local.wMilliseconds = 0;
    bool ok;
    FileTimeValue(local, &ok);
    if (!ok)
        return false;
    TimeZoneRecord zone;
    GetClockZone(clock, &zone);
    SYSTEMTIME utc;
    ZoneTimeToUtc(&utc, zone, local);
    int64_t at = (int64_t)FileTimeValue(utc, &ok);
    if (!ok)
        return false;
    int64_t anchor = (int64_t)clock.timerAnchorUtc;
    int64_t seconds = (clock.kind & kClockCountdown) ? (anchor - at) / kTicksPerSecond : (at - anchor) / kTicksPerSecond;
    if (seconds > INT32_MAX || seconds < INT32_MIN)
        return false;
    alarm->kind = kAlarmOnce;
    alarm->once = local;
    alarm->timerOffset = (int32_t)seconds;
    return true;
}

bool ReadAlarmSection(const ClockReadContext& context, const WCHAR* clockSection, const ClockRecord& clock,
                      int number, AlarmRecord* alarm)
{
    const WCHAR* file = context.paths->userIni;
    std::wstring section = std::wstring(clockSection) + L":alarm" + std::to_wstring(number);
    const WCHAR* s = section.c_str();

    AlarmRecord a = {};
    a.enabled = ReadInt(file, s, L"enabled", 1) != 0;
    std::wstring text;
    if (clock.kind & kClockTimer) {
        // a timer's alarms are moments of the run, not schedules
        if (clock.kind & kClockFixedMoment) {
            SYSTEMTIME t;
            if (!ReadText(file, s, L"time", &text) || !ParseTimeStampValue(text.c_str(), &t) ||
                !AlarmTimeToFileTime(t, clock, &a))
                return false;
        } else {
            if (!ReadText(file, s, L"timestamp", &text) || !ParseTimerTimestamp(text.c_str(), &a.timerOffset))
                return false;
        }
        a.kind = kAlarmOnce;
    } else {
        int kind = ReadInt(file, s, L"type", -1);
        if (!KeyExists(file, s, L"type") || kind < kAlarmOnce || kind > kAlarmCron)
            return false;
        if (!ReadText(file, s, kScheduleKeys[kind], &text) || text.empty())
            return false;
        if (text.size() > kMaxScheduleChars)
            text.resize(kMaxScheduleChars);
        if (!ParseAlarmSchedule(kind, Narrow(text).c_str(), &a))
            return false;
        a.kind = kind;
    }

    int action = ReadInt(file, s, L"action", 0);
    if (action < 0 || action > kMaxAlarmAction)
        return false;
    a.action = action;
    int reminder = ReadInt(file, s, L"reminder", 0);
    a.reminderMinutes = reminder > 0 ? reminder : 0;
    if (ReadText(file, s, L"comment", &text))
        CopyFixed(a.comment, kMaxCommentChars, text.c_str());
    if (ReadText(file, s, L"text", &text))
        CopyFixed(a.text, kMaxTextChars, text.c_str());
    *alarm = a;
    return true;
}

bool WriteAlarmSection(const WCHAR* file, const WCHAR* clockSection, const ClockRecord& clock, int number,
                       const AlarmRecord& alarm)
{
    std::wstring section = std::wstring(clockSection) + L":alarm" + std::to_wstring(number);
    const WCHAR* s = section.c_str();
    WCHAR value[256];
    swprintf(value, 256, L"%u", (unsigned)alarm.kind);
    if (!WritePrivateProfileStringW(s, L"type", value, file))
        return false;
    swprintf(value, 256, L"%u", (unsigned)alarm.enabled);
    if (!WritePrivateProfileStringW(s, L"enabled", value, file))
        return false;

    const SYSTEMTIME* t = nullptr;
    const WCHAR* key = nullptr;
    if (clock.kind & kClockTimer) {
        if (clock.kind & kClockFixedMoment) {
            t = &alarm.once;
            key = L"time";
            swprintf(value, 256, L"%04u.%02hu.%02u %02u:%02u:%02u", t->wYear, t->wMonth, t->wDay, t->wHour,
                     t->wMinute, t->wSecond);
        } else {
            key = L"timestamp";  // 100-ns units
            swprintf(value, 256, L"%ld0000000", (long)alarm.timerOffset);
        }
    } else if (alarm.kind >= kAlarmOnce && alarm.kind <= kAlarmCron) {
        key = kScheduleKeys[alarm.kind];
        switch (alarm.kind) {
        case kAlarmOnce:
            t = &alarm.once;
            swprintf(value, 256, L"%04u.%02u.%02u %02u:%02u:%02u", t->wYear, t->wMonth, t->wDay, t->wHour, t->wMinute,
                     t->wSecond);
            break;
        case kAlarmDaily:
            t = &alarm.dailyStart;
            swprintf(value, 256, L"%04u.%02u.%02u %02u:%02u:%02u %i", t->wYear, t->wMonth, t->wDay, t->wHour,
                     t->wMinute, t->wSecond, (int)alarm.dailyInterval);
            break;
        case kAlarmWeekly:
            t = &alarm.weeklyStart;
            swprintf(value, 256, L"%04u.%02u.%02u %02u:%02u:%02u %i %02X", t->wYear, t->wMonth, t->wDay, t->wHour,
                     t->wMinute, t->wSecond, (int)alarm.weeklyInterval, (unsigned)alarm.weeklyMask);
            break;
        case kAlarmMonthly: {
            unsigned time = alarm.monthlyTime;
            swprintf(value, 256, L"%02u:%02u:%02u %u %u %u %u %i %u.%04u", time / 3600, time / 60 % 60, time % 60,
                     (unsigned)alarm.monthlyNthForm, alarm.monthlyDay, alarm.monthlyOrdinal, alarm.monthlyWeekday,
                     (int)alarm.monthlyInterval, alarm.monthlyFirstMonth, alarm.monthlyFirstYear);
            break;
        }
        case kAlarmYearly: {
            unsigned time = alarm.yearlyTime;
            swprintf(value, 256, L"%02u:%02u:%02u %u %u %u %u %u", time / 3600, time / 60 % 60, time % 60,
                     (unsigned)alarm.yearlyNthForm, alarm.yearlyMonth, alarm.yearlyDay, alarm.yearlyOrdinal,
                     alarm.yearlyWeekday);
            break;
        }
        case kAlarmCron: {
            CronSchedule cron = {alarm.cronMinutes, alarm.cronHours, alarm.cronDays, alarm.cronMonths,
                                 alarm.cronWeekdays};
            char text[256];
            FormatCronSchedule(cron, text, sizeof(text));
            swprintf(value, 256, L"%hs", text);
            break;
        }
        }
    } else {
        return true;  // no schedule of a known kind to write
    }
    WritePrivateProfileStringW(s, key, value, file);

    std::wstring comment(alarm.comment, FixedLength(alarm.comment, FIELD_WIDTH(alarm.comment)));
    WritePrivateProfileStringW(s, L"comment", comment.c_str(), file);
    swprintf(value, 256, L"%d", (int)alarm.reminderMinutes);
    WritePrivateProfileStringW(s, L"reminder", value, file);
    swprintf(value, 256, L"%u", (unsigned)alarm.action);
    WritePrivateProfileStringW(s, L"action", value, file);
    std::wstring text(alarm.text, FixedLength(alarm.text, FIELD_WIDTH(alarm.text)));
    WritePrivateProfileStringW(s, L"text", text.c_str(), file);
    return true;
}
