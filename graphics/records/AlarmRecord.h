// One alarm or reminder of a clock; sent raw to the tray clock. Times and
// dates are in the clock's zone time. Only the block of the record's own kind
// is meaningful.
#pragma once

#include <stddef.h>
#include "graphics/records/WinTypes.h"

enum AlarmKind : int32_t {
    kAlarmOnce = 0, kAlarmDaily, kAlarmWeekly, kAlarmMonthly, kAlarmYearly, kAlarmCron
};

// The action field: what the alarm does when it fires.
enum AlarmAction : int32_t {
    kActionReminder = 0,     // a log entry (no clock: a message box)
    kActionSound = 1,        // text: a sound file or "beep!"
    kActionSoundLoop = 2,    // until stopped in its dialog
    kActionOpenFile = 3,     // text opened by the shell: a picture
    kActionOpenAddress = 4,  // a web address
    kActionCommandLine = 5,  // text: program and parameters
    kActionOpenDocument = 6,
    kActionShutdown = 7,     // after a countdown
    kActionHibernate = 8,
};

struct AlarmRecord {
    int32_t kind;               // AlarmKind; always once for a timer clock
    int32_t enabled;
    WCHAR comment[78];
    int32_t reminderMinutes;    // 0 = no reminder
    int32_t action;             // 0..8
    WCHAR text[260];
    SYSTEMTIME once;            // also an anchored timer's zone time
    int32_t timerOffset;        // seconds from the timer's anchor
    SYSTEMTIME dailyStart;
    int32_t dailyInterval;      // days; 0 or less = Monday to Friday
    SYSTEMTIME weeklyStart;
    int32_t weeklyInterval;     // weeks, below 1 counts as 1
    uint32_t weeklyMask;        // bit 0 Sunday .. bit 6 Saturday
    uint32_t monthlyTime;       // seconds of the day
    uint8_t monthlyNthForm;     // 1 = n-th weekday, 0 = fixed day
    uint8_t reserved0[3];
    uint32_t monthlyDay;
    uint32_t monthlyOrdinal;    // 1..4, 5 = last
    uint32_t monthlyWeekday;
    int32_t monthlyInterval;    // months, below 1 counts as 1
    uint32_t monthlyFirstMonth;
    uint32_t monthlyFirstYear;
    uint32_t yearlyTime;        // seconds of the day
    uint8_t yearlyNthForm;
    uint8_t reserved1[3];
    uint32_t yearlyMonth;
    uint32_t yearlyDay;
    uint32_t yearlyOrdinal;
    uint32_t yearlyWeekday;
    uint32_t reserved2;
    uint64_t cronMinutes;       // bit m, 0 = any
    uint32_t cronHours;         // bit h, 0 = any
    int32_t cronDays;           // bit d-1, 0 = any; -1..-31 counts from the month's end
    uint32_t cronMonths;        // bit m (1..12), 0 = any
    uint32_t cronWeekdays;      // bit 0 Sunday, 0 = any
};

static_assert(sizeof(AlarmRecord) == 840, "shared layout");
static_assert(offsetof(AlarmRecord, reminderMinutes) == 164, "shared layout");
static_assert(offsetof(AlarmRecord, text) == 172, "shared layout");
static_assert(offsetof(AlarmRecord, once) == 692, "shared layout");
static_assert(offsetof(AlarmRecord, dailyStart) == 712, "shared layout");
static_assert(offsetof(AlarmRecord, weeklyStart) == 732, "shared layout");
static_assert(offsetof(AlarmRecord, weeklyMask) == 752, "shared layout");
static_assert(offsetof(AlarmRecord, monthlyNthForm) == 760, "shared layout");
static_assert(offsetof(AlarmRecord, monthlyDay) == 764, "shared layout");
static_assert(offsetof(AlarmRecord, monthlyFirstYear) == 784, "shared layout");
static_assert(offsetof(AlarmRecord, yearlyNthForm) == 792, "shared layout");
static_assert(offsetof(AlarmRecord, yearlyMonth) == 796, "shared layout");
static_assert(offsetof(AlarmRecord, yearlyWeekday) == 808, "shared layout");
static_assert(offsetof(AlarmRecord, cronMinutes) == 816, "shared layout");
static_assert(offsetof(AlarmRecord, cronDays) == 828, "shared layout");
static_assert(offsetof(AlarmRecord, cronWeekdays) == 836, "shared layout");
