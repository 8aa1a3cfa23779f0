#include "settings/frame/SettingsCommand.h"

namespace {

// How much of the switch a name must match.
const int kWholeRest = -1;

struct SwitchName {
    const WCHAR* name;
    int length;  // compared characters, or kWholeRest
    uint32_t code;
    bool inst;
};

// First match wins: the longer names come before their prefixes, and the two
// new-clock kinds must match exactly so that "/new_timer5" is "/new" with 5.
const SwitchName kSwitches[] = {
    {L"del", 3, kSettingsDeleteClock, false},
    {L"new_alarm", 9, kSettingsNewAlarm, false},
    {L"new_timer", kWholeRest, kSettingsNewCountdown, false},
    {L"new_stopwatch", kWholeRest, kSettingsNewTimer, false},
    {L"new", 3, kSettingsNewClock, false},
    {L"zone", 4, kSettingsZonePage, false},
    {L"skin", 4, kSettingsDesktopPage, false},
    {L"formats", 7, kSettingsFormatsPage, false},
    {L"alarms", 6, kSettingsAlarmList, false},
    {L"alarm", 5, kSettingsAlarm, false},
    {L"profiles", 8, kSettingsBackgroundList, false},
    {L"profile", 7, kSettingsBackground, false},
    {L"taskbar", 7, kSettingsTaskbarPage, false},
    {L"sync", 4, kSettingsSyncPage, false},
    {L"general", 7, kSettingsGeneralPage, false},
    {L"rss", 3, kSettingsNewsPage, false},
    {L"inst", 4, kSettingsNoCommand, true},
};

// N and M travel together in one 32-bit lParam.
const uint32_t kLargestNumber = 0xFFFF;

WCHAR Lower(WCHAR c)
{
    return c >= L'A' && c <= L'Z' ? (WCHAR)(c - L'A' + L'a') : c;
}

bool Matches(const WCHAR* text, const SwitchName& entry)
{
    int i = 0;
    for (; entry.name[i]; ++i)
        if (Lower(text[i]) != entry.name[i])
            return false;
    return entry.length != kWholeRest || text[i] == 0;
}

bool IsDigit(WCHAR c)
{
    return c >= L'0' && c <= L'9';
}

// Decimal digits at `*p`; saturates past kLargestNumber instead of wrapping.
uint32_t ReadNumber(const WCHAR** p)
{
    uint32_t value = 0;
    for (; IsDigit(**p); ++*p)
        value = value > kLargestNumber ? value : value * 10 + (uint32_t)(**p - L'0');
    return value;
}

const WCHAR* FindSwitch(const WCHAR* commandLine)
{
    bool quoted = false;
    for (const WCHAR* p = commandLine; *p; ++p) {
        if (*p == L'"')
            quoted = !quoted;
        else if (!quoted && (*p == L' ' || *p == L'\t') && p[1] == L'/')
            return p + 2;
    }
    return nullptr;
}

}  // namespace

void ParseSettingsCommandLine(const WCHAR* commandLine, SettingsCommand* command)
{
    *command = {};
    const WCHAR* p = commandLine ? FindSwitch(commandLine) : nullptr;
    if (!p)
        return;
    const SwitchName* matched = nullptr;
    for (const SwitchName& entry : kSwitches) {
        if (Matches(p, entry)) {
            matched = &entry;
            break;
        }
    }
    if (matched) {
        for (const WCHAR* name = matched->name; *name; ++name)
            ++p;
        command->code = matched->code;
        command->inst = matched->inst;
    }
    // the number may follow other characters: "/new_timer5" is "/new" with 5
    while (*p && !IsDigit(*p))
        ++p;
    command->n = ReadNumber(&p);
    if (p[0] == L'.' && IsDigit(p[1])) {
        ++p;
        command->m = ReadNumber(&p);
    }
    if (!matched && command->n != 0)
        command->code = kSettingsShowClock;
    // a larger number would run into the other one in lParam
    if (command->n > kLargestNumber || command->m > kLargestNumber) {
        command->code = kSettingsNoCommand;
        command->n = command->m = 0;
    }
}
