// PNG output of the tools that save pictures.
#pragma once

#include <wchar.h>

class CDibSection;

// Writes the DIB as a 24-bit PNG (the alpha byte is dropped), top row first.
// Call GdiFlush after drawing into it. False when the file could not be
// written; a partly written file may then be left behind.
bool WritePng(const wchar_t* path, const CDibSection& image);
