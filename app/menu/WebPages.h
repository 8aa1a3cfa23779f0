// The web pages that the menus open, and the encoding of URL parts.
#pragma once

#include <windows.h>

class IProgramStarter;

// Page numbers of FormatWebPage.
const int kPageUpdates = 1;
const int kPageFeedback = 2;
const int kPageUserGuide = 3;
const int kPageOverview = 4;
const int kPageMakerHome = 5;
const int kPageMakerHomeToo = 6;
const int kPageForum = 7;
const int kPageFeatureRequest = 8;
const int kPageCityZones = 9;
const int kPageCityPhotos = 10;
const int kPageQuestions = 11;

// Addresses are cut to this many characters.
const int kWebAddressChars = 2048;

// Letters, digits, "_", "." and "-" as they are, a blank as "+", anything
// else as "%XX" per byte: characters above 0xFF as their UTF-8 bytes. Stops
// before a character whose whole form does not fit; returns the length.
int UrlEncode(const WCHAR* text, WCHAR* target, int targetChars);

// The machine-wide "affiliate_id" of the program's key; 0 when none.
DWORD ReadAffiliateId();
// The address of page `index` with the affiliate's prefix ("%d/", none for
// 0) into `out` of kWebAddressChars; false for an unknown page.
bool FormatWebPage(int index, DWORD affiliateId, WCHAR* out);
// Opens page `index` with the shell; false when it did not start.
bool OpenWebPage(int index, IProgramStarter& starter);
