// The per-user data folder that holds the news cache files.
#pragma once

#include <windows.h>

// The shell calls of CreateUserDataFolder, replaceable so that tests choose
// the folder and see its error boxes without a modal window.
class IUserDataShell {
public:
    virtual ~IUserDataShell() = default;
    // The user's application data folder (SHGetFolderPathW, CSIDL_APPDATA,
    // made when missing) into `path` of MAX_PATH; false when there is none.
    virtual bool GetAppDataFolder(WCHAR* path) = 0;
    // A stop box owned by `owner`, brought to the foreground.
    virtual void ShowError(HWND owner, const WCHAR* text, const WCHAR* caption) = 0;
};

class CUserDataShell : public IUserDataShell {
public:
    bool GetAppDataFolder(WCHAR* path) override;
    void ShowError(HWND owner, const WCHAR* text, const WCHAR* caption) override;
};

// Paths of the application data folder from this length on are refused:
// the folder, "\Tempolan" and a cache file name must fit MAX_PATH.
const int kUserDataFolderMaxChars = 237;

// "<application data>\Tempolan", made when it is missing, into `folder` of
// MAX_PATH; true when it exists as a folder afterwards. A path too long or a
// folder that cannot be made shows a box owned by `owner` and leaves
// `folder` empty; without an application data folder nothing is shown.
bool CreateUserDataFolder(IUserDataShell& shell, HWND owner, WCHAR* folder);
