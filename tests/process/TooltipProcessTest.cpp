// The clock tooltip inside the stand-in taskbar, driven by the real program:
// shown at a hovered clock, hidden some time after the mouse leaves, with the
// clock's city photo from the store all processes of the prefix share.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/JpegFiles.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/StandinTaskbar.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"
#include "tools/standin-taskbar/StandinQueries.h"

namespace {

// The tooltip window of the taskbar's process, its only layered window.
HWND TooltipOf(DWORD pid)
{
    HWND window = FindProcessWindow(pid, kLayeredWindowClass);
    WCHAR title[64] = {};
    GetWindowTextW(window, title, 64);
    return lstrcmpW(title, L"Tempoler Tooltip") == 0 ? window : nullptr;
}

struct TooltipRun {
    CStandinTaskbar taskbar;
    CDesktopProgram program;
    HWND tooltip = nullptr;
    RECT clock = {};

    // The program with one taskbar clock, with `more` keys, attached to a
    // taskbar at `edge`.
    bool Start(const wchar_t* edge, bool calendar, const std::vector<std::wstring>& more = {})
    {
        if (FindWindowW(kMainWindowClass, nullptr) || !taskbar.Start(edge) || !program.Ready())
            return false;
        LRESULT ownSize = Query(taskbar.clock, UM_MAINWINDOWREADY);
        std::vector<std::wstring> keys = {L"enabled=1", L"zone=UTC", L"timeformat=HH:mm", L"prefix=R&D"};
        keys.insert(keys.end(), more.begin(), more.end());
        program.WriteClock(1, keys);
        program.WriteMainKey(L"tooltips", L"1");
        program.WriteMainKey(L"tooltip_calendar", calendar ? L"1" : L"0");
        if (!program.StartProgram(L""))
            return false;
        if (!PumpUntil([&] {
                LRESULT size = Query(taskbar.clock, UM_MAINWINDOWREADY);
                return size != ownSize && LOWORD(size) > 0 && Query(taskbar.clock, SQ_OWNPROC) == 0;
            }, 20000))
            return false;
        tooltip = TooltipOf(taskbar.Pid());
        GetWindowRect(taskbar.clock, &clock);
        return tooltip != nullptr;
    }
    bool Hover()
    {
        POINT centre = {(clock.right - clock.left) / 2, (clock.bottom - clock.top) / 2};
        PostMessageW(taskbar.clock, WM_MOUSEHOVER, 0, MAKELPARAM(centre.x, centre.y));
        return PumpUntil([&] { return IsWindowVisible(tooltip) != FALSE; }, 5000);
    }
    ~TooltipRun()
    {
        if (program.Ready())
            program.ExitProgram();
    }
};

// Dark pixels of the caption under the calendar on the screen: below the
// today line's mark (the highlight colour), the last thing the calendar
// draws; -1 without the mark.
int CaptionPixels(const RECT& tip, std::vector<uint8_t>* grabbed)
{
    std::vector<uint8_t>& rgb = *grabbed;
    rgb = GrabScreenRgb(tip);
    int width = tip.right - tip.left, height = tip.bottom - tip.top, dark = 0, mark = -1;
    if (rgb.empty())
        return -1;
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
            if (p[0] == GetRValue(highlight) && p[1] == GetGValue(highlight) && p[2] == GetBValue(highlight))
                mark = y;
        }
    if (mark < 0)
        return -1;
    for (int y = mark + 1; y < height - 1; ++y)
        for (int x = 1; x < width - 1; ++x) {
            const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
            dark += p[0] + p[1] + p[2] < 3 * 80;
        }
    return dark;
}

TEST(TrayTooltip, AboveABottomTaskbarsClockUntilTheMouseLeaves)
{
    TooltipRun run;
    ASSERT_TRUE(run.Start(L"bottom", true));
    ASSERT_FALSE(IsWindowVisible(run.tooltip));
    ASSERT_TRUE(run.Hover());
    RECT tip;
    GetWindowRect(run.tooltip, &tip);
    int middleY = (run.clock.top + run.clock.bottom) / 2;
    // its bottom on the clock's top edge, its right edge at the clock's centre
    EXPECT_GE(tip.bottom, run.clock.top);
    EXPECT_LT(tip.bottom, middleY);
    EXPECT_GT(tip.right, run.clock.left);
    EXPECT_LT(tip.right, run.clock.right);
    // a calendar of a month at least: taller than a few lines of text
    EXPECT_GT(tip.bottom - tip.top, 100);
    // taken again until the window has reached the screen
    std::vector<uint8_t> rgb;
    int captionPixels = CaptionPixels(tip, &rgb);
    PumpUntil([&] { return (captionPixels = CaptionPixels(tip, &rgb)) > 10; }, 3000);
    ASSERT_FALSE(rgb.empty());
    WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"tooltip.png", tip.right - tip.left, tip.bottom - tip.top, 3,
                   rgb.data());
    EXPECT_GT(captionPixels, 10);

    PostMessageW(run.taskbar.clock, WM_MOUSELEAVE, 0, 0);
    DWORD left = GetTickCount();
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(IsWindowVisible(run.tooltip));
    // half a second's delay: hidden by a second after the mouse left
    DWORD waited = GetTickCount() - left;
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(run.tooltip); }, waited < 1000 ? 1000 - waited : 0));
}

TEST(TrayTooltip, BelowATopTaskbarsClock)
{
    TooltipRun run;
    ASSERT_TRUE(run.Start(L"top", false));
    ASSERT_TRUE(run.Hover());
    RECT tip;
    GetWindowRect(run.tooltip, &tip);
    int middleY = (run.clock.top + run.clock.bottom) / 2;
    EXPECT_LE(tip.top, run.clock.bottom);
    EXPECT_GT(tip.top, middleY);
    // no calendar: the caption and the date line
    EXPECT_LT(tip.bottom - tip.top, 100);
}

const COLORREF kPhotoColor = RGB(0x20, 0xA0, 0x40);
const int kPhotoWidth = 48, kPhotoHeight = 36;
const wchar_t kCity[] = L"Greenvale";

// The all-users photo store of this prefix, as the program finds it.
std::wstring PhotoStoreRoot()
{
    WCHAR common[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common)))
        return L"";
    return std::wstring(common) + L"\\Tempolan\\Placeviews";
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

// Pixels of the grab within JPEG's error of `color`.
int PixelsNear(const std::vector<uint8_t>& rgb, COLORREF color)
{
    int count = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        count += abs(rgb[i] - GetRValue(color)) <= 8 && abs(rgb[i + 1] - GetGValue(color)) <= 8 &&
                 abs(rgb[i + 2] - GetBValue(color)) <= 8;
    return count;
}

// One city in a country named for this run, whose one photo is a flat
// colour in the prefix's real store. Everything the fixture put there goes
// in TearDown, after the programs that read it have ended.
class TrayTooltipPhoto : public ::testing::Test {
protected:
    void SetUp() override
    {
        countryA = "Testland-" + std::to_string(GetCurrentProcessId());
        country.assign(countryA.begin(), countryA.end());
        std::wstring root = PhotoStoreRoot();
        ASSERT_FALSE(root.empty());
        countryFolder = root + L"\\" + country + L"\\";
        std::wstring parent = root.substr(0, root.rfind(L'\\'));
        for (const std::wstring& folder : {parent, root}) {
            if (CreateDirectoryW(folder.c_str(), nullptr))
                madeFolders.push_back(folder);
            else
                ASSERT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError()) << "folder not made";
        }
        ASSERT_TRUE(CreateDirectoryW(countryFolder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((countryFolder + kCity).c_str(), nullptr));
        TopDownPicture picture(kPhotoWidth, kPhotoHeight, 3);
        for (int y = 0; y < kPhotoHeight; ++y)
            for (int x = 0; x < kPhotoWidth; ++x) {
                uint8_t* p = picture.At(x, y);
                p[0] = GetRValue(kPhotoColor);
                p[1] = GetGValue(kPhotoColor);
                p[2] = GetBValue(kPhotoColor);
            }
        std::wstring city = countryFolder + kCity + L"\\";
        ASSERT_TRUE(WriteJpegFile(city + L"7.jpg", picture));
        ASSERT_TRUE(WriteWholeFile(city + L"index.tsv", "7\tx\t/i/7.jpg\tMeadow\t/p/7.htm\ty\t5\tTester\r\n"));
    }
    void TearDown() override
    {
        run.reset();
        if (!countryFolder.empty())
            RemoveFolderTree(countryFolder);
        for (auto folder = madeFolders.rbegin(); folder != madeFolders.rend(); ++folder)
            RemoveDirectoryW(folder->c_str());
    }

    std::unique_ptr<TooltipRun> run = std::make_unique<TooltipRun>();
    std::wstring country, countryFolder;
    std::string countryA;
    std::vector<std::wstring> madeFolders;
};

TEST_F(TrayTooltipPhoto, TheHoveredClocksCityPhotoOnTheScreen)
{
    // the shipped zone table's names; the clock at the city by its "city, country"
    ASSERT_TRUE(run->program.WriteBytes(
        L"cities.txt", "Greenvale\tGreenvale\t" + countryA + "\t10.00000\t20.00000\tGreenwich Standard Time\n"));
    run->program.WriteMainKey(L"placeviews", L"1");
    ASSERT_TRUE(run->Start(L"bottom", false, {std::wstring(L"location=") + kCity + L", " + country}));
    ASSERT_TRUE(run->Hover());
    RECT tip;
    GetWindowRect(run->tooltip, &tip);
    // taken again until the window has reached the screen
    std::vector<uint8_t> rgb;
    int photoPixels = 0;
    PumpUntil([&] {
        rgb = GrabScreenRgb(tip);
        return (photoPixels = PixelsNear(rgb, kPhotoColor)) >= kPhotoWidth * kPhotoHeight / 2;
    }, 3000);
    ASSERT_FALSE(rgb.empty());
    WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"tooltip-photo-process.png", tip.right - tip.left,
                   tip.bottom - tip.top, 3, rgb.data());
    // the photo at its own size, beside the caption
    EXPECT_GE(photoPixels, 300);
    EXPECT_LE(photoPixels, kPhotoWidth * kPhotoHeight);
    EXPECT_GE(tip.bottom - tip.top, kPhotoHeight);
}

}  // namespace
