#include "app/settings/SettingsExport.h"

#include <string>

#include "graphics/system/Handles.h"
#include "app/settings/SettingsFiles.h"
#include "app/settings/SettingsIni.h"

namespace {

const WCHAR kExportPrefix[] = L"default";
const WCHAR kExportMain[] = L"default:main";
const WCHAR kDescriptionKey[] = L"description";

// The local date and time as the description shows it, month in the user's locale.
std::wstring ExportStamp()
{
    WCHAR date[80] = {}, time[40] = {};
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, 0, nullptr, L"d MMM yyyy ", date, 80))
        date[0] = 0;
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, L"HH:mm:ss", time, 40))
        time[0] = 0;
    return std::wstring(date) + time;
}

// A new file holding only the UTF-16 byte order mark: the profile functions
// then write UTF-16 into it instead of the ANSI code page.
bool CreateUtf16File(const WCHAR* path)
{
    CKernelHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const BYTE bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    bool ok = WriteFile(file.Get(), bom, 2, &written, nullptr) && written == 2;
    // a failed close can mean the bytes never reached the disk
    return CloseHandle(file.Detach()) && ok;
}

}  // namespace

bool ExportSettings(SettingsPaths* paths, const WCHAR* targetFile)
{
    // a bare name would be created in the current folder but written by the
    // profile functions in the Windows folder
    std::wstring target = FullFilePath(targetFile);
    if (target.empty() || IsSameFile(target.c_str(), paths->userIni) || IsSameFile(target.c_str(), paths->defaultIni))
        return false;
    RefreshUserPrefix(paths);
    // without a prefix every user's sections would be taken
    if (!paths->userPrefix[0])
        return false;
    if (!CreateUtf16File(target.c_str()))
        return false;
    if (!CopySettingsSections(paths->userIni, paths->userPrefix, target.c_str(), kExportPrefix))
        return false;
    std::wstring description =
        L"Tempolan World Clock settings exported by " + CurrentUserName() + L" on " + ExportStamp();
    return WritePrivateProfileStringW(kExportMain, kDescriptionKey, description.c_str(), target.c_str()) != 0;
}

bool ImportSettings(SettingsPaths* paths, const WCHAR* sourceFile)
{
    std::wstring source = FullFilePath(sourceFile);
    if (source.empty() || IsSameFile(source.c_str(), paths->userIni))
        return false;
    std::wstring description;
    ReadProfileText(source.c_str(), kExportMain, kDescriptionKey, L"", &description);
    if (description.empty())
        return false;
    RefreshUserPrefix(paths);
    if (!paths->userPrefix[0])
        return false;
    bool copied = CopySettingsSections(source.c_str(), kExportPrefix, paths->userIni, paths->userPrefix);
    std::wstring main = UserSection(paths->userPrefix, L":main");
    WritePrivateProfileStringW(main.c_str(), kDescriptionKey, nullptr, paths->userIni);
    return copied;
}
