// The web pages that the menus open, and the encoding of URL parts.
#pragma once

#include <windows.h>

#include "app/menu/WebAddress.h"

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

// The machine-wide "affiliate_id" of the program's key under `machine`
// (tests give another root); 0 when none or not a REG_DWORD.
DWORD ReadAffiliateId(HKEY machine = HKEY_LOCAL_MACHINE);
// The address of page `index` with the affiliate's prefix ("%d/", none for
// 0) into `out` of kWebAddressChars; false for an unknown page.
bool FormatWebPage(int index, DWORD affiliateId, WCHAR* out);
// Opens page `index` with the shell; false when it did not start.
bool OpenWebPage(int index, IProgramStarter& starter, HKEY machine = HKEY_LOCAL_MACHINE);
