// Arranging the taskbar clocks in lines: rows on a vertical taskbar, columns
// on a horizontal one, broken greedily and then balanced so that the lines
// hold similar numbers of clocks. Plain values only; no Win32.
#pragma once

#include <stdint.h>

// Edge flags: where the panel sits on the taskbar.
const uint32_t kPanelRightEnd = 1;   // right end of a horizontal taskbar
const uint32_t kPanelBottomEnd = 2;  // bottom of a vertical taskbar
const uint32_t kPanelLeftEnd = 4;    // left end of a horizontal taskbar
const uint32_t kPanelTopEnd = 8;     // top of a vertical taskbar

const int kMaxPanelItems = 12;

struct PanelBox {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The room left to the clocks once the leading gaps are taken off: each
// clock measures itself for this before LayoutPanel.
void GetPanelRoom(int width, int height, uint32_t edges, int spacing, int* roomWidth, int* roomHeight);

// Places `count` items (at most kMaxPanelItems) of the measured sizes in
// `boxes` inside width x height. Returns the line count (0 without items).
int LayoutPanel(const int32_t* widths, const int32_t* heights, int count, int width, int height,
                bool horizontal, uint32_t edges, int spacing, PanelBox* boxes);

// The panel's extent over the boxes, with the spacing added on the right
// (left end) or at the bottom (top end).
void MeasurePanel(const PanelBox* boxes, int count, uint32_t edges, int spacing, int* width, int* height);
