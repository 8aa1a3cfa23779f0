#include "tests/windows/DesktopClockFixture.h"

#include <string>

#include "graphics/records/FixedText.h"
#include "graphics/system/Paths.h"
#include "graphics/window/Window.h"

const wchar_t kTextSkin[] = L"Blue LCD";
const wchar_t kOtherTextSkin[] = L"Amber Type";
const wchar_t kFaceSkin[] = L"Classic Analog";
const wchar_t kClassicLook[] = L"Classic Tempolan Style";

namespace {

const wchar_t kSkinsRoot[] = TL_PROGRAM_FOLDER L"skins\\";
// 100-ns units
const uint64_t kHour = 36000000000ull;

std::wstring Section(const SettingsPaths& paths, uint32_t id)
{
    return std::wstring(paths.userPrefix) + L":clock" + std::to_wstring(id);
}

}  // namespace

DesktopClockFixture::DesktopClockFixture() : styles(themeApi), paths(), skins(kSkinsRoot, &styles)
{
    themeApi.active = FALSE;
}

void DesktopClockFixture::SetUp()
{
    ASSERT_TRUE(RegisterWindowClasses(GetModuleHandleW(nullptr)));
    ASSERT_TRUE(resources.Load(TL_PROGRAM_FOLDER));
    ASSERT_TRUE(BuildIniPathsFor(folder.Path().c_str(), L"user", &paths));
    // the settings in the scratch folder, the skins of the program folder
    CopyFixed(paths.skinsRoot, FIELD_WIDTH(paths.skinsRoot), kSkinsRoot);
    CopyFixed(host.settings.skin, FIELD_WIDTH(host.settings.skin), kTextSkin);
    DesktopClockServices services = {&paths, &skins, &styles, resources.Context(), nullptr, nullptr};
    clocks.reset(new CDesktopClocks(services));
    clocks->SetHost(&host);
}

void DesktopClockFixture::TearDown()
{
    if (clocks)
        clocks->Destroy();
    clocks.reset();
    EXPECT_EQ(0, skins.GetCount()) << "a window kept its skin";
}

ClockRecord DesktopClockFixture::Clock(uint32_t id, const wchar_t* skin, uint32_t flags)
{
    ClockRecord r = {};
    r.id = id;
    r.enabled = 1;
    CopyFixed(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), L"UTC");
    CopyFixed(r.timeFormat, FIELD_WIDTH(r.timeFormat), L"HH:mm");
    CopyFixed(r.dateFormat, FIELD_WIDTH(r.dateFormat), L"None");
    CopyFixed(r.skin, FIELD_WIDTH(r.skin), skin);
    r.alpha = 255;
    r.flags = kClockOnDesktop | flags;
    return r;
}

ClockRecord DesktopClockFixture::Stopwatch(uint32_t id, const wchar_t* skin)
{
    ClockRecord r = Clock(id, skin);
    r.kind = kClockTimer;
    CopyFixed(r.timerFormat, FIELD_WIDTH(r.timerFormat), L"%H:%02m:%02s");
    r.timerRunning = 1;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    r.timerAnchorUtc = (((uint64_t)now.dwHighDateTime << 32) | now.dwLowDateTime) - kHour;
    return r;
}

void DesktopClockFixture::WriteKey(uint32_t id, const wchar_t* key, int value)
{
    WriteText(id, key, std::to_wstring(value).c_str());
}

void DesktopClockFixture::WriteText(uint32_t id, const wchar_t* key, const wchar_t* text)
{
    ASSERT_TRUE(WritePrivateProfileStringW(Section(paths, id).c_str(), key, text, paths.userIni));
}

int DesktopClockFixture::ReadKey(uint32_t id, const wchar_t* key, int def) const
{
    return (int)GetPrivateProfileIntW(Section(paths, id).c_str(), key, def, paths.userIni);
}

bool DesktopClockFixture::HasKey(uint32_t id, const wchar_t* key) const
{
    WCHAR text[32];
    return GetPrivateProfileStringW(Section(paths, id).c_str(), key, L"\x1", text, 32, paths.userIni) > 0 &&
           text[0] != 1;
}

bool DesktopClockFixture::Create(const std::vector<ClockRecord>& records)
{
    host.clocks = records;
    return clocks->Create(host.clocks.data(), (int)host.clocks.size());
}

RECT DesktopClockFixture::Bounds(const CClockWnd* window)
{
    RECT r = {};
    GetWindowRect(window->GetHandle(), &r);
    return r;
}
