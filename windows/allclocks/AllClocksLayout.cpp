#include "windows/allclocks/AllClocksLayout.h"

#include <stddef.h>

namespace {

const int kMargin = 5;
const int kOuterWidth = 10;   // both side margins together
const int kCellGap = 4;
const int kBlockExtra = 8;    // between a clock and its pickers, and under them
const int kRowGap = 23;
const double kWantedShape = 1.5;
const int kNarrowestRow = 350;

double Distance(int totalWidth, int rows, int blockHeight)
{
    double shape = (double)(totalWidth / rows) / (blockHeight > 0 ? blockHeight : 1);
    return shape > kWantedShape ? shape - kWantedShape : kWantedShape - shape;
}

}  // namespace

AllClocksSize LayoutAllClocks(const AllClocksLayoutInput& input, std::vector<AllClocksPlace>* places)
{
    places->clear();
    AllClocksSize none = {0, 0};
    int count = (int)input.clocks.size();
    if (count == 0)
        return none;
    std::vector<int> cells(count);
    int total = kOuterWidth, tallest = 0;
    for (int i = 0; i < count; ++i) {
        cells[i] = input.clocks[i].cx > input.columnWidth ? input.clocks[i].cx : input.columnWidth;
        total += cells[i] + (i > 0 ? kCellGap : 0);
        if (input.clocks[i].cy > tallest)
            tallest = input.clocks[i].cy;
    }
    int block = tallest + kBlockExtra + 2 * input.pickerHeight;
    int rows = 1;
    while (rows < count && total / (rows + 1) >= kNarrowestRow &&
           Distance(total, rows + 1, block) < Distance(total, rows, block))
        ++rows;
    int rowWidth = total / rows;

    // rows as [first, end) ranges of clocks
    std::vector<int> starts = {0};
    int used = kOuterWidth;
    for (int i = 0; i < count; ++i) {
        bool first = starts.back() == i;
        int wanted = used + (first ? 0 : kCellGap) + cells[i];
        if (!first && wanted > rowWidth && (wanted - rowWidth) * 5 >= rowWidth) {
            starts.push_back(i);
            used = kOuterWidth + cells[i];
        } else {
            used = wanted;
        }
    }
    starts.push_back(count);
    std::vector<int> widths;
    for (size_t r = 0; r + 1 < starts.size(); ++r) {
        int width = kOuterWidth;
        for (int i = starts[r]; i < starts[r + 1]; ++i)
            width += cells[i] + (i > starts[r] ? kCellGap : 0);
        widths.push_back(width);
    }
    int widest = 0;
    for (int w : widths)
        widest = w > widest ? w : widest;
    if (widths.size() > 1 && widths.back() * 5 < widest * 2) {
        // a short last row joins the one before
        starts.erase(starts.end() - 2);
        int merged = widths[widths.size() - 2] + widths.back() - kOuterWidth + kCellGap;
        widths.pop_back();
        widths.back() = merged;
        widest = merged > widest ? merged : widest;
    }

    places->resize(count);
    int top = kMargin, bottom = 0;
    for (size_t r = 0; r + 1 < starts.size(); ++r) {
        int first = starts[r], end = starts[r + 1], inRow = end - first;
        int cellsWidth = 0, rowTallest = 0;
        for (int i = first; i < end; ++i) {
            cellsWidth += cells[i];
            rowTallest = input.clocks[i].cy > rowTallest ? input.clocks[i].cy : rowTallest;
        }
        // equal gaps at both ends and between, the remainder from the left
        int free = widest - cellsWidth, gaps = inRow + 1;
        int gap = free / gaps, extra = free % gaps;
        int x = 0;
        for (int i = first; i < end; ++i) {
            x += gap + (i - first < extra ? 1 : 0);
            AllClocksPlace& place = (*places)[i];
            place.row = (int)r;
            AllClocksSize size = input.clocks[i];
            if (!input.hasFace && size.cx < input.columnWidth)
                size.cx = input.columnWidth;
            int clockX = x + (cells[i] - size.cx) / 2;
            place.clock = {clockX, top, clockX + size.cx, top + size.cy};
            int pickerX = x + (cells[i] - input.columnWidth) / 2;
            int dateY = top + rowTallest + kMargin;
            place.datePicker = {pickerX, dateY, pickerX + input.columnWidth, dateY + input.pickerHeight};
            place.timePicker = {pickerX, dateY + input.pickerHeight, pickerX + input.columnWidth,
                                dateY + 2 * input.pickerHeight};
            x += cells[i];
        }
        bottom = top + rowTallest + kMargin + 2 * input.pickerHeight + kMargin;
        top += kRowGap + rowTallest + 2 * input.pickerHeight;
    }
    AllClocksSize size = {widest, bottom};
    return size;
}
