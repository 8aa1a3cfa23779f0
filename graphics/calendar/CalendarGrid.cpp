#include "graphics/calendar/CalendarGrid.h"

#include "graphics/time/ZoneTime.h"

namespace Calendar {

namespace {

const int kButtonMonthSteps[kButtonCount] = {-12, -1, 1, 12};
const int kWheelNotch = 120;    // WHEEL_DELTA
const int kDaysShown = 7;
const int kWeekRows = 6;

int Max(int a, int b)
{
    return a > b ? a : b;
}

}  // namespace

int ButtonMonths(int index)
{
    return index >= 0 && index < kButtonCount ? kButtonMonthSteps[index] : 0;
}

int ButtonState(int index, int pressed, int hover)
{
    if (index == pressed)
        return kStatePressed;
    if (pressed < 0 && index == hover)
        return kStateHover;
    return kStateNormal;
}

int WheelMonths(int wheelDelta)
{
    return -(wheelDelta / kWheelNotch);
}

int GetFirstColumn(int weekday, int day, int firstDay)
{
    // the weekday of the 1st, counted from the first day of the week; the
    // difference goes negative for late days early in the week
    return NormalWeekday(weekday - (day - 1) % 7 - firstDay);
}

CGridLayout::CGridLayout(const GridMetrics& m) : m_m(m)
{
    // the image holds three state rows: one of them is a button's height
    m_titleHeight = Max(m.titleTextHeight, m.imageHeight / kButtonStates) + 2 * m.titlePadding;
    m_weekColumn = m.weekTextWidth > 0 ? m.weekTextWidth + m.daySpacing + m.dayPadding + 1 : 0;
    m_blockWidth = kDaysShown * m.cellWidth + (kDaysShown - 1) * m.daySpacing + m_weekColumn;
    // day names and six weeks, the ruler's pixel between them
    m_blockHeight = (kWeekRows + 1) * m.cellHeight + kWeekRows * m.daySpacing + 1 + m_titleHeight;
    m_gridWidth = m.across * m_blockWidth + (m.across - 1) * m.monthSpacing;
    m_gridHeight = m.down * m_blockHeight + (m.down - 1) * m.monthSpacing;
    m_width = m_gridWidth;
    m_height = m_gridHeight;
    m_offset = 0;
    m_boxWidth = m.cellHeight > 0 ? m.todayTextHeight * m.cellWidth / m.cellHeight : 0;
    m_lineWidth = m_boxWidth + m.daySpacing + m.todayTextWidth;
    if (m.todayLine) {
        m_height += m.daySpacing + m.cellHeight;
        if (m_lineWidth > m_gridWidth) {
            m_width = m_lineWidth;
            m_offset = (m_lineWidth - m_gridWidth) / 2;
        }
    }
}

void CGridLayout::BlockOrigin(int down, int across, int* x, int* y) const
{
    *x = m_offset + across * (m_blockWidth + m_m.monthSpacing);
    *y = down * (m_blockHeight + m_m.monthSpacing);
}

Box CGridLayout::TitleBox() const
{
    return {0, 0, m_blockWidth, m_titleHeight};
}

Box CGridLayout::NameBox(int column) const
{
    int left = m_weekColumn + column * (m_m.cellWidth + m_m.daySpacing);
    return {left, m_titleHeight, left + m_m.cellWidth, m_titleHeight + m_m.cellHeight};
}

Box CGridLayout::CellBox(int row, int column) const
{
    Box name = NameBox(column);
    int top = name.bottom + m_m.daySpacing + 1 + row * (m_m.cellHeight + m_m.daySpacing);
    return {name.left, top, name.right, top + m_m.cellHeight};
}

Box CGridLayout::WeekBox(int row) const
{
    Box cell = CellBox(row, 0);
    return {0, cell.top, m_m.weekTextWidth, cell.bottom};
}

Box CGridLayout::NameRuler() const
{
    int y = m_titleHeight + m_m.cellHeight + m_m.daySpacing / 2;
    return {m_weekColumn, y, m_blockWidth, y + 1};
}

Box CGridLayout::WeekRuler() const
{
    if (m_weekColumn == 0)
        return {0, 0, 0, 0};
    int x = m_m.weekTextWidth + (m_m.daySpacing + m_m.dayPadding) / 2;
    return {x, CellBox(0, 0).top, x + 1, CellBox(kWeekRows - 1, 0).bottom};
}

Box CGridLayout::ButtonBox(int index) const
{
    int width = m_m.imageWidth / kButtonCount, height = m_m.imageHeight / kButtonStates;
    if (width <= 0 || height <= 0 || index < 0 || index >= kButtonCount)
        return {0, 0, 0, 0};
    int top = (m_titleHeight - height) / 2;
    int left = index < 2 ? m_offset + m_m.titlePadding + index * width
                         : m_offset + m_gridWidth - m_m.titlePadding - (kButtonCount - index) * width;
    return {left, top, left + width, top + height};
}

Box CGridLayout::TodayStrip() const
{
    if (!m_m.todayLine)
        return {0, 0, 0, 0};
    int left = (m_width - m_lineWidth) / 2, top = m_gridHeight + m_m.daySpacing;
    return {left, top, left + m_lineWidth, top + m_m.cellHeight};
}

Box CGridLayout::TodayBox() const
{
    Box strip = TodayStrip();
    int top = strip.top + (m_m.cellHeight - m_m.todayTextHeight) / 2;
    return {strip.left, top, strip.left + m_boxWidth, top + m_m.todayTextHeight};
}

Box CGridLayout::TodayText() const
{
    Box box = TodayBox();
    return {box.right + m_m.daySpacing, box.top, box.right + m_m.daySpacing + m_m.todayTextWidth, box.bottom};
}

bool InBox(const Box& box, int x, int y)
{
    return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

int HitButton(const CGridLayout& layout, int x, int y)
{
    for (int i = 0; i < kButtonCount; ++i)
        if (InBox(layout.ButtonBox(i), x, y))
            return i;
    return -1;
}

}  // namespace Calendar
