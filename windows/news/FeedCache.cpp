#include "windows/news/FeedCache.h"

#include <shlobj.h>

bool CUserDataShell::GetAppDataFolder(WCHAR* path)
{
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path));
}

void CUserDataShell::ShowError(HWND owner, const WCHAR* text, const WCHAR* caption)
{
    MessageBoxW(owner, text, caption, MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
}

bool CreateUserDataFolder(IUserDataShell& shell, HWND owner, WCHAR* folder)
{
    folder[0] = 0;
    WCHAR path[MAX_PATH] = {};
    if (!shell.GetAppDataFolder(path))
        return false;
    path[MAX_PATH - 1] = 0;
    int length = lstrlenW(path);
    if (length >= kUserDataFolderMaxChars) {
        shell.ShowError(owner, path, L"Path too long");
        return false;
    }
    if (length == 0 || path[length - 1] != L'\\')
        path[length++] = L'\\';
    lstrcpyW(path + length, L"Tempolan");
    DWORD attributes = GetFileAttributesW(path);
    bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!isFolder && !CreateDirectoryW(path, nullptr)) {
        shell.ShowError(owner, path, L"Can not create directory");
        return false;
    }
    lstrcpyW(folder, path);
    return true;
}
