// Hosts orbex.dll as its callers do, loaded by name from this program's
// folder, for the tests that need the library's own folder rules:
//   maphost install          InitMap(null, 0), then InstallMap; exit code = its result
//   maphost initagain        InitMap twice; exit code 0 when the second is refused
//                            with MAPERR_REGISTERCLASS and ERROR_CLASS_ALREADY_EXISTS
//   maphost cycles <n>       n times: load, InitMap, a map window, destroy it while the
//                            textures load, FreeMap, FreeLibrary; exit code 0
// Exit code 1 when the library or an export is missing.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "map/MapExports.h"

namespace {

typedef DWORD(WINAPI* InitMapProc)(CityRecord*, int32_t);
typedef HWND(WINAPI* CreateMapWindowProc)(HWND, int32_t, int32_t, int32_t, int32_t, DWORD*);
typedef void(WINAPI* FreeMapProc)();
typedef DWORD(WINAPI* InstallMapProc)();
typedef DWORD(WINAPI* GetLastSysErrorProc)();

const int kWidth = 800;
const int kHeight = 600;

struct MapLibrary {
    HMODULE module = nullptr;
    InitMapProc initMap = nullptr;
    CreateMapWindowProc createMapWindow = nullptr;
    FreeMapProc freeMap = nullptr;
    InstallMapProc installMap = nullptr;
    GetLastSysErrorProc getLastSysError = nullptr;

    bool Load()
    {
        module = LoadLibraryW(L"orbex.dll");
        if (!module)
            return false;
        initMap = (InitMapProc)(void*)GetProcAddress(module, "InitMap");
        createMapWindow = (CreateMapWindowProc)(void*)GetProcAddress(module, "CreateMapWindow");
        freeMap = (FreeMapProc)(void*)GetProcAddress(module, "FreeMap");
        installMap = (InstallMapProc)(void*)GetProcAddress(module, "InstallMap");
        getLastSysError = (GetLastSysErrorProc)(void*)GetProcAddress(module, "GetLastSysError");
        return initMap && createMapWindow && freeMap && installMap && getLastSysError;
    }
    void Unload()
    {
        if (module)
            FreeLibrary(module);
        module = nullptr;
    }
};

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

HWND MakeParent()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TempolanMapHost";
    RegisterClassW(&wc);
    RECT frame = {0, 0, kWidth, kHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowW(wc.lpszClassName, L"Map host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, wc.hInstance, nullptr);
}

int Install()
{
    MapLibrary map;
    if (!map.Load())
        return 1;
    map.initMap(nullptr, 0);
    DWORD result = map.installMap();
    printf("InstallMap 0x%08lX, system error %lu\n", result, map.getLastSysError());
    map.freeMap();
    map.Unload();
    return (int)result;
}

int InitAgain()
{
    MapLibrary map;
    if (!map.Load())
        return 1;
    DWORD first = map.initMap(nullptr, 0);
    DWORD second = map.initMap(nullptr, 0);
    DWORD error = map.getLastSysError();
    printf("InitMap 0x%08lX then 0x%08lX, system error %lu\n", first, second, error);
    map.freeMap();
    map.Unload();
    return first == 0 && second == MAPERR_REGISTERCLASS && error == ERROR_CLASS_ALREADY_EXISTS ? 0 : 2;
}

int Cycles(int count)
{
    HWND parent = MakeParent();
    for (int i = 0; i < count; ++i) {
        MapLibrary map;
        if (!map.Load())
            return 1;
        if (map.initMap(nullptr, 0) != 0)
            return 3;
        DWORD status = 0;
        HWND window = map.createMapWindow(parent, 0, 0, kWidth, kHeight, &status);
        if (!window) {
            printf("CreateMapWindow failed: 0x%08lX\n", status);
            return 4;
        }
        // the loader thread is at work when the window goes
        Pump(i % 4 * 20);
        DestroyWindow(window);
        map.freeMap();
        map.Unload();
        Pump(10);
    }
    DestroyWindow(parent);
    printf("%d cycles\n", count);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"install")
        return Install();
    if (command == L"initagain")
        return InitAgain();
    if (command == L"cycles" && argc > 2)
        return Cycles(_wtoi(argv[2]));
    fprintf(stderr, "usage: maphost install | initagain | cycles <n>\n");
    return 1;
}
