// Where the all-clocks dialog puts its clocks and their pickers: rows close
// to a 3:2 shape, filled in clock order. Plain arithmetic; no Win32 calls.
#pragma once

#include <vector>

struct AllClocksSize {
    int cx, cy;
};
struct AllClocksBox {
    int left, top, right, bottom;
};

struct AllClocksLayoutInput {
    std::vector<AllClocksSize> clocks;  // each clock's measured size, in clock order
    int columnWidth;           // the pickers' width
    int pickerHeight;
    bool hasFace;              // a look with a clock face: narrow clocks keep their width
};

struct AllClocksPlace {
    AllClocksBox clock;
    AllClocksBox datePicker;
    AllClocksBox timePicker;
    int row;
};

// Places every clock; the client size the places need (0 x 0 for none).
AllClocksSize LayoutAllClocks(const AllClocksLayoutInput& input, std::vector<AllClocksPlace>* places);
