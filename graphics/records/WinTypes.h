// The one place where OS-free code gets the Windows type names: <windows.h>
// under MinGW, plain look-alike structs in a native build (fuzzing, fast tests).
#pragma once

#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
#else
typedef char16_t WCHAR;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t LONG;
typedef int32_t BOOL;
typedef uint32_t LCID;

struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
struct FILETIME {
    DWORD dwLowDateTime, dwHighDateTime;
};
struct TIME_ZONE_INFORMATION {
    LONG Bias;
    WCHAR StandardName[32];
    SYSTEMTIME StandardDate;
    LONG StandardBias;
    WCHAR DaylightName[32];
    SYSTEMTIME DaylightDate;
    LONG DaylightBias;
};
struct VS_FIXEDFILEINFO {
    DWORD dwSignature, dwStrucVersion, dwFileVersionMS, dwFileVersionLS;
    DWORD dwProductVersionMS, dwProductVersionLS, dwFileFlagsMask, dwFileFlags;
    DWORD dwFileOS, dwFileType, dwFileSubtype, dwFileDateMS, dwFileDateLS;
};
#endif

// A UTF-16 literal of the right type in both builds.
#ifdef _WIN32
#define TL_W(s) L##s
#else
#define TL_W(s) u##s
#endif

static_assert(sizeof(WCHAR) == 2, "UTF-16 text in records");
static_assert(sizeof(SYSTEMTIME) == 16, "shared layout");
static_assert(sizeof(TIME_ZONE_INFORMATION) == 172, "shared layout");
static_assert(sizeof(VS_FIXEDFILEINFO) == 52, "shared layout");
