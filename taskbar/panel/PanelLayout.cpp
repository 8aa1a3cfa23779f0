#include "taskbar/panel/PanelLayout.h"

namespace {

struct Lines {
    int first[kMaxPanelItems + 1];  // first item of each line, then the item count
    int count;
};

int LineLength(const Lines& lines, int line, const int32_t* lengths, int lead, int spacing)
{
    int length = lead;
    for (int i = lines.first[line]; i < lines.first[line + 1]; i++)
        length += lengths[i] + (i > lines.first[line] ? spacing : 0);
    return length;
}

// Greedy lines keep one spacing to spare; an item too long for any line
// stays alone on the line it starts.
void BreakGreedily(const int32_t* lengths, int count, int room, int lead, int spacing, Lines* lines)
{
    lines->count = 1;
    lines->first[0] = 0;
    int length = lead + lengths[0];
    for (int i = 1; i < count; i++) {
        if (length + spacing + lengths[i] + spacing <= room) {
            length += spacing + lengths[i];
            continue;
        }
        lines->first[lines->count++] = i;
        length = lead + lengths[i];
    }
    lines->first[lines->count] = count;
}

// One trial: every line but the first takes the previous line's last item.
bool TryShift(const Lines& lines, const int32_t* lengths, int room, int lead, int spacing, Lines* out)
{
    *out = lines;
    for (int line = out->count - 1; line >= 1; line--) {
        int begin = out->first[line];
        int end = out->first[line + 1];
        if (begin == end || begin - 1 < out->first[line - 1] + 1)
            return false;  // empty line, or the previous one would lose its only item
        int length = LineLength(*out, line, lengths, lead, spacing);
        if (lengths[begin - 1] + spacing + length > room)
            return false;
        out->first[line] = begin - 1;
    }
    return LineLength(*out, 0, lengths, lead, spacing) >= LineLength(*out, out->count - 1, lengths, lead, spacing);
}

void Balance(const int32_t* lengths, int room, int lead, int spacing, Lines* lines)
{
    if (lines->count < 2 || lines->first[1] - lines->first[0] < 2)
        return;
    Lines trial;
    while (TryShift(*lines, lengths, room, lead, spacing, &trial)) {
        *lines = trial;
        if (lines->first[1] - lines->first[0] == 1)
            break;
    }
}

}  // namespace

void GetPanelRoom(int width, int height, uint32_t edges, int spacing, int* roomWidth, int* roomHeight)
{
    if (edges & kPanelLeftEnd)
        width -= spacing;
    if (edges & kPanelTopEnd)
        height -= spacing;
    *roomWidth = width - ((edges & kPanelRightEnd) ? spacing : 0);
    *roomHeight = height - ((edges & kPanelBottomEnd) ? spacing : 0);
}

int LayoutPanel(const int32_t* widths, const int32_t* heights, int count, int width, int height,
                bool horizontal, uint32_t edges, int spacing, PanelBox* boxes)
{
    if (count <= 0)
        return 0;
    if (count > kMaxPanelItems)
        count = kMaxPanelItems;
    int leadX = (edges & kPanelRightEnd) ? spacing : 0;
    int leadY = (edges & kPanelBottomEnd) ? spacing : 0;
    if (edges & kPanelLeftEnd)
        width -= spacing;
    if (edges & kPanelTopEnd)
        height -= spacing;

    // Rows on a vertical taskbar, columns on a horizontal one.
    const int32_t* lengths = horizontal ? heights : widths;
    const int32_t* thicknesses = horizontal ? widths : heights;
    int room = horizontal ? height : width;
    int lead = horizontal ? leadY : leadX;
    int across = horizontal ? leadX : leadY;

    Lines lines;
    BreakGreedily(lengths, count, room, lead, spacing, &lines);
    Balance(lengths, room, lead, spacing, &lines);

    int32_t start[kMaxPanelItems], length[kMaxPanelItems], lineStart[kMaxPanelItems], lineThickness[kMaxPanelItems];
    int largestEnd = 0;
    int position = across;
    for (int line = 0; line < lines.count; line++) {
        int thickness = 0;
        int along = lead;
        for (int i = lines.first[line]; i < lines.first[line + 1]; i++) {
            if (thicknesses[i] > thickness)
                thickness = thicknesses[i];
            start[i] = along;
            length[i] = lengths[i];
            along += lengths[i] + spacing;
            lineStart[i] = position;
        }
        for (int i = lines.first[line]; i < lines.first[line + 1]; i++)
            lineThickness[i] = thickness;
        int end = along - spacing;
        if (end > largestEnd)
            largestEnd = end;
        position += thickness + spacing;
    }

    // Stretch every line to the longest one, the last item taking the rest.
    for (int line = 0; line < lines.count; line++) {
        int first = lines.first[line];
        int last = lines.first[line + 1] - 1;
        int items = last - first + 1;
        int share = (largestEnd - (start[last] + length[last])) / items;
        for (int i = first; i <= last; i++) {
            start[i] += (i - first) * share;
            length[i] += share;
        }
        length[last] = largestEnd - start[last];
    }

    for (int i = 0; i < count; i++) {
        PanelBox& box = boxes[i];
        if (horizontal) {
            box.left = lineStart[i];
            box.right = lineStart[i] + lineThickness[i];
            box.top = start[i];
            box.bottom = start[i] + length[i];
        } else {
            box.left = start[i];
            box.right = start[i] + length[i];
            box.top = lineStart[i];
            box.bottom = lineStart[i] + lineThickness[i];
        }
    }
    return lines.count;
}

void MeasurePanel(const PanelBox* boxes, int count, uint32_t edges, int spacing, int* width, int* height)
{
    int right = 0, bottom = 0;
    for (int i = 0; i < count; i++) {
        if (boxes[i].right > right)
            right = boxes[i].right;
        if (boxes[i].bottom > bottom)
            bottom = boxes[i].bottom;
    }
    if (edges & kPanelLeftEnd)
        right += spacing;
    if (edges & kPanelTopEnd)
        bottom += spacing;
    *width = right;
    *height = bottom;
}
