// The web sites that more than one binary names: the menus' pages, the map's
// credit lines and its city list pane. Addresses end with a slash.
#pragma once

#include <windows.h>

// The program's own site: the menus' pages, the web address a new alarm proposes.
const WCHAR kProductSite[] = L"https://tempolan.kestrin-group.com/";
// The city photo service: its pages, the photos of a place, the add-photo page.
const WCHAR kCityPhotoSite[] = L"https://places.tempolan.example/";
// The maker's page about the city list and its zones.
const WCHAR kCityZoneSite[] = L"https://cities.kestrin-group.com/";
// Where the city list's coordinates and names come from.
const WCHAR kCityDataSourceSite[] = L"https://www.geonames.org/";
