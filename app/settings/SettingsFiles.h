// The user's sections of the settings file, completed from the defaults file,
// and copies of sections between files. Section names are the user prefix
// followed by a suffix such as ":main", ":clock3" or ":clock3:alarm2".
#pragma once

#include "graphics/records/ClockRecord.h"
#include "graphics/records/SettingsPaths.h"

struct AlarmRecord;
class ILocalZoneNames;
class ITimeServiceControl;

// Fills the keys missing from section prefix+suffix of the settings file from
// the defaults file: from "default" + suffix (a ":" put between when the suffix
// lacks one) when `fromNumberedDefaults`, else from "default:clocks". Existing
// keys, empty ones too, are never changed. An empty default of "zone" or
// "timezone" becomes the local zone's registry or display name (`zones` may
// be null). True when the defaults section has at least one key.
bool MergeDefaultSection(const SettingsPaths& paths, const WCHAR* prefix, const WCHAR* suffix,
                         bool fromNumberedDefaults, const ILocalZoneNames* zones);

// Sets up a new user's sections or completes an existing user's, and asks the
// time service to read its settings again. Returns the number of enabled
// clocks; the number of clocks (at most 30) goes to `clockCount`.
int InitSettingsSections(const SettingsPaths& paths, ITimeServiceControl& service, const ILocalZoneNames* zones,
                         int* clockCount);

// Copies the sections of `sourcePrefix` (every section when null or empty)
// and the sections without a ":" from one file into another, renaming
// prefix:rest to targetPrefix:rest (names are kept when `targetPrefix` is null
// or empty). Clock sections must carry a clock number 1 to 30; stale clock and
// alarm sections of the target after the copied ones are deleted. Every
// section is read before anything is written; true when all were copied.
bool CopySettingsSections(const WCHAR* sourceFile, const WCHAR* sourcePrefix, const WCHAR* targetFile,
                          const WCHAR* targetPrefix);

// Keeps a settings file in UTF-16, so that the profile functions write it
// so: a file that begins FF FE, or holds ":main" as UTF-16 text, is left
// alone; any other is converted (from UTF-8 after EF BB BF, else from the
// ANSI code page) through a temporary file that then replaces it, so a
// failure leaves the file as it was. False for a missing file, one over
// 16 MiB, or a failed conversion.
bool EnsureUnicodeSettingsFile(const WCHAR* path);

// Reallocates a clock's alarm array (process heap) to `count` records, the
// new ones zeroed; frees it and returns null when `count` is 0. Returns null
// on failure too, and then the old array is left as it was.
AlarmRecord* ResizeAlarmArray(AlarmRecord* alarms, int count);

// The shipped alarms of a clock and the shipped news channels that a new user gets, at most.
const int kMaxMergedAlarms = 20;
const int kMaxMergedChannels = 10;
