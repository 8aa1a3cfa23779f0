// What the main program sends the world map window.
#pragma once

#include <windows.h>

// Receiver: the map window. lParam 1 when the cloud overlay is on.
const UINT UM_MAPOVERLAYCHANGED = 0x801D;

// Sent by the map's host. lParam nonzero: clouds on (refused by the
// "no_cloud_map" switch), 0: off.
const UINT UM_MAPSETOVERLAY = 0x80CB;
