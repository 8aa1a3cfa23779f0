#include "app/settings/SettingsFiles.h"

#include <string.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "graphics/records/AlarmRecord.h"
#include "graphics/system/Handles.h"
#include "app/settings/SettingsIni.h"
#include "app/settings/SettingsSeams.h"

namespace {

const WCHAR kDefaultPrefix[] = L"default";
const WCHAR kClocksDefaults[] = L"default:clocks";
const int kZoneNameChars = 256;

std::wstring Numbered(const WCHAR* stem, int n)
{
    return stem + std::to_wstring(n);
}

bool EqualNoCase(const WCHAR* a, const WCHAR* b)
{
    return lstrcmpiW(a, b) == 0;
}

// True when `text` starts with `head`, any case; `rest` then points after it.
bool StartsWithNoCase(const WCHAR* text, const WCHAR* head, const WCHAR** rest)
{
    size_t n = wcslen(head);
    if (wcslen(text) < n || CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, text, (int)n, head, (int)n) != CSTR_EQUAL)
        return false;
    *rest = text + n;
    return true;
}

// Leading decimal number, capped so that long digit runs cannot overflow.
int LeadingNumber(const WCHAR* p, const WCHAR** end)
{
    int n = 0;
    while (*p >= '0' && *p <= '9') {
        if (n < 100000)
            n = n * 10 + (*p - '0');
        ++p;
    }
    *end = p;
    return n;
}

std::wstring Lowered(std::wstring text)
{
    if (!text.empty())
        CharLowerW(&text[0]);
    return text;
}

}  // namespace

bool MergeDefaultSection(const SettingsPaths& paths, const WCHAR* prefix, const WCHAR* suffix,
                         bool fromNumberedDefaults, const ILocalZoneNames* zones)
{
    if (!suffix)
        suffix = L"";
    std::wstring defaults = kClocksDefaults;
    if (fromNumberedDefaults) {
        defaults = kDefaultPrefix;
        if (suffix[0] != ':')
            defaults += L":";
        defaults += suffix;
    }
    std::wstring target = UserSection(prefix, suffix);

    std::vector<std::wstring> keys;
    if (!ReadKeyNames(paths.defaultIni, defaults.c_str(), &keys) || keys.empty())
        return false;
    // one read of the target section instead of one per key
    std::set<std::wstring> present;
    std::vector<std::wstring> lines;
    ReadSectionLines(paths.userIni, target.c_str(), &lines);
    for (const std::wstring& line : lines) {
        size_t equals = line.find(L'=');
        if (equals != std::wstring::npos && IsMissingKey(line.c_str() + equals + 1))
            continue;
        present.insert(Lowered(line.substr(0, equals)));
    }
    for (const std::wstring& keyName : keys) {
        const WCHAR* key = keyName.c_str();
        if (present.count(Lowered(keyName)))
            continue;
        std::wstring value;
        // a default too long to read whole is left out rather than written cut
        if (!ReadProfileText(paths.defaultIni, defaults.c_str(), key, L"", &value))
            continue;
        if (value.empty() && zones) {
            const WCHAR* valueName = nullptr;
            bool zoneKey = EqualNoCase(key, L"zone");
            if (EqualNoCase(key, L"timezone")) {
                zoneKey = true;
                valueName = L"Display";
            }
            if (zoneKey) {
                WCHAR name[kZoneNameChars] = {};
                zones->GetLocalRegistryZoneName(name, kZoneNameChars, valueName);
                name[kZoneNameChars - 1] = 0;
                value = name;
            }
        }
        WritePrivateProfileStringW(target.c_str(), key, value.c_str(), paths.userIni);
    }
    return true;
}

int InitSettingsSections(const SettingsPaths& paths, ITimeServiceControl& service, const ILocalZoneNames* zones,
                         int* clockCount)
{
    const WCHAR* prefix = paths.userPrefix;
    std::wstring mainSection = UserSection(prefix, L":main");
    int channels = (int)GetPrivateProfileIntW(mainSection.c_str(), L"rss_channels", -1, paths.userIni);

    int clocks = 0, enabled = 0;
    bool newUser = false;
    for (int i = 0; i <= kMaxClocks; ++i) {
        std::wstring suffix = i == 0 ? std::wstring(L":main") : Numbered(L":clock", i);
        std::wstring section = UserSection(prefix, suffix.c_str());
        std::vector<std::wstring> keys;
        if (!newUser) {
            ReadKeyNames(paths.userIni, section.c_str(), &keys);
            // no clock 1: the user starts from the shipped clocks
            if (i == 1 && keys.empty())
                newUser = true;
        }
        if (newUser)
            ReadKeyNames(paths.defaultIni, (kDefaultPrefix + suffix).c_str(), &keys);
        if (i > 0 && keys.empty())
            break;

        if (i == 0) {
            MergeDefaultSection(paths, L"", L"common", true, zones);
            service.SendControl(kServiceControlReadSettings);
            MergeDefaultSection(paths, prefix, L":main", true, zones);
            MergeDefaultSection(paths, prefix, L":calendar", true, zones);
            continue;
        }
        MergeDefaultSection(paths, prefix, suffix.c_str(), newUser, zones);
        if (newUser) {
            for (int m = 1; m <= kMaxMergedAlarms; ++m) {
                std::wstring alarm = suffix + Numbered(L":alarm", m);
                if (!MergeDefaultSection(paths, prefix, alarm.c_str(), true, zones))
                    break;
            }
        }
        ++clocks;
        if (GetPrivateProfileIntW(section.c_str(), L"enabled", 0, paths.userIni) == 1)
            ++enabled;
    }
    if (clocks > kMaxClocks)
        clocks = kMaxClocks;

    if (channels == -1) {
        int merged = 0;
        for (int k = 1; k <= kMaxMergedChannels; ++k) {
            if (!MergeDefaultSection(paths, prefix, Numbered(L":rss", k).c_str(), true, zones))
                break;
            ++merged;
        }
        WritePrivateProfileStringW(mainSection.c_str(), L"rss_channels", std::to_wstring(merged).c_str(),
                                   paths.userIni);
    }
    if (clockCount)
        *clockCount = clocks;
    return enabled;
}

namespace {

struct PlannedSection {
    std::wstring name;
    std::vector<WCHAR> content;
};

// Highest clock number copied under one target prefix, and per clock the highest alarm.
struct ClockMarks {
    std::wstring prefix;
    int highestClock = 0;
    int highestAlarm[kMaxClocks + 1] = {};
};

void DeleteSection(const WCHAR* file, const std::wstring& section)
{
    WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, file);
}

}  // namespace

bool CopySettingsSections(const WCHAR* sourceFile, const WCHAR* sourcePrefix, const WCHAR* targetFile,
                          const WCHAR* targetPrefix)
{
    if (!sourceFile || !*sourceFile || !targetFile || !*targetFile)
        return false;
    if (EqualNoCase(sourceFile, targetFile) || IsSameFile(sourceFile, targetFile))
        return false;
    bool bySource = sourcePrefix && *sourcePrefix;
    bool toTarget = targetPrefix && *targetPrefix;

    std::vector<std::wstring> names;
    if (!ReadSectionNames(sourceFile, &names))
        return false;

    // everything is read first, so a section that cannot be read whole leaves the target untouched
    std::vector<PlannedSection> planned;
    std::map<std::wstring, ClockMarks> marks;
    for (const std::wstring& sourceName : names) {
        const WCHAR* name = sourceName.c_str();
        PlannedSection section;
        const WCHAR* colon = wcschr(name, L':');
        if (colon) {
            std::wstring head(name, colon - name);
            if (bySource && !EqualNoCase(head.c_str(), sourcePrefix))
                continue;
            std::wstring newPrefix = toTarget ? std::wstring(targetPrefix) : head;
            section.name = newPrefix + colon;
            const WCHAR* rest;
            if (StartsWithNoCase(colon, L":clock", &rest)) {
                const WCHAR* end;
                int clock = LeadingNumber(rest, &end);
                if (end == rest || clock < 1 || clock > kMaxClocks || (*end && *end != ':'))
                    continue;
                ClockMarks& mark = marks[Lowered(newPrefix)];
                mark.prefix = newPrefix;
                if (clock > mark.highestClock)
                    mark.highestClock = clock;
                const WCHAR* alarmRest;
                if (StartsWithNoCase(end, L":alarm", &alarmRest) && *alarmRest >= '0' && *alarmRest <= '9') {
                    int alarm = LeadingNumber(alarmRest, &end);
                    if (alarm > mark.highestAlarm[clock])
                        mark.highestAlarm[clock] = alarm;
                }
            }
        } else {
            section.name = name;
        }
        if (!ReadSectionContent(sourceFile, name, &section.content))
            return false;
        planned.push_back(std::move(section));
    }

    for (const PlannedSection& section : planned) {
        if (!WritePrivateProfileSectionW(section.name.c_str(), section.content.data(), targetFile))
            return false;
    }

    // stale sections of the target would otherwise extend the copied clock and alarm lists
    for (const auto& entry : marks) {
        const ClockMarks& mark = entry.second;
        for (int c = 1; c <= mark.highestClock; ++c) {
            std::wstring clock = mark.prefix + Numbered(L":clock", c);
            DeleteSection(targetFile, clock + Numbered(L":alarm", mark.highestAlarm[c] + 1));
        }
        for (int c = mark.highestClock + 1; c <= kMaxClocks; ++c) {
            std::wstring clock = mark.prefix + Numbered(L":clock", c);
            DeleteSection(targetFile, clock);
            // a clock added later under this number must not inherit old alarms
            DeleteSection(targetFile, clock + L":alarm1");
        }
    }
    return true;
}

AlarmRecord* ResizeAlarmArray(AlarmRecord* alarms, int count)
{
    HANDLE heap = GetProcessHeap();
    if (count == 0) {
        if (alarms)
            HeapFree(heap, 0, alarms);
        return nullptr;
    }
    if (count < 0 || (size_t)count > ((size_t)-1) / sizeof(AlarmRecord))
        return nullptr;
    size_t bytes = (size_t)count * sizeof(AlarmRecord);
    void* block = alarms ? HeapReAlloc(heap, HEAP_ZERO_MEMORY, alarms, bytes) : HeapAlloc(heap, HEAP_ZERO_MEMORY, bytes);
    return (AlarmRecord*)block;
}

namespace {

const DWORD kMaxSettingsFileBytes = 16u << 20;

// ":main" as UTF-16 text at an even or an odd offset.
bool HoldsUtf16Main(const std::vector<BYTE>& bytes)
{
    static const BYTE kMain[10] = {':', 0, 'm', 0, 'a', 0, 'i', 0, 'n', 0};
    if (bytes.size() < sizeof(kMain))
        return false;
    for (size_t i = 0; i + sizeof(kMain) <= bytes.size(); ++i)
        if (memcmp(bytes.data() + i, kMain, sizeof(kMain)) == 0)
            return true;
    return false;
}

}  // namespace

bool EnsureUnicodeSettingsFile(const WCHAR* path)
{
    std::vector<BYTE> bytes;
    {
        CKernelHandle file(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size;
        if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxSettingsFileBytes)
            return false;
        bytes.resize((size_t)size.QuadPart);
        DWORD read = 0;
        if (!bytes.empty() && (!ReadFile(file.Get(), bytes.data(), (DWORD)bytes.size(), &read, nullptr) ||
                               read != bytes.size()))
            return false;
    }
    // UTF-16 already: other users' sections must not be read as ANSI
    if ((bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) || HoldsUtf16Main(bytes))
        return true;

    UINT codePage = CP_ACP;
    size_t start = 0;
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        codePage = CP_UTF8;
        start = 3;
    }
    int chars = 0;
    std::vector<WCHAR> text(1, 0xFEFF);
    if (bytes.size() > start) {
        chars = MultiByteToWideChar(codePage, 0, (const char*)bytes.data() + start, (int)(bytes.size() - start),
                                    nullptr, 0);
        if (chars <= 0)
            return false;
        text.resize(1 + (size_t)chars);
        MultiByteToWideChar(codePage, 0, (const char*)bytes.data() + start, (int)(bytes.size() - start),
                            text.data() + 1, chars);
    }

    std::wstring temporary = std::wstring(path) + L".utf16";
    {
        CKernelHandle out(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD bytesOut = (DWORD)(text.size() * sizeof(WCHAR)), written = 0;
        bool ok = out && WriteFile(out.Get(), text.data(), bytesOut, &written, nullptr) && written == bytesOut &&
                  FlushFileBuffers(out.Get());
        if (!ok) {
            out.Reset();
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (!MoveFileExW(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
