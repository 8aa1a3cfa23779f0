// Registry reads.
#pragma once

#include <windows.h>

// The value `name` of `subkey` under `root` when it is exactly 4 bytes
// (whatever its type), else `fallback`.
DWORD ReadRegistryDword(HKEY root, const WCHAR* subkey, const WCHAR* name, DWORD fallback);
