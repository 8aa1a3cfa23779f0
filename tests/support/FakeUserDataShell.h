// The per-user data folder's shell calls for tests: a folder of the test's
// choosing and the error boxes noted instead of shown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "windows/news/FeedCache.h"

// Gives the application data folder of the test and notes the boxes.
class CFakeUserDataShell : public IUserDataShell {
public:
    struct Box {
        HWND owner;
        std::wstring text, caption;
    };
    bool GetAppDataFolder(WCHAR* path) override
    {
        if (!found)
            return false;
        lstrcpynW(path, appData.c_str(), MAX_PATH);
        return true;
    }
    void ShowError(HWND owner, const WCHAR* text, const WCHAR* caption) override
    {
        boxes.push_back({owner, text, caption});
    }
    bool found = true;
    std::wstring appData;
    std::vector<Box> boxes;
};
