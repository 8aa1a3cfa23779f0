// The month calendar's arithmetic and geometry: plain values in, plain
// values out, no Win32 calls. Positions are relative to the widget's
// top-left corner; rectangles are half-open (right and bottom exclusive).
#pragma once

#include "graphics/records/WinTypes.h"

namespace Calendar {

// Navigation buttons by index: previous year, previous month, next month, next year.
const int kButtonCount = 4;
// Months moved by button `index` (0..3); 0 for any other index.
int ButtonMonths(int index);

// The button image holds one column per button and one row per state.
const int kButtonStates = 3;
const int kStateNormal = 0;
const int kStatePressed = 1;
const int kStateHover = 2;
// The image row a button shows (pressed and hover: -1 none, else 0..3).
int ButtonState(int index, int pressed, int hover);

// Months moved by a wheel turn: a notch towards the user (negative delta)
// shows the next month.
int WheelMonths(int wheelDelta);

// Grid column (0..6) of the 1st of a month, from any date of it: its
// weekday and day (0 = Sunday) and the first day of the week (0 = Sunday).
int GetFirstColumn(int weekday, int day, int firstDay);

struct Box {
    int left, top, right, bottom;
};

// What the sizes are made of, in pixels.
struct GridMetrics {
    int cellWidth, cellHeight;      // day padding included
    int weekTextWidth;              // 0 without week numbers
    int titleTextHeight;
    int imageWidth, imageHeight;    // the button image; 0 x 0 without one
    int dayPadding, titlePadding, daySpacing, monthSpacing;
    int across, down;
    bool todayLine;
    int todayTextWidth, todayTextHeight;
};

class CGridLayout {
public:
    explicit CGridLayout(const GridMetrics& m);

    int TitleHeight() const { return m_titleHeight; }
    int BlockWidth() const { return m_blockWidth; }
    int BlockHeight() const { return m_blockHeight; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Shift of the month grid under a "Today is" line wider than it.
    int GridOffset() const { return m_offset; }

    // Top-left corner of the month block in row `down`, column `across`.
    void BlockOrigin(int down, int across, int* x, int* y) const;
    // Relative to the block's top-left corner:
    Box TitleBox() const;
    // The day name of column 0..6.
    Box NameBox(int column) const;
    // The cell of week row 0..5, column 0..6.
    Box CellBox(int row, int column) const;
    // The week number of week row 0..5.
    Box WeekBox(int row) const;
    // The ruler under the day names (one pixel high) and, with week
    // numbers, the one left of the grid (one pixel wide).
    Box NameRuler() const;
    Box WeekRuler() const;

    // Relative to the widget: button 0..3 in the title row of the top
    // months, 0 and 1 at the left, 3 and 2 at the right. Empty without an image.
    Box ButtonBox(int index) const;
    // The "Today is" line: the whole strip, the box and the text.
    Box TodayStrip() const;
    Box TodayBox() const;
    Box TodayText() const;

private:
    GridMetrics m_m;
    int m_titleHeight, m_weekColumn, m_blockWidth, m_blockHeight;
    int m_gridWidth, m_gridHeight, m_width, m_height, m_offset;
    int m_lineWidth, m_boxWidth;
};

// -1 for none, else 0..3: the button under (x, y), widget coordinates.
int HitButton(const CGridLayout& layout, int x, int y);
bool InBox(const Box& box, int x, int y);

}  // namespace Calendar
