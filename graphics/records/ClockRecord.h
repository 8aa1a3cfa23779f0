// One configured clock and its highlight profiles: wire records sent raw to the
// tray clock, which checks their size.
#pragma once

#include "graphics/records/PtrSlot.h"
#include "graphics/records/ZoneRecord.h"

struct AlarmRecord;

struct ClockProfileRecord {
    uint32_t enabled;
    SYSTEMTIME rangeStart;      // zone-local (fixed-moment timers)
    SYSTEMTIME rangeEnd;
    uint32_t startMinute;       // minute of the day 0..1439 (time clocks)
    uint32_t endMinute;
    uint32_t reserved0;
    uint64_t rangeStartUtc;     // FILETIME, or a timer's start point in 100-ns units
    uint64_t rangeEndUtc;
    uint32_t color;             // 0x00BBGGRR
    uint8_t weight;             // tint weight 0..255
    uint8_t reserved1[3];
    uint32_t weekdays;          // bit d for day d, 0 = Sunday
    WCHAR label[78];
};

static_assert(sizeof(ClockProfileRecord) == 232, "shared layout");
static_assert(offsetof(ClockProfileRecord, rangeStartUtc) == 48, "shared layout");
static_assert(offsetof(ClockProfileRecord, color) == 64, "shared layout");
static_assert(offsetof(ClockProfileRecord, weekdays) == 72, "shared layout");
static_assert(offsetof(ClockProfileRecord, label) == 76, "shared layout");

// Kind bits
const uint32_t kClockTimer = 1;         // bit 0 alone: stopwatch
const uint32_t kClockCountdown = 2;     // with bit 0
const uint32_t kClockFixedMoment = 4;   // counts to or from a set zone-local moment

// Flag bits
const uint32_t kClockTransparent = 1u << 0;
const uint32_t kClockOnDesktop = 1u << 1;
const uint32_t kClockShowsSeconds = 1u << 2;
const uint32_t kClockSecondsHand = 1u << 3;
const uint32_t kClockSuffix = 1u << 4;
const uint32_t kClockUseDaylight = 1u << 5;
const uint32_t kClockDaylightInUse = 1u << 6;

const int kMaxClocks = 30;

// The menus' add and delete items, in the main program and on the taskbar.
inline bool CanAddClock(int count) { return count < kMaxClocks; }
inline bool CanDeleteClock(int count) { return count > 1; }
const int kMaxProfiles = 12;

struct ClockRecord {
    uint32_t id;                // 1..30
    uint32_t kind;
    uint32_t enabled;
    union {
        WCHAR timerFormat[100];
        struct {
            WCHAR timeFormat[32];
            WCHAR dateFormat[68];
        };
    };
    WCHAR caption[78];          // tooltip caption
    WCHAR location[162];
    SYSTEMTIME localTime;       // kept by whoever draws the clock
    TimeZoneRecord zone;
    WCHAR skin[80];
    uint8_t reserved0[16];
    uint32_t reserved1;         // 0 when built
    uint32_t textColor;         // 0x80000012 when built: system colour 18, flagged by the top bit
    uint8_t alpha;              // desktop alpha 10..255
    uint8_t reserved2[3];
    uint32_t flags;
    WCHAR prefix[32];
    uint32_t clickAction;
    WCHAR clickUrl[512];
    uint32_t timerRunning;
    uint32_t timerFinished;
    int32_t countdownSeconds;
    SYSTEMTIME timerMoment;     // zone-local for a fixed moment, else UTC
    uint64_t timerAnchorUtc;    // countdown end or stopwatch start, FILETIME
    uint64_t timerValue;        // remaining or elapsed, 100-ns units
    uint32_t execAction;
    uint32_t profilesEnabled;
    uint32_t profileCount;
    uint32_t reserved3;
    ClockProfileRecord profiles[kMaxProfiles];
    uint32_t alarmsEnabled;
    uint32_t alarmCount;
    PtrSlot<AlarmRecord> alarms;  // 840-byte records
    uint32_t expanded;
    uint32_t reserved4;
};

// A timer's running state and value, which two copies of a clock share.
inline void CopyTimerState(ClockRecord& to, const ClockRecord& from)
{
    to.timerRunning = from.timerRunning;
    to.timerFinished = from.timerFinished;
    to.timerMoment = from.timerMoment;
    to.timerAnchorUtc = from.timerAnchorUtc;
    to.timerValue = from.timerValue;
}

static_assert(sizeof(ClockRecord) == 5384, "shared layout");
static_assert(offsetof(ClockRecord, timeFormat) == 12, "shared layout");
static_assert(offsetof(ClockRecord, dateFormat) == 76, "shared layout");
static_assert(offsetof(ClockRecord, caption) == 212, "shared layout");
static_assert(offsetof(ClockRecord, location) == 368, "shared layout");
static_assert(offsetof(ClockRecord, localTime) == 692, "shared layout");
static_assert(offsetof(ClockRecord, zone) == 708, "shared layout");
static_assert(offsetof(ClockRecord, skin) == 1232, "shared layout");
static_assert(offsetof(ClockRecord, reserved1) == 1408, "shared layout");
static_assert(offsetof(ClockRecord, textColor) == 1412, "shared layout");
static_assert(offsetof(ClockRecord, alpha) == 1416, "shared layout");
static_assert(offsetof(ClockRecord, flags) == 1420, "shared layout");
static_assert(offsetof(ClockRecord, prefix) == 1424, "shared layout");
static_assert(offsetof(ClockRecord, clickAction) == 1488, "shared layout");
static_assert(offsetof(ClockRecord, clickUrl) == 1492, "shared layout");
static_assert(offsetof(ClockRecord, timerRunning) == 2516, "shared layout");
static_assert(offsetof(ClockRecord, countdownSeconds) == 2524, "shared layout");
static_assert(offsetof(ClockRecord, timerMoment) == 2528, "shared layout");
static_assert(offsetof(ClockRecord, timerAnchorUtc) == 2544, "shared layout");
static_assert(offsetof(ClockRecord, timerValue) == 2552, "shared layout");
static_assert(offsetof(ClockRecord, execAction) == 2560, "shared layout");
static_assert(offsetof(ClockRecord, profileCount) == 2568, "shared layout");
static_assert(offsetof(ClockRecord, profiles) == 2576, "shared layout");
static_assert(offsetof(ClockRecord, alarmsEnabled) == 5360, "shared layout");
static_assert(offsetof(ClockRecord, alarms) == 5368, "shared layout");
static_assert(offsetof(ClockRecord, expanded) == 5376, "shared layout");
