#include "map/MapLibrary.h"

#include <versionhelpers.h>

#include "graphics/protocol/WindowClasses.h"
#include "map/MapExports.h"
#include "map/textures/TextureFiles.h"
#include "map/window/MapWindow.h"

namespace {

const WCHAR kEarthFile[] = L"map.jpg";
const WCHAR kEarthBackup[] = L"map0.jpg";
const WCHAR kSettingsFile[] = L"tempolan.ini";
const WCHAR kMapTitle[] = L"GL Map";
// What FreeMap and InstallMap wait for the loader threads and the mutex.
const DWORD kTextureWaitMs = 300000;
// Taken for the physical memory when the system does not tell.
const uint64_t kFallbackMemory = 0xC000000;
const int kTestWidth = 320;
const int kTestHeight = 200;

CMapLibrary* g_library;

HINSTANCE LibraryInstance()
{
    // the DLL's own module, or the program's when the library is linked in
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCWSTR)&LibraryInstance, &module);
    return module;
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::wstring HostProgramFolder()
{
    // the executable, not the command line: an argument holding a backslash
    // would name another folder
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD chars = GetModuleFileNameW(nullptr, &path[0], (DWORD)path.size());
        if (chars == 0)
            return std::wstring();
        if (chars < path.size()) {
            path.resize(chars);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

CMapLibrary::CMapLibrary() = default;

CMapLibrary::~CMapLibrary()
{
    m_textures.WaitForLoaderThreads(kTextureWaitMs);
}

CMapLibrary* CMapLibrary::Current()
{
    return g_library;
}

CMapLibrary& CMapLibrary::Get()
{
    if (!g_library)
        g_library = new CMapLibrary();
    return *g_library;
}

void CMapLibrary::Release()
{
    delete g_library;
    g_library = nullptr;
}

DWORD CMapLibrary::Init(CityRecord* cities, int32_t count, const std::wstring& folder)
{
    m_folder = folder;
    m_settingsFile = m_folder + kSettingsFile;
    m_textures.SetFolder(m_folder);
    m_cities = cities;
    m_cityCount = count;
    m_newerSystem = IsWindowsXPOrGreater();

    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = MapWndProc;
    wc.cbWndExtra = kMapWindowExtraBytes;
    wc.hInstance = LibraryInstance();
    wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kMapWindowClass;
    if (!RegisterClassW(&wc)) {
        KeepError(GetLastError());
        return MAPERR_REGISTERCLASS;
    }
    m_classRegistered = true;
    return 0;
}

HWND CMapLibrary::CreateMapWindow(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height, DWORD* status)
{
    m_setupStatus = 0;
    HWND window = CreateWindowExW(0, kMapWindowClass, kMapTitle,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP, x, y, width,
                                  height, parent, nullptr, LibraryInstance(), this);
    if (status)
        *status = m_setupStatus;
    return window;
}

void CMapLibrary::FreeTexturesLocked()
{
    HANDLE mutex = m_textures.Mutex();
    if (!mutex || WaitForSingleObject(mutex, kTextureWaitMs) == WAIT_TIMEOUT)
        return;
    m_textures.FreeTextures();
    ReleaseMutex(mutex);
}

DWORD CMapLibrary::Install()
{
    std::wstring earth = m_folder + kEarthFile;
    std::wstring backup = m_folder + kEarthBackup;
    bool backupMade = false;
    if (!FileExists(backup)) {
        if (!CopyFileW(earth.c_str(), backup.c_str(), FALSE)) {
            KeepError(GetLastError());
            return MAPERR_COPYTEXTURE;
        }
        backupMade = true;
    }
    MEMORYSTATUSEX memory = {sizeof(memory)};
    uint64_t physical = GlobalMemoryStatusEx(&memory) ? memory.ullTotalPhys : kFallbackMemory;
    DWORD check = CheckEarthTexture(earth.c_str(), physical);
    if (check != 0) {
        if (backupMade)
            return check;
        if (!CopyFileW(backup.c_str(), earth.c_str(), FALSE)) {
            KeepError(GetLastError());
            return MAPERR_COPYTEXTURE;
        }
        check = CheckEarthTexture(earth.c_str(), physical);
        if (check != 0)
            return check;
    }

    m_testMode = true;
    m_setupStatus = 0;
    HWND window = CreateWindowExW(0, kMapWindowClass, kMapTitle, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER, 0,
                                  0, kTestWidth, kTestHeight, nullptr, nullptr, LibraryInstance(), this);
    DWORD result = m_setupStatus;
    if (window)
        DestroyWindow(window);
    else if (result == 0)
        result = MAPERR_REGISTERCLASS;  // no class: InitMap did not run
    FreeTexturesLocked();
    m_testMode = false;
    return result;
}

void CMapLibrary::Free()
{
    // a loader thread must not outlive the library
    m_textures.WaitForLoaderThreads(kTextureWaitMs);
    FreeTexturesLocked();
    if (m_classRegistered)
        UnregisterClassW(kMapWindowClass, LibraryInstance());
    m_classRegistered = false;
}

void CMapLibrary::SetLocalString(int32_t id, const WCHAR* text)
{
    if (text)
        m_strings[id] = text;
}

const WCHAR* CMapLibrary::LocalString(int32_t id) const
{
    auto it = m_strings.find(id);
    return it == m_strings.end() ? nullptr : it->second.c_str();
}
