#include "tests/support/ProgramFolder.h"

#include "graphics/protocol/WindowClasses.h"
#include "tests/support/TestMessages.h"

CProgramFolder::CProgramFolder(bool withResources, bool withCities)
{
    for (const wchar_t* f : {L"tempolan.exe", L"hook.dll", L"timezones.txt", L"tz_changes.txt", L"default.ini"})
        m_ready = Copy(f) && m_ready;
    if (withResources)
        m_ready = Copy(L"res_en.dll") && m_ready;
    if (withCities)
        m_ready = Copy(L"cities.txt") && m_ready;
}

bool CProgramFolder::Copy(const wchar_t* name)
{
    std::wstring from = std::wstring(TL_PROGRAM_FOLDER) + name;
    return CopyFileW(from.c_str(), m_folder.File(name).c_str(), FALSE) != 0;
}

bool CProgramFolder::AddTestBinary(const wchar_t* from, const wchar_t* name) const
{
    return CopyFileW((std::wstring(TL_TEST_BINARIES) + from).c_str(), m_folder.File(name).c_str(), FALSE) != 0;
}

bool CProgramFolder::AddSkin(const wchar_t* name) const
{
    CreateDirectoryW(m_folder.File(L"skins").c_str(), nullptr);
    return CopyFolderFiles(std::wstring(TL_PROGRAM_FOLDER) + L"skins\\" + name + L"\\",
                           m_folder.File(L"skins\\") + name + L"\\");
}

bool CProgramFolder::WriteCities(int count) const
{
    std::string all = ReadFileBytes(std::wstring(TL_PROGRAM_FOLDER) + L"cities.txt"), some;
    for (size_t p = 0; count > 0 && p < all.size();) {
        size_t end = all.find('\n', p);
        end = end == std::string::npos ? all.size() : end + 1;
        if (all[p] != '#')
            --count;
        some += all.substr(p, end - p);
        p = end;
    }
    return count == 0 && m_folder.WriteBytes(L"cities.txt", some);
}

int CProgramFolder::Start(const std::wstring& arguments)
{
    std::unique_ptr<CTestProcess> process(new CTestProcess);
    if (!process->Start(m_folder.File(L"tempolan.exe"), arguments, m_folder.Path()))
        return -1;
    m_started.push_back(std::move(process));
    return (int)m_started.size() - 1;
}

int CProgramFolder::ExitCode(int index, DWORD waitMs)
{
    return index >= 0 && index < (int)m_started.size() ? m_started[index]->ExitCode(waitMs) : -1;
}

int CProgramFolder::Exit()
{
    return ExitCode(Start(L"/exit"));
}

std::wstring CProgramFolder::UserMainSection()
{
    WCHAR user[65] = {};
    DWORD chars = 65;
    GetUserNameW(user, &chars);
    CharLowerW(user);
    return std::wstring(user) + L":main";
}

std::wstring CProgramFolder::UserMainKey(const wchar_t* key) const
{
    WCHAR value[128] = {};
    GetPrivateProfileStringW(UserMainSection().c_str(), key, L"", value, 128, m_folder.File(L"tempolan.ini").c_str());
    return value;
}

bool CProgramFolder::RemoveUserMainKey(const wchar_t* key) const
{
    return WritePrivateProfileStringW(UserMainSection().c_str(), key, nullptr, m_folder.File(L"tempolan.ini").c_str()) !=
           FALSE;
}

HWND WaitForMainWindow(HWND other, DWORD waitMs)
{
    HWND found = nullptr;
    PumpUntil([&] {
        found = FindWindowW(kMainWindowClass, nullptr);
        return found && found != other;
    }, waitMs);
    return found != other ? found : nullptr;
}

bool WaitForNoMainWindow(DWORD waitMs)
{
    return PumpUntil([] { return FindWindowW(kMainWindowClass, nullptr) == nullptr; }, waitMs);
}

int RunCapture(const std::wstring& arguments)
{
    // a cold Wine starting a second program
    const DWORD kCaptureWaitMs = 60000;
    CTestProcess capture;
    if (!capture.Start(std::wstring(TL_PROGRAM_FOLDER) + L"capture.exe", arguments))
        return -1;
    return capture.ExitCode(kCaptureWaitMs);
}
