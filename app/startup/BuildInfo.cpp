#include "app/startup/BuildInfo.h"

#include <stdio.h>
#include <string.h>

#include <vector>

#include "graphics/records/FixedText.h"
#include "graphics/system/Handles.h"

namespace {

// Sakamoto's method; 0 = Sunday.
int DayOfWeek(int y, int m, int d)
{
    static const int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3)
        y -= 1;
    return (y + y / 4 - y / 100 + y / 400 + kOffsets[m - 1] + d) % 7;
}

uint32_t Le32(const uint8_t* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

bool ReadLinkTime(const WCHAR* file, SYSTEMTIME* out)
{
    CKernelHandle h(CreateFileW(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!h)
        return false;
    uint8_t head[4096];
    DWORD got = 0;
    BOOL ok = ReadFile(h.Get(), head, sizeof(head), &got, nullptr);
    uint32_t stamp = 0;
    if (!ok || !ReadPeTimeStamp(head, got, &stamp))
        return false;
    // 100-ns units from 1601 to 1970
    uint64_t ticks = (uint64_t)stamp * 10000000u + 116444736000000000ull;
    FILETIME ft = {(DWORD)ticks, (DWORD)(ticks >> 32)};
    return FileTimeToSystemTime(&ft, out) != FALSE;
}

}  // namespace

bool ReadPeTimeStamp(const uint8_t* bytes, size_t size, uint32_t* stamp)
{
    if (size < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z')
        return false;
    uint32_t pe = Le32(bytes + 0x3C);
    // signature, machine and section count come before the stamp
    if (pe > size || size - pe < 12 || memcmp(bytes + pe, "PE\0\0", 4) != 0)
        return false;
    *stamp = Le32(bytes + pe + 8);
    return *stamp != 0;
}

bool ParseCompilerDate(const char* date, const char* time, SYSTEMTIME* out)
{
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    char month[4] = {};
    int day = 0, year = 0, hour = 0, minute = 0, second = 0;
    if (!date || !time || sscanf(date, "%3s %d %d", month, &day, &year) != 3
        || sscanf(time, "%d:%d:%d", &hour, &minute, &second) != 3)
        return false;
    const char* found = strlen(month) == 3 ? strstr(kMonths, month) : nullptr;
    if (!found || (found - kMonths) % 3 != 0)
        return false;
    int m = (int)(found - kMonths) / 3 + 1;
    if (day < 1 || day > 31 || year < 1601 || year > 30827 || hour > 23 || minute > 59 || second > 59 || hour < 0
        || minute < 0 || second < 0)
        return false;
    *out = {};
    out->wYear = (WORD)year;
    out->wMonth = (WORD)m;
    out->wDay = (WORD)day;
    out->wDayOfWeek = (WORD)DayOfWeek(year, m, day);
    out->wHour = (WORD)hour;
    out->wMinute = (WORD)minute;
    out->wSecond = (WORD)second;
    return true;
}

void AppendVersionText(const VS_FIXEDFILEINFO& version, WCHAR* text, size_t chars)
{
    char part[48];
    snprintf(part, sizeof(part), "%d.%d.%d x64", (int)(version.dwFileVersionMS >> 16),
             (int)(version.dwFileVersionMS & 0xFFFF), (int)(version.dwFileVersionLS >> 16));
    size_t i = 0;
    while (i < chars && text[i])
        ++i;
    if (i == chars)
        return;  // not terminated: nothing to append to
    for (const char* p = part; i + 1 < chars && *p; ++p)
        text[i++] = (WCHAR)*p;
    text[i] = 0;
}

CFileBuildInfo::CFileBuildInfo(const WCHAR* programFile)
{
    CopyFixed(m_file, FIELD_WIDTH(m_file) - 1, programFile);
    m_file[FIELD_WIDTH(m_file) - 1] = 0;
}

bool CFileBuildInfo::GetBuildInfo(BuildInfo* info)
{
    *info = {};
    if (!ReadLinkTime(m_file, &info->buildDate) && !ParseCompilerDate(__DATE__, __TIME__, &info->buildDate))
        return false;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(m_file, &handle);
    if (!size)
        return false;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(m_file, 0, size, data.data()))
        return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", (void**)&fixed, &length) || !fixed || length < sizeof(*fixed)
        || fixed->dwSignature != 0xFEEF04BDu)
        return false;
    info->fileVersion = *fixed;
    return true;
}

BuildInfo ReadProgramBuild()
{
    BuildInfo build = {};
    WCHAR file[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, file, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return build;
    CFileBuildInfo source(file);
    if (!source.GetBuildInfo(&build))
        build = {};
    return build;
}
