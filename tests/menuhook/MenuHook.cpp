// A hook procedure for another process's GUI thread: at WM_INITMENUPOPUP it
// appends the whole menu, submenus included, to "menus.txt" next to this
// library, as UTF-8 lines
//   menu
//   <depth> <id> <flags> <text>      flags: g grey, c checked, s submenu, - separator
// (a submenu's id is 0: the shell gives its handle there)
//   end
// It leaves the menu open; the test ends it.
#include <windows.h>

#include <string>

namespace {

HMODULE g_module;

std::wstring RecordFile()
{
    WCHAR path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::wstring();
    std::wstring file(path, n);
    size_t slash = file.find_last_of(L"\\/");
    return file.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + L"menus.txt";
}

void Describe(HMENU menu, int depth, std::wstring* out)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        WCHAR text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text) - 1;
        if (!GetMenuItemInfoW(menu, i, TRUE, &info))
            continue;
        std::wstring flags;
        if (info.fState & MFS_GRAYED)
            flags += L'g';
        if (info.fState & MFS_CHECKED)
            flags += L'c';
        if (info.hSubMenu)
            flags += L's';
        if (info.fType & MFT_SEPARATOR)
            flags += L'-';
        if (flags.empty())
            flags = L".";
        UINT id = info.hSubMenu ? 0 : info.wID;
        std::wstring line = std::to_wstring(depth) + L' ' + std::to_wstring(id) + L' ' + flags + L' ' + text;
        for (WCHAR& c : line)
            if (c == L'\t' || c == L'\r' || c == L'\n')
                c = L' ';
        *out += line + L'\n';
        if (info.hSubMenu)
            Describe(info.hSubMenu, depth + 1, out);
    }
}

void Record(HMENU menu)
{
    std::wstring text = L"menu\n";
    Describe(menu, 0, &text);
    text += L"end\n";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &utf8[0], bytes, nullptr, nullptr);
    std::wstring file = RecordFile();
    if (file.empty())
        return;
    HANDLE h = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(h, utf8.data(), (DWORD)utf8.size(), &written, nullptr);
    CloseHandle(h);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK RecordMenuProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const CWPSTRUCT* call = (const CWPSTRUCT*)lParam;
        if (call->message == WM_INITMENUPOPUP && !HIWORD(call->lParam) && IsMenu((HMENU)call->wParam))
            Record((HMENU)call->wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
