// The map library's state behind its six exports: one instance per process,
// made on first use and freed by FreeMap. All calls come on the host's GUI
// thread.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "graphics/language/Language.h"
#include "graphics/system/WebOpener.h"
#include "map/textures/MapTextures.h"

struct CityRecord;

class CMapLibrary {
public:
    CMapLibrary();
    ~CMapLibrary();
    CMapLibrary(const CMapLibrary&) = delete;
    CMapLibrary& operator=(const CMapLibrary&) = delete;

    // The instance of the exports; null after FreeMap until the next call.
    static CMapLibrary* Current();
    static CMapLibrary& Get();
    // Waits for the loader threads and frees the instance.
    static void Release();

    // The program folder (trailing backslash) with the settings file and the
    // pictures, the caller's cities (kept by pointer), the window class.
    // 0 or MAPERR_REGISTERCLASS.
    DWORD Init(CityRecord* cities, int32_t count, const std::wstring& folder);
    // A map child window; `*status` takes the OpenGL set-up result.
    HWND CreateMapWindow(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height, DWORD* status);
    // The installation check of "map.jpg" and of OpenGL: 0 or a MAPERR_ code.
    DWORD Install();
    // Frees the textures (under the mutex) and unregisters the class.
    void Free();

    DWORD LastError() const { return m_lastError; }
    void KeepError(DWORD error) { m_lastError = error; }
    void SetLocalString(int32_t id, const WCHAR* text);
    // The text of `id`; null when none was given.
    const WCHAR* LocalString(int32_t id) const;

    const std::wstring& Folder() const { return m_folder; }
    const std::wstring& SettingsFile() const { return m_settingsFile; }
    CityRecord* Cities() const { return m_cities; }
    int32_t CityCount() const { return m_cityCount; }
    bool NewerSystem() const { return m_newerSystem; }
    bool TestMode() const { return m_testMode; }
    CMapTextures& Textures() { return m_textures; }

    // Where web addresses go (not owned); null puts the shell back.
    void SetWebOpener(IWebOpener* opener) { m_opener = opener ? opener : &m_shell; }
    IWebOpener& WebOpener() { return *m_opener; }
    // The user's locale, for the labels' times.
    const ILanguageStrings& Language() const { return m_language; }

    // The set-up result a window's creation leaves for CreateMapWindow.
    void SetSetupStatus(DWORD status) { m_setupStatus = status; }

private:
    // Frees the earth picture and tiles under the texture mutex.
    void FreeTexturesLocked();

    std::wstring m_folder;
    std::wstring m_settingsFile;
    CityRecord* m_cities = nullptr;
    int32_t m_cityCount = 0;
    bool m_newerSystem = false;
    DWORD m_lastError = 0;
    std::map<int32_t, std::wstring> m_strings;
    bool m_testMode = false;
    bool m_classRegistered = false;
    DWORD m_setupStatus = 0;
    CMapTextures m_textures;
    CLanguage m_language;
    CShellWebOpener m_shell;
    IWebOpener* m_opener = &m_shell;
};

// The folder of the host's executable with its trailing backslash; empty
// when the path cannot be read.
std::wstring HostProgramFolder();
