// Control ids of the background pages (templates 146, 214, 215, 216),
// shared by the pages and the tests that drive them.
#pragma once

#include <windows.h>

const int kIdcBkgLabel = 1016;
const int kIdcBkgLabelShown = 1243;
const int kIdcBkgColor = 1108;
const int kIdcBkgOpacity = 1109;
const int kIdcBkgPreview = 1086;

// Template 146: the daily window and its weekdays.
const int kIdcBkgStartTime = 1098;
const int kIdcBkgEndTime = 1099;
// Sunday to Saturday.
const int kIdcBkgWeekdays[7] = {1100, 1101, 1102, 1103, 1104, 1106, 1107};

// Templates 215 and 216: days, hours, minutes and seconds of each offset.
const int kIdcBkgStartOffset[4] = {1288, 1289, 1290, 1291};
const int kIdcBkgEndOffset[4] = {1293, 1295, 1296, 1292};

// Template 214: date and time pickers of each end.
const int kIdcBkgFromDate = 1298;
const int kIdcBkgFromTime = 1300;
const int kIdcBkgToDate = 1299;
const int kIdcBkgToTime = 1301;

// The opacity slider runs 0..127: alpha is twice the position, 255 at the end.
const int kBkgOpacityMax = 127;
