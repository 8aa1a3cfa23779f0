// Loading the settings of 30 clocks: the merge of the defaults and the typed
// readers against bare profile calls reading the same keys. Prints the ratio.
#include <stdio.h>

#include <algorithm>
#include <string>

#include "app/settings/SettingsFiles.h"
#include "app/settings/SettingsIni.h"
#include "app/settings/SettingsSeams.h"
#include "graphics/records/FixedText.h"

namespace {

const int kClocks = 30;
const int kRounds = 7;

// The keys a clock reader takes, with the kind of read each gets.
enum KeyKind { kText, kNumber, kMs, kStamp };
struct Key {
    const WCHAR* name;
    KeyKind kind;
    const char* value;
};
const Key kKeys[] = {
    {L"enabled", kNumber, "1"},           {L"timer_mode", kNumber, "0"},
    {L"on_desktop", kNumber, "0"},        {L"alpha", kNumber, "255"},
    {L"transparent", kNumber, "1"},       {L"skin", kText, "Classic"},
    {L"zone", kText, "W. Europe Standard Time"},
    {L"usedaylight", kNumber, "1"},       {L"prefix", kText, "Amsterdam"},
    {L"location", kText, "Amsterdam, Netherlands"},
    {L"timeformat", kText, "Default"},    {L"dateformat", kText, "None"},
    {L"timerformat", kText, "%H:%02m:%02s"},
    {L"running", kNumber, "0"},           {L"timer_length", kMs, "90000"},
    {L"timer_start", kStamp, "2026.01.04 10:20:30"},
};

class CQuietService : public ITimeServiceControl {
public:
    bool SendControl(DWORD) override { return true; }
};

void WriteText(const std::wstring& path, const std::string& text)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f)
        return;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER freq)
{
    return (double)(b.QuadPart - a.QuadPart) / (double)freq.QuadPart;
}

volatile int64_t g_sink;

void LoadTyped(const SettingsPaths& paths, ITimeServiceControl& service)
{
    int clocks = 0;
    InitSettingsSections(paths, service, nullptr, &clocks);
    for (int c = 1; c <= clocks; ++c) {
        std::wstring section = UserSection(paths.userPrefix, (L":clock" + std::to_wstring(c)).c_str());
        for (const Key& key : kKeys) {
            int64_t ms = 0;
            SYSTEMTIME stamp = {};
            std::wstring text;
            switch (key.kind) {
            case kMs:
                ReadMsKey(paths, section.c_str(), key.name, &ms);
                g_sink = g_sink + ms;
                break;
            case kStamp:
                ReadTimeStampKey(paths, section.c_str(), key.name, &stamp);
                g_sink = g_sink + stamp.wSecond;
                break;
            case kNumber:
                g_sink = g_sink + (int)GetPrivateProfileIntW(section.c_str(), key.name, 0, paths.userIni);
                break;
            case kText:
                ReadProfileText(paths.userIni, section.c_str(), key.name, L"", &text);
                g_sink = g_sink + (int64_t)text.size();
                break;
            }
        }
    }
}

void LoadBare(const SettingsPaths& paths)
{
    WCHAR value[256];
    for (int c = 1; c <= kClocks; ++c) {
        std::wstring section = UserSection(paths.userPrefix, (L":clock" + std::to_wstring(c)).c_str());
        for (const Key& key : kKeys) {
            if (key.kind == kNumber)
                g_sink = g_sink + (int)GetPrivateProfileIntW(section.c_str(), key.name, 0, paths.userIni);
            else
                g_sink = g_sink + GetPrivateProfileStringW(section.c_str(), key.name, L"", value, 256, paths.userIni);
        }
    }
}

}  // namespace

int main()
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"tlsetbench" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    SettingsPaths paths = {};
    CopyFixed(paths.folder, 259, folder.c_str());
    CopyFixed(paths.defaultIni, 259, (folder + L"default.ini").c_str());
    CopyFixed(paths.userIni, 259, (folder + L"tempolan.ini").c_str());
    RefreshUserPrefix(&paths);
    std::string user(paths.userPrefix, paths.userPrefix + wcslen(paths.userPrefix));

    std::string defaults = "[default:main]\r\nlanguage=en\r\n[default:common]\r\nserver=0\r\n[default:clocks]\r\n";
    std::string settings = "[" + user + ":main]\r\nlanguage=en\r\nrss_channels=0\r\n[common]\r\nserver=0\r\n";
    for (const Key& key : kKeys)
        defaults += std::string(key.name, key.name + wcslen(key.name)) + "=" + key.value + "\r\n";
    for (int c = 1; c <= kClocks; ++c) {
        settings += "[" + user + ":clock" + std::to_string(c) + "]\r\n";
        for (const Key& key : kKeys)
            settings += std::string(key.name, key.name + wcslen(key.name)) + "=" + key.value + "\r\n";
    }
    WriteText(paths.defaultIni, defaults);
    WriteText(paths.userIni, settings);

    CQuietService service;
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    LoadTyped(paths, service);  // warm the profile cache
    double typed = 1e30, bare = 1e30;
    for (int r = 0; r < kRounds; ++r) {
        QueryPerformanceCounter(&t0);
        LoadBare(paths);
        QueryPerformanceCounter(&t1);
        bare = std::min(bare, Seconds(t0, t1, freq));
        QueryPerformanceCounter(&t0);
        LoadTyped(paths, service);
        QueryPerformanceCounter(&t1);
        typed = std::min(typed, Seconds(t0, t1, freq));
    }
    printf("bare profile reads, 30 clocks x %d keys   %8.2f ms (anchor)\n", (int)(sizeof(kKeys) / sizeof(kKeys[0])),
           bare * 1e3);
    printf("merge + typed readers, same keys         %8.2f ms  ratio %.2f\n", typed * 1e3, typed / bare);

    WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
    DeleteFileW(paths.userIni);
    DeleteFileW(paths.defaultIni);
    RemoveDirectoryW(folder.c_str());
    return 0;
}
