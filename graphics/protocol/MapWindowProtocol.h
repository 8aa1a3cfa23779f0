// The world map window's messages between the map library, its host window
// and the main program.
#pragma once

#include <windows.h>

// UM_PHOTOREADY, which the main program also sends the map child
#include "graphics/protocol/TrayClockProtocol.h"

// Receiver: the map window. lParam 1 when the cloud overlay is on.
const UINT UM_MAPOVERLAYCHANGED = 0x801D;

// Sent by the map's host. lParam nonzero: clouds on (refused by the
// "no_cloud_map" switch), 0: off.
const UINT UM_MAPSETOVERLAY = 0x80CB;

// Host -> map child: wParam a city index; fly there and show its photos.
// Map child -> its parent (sent): wParam the index, lParam the address of the
// city's record in the array the library was given. The settings program's
// location chooser answers the clock page that opened it the same way
// (sent, own thread), with (-1, 0) for Cancel.
const UINT UM_MAPSELECTCITY = 0x80C8;
// The settings program's location chooser -> the clock page that opened it
// (sent, own thread): lParam the address of the chosen zone's record.
const UINT UM_ZONEPICKED = 0x80CA;
// Host -> map child: wParam a city index, lParam the address of that city's
// record in the library's array (anything else is ignored); shows its photos.
const UINT UM_MAPSHOWCITY = 0x80C9;
// UM_PHOTOREADY, main program -> map child (posted): wParam the signed city
// index of the photo request (negative: the country of that city), lParam the
// photo's number (1 and up).
