#include "settings/clockpages/SkinList.h"

#include "graphics/skin/StyleNames.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Paths.h"

namespace {

bool IsDotEntry(const WCHAR* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

}  // namespace

void FillSkinList(HWND combo, const WCHAR* skinsRoot, bool noAnalogue)
{
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    WCHAR pattern[MAX_PATH];
    if (skinsRoot && lstrlenW(skinsRoot) + 4 < MAX_PATH) {
        lstrcpyW(pattern, skinsRoot);
        lstrcatW(pattern, L"*.*");
        WIN32_FIND_DATAW found;
        CFindHandle search(FindFirstFileW(pattern, &found));
        if (search) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(found.cFileName))
                    continue;
                if (noAnalogue && SkinHasClockFace(skinsRoot, found.cFileName))
                    continue;
                SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)found.cFileName);
            } while (FindNextFileW(search.Get(), &found));
        }
    }
    SendMessageW(combo, CB_INSERTSTRING, 0, (LPARAM)kStandardStyleName);
    SendMessageW(combo, CB_INSERTSTRING, 1, (LPARAM)kClassicStyleName);
}

int SelectSkin(HWND combo, const WCHAR* skin)
{
    // "Blue" must not become "Blue LCD", which a prefix search finds first
    // when the folder search gives it first
    // every name begins with an empty one: the first look
    LRESULT index = !skin || !*skin ? 0 : SendMessageW(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)skin);
    if (index == CB_ERR)
        index = SendMessageW(combo, CB_FINDSTRING, (WPARAM)-1, (LPARAM)skin);
    SendMessageW(combo, CB_SETCURSEL, index == CB_ERR ? (WPARAM)-1 : (WPARAM)index, 0);
    if (index == CB_ERR) {
        SetWindowTextW(combo, skin ? skin : L"");
        return -1;
    }
    return (int)index;
}
