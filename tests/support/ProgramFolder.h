// The built program in a folder of its own, for the tests that run it as a
// user does. Every program started from it is ended when the object goes.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"
#include "tests/support/TestProcess.h"

// Long enough for a cold Wine to start the program.
const DWORD kProgramWaitMs = 20000;

class CProgramFolder {
public:
    // The program, the hook library, the zone files and default.ini; the
    // language library and the shipped city list when asked for.
    explicit CProgramFolder(bool withResources = true, bool withCities = true);
    CProgramFolder(const CProgramFolder&) = delete;
    CProgramFolder& operator=(const CProgramFolder&) = delete;

    // Every file was copied.
    bool Ready() const { return m_ready; }
    const std::wstring& Path() const { return m_folder.Path(); }
    std::wstring File(const wchar_t* name) const { return m_folder.File(name); }
    bool WriteBytes(const std::wstring& name, const std::string& bytes) const { return m_folder.WriteBytes(name, bytes); }
    // A file of the built program folder (settings.exe, orbex.dll, map.jpg).
    bool AddProgramFile(const wchar_t* name) { return Copy(name); }
    // A file of the test binaries' folder, copied in as `name`.
    bool AddTestBinary(const wchar_t* from, const wchar_t* name) const;
    // The built skin folder `name` under skins\.
    bool AddSkin(const wchar_t* name) const;
    // Only the first `count` cities of the shipped list.
    bool WriteCities(int count) const;

    // Starts tempolan.exe with `arguments`; its index, -1 when it did not start.
    int Start(const std::wstring& arguments);
    CTestProcess& Process(int index) { return *m_started[index]; }
    // The exit code, or -1 when the process still runs after the wait.
    int ExitCode(int index, DWORD waitMs = kProgramWaitMs);
    // "/exit", as a user ends the program; the closer's exit code.
    int Exit();
    // A value of the user's own main section of tempolan.ini.
    std::wstring UserMainKey(const wchar_t* key) const;
    bool RemoveUserMainKey(const wchar_t* key) const;

private:
    static std::wstring UserMainSection();
    bool Copy(const wchar_t* name);

    CTempFolder m_folder;
    std::vector<std::unique_ptr<CTestProcess>> m_started;
    bool m_ready = true;
};

// A main window other than `other`; null when none came within the wait.
HWND WaitForMainWindow(HWND other = nullptr, DWORD waitMs = kProgramWaitMs);
// True once no main window exists.
bool WaitForNoMainWindow(DWORD waitMs = kProgramWaitMs);

// capture.exe of the build with `arguments`; its exit code, -1 when it could
// not run or hung (it is ended then). This thread's messages are dispatched
// meanwhile: the capture asks the windows it looks for.
int RunCapture(const std::wstring& arguments);
