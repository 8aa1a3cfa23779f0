// Scratch files for tests, removed when the object goes.
#pragma once

#include <string>
#include <vector>

class CTempFile {
public:
    explicit CTempFile(const std::string& content);
    ~CTempFile();
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;
    const wchar_t* Path() const { return m_path.c_str(); }

private:
    std::wstring m_path;
};

// A scratch folder under the temporary folder (trailing backslash), removed
// with everything in it when the object goes.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const wchar_t* name) const { return m_path + name; }
    // Writes `bytes` as the file `name` (relative to the folder); false on failure.
    bool WriteBytes(const std::wstring& name, const std::string& bytes) const;
    bool AddFolder(const std::wstring& name) const;

private:
    std::wstring m_path;
};

// The files (not the subfolders) of `from` into `to`, which is made when it
// is missing; both with a trailing backslash. False when any was not copied.
bool CopyFolderFiles(const std::wstring& from, const std::wstring& to);

// The whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
// Deletes `folder` (ending with "\\") with everything in it.
void RemoveFolderTree(const std::wstring& folder);
// The names of the files (not folders) in `folder`, which ends with "\".
std::vector<std::wstring> FolderFileNames(const std::wstring& folder);

// A fixture file of tests/data.
std::wstring TestDataPath(const wchar_t* name);

// Local-time literal helpers
#include <windows.h>
SYSTEMTIME MakeTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0);
std::string FormatTime(const SYSTEMTIME& t);
