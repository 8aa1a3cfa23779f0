// Cost of formatting a clock's time and date by a custom picture against the
// system's own formatting of the same values with the same picture.
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "graphics/language/LanguageStrings.h"
#include "graphics/text/TimeFormat.h"
#include "tests/support/FakeLanguage.h"
#include "tests/bench/BenchTimer.h"

namespace {

const int kInstants = 2048;
const int kRounds = 9;

}  // namespace

int main()
{
    std::vector<SYSTEMTIME> instants = BenchInstants(kInstants, 727);
    CFakeLanguage english;
    LCID lcid = english.GetLcid();
    const WeekRules rules = {1, 1};
    const WCHAR* timePicture = L"HH'h'mm:ss";
    const WCHAR* datePicture = L"ddd dd.MM.yyyy";

    WCHAR out[kTimeTextChars];
    auto bareTime = [&](const SYSTEMTIME& v) {
        GetTimeFormatW(lcid, 0, &v, timePicture, out, kTimeTextChars);
        return out[0];
    };
    auto ownTime = [&](const SYSTEMTIME& v) {
        FormatTime(english, out, v, timePicture);
        return out[0];
    };
    auto bareDate = [&](const SYSTEMTIME& v) {
        GetDateFormatW(lcid, 0, &v, datePicture, out, kDateTextChars);
        return out[0];
    };
    auto ownDate = [&](const SYSTEMTIME& v) {
        FormatDate(english, out, v, datePicture, false, rules);
        return out[0];
    };
    // a week code costs a week number on top of the system's formatting of
    // a picture with the same output
    auto bareWeekDate = [&](const SYSTEMTIME& v) {
        GetDateFormatW(lcid, 0, &v, L"ddd dd.MM.yyyy 01", out, kDateTextChars);
        return out[0];
    };
    auto ownWeekDate = [&](const SYSTEMTIME& v) {
        FormatDate(english, out, v, L"ddd dd.MM.yyyy ww", false, rules);
        return out[0];
    };

    // interleave so that drifts of the machine hit all alike
    double sysTime = 1e30, myTime = 1e30, sysDate = 1e30, myDate = 1e30, sysWeek = 1e30, myWeek = 1e30;
    for (int pass = 0; pass < 3; ++pass) {
        sysTime = std::min(sysTime, BestNsPerItem(instants, kRounds, bareTime));
        myTime = std::min(myTime, BestNsPerItem(instants, kRounds, ownTime));
        sysDate = std::min(sysDate, BestNsPerItem(instants, kRounds, bareDate));
        myDate = std::min(myDate, BestNsPerItem(instants, kRounds, ownDate));
        sysWeek = std::min(sysWeek, BestNsPerItem(instants, kRounds, bareWeekDate));
        myWeek = std::min(myWeek, BestNsPerItem(instants, kRounds, ownWeekDate));
    }
    printf("GetTimeFormatW, custom picture       %8.1f ns/call (anchor)\n", sysTime);
    printf("FormatTime, custom picture           %8.1f ns/call  ratio %.3f\n", myTime, myTime / sysTime);
    printf("GetDateFormatW, custom picture       %8.1f ns/call (anchor)\n", sysDate);
    printf("FormatDate, custom picture           %8.1f ns/call  ratio %.3f\n", myDate, myDate / sysDate);
    printf("GetDateFormatW, week as digits       %8.1f ns/call (anchor)\n", sysWeek);
    printf("FormatDate, picture with week code   %8.1f ns/call  ratio %.3f\n", myWeek, myWeek / sysWeek);
    return 0;
}
