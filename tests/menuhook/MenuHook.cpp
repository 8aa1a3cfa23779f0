// A hook procedure for another process's GUI thread: at WM_INITMENUPOPUP it
// appends the whole menu, submenus included, to "menus.txt" next to this
// library (MenuRecord.h). It leaves the menu open; the test ends it.
#include <windows.h>

#include <string>

#include "tests/support/MenuRecord.h"

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

void Record(HMENU menu)
{
    AppendMenuRecord(menu, RecordFile());
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
