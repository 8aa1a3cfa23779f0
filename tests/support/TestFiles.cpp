#include "tests/support/TestFiles.h"

#include <stdio.h>

#include "graphics/system/Handles.h"
#include "graphics/time/ZoneTime.h"

CTempFile::CTempFile(const std::string& content)
{
    wchar_t dir[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"tlt", 0, path);
    m_path = path;
    FILE* f = _wfopen(path, L"wb");
    fwrite(content.data(), 1, content.size(), f);
    fclose(f);
}

CTempFile::~CTempFile()
{
    DeleteFileW(m_path.c_str());
}

void RemoveFolderTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    // closed before the folder itself goes
    if (CFindHandle find{FindFirstFileW((folder + L"*").c_str(), &found)}) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(folder + name + L"\\");
            else
                DeleteFileW((folder + name).c_str());
        } while (FindNextFileW(find.Get(), &found));
    }
    RemoveDirectoryW(folder.c_str());
}

std::vector<std::wstring> FolderFileNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    if (CFindHandle find{FindFirstFileW((folder + L"*").c_str(), &found)}) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileW(find.Get(), &found));
    }
    return names;
}

CTempFolder::CTempFolder()
{
    static int s_serial;
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    m_path = std::wstring(dir) + L"tl" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(++s_serial) + L"\\";
    CreateDirectoryW(m_path.c_str(), nullptr);
}

CTempFolder::~CTempFolder()
{
    RemoveFolderTree(m_path);
}

bool CTempFolder::WriteBytes(const std::wstring& name, const std::string& bytes) const
{
    FILE* f = _wfopen((m_path + name).c_str(), L"wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool CTempFolder::AddFolder(const std::wstring& name) const
{
    return CreateDirectoryW((m_path + name).c_str(), nullptr) != FALSE;
}

bool CopyFolderFiles(const std::wstring& from, const std::wstring& to)
{
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW((from + L"*").c_str(), &found));
    if (!find)
        return false;
    bool ok = true;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ok &= CopyFileW((from + found.cFileName).c_str(), (to + found.cFileName).c_str(), FALSE) != 0;
    } while (FindNextFileW(find.Get(), &found));
    return ok;
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::string bytes;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f)
        return bytes;
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof(chunk), f)) > 0;)
        bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

std::wstring TestDataPath(const wchar_t* name)
{
    return std::wstring(TL_TEST_DATA) + name;
}

SYSTEMTIME MakeTime(int y, int mo, int d, int h, int mi, int s)
{
    SYSTEMTIME t = {(WORD)y, (WORD)mo, 0, (WORD)d, (WORD)h, (WORD)mi, (WORD)s, 0};
    t.wDayOfWeek = (WORD)WeekdayOfDayNumber(GetDayNumber(t));
    return t;
}

std::string FormatTime(const SYSTEMTIME& t)
{
    char text[64];
    snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u w%u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond, t.wDayOfWeek);
    return text;
}
