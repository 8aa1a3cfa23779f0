// Cost of formatting a clock's time and date by a custom picture against the
// system's own formatting of the same values with the same picture.
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "../../graphics/LanguageStrings.h"
#include "../../graphics/TimeFormat.h"

namespace {

const int kInstants = 2048;
const int kRounds = 9;

class CEnglish : public ILanguageStrings {
public:
    int GetString(UINT, WCHAR* buffer, int chars) const override
    {
        if (chars > 0)
            buffer[0] = 0;
        return 0;
    }
    LCID GetLcid() const override { return MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT); }
};

template <class Fn>
double BestNsPerCall(const std::vector<SYSTEMTIME>& instants, Fn fn)
{
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    double best = 1e30;
    volatile unsigned sink = 0;
    for (int r = 0; r < kRounds; ++r) {
        QueryPerformanceCounter(&t0);
        for (const SYSTEMTIME& t : instants) {
            WCHAR out[kTimeTextChars];
            fn(t, out);
            sink = sink + out[0];
        }
        QueryPerformanceCounter(&t1);
        double ns = (double)(t1.QuadPart - t0.QuadPart) * 1e9 / (double)freq.QuadPart / (double)instants.size();
        best = std::min(best, ns);
    }
    return best;
}

}  // namespace

int main()
{
    std::vector<SYSTEMTIME> instants;
    SYSTEMTIME t = {2026, 1, 4, 1, 0, 7, 0, 0};
    for (int i = 0; i < kInstants; ++i) {
        instants.push_back(t);
        AddMinutes(t, 727);
    }
    CEnglish english;
    LCID lcid = english.GetLcid();
    const WeekRules rules = {1, 1};
    const WCHAR* timePicture = L"HH'h'mm:ss";
    const WCHAR* datePicture = L"ddd dd.MM.yyyy";

    auto bareTime = [&](const SYSTEMTIME& v, WCHAR* out) {
        GetTimeFormatW(lcid, 0, &v, timePicture, out, kTimeTextChars);
    };
    auto ownTime = [&](const SYSTEMTIME& v, WCHAR* out) { FormatTime(english, out, v, timePicture); };
    auto bareDate = [&](const SYSTEMTIME& v, WCHAR* out) {
        GetDateFormatW(lcid, 0, &v, datePicture, out, kDateTextChars);
    };
    auto ownDate = [&](const SYSTEMTIME& v, WCHAR* out) {
        FormatDate(english, out, v, datePicture, false, rules);
    };
    // a week code costs a week number on top of the system's formatting of
    // a picture with the same output
    auto bareWeekDate = [&](const SYSTEMTIME& v, WCHAR* out) {
        GetDateFormatW(lcid, 0, &v, L"ddd dd.MM.yyyy 01", out, kDateTextChars);
    };
    auto ownWeekDate = [&](const SYSTEMTIME& v, WCHAR* out) {
        FormatDate(english, out, v, L"ddd dd.MM.yyyy ww", false, rules);
    };

    // interleave so that drifts of the machine hit all alike
    double sysTime = 1e30, myTime = 1e30, sysDate = 1e30, myDate = 1e30, sysWeek = 1e30, myWeek = 1e30;
    for (int pass = 0; pass < 3; ++pass) {
        sysTime = std::min(sysTime, BestNsPerCall(instants, bareTime));
        myTime = std::min(myTime, BestNsPerCall(instants, ownTime));
        sysDate = std::min(sysDate, BestNsPerCall(instants, bareDate));
        myDate = std::min(myDate, BestNsPerCall(instants, ownDate));
        sysWeek = std::min(sysWeek, BestNsPerCall(instants, bareWeekDate));
        myWeek = std::min(myWeek, BestNsPerCall(instants, ownWeekDate));
    }
    printf("GetTimeFormatW, custom picture       %8.1f ns/call (anchor)\n", sysTime);
    printf("FormatTime, custom picture           %8.1f ns/call  ratio %.3f\n", myTime, myTime / sysTime);
    printf("GetDateFormatW, custom picture       %8.1f ns/call (anchor)\n", sysDate);
    printf("FormatDate, custom picture           %8.1f ns/call  ratio %.3f\n", myDate, myDate / sysDate);
    printf("GetDateFormatW, week as digits       %8.1f ns/call (anchor)\n", sysWeek);
    printf("FormatDate, picture with week code   %8.1f ns/call  ratio %.3f\n", myWeek, myWeek / sysWeek);
    return 0;
}
