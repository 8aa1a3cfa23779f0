#include "TestFiles.h"

#include <stdio.h>

#include "../graphics/ZoneTime.h"

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
