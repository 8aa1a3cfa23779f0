// Macros in alarm texts: "$name" or "${name}", "$$" for a "$".
#pragma once

#include <windows.h>

#include "app/startup/BuildInfo.h"
#include "graphics/records/AlarmRecord.h"
#include "graphics/records/ClockRecord.h"
#include "graphics/time/ZoneTime.h"

class CCityList;
class ILanguageStrings;

// The longest expansion, without its terminator.
const int kAlarmTextChars = 548;

// What the macros read besides the clock and the alarm.
struct AlarmTextContext {
    const ILanguageStrings* language;  // the locale and pictures of dates and times; required
    const CCityList* cities;           // null: "city" and "country" give nothing
    const BuildInfo* build;            // null: "version" and "compiled" give nothing
    WeekRules weekRules;               // for the week codes of date pictures
};

// Expands `text` into `out` (`capacity` characters with the NUL, cut at
// kAlarmTextChars). `occurrence` is in the clock's zone time; `clock` and
// `alarm` may be null, their macros then give nothing (without a clock the
// occurrence is taken as it is). Returns the length written.
int ExpandAlarmText(const WCHAR* text, WCHAR* out, int capacity, const ClockRecord* clock, const AlarmRecord* alarm,
                    const SYSTEMTIME& occurrence, const AlarmTextContext& context);
