// A program folder with real settings files, a language whose strings a test
// can change, and a settings tree over them.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/clocks/ClockSettings.h"
#include "app/settings/SettingsIni.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Paths.h"
#include "settings/MainProgramLink.h"
#include "settings/SettingsStrings.h"
#include "settings/tree/ClockList.h"
#include "settings/tree/NodeTree.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

class CTestStrings : public ILanguageStrings {
public:
    int GetString(UINT id, WCHAR* buffer, int chars) const override
    {
        auto it = texts.find(id);
        lstrcpynW(buffer, it == texts.end() ? L"" : it->second.c_str(), chars);
        return lstrlenW(buffer);
    }
    LCID GetLcid() const override { return 0x409; }

    std::map<UINT, std::wstring> texts;
};

class CNoMainProgram : public IMainProgramLink {
public:
    void SaveState() override { ++calls; }
    LRESULT SendToMainProgram(UINT, WPARAM, LPARAM, bool) override { return 0; }
    int calls = 0;
};

class TreeTest : public testing::Test {
protected:
    TreeTest() : db(sys), tree(strings) {}
    void SetUp() override
    {
        ASSERT_TRUE(BuildIniPathsFor(folder.Path().c_str(), L"user", &paths));
        ASSERT_TRUE(db.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
        context = {&paths, &db, &strings, &sys, nullptr, MakeTime(2026, 3, 10, 12, 0, 0)};
        tree.SetTemplateContext(&context);
        strings.texts = {{kStrDefaultAlarmText, L"Alarm"}, {kStrNewAlarm, L"Alarm"},
                         {kStrNewBackground, L"Background"}, {kStrDefaultBackground, L"Background"},
                         {kStrWorkingHours, L"Working hours"}, {kStrAlarms, L"Alarms"},
                         {kStrBackgrounds, L"Backgrounds"}, {kStrCountdownTo, L"Until"},
                         {kStrGeneralPage, L"General"}};
    }
    void TearDown() override
    {
        tree.ClearTree();
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.defaultIni);
    }

    // Keys of the user's section "user<suffix>"; a null value removes the key.
    void Set(const std::wstring& suffix, const wchar_t* key, const wchar_t* value)
    {
        std::wstring section = L"user" + suffix;
        WritePrivateProfileStringW(section.c_str(), key, value, paths.userIni);
    }
    std::wstring Get(const std::wstring& suffix, const wchar_t* key) const
    {
        std::wstring value;
        std::wstring section = L"user" + suffix;
        ReadProfileText(paths.userIni, section.c_str(), key, kMissingKey, &value);
        return IsMissingKey(value.c_str()) ? L"<missing>" : value;
    }
    bool HasSection(const std::wstring& suffix) const
    {
        std::vector<std::wstring> keys;
        std::wstring section = L"user" + suffix;
        return ReadKeyNames(paths.userIni, section.c_str(), &keys) && !keys.empty();
    }
    static std::wstring Clock(int n) { return L":clock" + std::to_wstring(n); }

    // A plain clock section with a caption and `alarms` alarms.
    void WriteClock(int n, const wchar_t* caption, int alarms = 0, const wchar_t* mode = L"0")
    {
        Set(Clock(n), L"enabled", L"1");
        Set(Clock(n), L"prefix", caption);
        Set(Clock(n), L"timer_mode", mode);
        for (int a = 1; a <= alarms; ++a) {
            std::wstring section = Clock(n) + L":alarm" + std::to_wstring(a);
            Set(section, L"type", L"0");
            Set(section, L"enabled", L"1");
            Set(section, L"once", L"2026.05.01 08:00:00");
            Set(section, L"comment", (std::wstring(caption) + L" alarm " + std::to_wstring(a)).c_str());
        }
    }
    // Clock nodes made by the tree itself, of page kind `pageKind`.
    CClockNode* AddClock(int pageKind = kPageClock, CTreeNode* before = nullptr)
    {
        return static_cast<CClockNode*>(tree.AddTreeNode(nullptr, before, true, nullptr, pageKind));
    }
    CTreeNode* AddEntries(CClockNode* clock, NodeKind list, int count)
    {
        CTreeNode* last = nullptr;
        for (int i = 0; i < count; ++i)
            last = tree.AddTreeNode(clock->Child(list), nullptr, false, nullptr, 0);
        return last;
    }
    static std::wstring Caption(const CTreeNode* node)
    {
        WCHAR text[128];
        node->GetCaption(text, 128);
        return text;
    }

    CTempFolder folder;
    SettingsPaths paths = {};
    CFakeSystemZone sys;
    CZoneDatabase db;
    CTestStrings strings;
    ClockReadContext context = {};
    CNodeTree tree;
    CNoMainProgram link;
};
