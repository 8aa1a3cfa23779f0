#include "app/dialogs/TimeTableRows.h"

#include <string.h>
#include <wchar.h>

#include "app/zones/ZoneHelpers.h"
#include "graphics/clock/Clock.h"
#include "graphics/image/PixelOps.h"
#include "graphics/text/TimeFormat.h"
#include "graphics/time/FileTimeTicks.h"
#include "graphics/time/ZoneConvert.h"

const WCHAR* const kTableModeNames[kTableModeCount] = {L"Default", L"12 hours", L"24 hours", L"Clock"};

namespace {

const WCHAR kDayPicture[] = L"ddd";
const int64_t kTicksPerMinute = 60 * kTicksPerSecond;

bool IsNoDate(const WCHAR* picture)
{
    return !picture[0] || _wcsicmp(picture, L"None") == 0;
}

// The profile colour blended into the window colour by the profile's weight.
COLORREF CellColour(const ClockRecord& atMoment, const TimeTableInput& input)
{
    int index = FindActiveProfile(atMoment, -1, input.localZone, input.localHighlight);
    const ClockProfileRecord* profile = nullptr;
    if (index == kLocalZoneProfile)
        profile = input.localHighlight;
    else if (index >= 0)
        profile = &atMoment.profiles[index];
    if (!profile)
        return input.window;
    // both are 0x00BBGGRR: the per-byte mix needs no reordering
    return (COLORREF)(MixColors(input.window, profile->color & 0xFFFFFFu, profile->weight) & 0xFFFFFFu);
}

}  // namespace

int TableModeFromName(const WCHAR* name)
{
    for (int i = 0; i < kTableModeCount; ++i)
        if (_wcsicmp(name, kTableModeNames[i]) == 0)
            return i;
    return -1;
}

COLORREF CTimeTableRows::Colour(int row, int clockColumn) const
{
    if (row < 0 || row >= m_rows || clockColumn < 0 || clockColumn >= kTableClockColumns)
        return m_window;
    return m_colours[(size_t)row * kTableClockColumns + clockColumn];
}

void CTimeTableRows::Fill(const TimeTableInput& input)
{
    int interval = input.interval < 1 ? 1 : input.interval;
    int clockCount = input.clockCount < 0 ? 0 : input.clockCount > kTableClockColumns ? kTableClockColumns
                                                                                       : input.clockCount;
    m_rows = kMinutesPerDay / interval;
    m_columns = 1 + clockCount;
    m_window = input.window;
    m_texts.assign((size_t)m_rows * m_columns, std::wstring());
    m_colours.assign((size_t)m_rows * kTableClockColumns, input.window);
    m_moments.assign((size_t)m_rows, SYSTEMTIME{});

    const WCHAR* modeFormat = input.mode == kTableMode12Hours   ? L"12 hours"
                              : input.mode == kTableMode24Hours ? L"24 hours"
                                                                : L"Default";
    SYSTEMTIME midnight = input.date;
    midnight.wHour = midnight.wMinute = midnight.wSecond = midnight.wMilliseconds = 0;
    SYSTEMTIME first;
    ZoneTimeToUtc(&first, input.localZone->zone, midnight);
    uint64_t start = 0;
    SystemTimeToTicks(first, &start);

    // one scratch copy per clock: the profile rules read the clock's local time
    std::vector<ClockRecord> scratch((size_t)clockCount);
    struct Formats {
        WCHAR time[32];
        WCHAR date[68];
    };
    std::vector<Formats> formats((size_t)clockCount);
    for (int c = 0; c < clockCount; ++c) {
        const ClockRecord& clock = *input.clocks[c];
        scratch[(size_t)c] = clock;
        Formats& f = formats[(size_t)c];
        bool own = input.mode == kTableModeClock && !(clock.kind & kClockTimer);
        wcscpy(f.time, modeFormat);
        wcscpy(f.date, kDayPicture);
        if (own) {
            CopyFieldText(f.time, 32, clock.timeFormat, 32);
            CopyFieldText(f.date, 68, clock.dateFormat, 68);
            if (IsNoDate(f.date))
                wcscpy(f.date, kDayPicture);
        }
    }

    WCHAR date[kDateTextChars], time[kTimeTextChars];
    WCHAR cell[kDateTextChars + kTimeTextChars + 1];
    for (int row = 0; row < m_rows; ++row) {
        SYSTEMTIME utc;
        TicksToSystemTime(start + (uint64_t)row * interval * kTicksPerMinute, &utc);
        m_moments[(size_t)row] = utc;
        SYSTEMTIME local;
        if (!UtcToZoneTime(utc, &local, input.localZone->zone))
            UtcToZoneTimeOwn(utc, &local, input.localZone->zone);
        FormatDate(*input.language, date, local, kDayPicture, true, input.weekRules);
        FormatTime(*input.language, time, local, modeFormat);
        _snwprintf(cell, ARRAYSIZE(cell) - 1, L"%ls %ls", date, time);
        cell[ARRAYSIZE(cell) - 1] = 0;
        std::wstring* texts = &m_texts[(size_t)row * m_columns];
        texts[0] = cell;
        for (int c = 0; c < clockCount; ++c) {
            ClockRecord& clock = scratch[(size_t)c];
            GetClockLocalTime(utc, &clock.localTime, clock);
            const Formats& f = formats[(size_t)c];
            FormatDate(*input.language, date, clock.localTime, f.date, true, input.weekRules);
            FormatTime(*input.language, time, clock.localTime, f.time);
            _snwprintf(cell, ARRAYSIZE(cell) - 1, L"%ls %ls", date, time);
            cell[ARRAYSIZE(cell) - 1] = 0;
            texts[1 + c] = cell;
            m_colours[(size_t)row * kTableClockColumns + c] = CellColour(clock, input);
        }
    }
}
