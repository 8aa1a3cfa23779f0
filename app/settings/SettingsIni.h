// Reading and writing the settings files through the profile functions, with
// buffers that grow to whatever a value, a section or a list of names needs.
#pragma once

#include <string>
#include <vector>

#include "graphics/records/SettingsPaths.h"

// Default value of a read whose only purpose is to learn whether the key exists.
extern const WCHAR kMissingKey[];

// Nothing the profile functions hand back is allowed to grow past this many
// characters; a larger section or list is reported, never cut.
const DWORD kMaxProfileChars = 16u * 1024u * 1024u;

// True when `text` is the missing-key sentinel (any case).
bool IsMissingKey(const WCHAR* text);

// The whole value of a key, or `def` when it is missing. False when the value
// outgrows kMaxProfileChars.
bool ReadProfileText(const WCHAR* file, const WCHAR* section, const WCHAR* key, const WCHAR* def,
                     std::wstring* out);
bool KeyExists(const WCHAR* file, const WCHAR* section, const WCHAR* key);

// Key names of a section and section names of a file, without empty names.
// False when the list outgrows kMaxProfileChars.
bool ReadKeyNames(const WCHAR* file, const WCHAR* section, std::vector<std::wstring>* names);
bool ReadSectionNames(const WCHAR* file, std::vector<std::wstring>* names);
// The non-empty lines of a section ("key=value", or what else it holds).
bool ReadSectionLines(const WCHAR* file, const WCHAR* section, std::vector<std::wstring>* lines);
// The same lines as WritePrivateProfileSectionW takes
// them: each NUL-terminated, then an empty one.
bool ReadSectionContent(const WCHAR* file, const WCHAR* section, std::vector<WCHAR>* block);

// `prefix` (may be empty) followed by `suffix`.
std::wstring UserSection(const WCHAR* prefix, const WCHAR* suffix);

// The current Windows user name (at most 64 characters), and the section
// prefix made of it: lower-cased, empty when the name cannot be read.
std::wstring CurrentUserName();
void RefreshUserPrefix(SettingsPaths* paths);

// Full path of a file name as the file functions resolve it (the current
// folder for a bare name); empty on failure.
std::wstring FullFilePath(const WCHAR* name);
// The same file under any spelling: equal full paths without regard to case,
// or, when both exist, the same volume and file index.
bool IsSameFile(const WCHAR* a, const WCHAR* b);

// Typed keys of the settings file (paths.userIni). The readers return false and
// leave the value alone when the key is missing or malformed.
// Milliseconds in the file, 100-ns units in memory.
bool ReadMsKey(const SettingsPaths& paths, const WCHAR* section, const WCHAR* key, int64_t* value100ns);
bool WriteMsKey(const SettingsPaths& paths, const WCHAR* section, const WCHAR* key, int64_t value100ns);
// A valid date and time; the day of the week is filled in, milliseconds are 0.
bool ReadTimeStampKey(const SettingsPaths& paths, const WCHAR* section, const WCHAR* key, SYSTEMTIME* value);
// `text` (may be null) follows the seconds directly; the value is cut to 255 characters.
bool WriteTimeStampKey(const SettingsPaths& paths, const WCHAR* section, const WCHAR* key, const SYSTEMTIME& value,
                       const WCHAR* text = nullptr);
// Font style bits (bold 8, italic 1) of a key of any file; 0 when missing.
int ReadFontStyleKey(const WCHAR* section, const WCHAR* key, const WCHAR* file);
