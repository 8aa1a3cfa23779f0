#include "app/settings/SettingsIni.h"

#include "graphics/records/FixedText.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Paths.h"
#include "app/settings/SettingsValues.h"

const WCHAR kMissingKey[] = L"!\\!empty!\\!";

namespace {

const DWORD kFirstValueChars = 256;
const DWORD kFirstListChars = 32767;

// Runs a list read with a growing buffer and splits the list. The profile
// functions report a cut list by returning its size - 2, which a list that just
// fits also returns, so that case is read again with more room. Empty entries
// (a "[]" line, a line "=x" listed by key) are dropped: in a list of
// NUL-terminated strings they would read as its end.
template <class Read>
bool ReadList(Read read, std::vector<std::wstring>* items)
{
    items->clear();
    std::vector<WCHAR> buffer;
    for (DWORD size = kFirstListChars; size <= kMaxProfileChars; size = size * 2 + 1) {
        buffer.assign(size, 0);
        DWORD got = read(buffer.data(), size);
        if (got + 2 >= size)
            continue;
        for (DWORD i = 0; i < got;) {
            DWORD start = i;
            while (i < got && buffer[i])
                ++i;
            if (i > start)
                items->emplace_back(buffer.data() + start, i - start);
            ++i;
        }
        return true;
    }
    return false;
}

}  // namespace

bool IsMissingKey(const WCHAR* text)
{
    return text && lstrcmpiW(text, kMissingKey) == 0;
}

bool ReadProfileText(const WCHAR* file, const WCHAR* section, const WCHAR* key, const WCHAR* def,
                     std::wstring* out)
{
    std::vector<WCHAR> buffer;
    for (DWORD size = kFirstValueChars; size <= kMaxProfileChars; size *= 2) {
        buffer.assign(size, 0);
        DWORD got = GetPrivateProfileStringW(section, key, def, buffer.data(), size, file);
        // a cut value comes back as size - 1 characters
        if (got + 1 < size) {
            out->assign(buffer.data(), got);
            return true;
        }
    }
    out->clear();
    return false;
}

bool KeyExists(const WCHAR* file, const WCHAR* section, const WCHAR* key)
{
    std::wstring value;
    // a value too long to read is certainly not the sentinel
    if (!ReadProfileText(file, section, key, kMissingKey, &value))
        return true;
    return !IsMissingKey(value.c_str());
}

bool ReadSectionLines(const WCHAR* file, const WCHAR* section, std::vector<std::wstring>* lines)
{
    return ReadList([&](WCHAR* buffer, DWORD size) {
        return GetPrivateProfileSectionW(section, buffer, size, file);
    }, lines);
}

bool ReadKeyNames(const WCHAR* file, const WCHAR* section, std::vector<std::wstring>* names)
{
    // taken from the section's lines: the profile functions' own key list
    // ends at a line with an empty key name ("=x") and hides the keys after it
    std::vector<std::wstring> lines;
    bool ok = ReadSectionLines(file, section, &lines);
    names->clear();
    for (const std::wstring& line : lines) {
        size_t equals = line.find(L'=');
        // lines without "=" and comments are no keys
        if (equals == std::wstring::npos || equals == 0 || line[0] == L';')
            continue;
        names->push_back(line.substr(0, equals));
    }
    return ok;
}

bool ReadSectionNames(const WCHAR* file, std::vector<std::wstring>* list)
{
    return ReadList([&](WCHAR* buffer, DWORD size) {
        return GetPrivateProfileSectionNamesW(buffer, size, file);
    }, list);
}

bool ReadSectionContent(const WCHAR* file, const WCHAR* section, std::vector<WCHAR>* block)
{
    std::vector<std::wstring> lines;
    bool ok = ReadSectionLines(file, section, &lines);
    block->clear();
    for (const std::wstring& line : lines) {
        block->insert(block->end(), line.begin(), line.end());
        block->push_back(0);
    }
    block->push_back(0);
    return ok;
}

std::wstring UserSection(const WCHAR* prefix, const WCHAR* suffix)
{
    std::wstring name = prefix ? prefix : L"";
    if (suffix)
        name += suffix;
    return name;
}

std::wstring CurrentUserName()
{
    WCHAR name[65] = {};
    DWORD chars = 65;
    if (!GetUserNameW(name, &chars))
        return std::wstring();
    name[64] = 0;
    return name;
}

void RefreshUserPrefix(SettingsPaths* paths)
{
    ReadUserPrefix(paths->userPrefix);
}

std::wstring FullFilePath(const WCHAR* name)
{
    if (!name || !*name)
        return std::wstring();
    DWORD need = GetFullPathNameW(name, 0, nullptr, nullptr);
    if (need == 0)
        return std::wstring();
    std::vector<WCHAR> buffer(need + 1, 0);
    DWORD got = GetFullPathNameW(name, need + 1, buffer.data(), nullptr);
    if (got == 0 || got > need)
        return std::wstring();
    return std::wstring(buffer.data(), got);
}

namespace {

bool FileIdentity(const WCHAR* path, BY_HANDLE_FILE_INFORMATION* info)
{
    // no access rights asked: works on a file that another process holds open
    CKernelHandle file(CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && GetFileInformationByHandle(file.Get(), info) != 0;
}

}  // namespace

bool IsSameFile(const WCHAR* a, const WCHAR* b)
{
    std::wstring fullA = FullFilePath(a), fullB = FullFilePath(b);
    if (fullA.empty() || fullB.empty())
        return false;
    if (lstrcmpiW(fullA.c_str(), fullB.c_str()) == 0)
        return true;
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    if (!FileIdentity(fullA.c_str(), &infoA) || !FileIdentity(fullB.c_str(), &infoB))
        return false;
    return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber && infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

bool ReadMsKey(const SettingsPaths& paths, const WCHAR* section, const WCHAR* key, int64_t* value100ns)
{
    std::wstring text;
    if (!ReadProfileText(paths.userIni, section, key, kMissingKey, &text) || IsMissingKey(text.c_str()))
        return false;
    return ParseMsValue(text.c_str(), value100ns);
}

bool WriteMsKey(const SettingsPaths& paths, const WCHAR* section, const WCHAR* key, int64_t value100ns)
{
    WCHAR text[24];
    if (!FormatMsValue(value100ns, text, 24))
        return false;
    return WritePrivateProfileStringW(section, key, text, paths.userIni) != 0;
}

bool ReadTimeStampKey(const SettingsPaths& paths, const WCHAR* section, const WCHAR* key, SYSTEMTIME* value)
{
    std::wstring text;
    if (!ReadProfileText(paths.userIni, section, key, kMissingKey, &text) || IsMissingKey(text.c_str()))
        return false;
    SYSTEMTIME parsed;
    if (!ParseTimeStampValue(text.c_str(), &parsed))
        return false;
    // the round trip rejects impossible dates and fills the day of the week
    FILETIME ft;
    SYSTEMTIME normal;
    if (!SystemTimeToFileTime(&parsed, &ft) || !FileTimeToSystemTime(&ft, &normal))
        return false;
    *value = normal;
    return true;
}

bool WriteTimeStampKey(const SettingsPaths& paths, const WCHAR* section, const WCHAR* key, const SYSTEMTIME& value,
                       const WCHAR* text)
{
    WCHAR buffer[kMaxTypedValueChars + 1];
    FormatTimeStampValue(value, text, buffer, kMaxTypedValueChars + 1);
    return WritePrivateProfileStringW(section, key, buffer, paths.userIni) != 0;
}

int ReadFontStyleKey(const WCHAR* section, const WCHAR* key, const WCHAR* file)
{
    std::wstring text;
    if (!ReadProfileText(file, section, key, L"", &text))
        return 0;
    return ParseFontStyle(text.c_str());
}
