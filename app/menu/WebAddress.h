// Building web addresses: the percent-encoding of their parts. No Win32 here,
// so the map's city list pane and the menus share one rule.
#pragma once

#include "graphics/records/WinTypes.h"

// Addresses are cut to this many characters.
const int kWebAddressChars = 2048;

// Letters, digits, "_", "." and "-" as they are, a blank as "+", anything
// else as "%XX" per byte: characters above 0xFF as their UTF-8 bytes. Stops
// before a character whose whole form does not fit; returns the length.
int UrlEncode(const WCHAR* text, WCHAR* target, int targetChars);

// Appends `text` (already lower-cased by the caller, who has the locale) to
// the address `out` of kWebAddressChars holding `length` characters: blanks
// as "_", then encoded. Returns the new length.
int AppendAddressPart(const WCHAR* text, WCHAR* out, int length);
// Appends `text` as it is when it fits whole; returns the new length.
int AppendAddressText(const WCHAR* text, WCHAR* out, int length);
// Appends a city's page, "<country>/<city>.htm", each part as
// AppendAddressPart makes it; returns the new length.
int AppendCityPage(const WCHAR* country, const WCHAR* city, WCHAR* out, int length);
