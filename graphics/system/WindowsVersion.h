// The running Windows version as GetVersion reports it: without a
// compatibility manifest it stops at 6.2, which is all these tests need.
#pragma once

#include <windows.h>

inline bool IsWindowsVersionAtLeast(DWORD major, DWORD minor)
{
    DWORD version = GetVersion();
    DWORD runningMajor = LOBYTE(LOWORD(version)), runningMinor = HIBYTE(LOWORD(version));
    return runningMajor > major || (runningMajor == major && runningMinor >= minor);
}

// Visual styles and the newer dialog fonts.
inline bool IsWindowsXpOrLater() { return IsWindowsVersionAtLeast(5, 1); }
// The desktop window manager.
inline bool IsWindowsVistaOrLater() { return IsWindowsVersionAtLeast(6, 0); }
