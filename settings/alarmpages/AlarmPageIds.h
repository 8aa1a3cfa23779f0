// The alarm page, its timer variants and its six schedule sub-pages: their
// templates, control ids and strings in the language resource library,
// shared by the pages and the tests that drive them.
#pragma once

#include <windows.h>

const UINT kAlarmPageTemplate = 144;
const UINT kDatedAlarmTemplate = 211;      // a timer bound to a date: the alarm's moment
const UINT kCountdownAlarmTemplate = 212;  // a countdown: the time before its end
const UINT kTimerAlarmTemplate = 213;      // a stopwatch: the time after its start
// Schedule sub-pages by alarm kind, once to cron.
const UINT kSchedulePageTemplates[6] = {147, 148, 149, 150, 151, 152};
extern const WCHAR* const kSchedulePageSections[6];

// The alarm page.
const int kIdcAlarmComment = 1089;    // 77 characters
const int kIdcAlarmCaption = 1242;    // the comment once more, as a heading
const int kIdcReminderOn = 1078;
const int kIdcReminderList = 1110;    // lead times, item data = minutes
const int kIdcKindOnce = 1091;        // to 1096: once, daily, weekly, monthly, yearly, cron
const int kIdcSchedulePane = 1114;    // placeholder of the sub-pages, destroyed once they sit on it
const int kIdcAlarmAction = 1111;
const int kIdcAlarmText = 1112;       // 259 characters
const int kIdcAlarmBrowse = 1113;
const int kIdcAlarmTest = 1139;
// The timer variants: the offset as a duration, or the alarm's zone time.
const int kIdcOffsetDays = 1288;      // to 1291: days, hours, minutes, seconds
const int kIdcAlarmDate = 1285;
const int kIdcAlarmTime = 1286;

// The sub-pages.
const int kIdcScheduleDate = 1115;    // once, daily, weekly
const int kIdcScheduleTime = 1090;    // all but cron
const int kIdcDailyEvery = 1116;
const int kIdcDailyDays = 1117;
const int kIdcDailyWorkdays = 1118;
const int kIdcWeeklyInterval = 1119;
// Weekday check boxes, Sunday to Saturday.
const int kWeekdayBoxes[7] = {1100, 1101, 1102, 1103, 1104, 1106, 1107};
const int kIdcMonthlyFixed = 1125;
const int kIdcMonthlyDay = 1126;
const int kIdcMonthlyInterval = 1127;
const int kIdcMonthlyNth = 1128;
const int kIdcMonthlyOrdinal = 1130;
const int kIdcMonthlyWeekday = 1131;
const int kIdcMonthlyFirstMonth = 1141;
const int kIdcMonthlyFirstYear = 1142;  // item data = the year
const int kIdcYearlyFixed = 1131;
const int kIdcYearlyWeekday = 1132;
const int kIdcYearlyFixedMonth = 1133;
const int kIdcYearlyNthMonth = 1134;
const int kIdcYearlyDay = 1135;
const int kIdcYearlyNth = 1136;
const int kIdcYearlyOrdinal = 1137;
const int kIdcCronMinutes = 1138;     // to 1142: minutes, hours, days, months, weekdays

// Strings: action names 0..8, ordinals first..fourth and last, the lead
// time parts (each a format that gets its number twice).
const UINT kStrActionFirst = 182;
const int kActionCount = 9;
const UINT kStrOrdinalFirst = 191;
const int kOrdinalCount = 5;
const UINT kStrLeadDays = 197;
const UINT kStrLeadHours = 198;
const UINT kStrLeadMinutes = 199;
