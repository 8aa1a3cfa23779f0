// Desktop clock windows as the main program makes them: a collection over a
// fake host, the program folder's shipped skins, a settings file in a
// scratch folder and real (Xvfb) windows. Only in 64-bit test targets.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "graphics/clock/ClockHost.h"
#include "graphics/records/ClockRecord.h"
#include "graphics/records/SettingsPaths.h"
#include "graphics/window/Theme.h"
#include "windows/SkinManager.h"
#include "windows/desktop/ClockWnd.h"
#include "windows/desktop/DesktopClocks.h"
#include "tests/support/FakeDesktopHost.h"
#include "tests/support/FakeThemeApi.h"
#include "tests/support/TestFiles.h"

// Shipped skins and built-in looks.
extern const wchar_t kTextSkin[];      // "Blue LCD"
extern const wchar_t kOtherTextSkin[]; // "Amber Type"
extern const wchar_t kFaceSkin[];      // "Classic Analog"
extern const wchar_t kClassicLook[];   // "Classic Tempolan Style"

class DesktopClockFixture : public testing::Test {
protected:
    DesktopClockFixture();
    void SetUp() override;
    void TearDown() override;

    // A clock of the UTC zone on the desktop with `skin`, fully opaque.
    static ClockRecord Clock(uint32_t id, const wchar_t* skin, uint32_t flags = 0);
    // A running stopwatch started an hour ago.
    static ClockRecord Stopwatch(uint32_t id, const wchar_t* skin);

    // A key of the clock's desktop section in the settings file.
    void WriteKey(uint32_t id, const wchar_t* key, int value);
    void WriteText(uint32_t id, const wchar_t* key, const wchar_t* text);
    int ReadKey(uint32_t id, const wchar_t* key, int def) const;
    bool HasKey(uint32_t id, const wchar_t* key) const;

    // The records become the host's clock array and get their windows.
    bool Create(const std::vector<ClockRecord>& records);
    CClockWnd* Window(uint32_t id) const { return clocks->FindWindow(id); }
    static RECT Bounds(const CClockWnd* window);
    static POINT Centre(const RECT& r) { return {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2}; }

    CFakeThemeApi themeApi;
    CVisualStyles styles;  // inactive unless a test makes it active
    CTempFolder folder;
    SettingsPaths paths;
    CClockHostResources resources;
    CSkinManager skins;
    CFakeDesktopHost host;
    std::unique_ptr<CDesktopClocks> clocks;
};
