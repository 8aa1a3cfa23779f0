// Duration pictures of timers and stopwatches ("%H:%02m:%02s") and the unit
// names that follow a language's plural rules. No Win32 calls.
#pragma once

#include "graphics/records/ClockRecord.h"

class ILanguageStrings;

// Units, in the order of their string ids.
const int kUnitSeconds = 0;
const int kUnitMinutes = 1;
const int kUnitHours = 2;
const int kUnitDays = 3;
const int kUnitWeeks = 4;
const int kUnitCount = 5;

// String ids of the unit names: seconds, minutes, hours, days, weeks.
const UINT kUnitNameStringIds[kUnitCount] = {257, 258, 259, 260, 261};

// The characters a unit string is read with before it is cut to its field.
const int kUnitStringReadChars = 3072;

// Unit names of one language. Text form per unit: the default name, then any
// number of groups ";<ranges> <name>", a range being a or a-b within 0..99,
// ranges separated by commas. The value modulo 100 selects a group.
// Read without a lock; only the thread that sets the language changes it.
class CUnitNames {
public:
    static const int kTextChars = 1023;  // default and group names of one unit together
    static const int kMaxRanges = 100;

    CUnitNames();

    // Replaces the names of `unit` by those of `text` (null: none). A text
    // that breaks the form keeps what was parsed before the break; longer
    // texts are cut to kTextChars first.
    void Parse(int unit, const WCHAR* text);
    // Reads and parses the five unit strings of the language.
    void Load(const ILanguageStrings& strings);
    // The name for `number` (never null); units outside 0..4 give "".
    const WCHAR* GetName(int unit, int32_t number) const;

private:
    struct Range {
        uint8_t low;
        uint8_t high;
        uint16_t name;  // offset into the unit's text
    };
    struct Unit {
        WCHAR text[kTextChars + 1];  // names, each NUL-terminated in place
        Range ranges[kMaxRanges];
        int rangeCount;
        bool hasDefault;
    };
    Unit m_units[kUnitCount];
};

// Expands a duration picture into `out`, at most `capacity` - 1 characters
// and a NUL. Codes: %S %M %H %D %W/%w totals; %s %m %h %d the remainders of
// 60, 60, 24 and 7; optional printf width and precision ("%02m"); a code
// letter followed by n writes the unit name instead of the number; %% a
// percent sign; \n a line break. A number or name that does not fit whole
// ends the text. No output, no picture or no capacity writes nothing.
void FormatDuration(WCHAR* out, int capacity, const WCHAR* picture, int32_t seconds, int32_t minutes,
                    int32_t hours, int32_t days, int32_t weeks, const CUnitNames& names);
// The same for a duration in 100-ns ticks (totals past 2^31 - 1 are held there).
void FormatDurationTicks(WCHAR* out, int capacity, const WCHAR* picture, uint64_t ticks,
                         const CUnitNames& names);

// True when the picture shows seconds (%s or %S, with any width).
bool FormatHasSeconds(const WCHAR* picture);

// Every digit 1-9 becomes 0, so that texts can be compared by shape.
void MaskDigits(WCHAR* text);

// Results of UpdateTimerText
const int kTimerUnchanged = 0;
const int kTimerSameShape = 1;
const int kTimerNewShape = 2;

// Advances a running timer clock to `nowUtc` (milliseconds ignored): a
// countdown past its end, or a stopwatch before its start, stops at 0 with
// its finished flag set. Tells whether the text of its picture changed, and
// whether only digits changed.
int UpdateTimerText(ClockRecord& clock, const SYSTEMTIME& nowUtc, const CUnitNames& names);

// UTC time as a FILETIME count of 100-ns ticks; 0 for an invalid time.
uint64_t TicksOfTime(const SYSTEMTIME& time);
