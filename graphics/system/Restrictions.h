// The administrator's restriction switches: 4-byte values under the
// program's key of HKEY_LOCAL_MACHINE, read by the main program, the time
// service and the map.
#pragma once

#include <windows.h>

// The program's key of HKEY_LOCAL_MACHINE.
const WCHAR kProgramMachineKey[] = L"Software\\Kestrin Group\\Tempolan";

// The value names and their bits in ReadRestrictionFlags.
const WCHAR kNoUpdatesValue[] = L"no_updates";
const WCHAR kNoNewsValue[] = L"no_news";
const WCHAR kNoCityPhotosValue[] = L"no_city_photos";
const WCHAR kNoCloudMapValue[] = L"no_cloud_map";
const WCHAR kNoPreferencesValue[] = L"no_preferences";
const DWORD kNoUpdates = 1;
const DWORD kNoNews = 2;
const DWORD kNoCityPhotos = 4;
const DWORD kNoCloudMap = 8;
const DWORD kNoPreferences = 16;

// The bits of the switches that exist as nonzero REG_DWORD values; 0 when the
// key is missing.
DWORD ReadRestrictionFlags();
