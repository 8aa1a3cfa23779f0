// Scratch files for tests, removed when the object goes.
#pragma once

#include <string>

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

// A fixture file of tests/data.
std::wstring TestDataPath(const wchar_t* name);

// Local-time literal helpers
#include <windows.h>
SYSTEMTIME MakeTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0);
std::string FormatTime(const SYSTEMTIME& t);
