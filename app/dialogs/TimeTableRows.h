// The texts and cell colours of the time table: one day of a chosen local
// date in steps of an interval, the local time and every shown clock's time
// at each step. Computes only; the window puts the result in its list.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "graphics/time/ZoneTime.h"

class ILanguageStrings;

// Format modes, in the order of the format combo box and of "ttable_format".
const int kTableModeDefault = 0;
const int kTableMode12Hours = 1;
const int kTableMode24Hours = 2;
const int kTableModeClock = 3;   // each clock's own time and date formats
const int kTableModeCount = 4;
// The names "ttable_format" stores, by mode.
extern const WCHAR* const kTableModeNames[kTableModeCount];
// The mode of a stored name; -1 for an unknown one.
int TableModeFromName(const WCHAR* name);

const int kMinTableInterval = 5;
const int kMaxTableInterval = 60;
const int kMinutesPerDay = 1440;
// Clock columns the colour table holds per row.
const int kTableClockColumns = 30;

struct TimeTableInput {
    const ILanguageStrings* language;
    const LocalZoneState* localZone;
    const ClockProfileRecord* localHighlight;  // "localzonehighlight"; null: none
    WeekRules weekRules;
    const ClockRecord* const* clocks;          // the shown clocks; at most kTableClockColumns are used
    int clockCount;
    SYSTEMTIME date;                            // local; only the date is read
    int interval;                               // minutes, at least 1
    int mode;
    COLORREF window;                            // the cells without an active profile
};

class CTimeTableRows {
public:
    void Fill(const TimeTableInput& input);

    int Rows() const { return m_rows; }
    // Column 0 is the local time, 1.. the clocks.
    int Columns() const { return m_columns; }
    const WCHAR* Text(int row, int column) const { return m_texts[(size_t)row * m_columns + column].c_str(); }
    // Clock column 0.. (the list's column 1..); the window colour outside the table.
    COLORREF Colour(int row, int clockColumn) const;
    // The moment of a row, UTC.
    const SYSTEMTIME& Moment(int row) const { return m_moments[(size_t)row]; }

private:
    int m_rows = 0;
    int m_columns = 0;
    COLORREF m_window = 0;
    std::vector<std::wstring> m_texts;
    std::vector<COLORREF> m_colours;   // kTableClockColumns per row
    std::vector<SYSTEMTIME> m_moments;
};
