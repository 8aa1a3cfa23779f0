// Hosts orbex.dll as its callers do, loaded by name from this program's
// folder, for the tests that need the library's own folder rules:
//   maphost install          InitMap(null, 0), then InstallMap; exit code = its result
//   maphost initagain        InitMap twice; exit code 0 when the second is refused
//                            with MAPERR_REGISTERCLASS and ERROR_CLASS_ALREADY_EXISTS
//   maphost cycles <n>       n times: load, InitMap, a map window, destroy it while the
//                            textures load, FreeMap, FreeLibrary; exit code 0
//   maphost worldmap <png>   the main program's world map window (the host code linked,
//                            the library loaded by it) opened on Sydney; once the globe
//                            is textured, the window's picture with the map's frame
//                            pasted in goes to <png>; exit code 0, 3 when the globe
//                            stays untextured, 4 without a map child
//   maphost select <index>   three cities; UM_MAPSELECTCITY to the map window, the
//                            flight pumped; a stand-in main program window answers
//                            the photo request
//   maphost show <index> own|foreign
//                            UM_MAPSHOWCITY with the address of that record of the
//                            library's array, or of a copy of it
// select and show: exit code 100 + the index the stand-in was asked for, 99 when
// it was asked nothing, 98 for a request that names another window or for more
// than one.
// Exit code 1 when the library or an export is missing.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/records/CityRecord.h"
#include "map/MapExports.h"
#include "app/alarms/AlarmSeams.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/language/Language.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/system/Paths.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/GLFrame.h"
#include "tests/support/PhotoRequestStandIn.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "windows/CityList.h"
#include "windows/DataFiles.h"
#include "windows/map/CityListPane.h"
#include "windows/map/WorldMap.h"

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

// Loads the library, InitMap and a map window: 0, or the exit code of the
// step that failed (1 load, 3 InitMap, 4 the window).
int OpenMap(MapLibrary& map, HWND parent, CityRecord* cities, int32_t count, HWND* window)
{
    if (!map.Load())
        return 1;
    if (map.initMap(cities, count) != 0)
        return 3;
    DWORD status = 0;
    *window = map.createMapWindow(parent, 0, 0, kWidth, kHeight, &status);
    if (!*window) {
        printf("CreateMapWindow failed: 0x%08lX\n", status);
        return 4;
    }
    return 0;
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
        HWND window = nullptr;
        if (int failed = OpenMap(map, parent, nullptr, 0, &window))
            return failed;
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

const int kAskedNothing = 99;
const int kWrongRequest = 98;
const int kAskedBase = 100;

// Sends `message` to a map window over three cities; the exit code as above.
int AskTheMap(UINT message, WPARAM index, bool foreign)
{
    CityRecord cities[3] = {};
    const double places[3][2] = {{51.5, -0.12}, {48.85, 2.35}, {-33.87, 151.2}};
    for (int i = 0; i < 3; ++i) {
        cities[i].latitude = places[i][0];
        cities[i].longitude = places[i][1];
    }
    // the pointer away from the map: resting on a city it would ask on its own
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    CPhotoRequestStandIn standIn;
    HWND parent = MakeParent();
    MapLibrary map;
    HWND window = nullptr;
    if (int failed = OpenMap(map, parent, cities, 3, &window))
        return failed;
    CityRecord copy = index < 3 ? cities[index] : CityRecord();
    LPARAM record = message == UM_MAPSELECTCITY ? 0 : foreign ? (LPARAM)&copy : (LPARAM)&cities[index < 3 ? index : 0];
    SendMessageW(window, message, index, record);
    // the flight: 20 ms a step
    Pump(1500);
    DestroyWindow(window);
    map.freeMap();
    map.Unload();
    DestroyWindow(parent);
    for (const auto& request : standIn.requests)
        printf("stand-in: photo request %d from %p\n", (int)request.index, (void*)request.map);
    if (standIn.requests.empty())
        return kAskedNothing;
    if (standIn.requests.size() > 1 || standIn.requests[0].map != window)
        return kWrongRequest;
    return kAskedBase + standIn.requests[0].index;
}

// The host's boxes and links go to the output: nothing may wait for a person.
class CPrintedBoxes : public IAlarmMessageBox {
public:
    int Show(const WCHAR* text, const WCHAR* caption, UINT) override
    {
        wprintf(L"box %ls: %ls\n", caption, text);
        return IDOK;
    }
};

class CPrintedStarter : public IProgramStarter {
public:
    bool Start(const WCHAR* file, const WCHAR*, const WCHAR*) override
    {
        wprintf(L"open %ls\n", file);
        return true;
    }
};

std::wstring HostFolder()
{
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

// Land in the frame: the untextured globe is shades of blue and grey, the
// earth's picture around Sydney is brown and green.
int LandPixels(const GLFrame& frame)
{
    int land = 0;
    for (int y = 0; y < frame.height; y += 4) {
        for (int x = 0; x < frame.width; x += 4) {
            if (frame.Red(x, y) > frame.Blue(x, y) + 24 || frame.Green(x, y) > frame.Blue(x, y) + 24)
                ++land;
        }
    }
    return land;
}

const DWORD kTexturedWaitMs = 120000;
const int kLandPixels = 200;

int WorldMapShot(const wchar_t* out)
{
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    std::wstring folder = HostFolder();
    SettingsPaths paths = {};
    if (!BuildIniPathsFor(folder.c_str(), L"tester", &paths))
        return 5;
    CFakeSystemZone system;
    CZoneDatabase zones(system);
    CCityList cities(zones);
    SYSTEMTIME now;
    GetSystemTime(&now);
    if (!LoadZoneAndCityFiles(folder.c_str(), zones, cities, now))
        return 5;
    CModule english(LoadLibraryExW((folder + L"res_en.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    CLanguage language;
    language.SetResources(english.Get(), nullptr);
    IDesktopClocks desktop;
    CPrintedBoxes boxes;
    CPrintedStarter starter;
    CPhotoRequestStandIn standIn;
    WorldMapServices services = {};
    services.paths = &paths;
    services.strings = &language;
    services.program = GetModuleHandleW(nullptr);
    services.cities = &cities;
    services.zones = &zones;
    services.desktop = &desktop;
    services.messages = &boxes;
    services.starter = &starter;
    SettingsBlock settings = {};
    settings.options = kOptCityPhotos;
    CWorldMap map(services);
    map.SetSettings(&settings);
    // a normal place of our own: without a window manager a maximised window
    // keeps the template's size
    WritePrivateProfileStringW(L"tester:main", L"MapWindowMax", L"0", paths.userIni);
    WritePrivateProfileStringW(L"tester:main", L"MapWindowPos", L"0 0 1120 680", paths.userIni);
    if (!map.ShowWorldMap(L"Sydney, Australia"))
        return 6;
    HWND window = map.Window();
    HWND child = map.MapChild();
    if (!child)
        return 4;
    RECT childRect;
    GetClientRect(child, &childRect);
    GLFrame frame;
    bool textured = false;
    for (DWORD start = GetTickCount(); !textured && GetTickCount() - start < kTexturedWaitMs;) {
        Pump(250);
        RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        frame = ReadBackFrame(childRect.right, childRect.bottom);
        textured = LandPixels(frame) >= kLandPixels;
    }
    if (!textured) {
        map.Close();
        return 3;
    }
    // the flight to Sydney is over long before the texture is there
    RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    frame = ReadBackFrame(childRect.right, childRect.bottom);
    ClientPicture picture = GrabClientPicture(window);
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, window, (POINT*)&place, 2);
    for (int y = 0; y < frame.height; ++y) {
        int row = place.top + y;
        if (row < 0 || row >= picture.height)
            continue;
        for (int x = 0; x < frame.width && place.left + x < picture.width; ++x) {
            uint32_t pixel = frame.At(x, frame.height - 1 - y);
            uint8_t* p = &picture.rgb[((size_t)row * picture.width + place.left + x) * 3];
            p[0] = (uint8_t)(pixel >> 16);
            p[1] = (uint8_t)(pixel >> 8);
            p[2] = (uint8_t)pixel;
        }
    }
    bool written = WritePngPixels(out, picture.width, picture.height, 3, picture.rgb.data());
    printf("child %ld %ld %ld %ld\n", place.left, place.top, place.right, place.bottom);
    printf("client %d %d\n", picture.width, picture.height);
    map.Close();
    return written ? 0 : 7;
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
    if (command == L"select" && argc > 2)
        return AskTheMap(UM_MAPSELECTCITY, (WPARAM)_wtoi(argv[2]), false);
    if (command == L"show" && argc > 3)
        return AskTheMap(UM_MAPSHOWCITY, (WPARAM)_wtoi(argv[2]), std::wstring(argv[3]) == L"foreign");
    if (command == L"worldmap" && argc > 2)
        return WorldMapShot(argv[2]);
    fprintf(stderr, "usage: maphost install | initagain | cycles <n> | select <index> | show <index> own|foreign | worldmap <png>\n");
    return 1;
}
