// What the clocks draw, through clockshot renders of a settings folder built
// here. Regions only: font anti-aliasing differs between Wine and Windows.
#include <gtest/gtest.h>

#include <stdio.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/system/Paths.h"
#include "tests/support/PngFile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestProcess.h"

namespace {

const DWORD kWaitMs = 60000;
const uint32_t kCanvas = 0xD4D0C8;  // clockshot's background, RGB

struct Shot {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;  // top-down
    uint32_t At(int x, int y) const { return rgb[(size_t)y * width + x]; }
    static int Sum(uint32_t c) { return (int)((c >> 16) & 0xFF) + (int)((c >> 8) & 0xFF) + (int)(c & 0xFF); }
    bool Dark(int x, int y) const { return Sum(At(x, y)) < 3 * 100; }
    // any pixel of the 5 x 5 block around (x, y)
    bool DarkNear(int x, int y) const
    {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (Dark(x + dx, y + dy))
                    return true;
        return false;
    }
    bool CanvasOnly(int left, int top, int right, int bottom) const
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (At(x, y) != kCanvas)
                    return false;
        return true;
    }
    int DarkCount(int left, int top, int right, int bottom) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += Dark(x, y);
        return n;
    }
    bool AnyDark(int left, int top, int right, int bottom) const
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (Dark(x, y))
                    return true;
        return false;
    }
};

// A program folder with the shipped data and the clocks of `sections`
// and main settings of `sections` (written for the current user).
class CShotFolder {
public:
    explicit CShotFolder(const std::string& clocks)
    {
        const wchar_t* files[] = {L"timezones.txt", L"tz_changes.txt", L"res_en.dll", L"default.ini",
                                  L"tempolan_en.ini"};
        for (const wchar_t* f : files)
            EXPECT_TRUE(CopyFileW((std::wstring(TL_PROGRAM_FOLDER) + f).c_str(), m_folder.File(f).c_str(), FALSE));
        m_folder.AddFolder(L"skins");
        for (const wchar_t* skin : {L"Amber Type", L"Blue LCD", L"Classic Analog"})
            EXPECT_TRUE(CopyFolderFiles(std::wstring(TL_PROGRAM_FOLDER) + L"skins\\" + skin + L"\\",
                                        m_folder.File(L"skins\\") + skin + L"\\"));
        SettingsPaths paths;
        EXPECT_TRUE(BuildIniPaths(m_folder.Path().c_str(), &paths));
        std::string user;
        for (const WCHAR* p = paths.userPrefix; *p; ++p)
            user += (char)*p;
        std::string ini;
        for (size_t at = 0; at < clocks.size();) {
            // "[clockN]" and "[main]" become "[<user>:clockN]" and "[<user>:main]"
            size_t open = std::min(clocks.find("[clock", at), clocks.find("[main]", at));
            if (open == std::string::npos) {
                ini += clocks.substr(at);
                break;
            }
            ini += clocks.substr(at, open - at) + "[" + user + ":";
            at = open + 1;
        }
        EXPECT_TRUE(m_folder.WriteBytes(L"tempolan.ini", ini));
    }

    // Exit code of clockshot, -1 when it could not run or hung.
    int Run(const std::wstring& arguments)
    {
        std::wstring folder = m_folder.Path();
        folder.pop_back();
        CTestProcess clockshot;
        if (!clockshot.Start(std::wstring(TL_PROGRAM_FOLDER) + L"clockshot.exe", L"\"" + folder + L"\" " + arguments))
            return -1;
        return clockshot.ExitCode(kWaitMs);  // -1 when it hung: it is ended
    }

    // Clock `number` at `instant` as a picture; empty when it failed.
    Shot Render(int number, const wchar_t* instant)
    {
        Shot shot;
        std::wstring out = m_folder.File((L"shot" + std::to_wstring(number) + L".png").c_str());
        DeleteFileW(out.c_str());
        int code = Run(std::to_wstring(number) + L" " + instant + L" \"" + out + L"\"");
        EXPECT_EQ(0, code);
        if (code != 0)
            return shot;
        // an unreadable file leaves the shot empty
        ReadPngRgb(out, &shot.width, &shot.height, &shot.rgb);
        return shot;
    }

private:
    CTempFolder m_folder;
};

const char kDigitalClocks[] =
    "[clock1]\r\nenabled=1\r\ntransparent=1\r\nskin=Standard System Clock\r\nzone=UTC\r\n"
    "timeformat=HH:mm\r\ndateformat=None\r\n"
    "[clock2]\r\nenabled=1\r\ntransparent=1\r\nskin=Standard System Clock\r\nzone=UTC\r\n"
    "timeformat=HH:mm:ss\r\ndateformat=None\r\n"
    "[clock3]\r\nenabled=1\r\ntransparent=0\r\nskin=Classic Tempolan Style\r\nzone=UTC\r\n"
    "timeformat=HH:mm\r\nprofiles=1\r\nprofile1=10:00-11:00, FF0000, 80, 0123456, morning\r\n";

// Height of a BMP file from its header; 0 when unreadable.
int BmpHeight(const std::wstring& path)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return 0;
    unsigned char header[26] = {};
    size_t read = fread(header, 1, sizeof(header), file);
    fclose(file);
    if (read != sizeof(header) || header[0] != 'B' || header[1] != 'M')
        return 0;
    int32_t height = (int32_t)(header[22] | header[23] << 8 | header[24] << 16 | (uint32_t)header[25] << 24);
    return height < 0 ? -height : height;
}

bool Reddish(uint32_t c)
{
    int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return r > g + 40 && r > b + 40;
}

}  // namespace

TEST(ClockPaint, DigitalClockKeepsItsMarginsAndGrowsWithSeconds)
{
    CShotFolder folder(kDigitalClocks);
    Shot plain = folder.Render(1, L"2030-05-06T10:15:30Z");
    ASSERT_GT(plain.width, 0);
    EXPECT_GT(plain.width, plain.height);
    // the text stays inside the margins of 4 and 2 pixels
    EXPECT_TRUE(plain.CanvasOnly(0, 0, 4, plain.height));
    EXPECT_TRUE(plain.CanvasOnly(plain.width - 4, 0, plain.width, plain.height));
    EXPECT_TRUE(plain.CanvasOnly(0, 0, plain.width, 2));
    EXPECT_TRUE(plain.AnyDark(4, 2, plain.width / 2, plain.height - 2));
    EXPECT_TRUE(plain.AnyDark(plain.width / 2, 2, plain.width - 4, plain.height - 2));

    Shot seconds = folder.Render(2, L"2030-05-06T10:15:30Z");
    ASSERT_GT(seconds.width, 0);
    EXPECT_GT(seconds.width, plain.width + 8);
    EXPECT_EQ(plain.height, seconds.height);
}

TEST(ClockPaint, ActiveProfileTintsTheWholeClock)
{
    CShotFolder folder(kDigitalClocks);
    Shot tinted = folder.Render(3, L"2030-05-06T10:15:30Z");  // inside 10:00-11:00
    ASSERT_GT(tinted.width, 0);
    EXPECT_TRUE(Reddish(tinted.At(1, tinted.height / 2)));
    EXPECT_TRUE(Reddish(tinted.At(tinted.width - 2, 2)));
    Shot plain = folder.Render(3, L"2030-05-06T11:15:30Z");
    ASSERT_GT(plain.width, 0);
    EXPECT_FALSE(Reddish(plain.At(1, plain.height / 2)));
    EXPECT_FALSE(Reddish(plain.At(plain.width - 2, 2)));
}

TEST(ClockPaint, LocalZoneHighlightTintsOnlyTheLocalClock)
{
    // on all week but the day's last minute; the tests run in India (UTC+5:30)
    CShotFolder folder(
        "[main]\r\nlocalzonehighlight=00:00-23:59, FF0000, 80, 0123456, here\r\n"
        "[clock1]\r\nenabled=1\r\ntransparent=0\r\nskin=Classic Tempolan Style\r\nzone=Local System Time\r\n"
        "timeformat=HH:mm\r\n"
        "[clock2]\r\nenabled=1\r\ntransparent=0\r\nskin=Classic Tempolan Style\r\nzone=UTC\r\n"
        "timeformat=HH:mm\r\n");
    Shot local = folder.Render(1, L"2030-05-06T10:15:30Z");
    ASSERT_GT(local.width, 0);
    EXPECT_TRUE(Reddish(local.At(1, local.height / 2)));
    EXPECT_TRUE(Reddish(local.At(local.width - 2, 2)));
    Shot utc = folder.Render(2, L"2030-05-06T10:15:30Z");
    ASSERT_GT(utc.width, 0);
    EXPECT_FALSE(Reddish(utc.At(1, utc.height / 2)));
    EXPECT_FALSE(Reddish(utc.At(utc.width - 2, 2)));
}

// An opaque skinned clock is filled with the skin's own background, the key
// colour of its strip or the corner of its face, which must be a colour meant
// to be seen.
TEST(ClockPaint, OpaqueSkinsFillWithTheirBackground)
{
    CShotFolder folder(
        "[clock1]\r\nenabled=1\r\ntransparent=0\r\nskin=Blue LCD\r\nzone=UTC\r\ntimeformat=HH:mm\r\n"
        "dateformat=None\r\n"
        "[clock2]\r\nenabled=1\r\ntransparent=0\r\nskin=Amber Type\r\nzone=UTC\r\ntimeformat=HH:mm\r\n"
        "dateformat=None\r\n"
        "[clock3]\r\nenabled=1\r\ntransparent=0\r\nskin=Classic Analog\r\nzone=UTC\r\ntimeformat=HH:mm\r\n"
        "dateformat=None\r\n");
    auto magenta = [](uint32_t c) {
        int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        return r > 160 && b > 160 && g < r - 100 && g < b - 100;
    };
    int blueHeight = 0;
    for (int number : {1, 2}) {
        SCOPED_TRACE(number);
        Shot shot = folder.Render(number, L"2030-05-06T10:15:30Z");
        ASSERT_GT(shot.width, 0);
        if (number == 1)
            blueHeight = shot.height;
        int magentaPixels = 0, canvasPixels = 0;
        for (uint32_t c : shot.rgb) {
            magentaPixels += magenta(c);
            canvasPixels += c == kCanvas;
        }
        EXPECT_EQ(0, magentaPixels);
        EXPECT_EQ(0, canvasPixels);  // opaque: no canvas shows through
        // the margins are the skin's dark background
        EXPECT_TRUE(shot.Dark(2, shot.height / 2));
        EXPECT_TRUE(shot.Dark(shot.width - 3, shot.height / 2));
    }
    // a bitmap skin's digits keep 3 pixels above and below, as in the taskbar
    int digits = BmpHeight(std::wstring(TL_PROGRAM_FOLDER) + L"skins\\Blue LCD\\digits.bmp");
    ASSERT_GT(digits, 0);
    EXPECT_EQ(digits + 2 * 3, blueHeight);
    // the analogue face's transparent corner gives the background: the light
    // paper of the dial, not black
    Shot face = folder.Render(3, L"2030-05-06T10:15:30Z");
    ASSERT_GT(face.width, 0);
    for (uint32_t corner : {face.At(0, 0), face.At(face.width - 1, face.height - 1)}) {
        EXPECT_NE(kCanvas, corner);
        EXPECT_GT(Shot::Sum(corner), 3 * 200);
    }
}

TEST(ClockPaint, TimerDrawsTextAndButtonAtTheRight)
{
    CShotFolder folder(
        "[clock1]\r\nenabled=1\r\ntimer_mode=-1\r\ntransparent=1\r\nskin=Standard System Clock\r\n"
        "duration=600\r\nremaining=125000\r\nrunning=0\r\ntimerformat=%H:%02m:%02s\r\nprefix=Tea\r\n");
    Shot shot = folder.Render(1, L"2030-05-06T10:15:30Z");
    ASSERT_GT(shot.width, 0);
    const int kButton = 13;  // bitmap 209
    int left = shot.width - 4 - kButton, top = (shot.height - kButton) / 2;
    EXPECT_TRUE(shot.CanvasOnly(shot.width - 4, 0, shot.width, shot.height));
    // the key corner stays transparent, the play triangle and the bars are drawn
    EXPECT_EQ(kCanvas, shot.At(left, top));
    EXPECT_TRUE(shot.Dark(left + 2, top + 6));
    EXPECT_TRUE(shot.Dark(left + 8, top + 6));
    EXPECT_EQ(kCanvas, shot.At(left + 7, top + 6));
    EXPECT_TRUE(shot.AnyDark(4, 0, left, shot.height));
}

TEST(ClockPaint, AnalogueHandsPointAtTheHourAndMinute)
{
    CShotFolder folder(
        "[clock1]\r\nenabled=1\r\ntransparent=1\r\nskin=Classic Analog\r\nzone=UTC\r\ntimeformat=HH:mm\r\n"
        "dateformat=None\r\nseconds_hand=0\r\nsuffix=0\r\n");
    struct Case {
        const wchar_t* instant;
        int hourX, hourY;  // direction of the hour hand
    } cases[] = {
        {L"2030-05-06T09:00:00Z", -1, 0},
        {L"2030-05-06T03:00:00Z", 1, 0},
        {L"2030-05-06T18:00:00Z", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.instant, c.instant + 20));
        Shot shot = folder.Render(1, c.instant);
        ASSERT_GT(shot.width, 0);
        EXPECT_EQ(shot.width - 2, shot.height);  // a square face, a pixel from each side
        int cx = shot.width / 2, cy = shot.height / 2, r = (shot.width < shot.height ? shot.width : shot.height) / 2;
        // outside the round face the canvas shows
        EXPECT_EQ(kCanvas, shot.At(0, 0));
        EXPECT_EQ(kCanvas, shot.At(shot.width - 1, shot.height - 1));
        // hour hand on its side, minute hand up, nothing on the free sides
        int d = r * 3 / 10;
        EXPECT_TRUE(shot.DarkNear(cx + c.hourX * d, cy + c.hourY * d));
        EXPECT_TRUE(shot.DarkNear(cx, cy - 2 * d));
        if (c.hourY == 0) {
            EXPECT_FALSE(shot.DarkNear(cx - c.hourX * d, cy));
            EXPECT_FALSE(shot.DarkNear(cx, cy + d));
        } else {
            EXPECT_FALSE(shot.DarkNear(cx - d, cy));
            EXPECT_FALSE(shot.DarkNear(cx + d, cy));
        }
    }
}

// The main settings' "overlayprefixes" (on unless switched off) leaves the
// date out of an analogue clock's caption; a large face carries the caption
// over its lower part either way, so only the date's text tells them apart.
TEST(ClockPaint, AnalogueCaptionFollowsTheOverlaySetting)
{
    const std::string clock =
        "[clock1]\r\nenabled=1\r\ntransparent=1\r\nskin=Classic Analog\r\nzone=UTC\r\ntimeformat=HH:mm\r\n"
        "dateformat=dd.MM.yyyy\r\nprefix=Rome\r\nseconds_hand=0\r\n";
    CShotFolder over(clock);
    Shot prefixOnly = over.Render(1, L"2030-05-06T10:15:30Z");
    ASSERT_GT(prefixOnly.width, 0);
    CShotFolder apart("[main]\r\noverlayprefixes=0\r\n" + clock);
    Shot withDate = apart.Render(1, L"2030-05-06T10:15:30Z");
    ASSERT_EQ(prefixOnly.width, withDate.width);
    ASSERT_EQ(prefixOnly.height, withDate.height);
    int top = prefixOnly.height / 2;
    EXPECT_GT(withDate.DarkCount(0, top, withDate.width, withDate.height),
              prefixOnly.DarkCount(0, top, prefixOnly.width, prefixOnly.height) + 20);
    // the upper half, hands and all, is the same
    EXPECT_EQ(withDate.DarkCount(0, 0, withDate.width, top), prefixOnly.DarkCount(0, 0, prefixOnly.width, top));
}

TEST(ClockPaint, BadArgumentsExitWithTwo)
{
    CShotFolder folder(kDigitalClocks);
    std::wstring out = L" Z:/tmp/tl-clockshot-never.png";
    EXPECT_EQ(2, folder.Run(L"1 2030-05-06 " + out));
    EXPECT_EQ(2, folder.Run(L"1 2030-13-06T10:00:00Z" + out));
    EXPECT_EQ(2, folder.Run(L"0 2030-05-06T10:00:00Z" + out));
    EXPECT_EQ(2, folder.Run(L"31 2030-05-06T10:00:00Z" + out));
    EXPECT_EQ(2, folder.Run(L"9 2030-05-06T10:00:00Z" + out));  // no such clock
    EXPECT_EQ(2, folder.Run(L"1"));
}
