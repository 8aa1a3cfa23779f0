// The settings dialog over a program folder with real settings files, the
// English resource library and language files, and fakes for the main
// program, the beeps, the delete question and the alarm test's actions.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/language/Language.h"
#include "graphics/system/Handles.h"
#include "settings/dialog/SettingsDialog.h"
#include "tests/settings/TreeFixture.h"
#include "tests/support/FakeAlarmSeams.h"
#include "tests/support/FakeSettingsSeams.h"

class CRecordingBeep : public IDialogBeep {
public:
    void Beep(DWORD frequency, DWORD milliseconds) override { beeps.push_back({frequency, milliseconds}); }
    std::vector<std::pair<DWORD, DWORD>> beeps;
};

// Notes what reaches the main program, in order: "save", "post <msg> <w>".
// `onSave` runs at SaveState, when a test looks at the file in between.
class CRecordingLink : public IMainProgramLink {
public:
    void SaveState() override
    {
        events.push_back("save");
        if (onSave)
            onSave();
    }
    LRESULT SendToMainProgram(UINT message, WPARAM wParam, LPARAM, bool send) override
    {
        events.push_back(std::string(send ? "send " : "post ") + std::to_string(message) + " " +
                         std::to_string(wParam));
        return 0;
    }
    int Count(const std::string& event) const
    {
        int n = 0;
        for (const std::string& e : events)
            n += e == event;
        return n;
    }
    std::vector<std::string> events;
    std::function<void()> onSave;
};

class CScriptedQuestion : public IDialogQuestion {
public:
    bool AskYesNo(HWND, const WCHAR* text, const WCHAR* caption) override
    {
        asked.push_back(std::wstring(caption) + L"|" + text);
        if (whileOpen)
            whileOpen();
        return answer;
    }
    bool answer = true;
    std::function<void()> whileOpen;
    std::vector<std::wstring> asked;
};

class CFixedClock : public IDialogClock {
public:
    SYSTEMTIME NowUtc() override { return now; }
    SYSTEMTIME now = {};
};

class DialogTest : public TreeTest {
protected:
    void SetUp() override
    {
        TreeTest::SetUp();
        resources.Reset(LoadLibraryExW(TL_RES_EN_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(resources);
        std::wstring english = std::wstring(TL_PROGRAM_FOLDER) + L"tempolan_en.ini";
        ASSERT_TRUE(CopyFileW(english.c_str(), languages.File(L"tempolan_en.ini").c_str(), FALSE));
        language.SetAppName(L"tempolan");
        ASSERT_TRUE(language.SetFolder(languages.Path().c_str()));
        language.SetResources(resources.Get(), nullptr);
        language.SetLanguage(L"en");
        ASSERT_TRUE(language.GetIniPath()[0]);
        tree.SetLanguage(language);
        clock.now = MakeTime(2026, 3, 10, 12, 34, 56);

        services.language = &language;
        services.program = GetModuleHandleW(nullptr);
        services.tree = &tree;
        services.paths = &paths;
        services.link = &recorder;
        services.beep = &beep;
        services.question = &question;
        services.clock = &clock;
        // an alarm page's test or teardown reaches no sound, shell or power of the host
        alarmSeams = alarmFakes.Seams();
        services.alarmSeams = &alarmSeams;
    }
    void TearDown() override
    {
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        settings.reset();
        TreeTest::TearDown();
    }

    // Loads the tree and the main settings from the files and opens the dialog, shown.
    void Open()
    {
        LoadSettingsTree(tree, context);
        seams = FakeMainSettingsSeams(paths, activeLanguage, autostart, service);
        settings.reset(new CMainSettings(seams));
        settings->LoadMainSettings();
        services.settings = settings.get();
        dialog = CreateSettingsDialog(nullptr, services);
        ASSERT_TRUE(dialog);
        ShowWindow(dialog, SW_SHOW);
        Pump();
        treeView = GetDlgItem(dialog, kIdcSettingsTree);
    }
    static void Pump()
    {
        MSG msg;
        for (int round = 0; round < 3; ++round) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(5);
        }
    }
    CTreeNode* Selected() const
    {
        TVITEMW item = {};
        item.mask = TVIF_HANDLE | TVIF_PARAM;
        item.hItem = TreeView_GetSelection(treeView);
        if (!item.hItem || !TreeView_GetItem(treeView, &item))
            return nullptr;
        return (CTreeNode*)item.lParam;
    }
    void Select(CTreeNode* node)
    {
        ASSERT_TRUE(node && node->Item());
        TreeView_SelectItem(treeView, node->Item());
        Pump();
    }
    void Click(int id)
    {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
        Pump();
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    // The first node of `kind` at or under `node`, or null.
    static CTreeNode* NodeOfKind(CTreeNode* node, int kind)
    {
        if (node->GetPageKind() == kind)
            return node;
        for (CTreeNode* child : node->Children())
            if (CTreeNode* found = NodeOfKind(child, kind))
                return found;
        return nullptr;
    }
    void Command(uint32_t code, uint32_t n = 0, uint32_t m = 0)
    {
        SendMessageW(dialog, UM_RUNSETTINGSCOMMAND, code, PackSettingsCommand(n, m));
        Pump();
    }
    HWND VisiblePage() const
    {
        HWND shown = nullptr;
        for (const PageInfo& info : kPages) {
            HWND page = GetDlgItem(dialog, info.templateId);
            if (page && IsWindowVisible(page)) {
                EXPECT_EQ(nullptr, shown) << "two pages shown";
                shown = page;
            }
        }
        return shown;
    }
    UINT StateImage(const CTreeNode* node) const
    {
        return (TreeView_GetItemState(treeView, node->Item(), TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK) >> 12;
    }
    std::string Events() const
    {
        std::string all;
        for (const std::string& e : recorder.events)
            all += (all.empty() ? "" : ", ") + e;
        return all;
    }

    CModule resources;
    CTempFolder languages;
    CLanguage language;
    CRecordingBeep beep;
    CRecordingLink recorder;
    CScriptedQuestion question;
    CFixedClock clock;
    CFakeAlarmSeams alarmFakes;
    AlarmFiringSeams alarmSeams = {};
    CFakeActiveLanguage activeLanguage;
    CFakeAutostart autostart;
    CFakeTimeService service;
    MainSettingsSeams seams = {};
    std::unique_ptr<CMainSettings> settings;
    SettingsDialogServices services = {};
    HWND dialog = nullptr;
    HWND treeView = nullptr;
};
