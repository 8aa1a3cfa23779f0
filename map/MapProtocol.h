// Messages of the map window that stay inside the map library. What other
// programs send it is in graphics/protocol/MapWindowProtocol.h.
#pragma once

#include <windows.h>

// Posted by the texture loader threads. wParam 0: the earth picture was read,
// 1: it was cut into tiles; lParam 1 success, 0 failure.
const UINT UM_TEXTURELOADED = WM_USER + 1;
const WPARAM kTextureRead = 0;
const WPARAM kTextureSplit = 1;
