#include <gtest/gtest.h>

#include <string>

#include "app/alarms/AlarmActions.h"
#include "app/settings/SettingsIni.h"
#include "graphics/records/FixedText.h"
#include "tests/support/FakeAlarmSeams.h"
#include "tests/support/TestFiles.h"

namespace {

// The scratch folder without its trailing backslash, as the working folder.
std::wstring Parent(const std::wstring& folder)
{
    return folder.substr(0, folder.size() - 1);
}

}  // namespace

TEST(RunCommandLine, LongestExistingLeadingPartRuns)
{
    CTempFolder folder;
    const std::wstring& t = folder.Path();
    ASSERT_TRUE(folder.AddFolder(L"a b"));
    ASSERT_TRUE(folder.WriteBytes(L"a b\\prog.exe", "x"));
    ASSERT_TRUE(folder.WriteBytes(L"tool.exe", "x"));
    ASSERT_TRUE(folder.AddFolder(L"dir"));
    // a path that reaches the 259th character with its last letter
    std::wstring deep = L"d";
    while (t.size() + deep.size() < 236)
        deep += L"d";
    ASSERT_TRUE(folder.AddFolder(deep));
    std::wstring atCut = deep + L"\\" + std::wstring(259 - t.size() - deep.size() - 1, L'f');
    ASSERT_EQ(259u, t.size() + atCut.size());
    ASSERT_TRUE(folder.WriteBytes(atCut, "x"));
    std::wstring pastCut = deep + L"\\" + std::wstring(259 - t.size() - deep.size(), L'g');
    ASSERT_TRUE(folder.WriteBytes(pastCut, "x"));
    std::wstring longParameters(300, L'p');

    struct Case {
        std::wstring text;
        bool ok;
        std::wstring file, parameters, workFolder;
        bool hasParameters;
    } cases[] = {
        {t + L"a b\\prog.exe x y", true, t + L"a b\\prog.exe", L"x y", t + L"a b", true},
        {t + L"a b\\prog.exe", true, t + L"a b\\prog.exe", L"", t + L"a b", false},
        {t + L"tool.exe  -q", true, t + L"tool.exe", L"-q", Parent(t), true},
        {t + L"dir", true, t + L"dir", L"", Parent(t), false},
        {t + L"dir /s", true, t + L"dir", L"/s", Parent(t), true},
        {t + L"missing", false},
        {t + L"missing x", false},
        {L"tool.exe", false},
        {L"", false},
        {L" " + t + L"tool.exe", false},
        // the parameters come from the whole text, beyond the 259 characters looked at
        {t + L"tool.exe " + longParameters, true, t + L"tool.exe", longParameters, Parent(t), true},
        {t + atCut + L" x", true, t + atCut, L"x", t + deep, true},
        {t + pastCut, false},
        // quotes name the program; blanks inside them belong to it
        {L"\"" + t + L"a b\\prog.exe\" -v", true, t + L"a b\\prog.exe", L"-v", t + L"a b", true},
        {L"\"" + t + L"a b\\prog.exe\"", true, t + L"a b\\prog.exe", L"", t + L"a b", false},
        {L"\"" + t + L"a b\\missing.exe\" x", false},
        {L"\"\" " + t + L"tool.exe", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        AlarmEvents events;
        CFakeAlarmShell shell(events);
        EXPECT_EQ(c.ok, RunCommandLine(c.text.c_str(), shell));
        ASSERT_EQ(c.ok ? 1u : 0u, shell.opened.size());
        if (!c.ok)
            continue;
        EXPECT_EQ(c.file, shell.opened[0].file);
        EXPECT_EQ(c.parameters, shell.opened[0].parameters);
        EXPECT_EQ(c.hasParameters, shell.opened[0].hasParameters);
        EXPECT_EQ(c.workFolder, shell.opened[0].folder);
    }
}

TEST(RunCommandLine, FailsWhenTheShellFails)
{
    CTempFolder folder;
    ASSERT_TRUE(folder.WriteBytes(L"tool.exe", "x"));
    AlarmEvents events;
    CFakeAlarmShell shell(events);
    for (INT_PTR result : {0, 2, 31, 32}) {
        shell.result = result;
        EXPECT_FALSE(RunCommandLine(folder.File(L"tool.exe").c_str(), shell)) << result;
    }
    shell.result = 33;
    EXPECT_TRUE(RunCommandLine(folder.File(L"tool.exe").c_str(), shell));
}

TEST(AlarmCheckWriter, WritesTheHostsPreviousTick)
{
    CTempFolder folder;
    SettingsPaths paths = {};
    CopyFixed(paths.folder, 259, folder.Path().c_str());
    CopyFixed(paths.userIni, 259, folder.File(L"tempolan.ini").c_str());
    CopyFixed(paths.defaultIni, 259, folder.File(L"default.ini").c_str());
    CopyFixed(paths.userPrefix, 64, L"someone");
    AlarmCheckState state = {MakeTime(2026, 12, 24, 17, 59, 58), false, false};
    CSettingsAlarmCheckWriter writer(paths, state);
    // before the first tick the stored check stays as it was
    writer.WriteLastAlarmCheck();
    EXPECT_FALSE(KeyExists(paths.userIni, L"someone:main", L"lastalarmcheck"));
    state.ticked = true;
    writer.WriteLastAlarmCheck();
    // the tick moved on: the writer takes the value of the moment it writes
    state.previousTick = MakeTime(2026, 12, 24, 18, 0, 1);
    writer.WriteLastAlarmCheck();
    SYSTEMTIME read = {};
    ASSERT_TRUE(ReadTimeStampKey(paths, L"someone:main", L"lastalarmcheck", &read));
    EXPECT_EQ(FormatTime(state.previousTick), FormatTime(read));
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
}
