#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "app/alarms/AlarmActions.h"
#include "app/alarms/AlarmFiring.h"
#include "app/alarms/AlarmResources.h"
#include "graphics/language/Language.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Handles.h"
#include "tests/support/FakeAlarmSeams.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"

namespace {

std::wstring WindowText(HWND window)
{
    WCHAR text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::wstring CountdownText(HWND dialog)
{
    return WindowText(GetDlgItem(dialog, kIdCountdownText));
}

AlarmRecord MakeAlarm(int action, const wchar_t* text, const wchar_t* comment = L"Wake up")
{
    AlarmRecord alarm;
    memset(&alarm, 0, sizeof(alarm));
    alarm.enabled = 1;
    alarm.action = action;
    CopyFixed(alarm.text, FIELD_WIDTH(alarm.text), text);
    CopyFixed(alarm.comment, FIELD_WIDTH(alarm.comment), comment);
    return alarm;
}

void WriteUtf16(const CTempFolder& folder, const wchar_t* name, const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    bytes.append((const char*)text.data(), text.size() * sizeof(wchar_t));
    ASSERT_TRUE(folder.WriteBytes(name, bytes));
}

// The window as it is on the screen, saved for a person to look at.
void SaveShot(HWND window, const wchar_t* name)
{
    PumpUntil([] { return false; }, 200);
    RECT r;
    ASSERT_TRUE(GetWindowRect(window, &r));
    int w = r.right - r.left, h = r.bottom - r.top;
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    std::vector<uint8_t> rgb = GrabScreenRgb(r);
    ASSERT_FALSE(rgb.empty());
    EXPECT_TRUE(WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + name, w, h, 3, rgb.data()));
}

struct ShellJob {
    HGLOBAL copy;
    IAlarmShell* shell;
};

DWORD WINAPI RunShellJob(void* param)
{
    auto* job = (ShellJob*)param;
    return (DWORD)RunAlarmCopy(job->copy, *job->shell);
}

// The English resource library and language file of the built program.
class AlarmFiring : public testing::Test {
protected:
    AlarmFiring() : m_savedLocale(GetThreadLocale()) {}
    ~AlarmFiring() override { SetThreadLocale(m_savedLocale); }
    void SetUp() override
    {
        module.Reset(LoadLibraryExW(TL_PROGRAM_FOLDER L"res_en.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module);
        UseLanguage(language, TL_PROGRAM_FOLDER, L"en");
        ASSERT_NE(0, language.GetIniPath()[0]);
    }
    void UseLanguage(CLanguage& lang, const wchar_t* folder, const wchar_t* code)
    {
        lang.SetAppName(L"tempolan");
        lang.SetFolder(folder);
        lang.SetResources(module.Get(), nullptr);
        lang.SetLanguage(code);
    }

    // Fakes and the firing that uses them, made afresh for each case.
    struct Rig {
        Rig(const CLanguage& language) : firing(fakes.Seams(), fakes.log, language) {}
        CFakeAlarmSeams fakes;
        CAlarmFiring firing;
    };

    CModule module;
    CLanguage language;

private:
    LCID m_savedLocale;
};

}  // namespace

TEST_F(AlarmFiring, EachActionDoesItsOwnThing)
{
    CTempFolder folder;
    ASSERT_TRUE(folder.WriteBytes(L"tool.exe", "x"));
    const std::wstring tool = folder.File(L"tool.exe");
    ClockRecord clock;
    memset(&clock, 0, sizeof(clock));
    clock.id = 3;
    const SYSTEMTIME occurrence = MakeTime(2026, 12, 24, 18, 30);

    struct Case {
        int action;
        std::wstring text;
        bool withClock;
        std::vector<std::wstring> events;
        bool countdown, stopDialog;
    } cases[] = {
        {0, L"Call Bob", true, {L"log 3 18:30"}, false, false},
        {0, L"Call Bob", false, {L"box Tempolan Alarm|Wake up Call Bob|262144"}, false, false},
        {1, L"beep!", true, {L"beep 1000/300"}, false, false},
        {1, L"BEEP!", true, {L"beep 1000/300"}, false, false},
        {1, L"C:\\sounds\\bell.wav", true, {L"play C:\\sounds\\bell.wav"}, false, false},
        {1, L"", true, {L"purge"}, false, false},
        {2, L"C:\\sounds\\bell.wav", true, {L"loop C:\\sounds\\bell.wav"}, false, true},
        {2, L"", true, {L"purge"}, false, false},
        {3, L"C:\\notes.txt", true, {L"thread"}, false, false},
        {4, L"C:\\tools\\calc.exe", true, {L"thread"}, false, false},
        {5, tool + L" -q", true, {L"open " + tool}, false, false},
        {6, L"http://127.0.0.1/", true, {L"thread"}, false, false},
        {7, L"", true, {}, true, false},
        {8, L"", false, {}, true, false},
        {9, L"C:\\sounds\\bell.wav", true, {}, false, false},
        {-1, L"beep!", true, {}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "action " << c.action << " text " << c.text.size());
        Rig rig(language);
        int boxesWhileShown = -1;
        rig.fakes.messages.whileShown = [&] { boxesWhileShown = rig.firing.OpenMessageBoxes(); };
        AlarmRecord alarm = MakeAlarm(c.action, c.text.c_str());
        rig.firing.FireAlarm(alarm, occurrence, c.withClock ? &clock : nullptr);

        EXPECT_EQ(c.events, rig.fakes.events);
        EXPECT_EQ(c.action == 0 && !c.withClock ? 1 : -1, boxesWhileShown);
        EXPECT_EQ(0, rig.firing.OpenMessageBoxes());
        EXPECT_EQ(c.countdown, rig.firing.CountdownDialog() != nullptr);
        EXPECT_EQ(c.stopDialog, rig.firing.StopDialog() != nullptr);
        if (c.stopDialog) {
            EXPECT_EQ(L"Wake up", WindowText(rig.firing.StopDialog()));
        }
        if (c.countdown) {
            EXPECT_EQ(c.action == 8 ? L"Hibernate" : L"Shut Down", WindowText(rig.firing.CountdownDialog()));
        }
        if (c.action == 5) {
            ASSERT_EQ(1u, rig.fakes.shell.opened.size());
            EXPECT_EQ(L"-q", rig.fakes.shell.opened[0].parameters);
        }
        // the copy the shell thread gets: the whole record, freed by that thread
        for (auto& thread : rig.fakes.shell.threads) {
            EXPECT_EQ(RunAlarmAction, thread.first);
            HGLOBAL copy = (HGLOBAL)thread.second;
            ASSERT_GE(GlobalSize(copy), kAlarmCopyBytes);
            const void* bytes = GlobalLock(copy);
            ASSERT_TRUE(bytes);
            EXPECT_EQ(0, memcmp(bytes, &alarm, sizeof(alarm)));
            GlobalUnlock(copy);
            EXPECT_EQ(42, RunAlarmCopy(copy, rig.fakes.shell));
            EXPECT_EQ(GMEM_INVALID_HANDLE, GlobalFlags(copy));
            ASSERT_EQ(1u, rig.fakes.shell.opened.size());
            EXPECT_EQ(c.text, rig.fakes.shell.opened[0].file);
            EXPECT_FALSE(rig.fakes.shell.opened[0].hasParameters);
        }
        // the log's destruction takes the dialogs and the sounds with it
        rig.fakes.events.clear();
        rig.firing.DestroyDialogs();
        EXPECT_EQ(std::vector<std::wstring>{L"purge"}, rig.fakes.events);
        EXPECT_EQ(nullptr, rig.firing.CountdownDialog());
        EXPECT_EQ(nullptr, rig.firing.StopDialog());
    }
}

TEST_F(AlarmFiring, ShellCopiesAreFreedWhateverBecomesOfThem)
{
    Rig rig(language);
    // a text filling its field has no terminator: the thread reads the field's width
    std::wstring full(FIELD_WIDTH(AlarmRecord::text), L'a');
    AlarmRecord alarm = MakeAlarm(3, L"");
    wmemcpy(alarm.text, full.data(), full.size());
    rig.firing.FireAlarm(alarm, MakeTime(2026, 1, 1), nullptr);
    ASSERT_EQ(1u, rig.fakes.shell.threads.size());
    HGLOBAL copy = (HGLOBAL)rig.fakes.shell.threads[0].second;
    // on a thread of its own, as the real one runs
    ShellJob job = {copy, &rig.fakes.shell};
    CKernelHandle thread(CreateThread(nullptr, 0, RunShellJob, &job, 0, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.Get(), 5000));
    EXPECT_EQ(GMEM_INVALID_HANDLE, GlobalFlags(copy));
    ASSERT_EQ(1u, rig.fakes.shell.opened.size());
    EXPECT_EQ(full, rig.fakes.shell.opened[0].file);

    // no thread: the firing frees the copy itself
    rig.fakes.shell.startThreads = false;
    rig.firing.FireAlarm(alarm, MakeTime(2026, 1, 1), nullptr);
    ASSERT_EQ(2u, rig.fakes.shell.threads.size());
    EXPECT_EQ(GMEM_INVALID_HANDLE, GlobalFlags((HGLOBAL)rig.fakes.shell.threads[1].second));
}

TEST_F(AlarmFiring, RepeatedAlarmsBringTheOpenDialogsForward)
{
    Rig rig(language);
    ClockRecord clock;
    memset(&clock, 0, sizeof(clock));
    rig.fakes.ticks.now = 1000000;
    rig.firing.FireAlarm(MakeAlarm(7, L""), MakeTime(2026, 1, 1), &clock);
    HWND countdown = rig.firing.CountdownDialog();
    ASSERT_TRUE(countdown);
    rig.fakes.ticks.now += 5000;
    // a second shut-down or a hibernation leaves the running countdown alone
    rig.firing.FireAlarm(MakeAlarm(7, L""), MakeTime(2026, 1, 1), &clock);
    rig.firing.FireAlarm(MakeAlarm(8, L""), MakeTime(2026, 1, 1), &clock);
    EXPECT_EQ(countdown, rig.firing.CountdownDialog());
    EXPECT_EQ(L"Shut Down", WindowText(countdown));
    SendMessageW(countdown, WM_TIMER, 1, 0);
    EXPECT_EQ(L"The computer shuts down in 10 seconds.", CountdownText(countdown));

    rig.firing.FireAlarm(MakeAlarm(2, L"a.wav", L"First"), MakeTime(2026, 1, 1), &clock);
    HWND stop = rig.firing.StopDialog();
    ASSERT_TRUE(stop);
    rig.firing.FireAlarm(MakeAlarm(2, L"b.wav", L"Second"), MakeTime(2026, 1, 1), &clock);
    EXPECT_EQ(stop, rig.firing.StopDialog());
    EXPECT_EQ(L"Second", WindowText(stop));
    EXPECT_EQ((std::vector<std::wstring>{L"loop a.wav", L"loop b.wav"}), rig.fakes.events);

    // Stop ends the sound and the dialog; the next looping alarm opens a new one
    SendMessageW(stop, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(stop, IDCANCEL));
    EXPECT_FALSE(IsWindow(stop));
    EXPECT_EQ(nullptr, rig.firing.StopDialog());
    EXPECT_EQ(L"purge", rig.fakes.events.back());
    rig.firing.FireAlarm(MakeAlarm(2, L"c.wav"), MakeTime(2026, 1, 1), &clock);
    EXPECT_TRUE(rig.firing.StopDialog());
}

TEST_F(AlarmFiring, CountdownActsAfterFifteenSeconds)
{
    struct Case {
        int action;
        bool powerSucceeds;
        std::vector<std::wstring> events;
    } cases[] = {
        {7, true, {L"lastalarmcheck", L"shut down"}},
        {8, true, {L"lastalarmcheck", L"hibernate"}},
        {7, false, {L"lastalarmcheck", L"shut down", L"beep 1760/500"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        Rig rig(language);
        rig.fakes.power.succeed = c.powerSucceeds;
        // near the tick count's wrap: the difference still counts right
        rig.fakes.ticks.now = 0xFFFFF000u;
        rig.firing.FireAlarm(MakeAlarm(c.action, L""), MakeTime(2026, 1, 1), nullptr);
        HWND dialog = rig.firing.CountdownDialog();
        ASSERT_TRUE(dialog);
        std::wstring verb = c.action == 8 ? L"hibernates" : L"shuts down";
        EXPECT_EQ(L"The computer " + verb + L" in 15 seconds.", CountdownText(dialog));
        rig.fakes.ticks.now += 7400;
        SendMessageW(dialog, WM_TIMER, 1, 0);
        EXPECT_EQ(L"The computer " + verb + L" in 8 seconds.", CountdownText(dialog));
        rig.fakes.ticks.now += 7599;
        SendMessageW(dialog, WM_TIMER, 1, 0);
        EXPECT_EQ(L"The computer " + verb + L" in 1 seconds.", CountdownText(dialog));
        PumpUntil([] { return false; }, 50);
        EXPECT_TRUE(rig.fakes.events.empty());
        rig.fakes.ticks.now += 1;
        SendMessageW(dialog, WM_TIMER, 1, 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 2000));
        EXPECT_EQ(c.events, rig.fakes.events);
        EXPECT_EQ(nullptr, rig.firing.CountdownDialog());
    }
}

TEST_F(AlarmFiring, CancelStopsTheCountdown)
{
    Rig rig(language);
    rig.firing.FireAlarm(MakeAlarm(7, L""), MakeTime(2026, 1, 1), nullptr);
    HWND dialog = rig.firing.CountdownDialog();
    ASSERT_TRUE(dialog);
    HWND ok = GetDlgItem(dialog, IDOK), cancel = GetDlgItem(dialog, IDCANCEL);
    // a notification other than a click does nothing
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_SETFOCUS), (LPARAM)ok);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_SETFOCUS), (LPARAM)cancel);
    EXPECT_TRUE(IsWindow(dialog));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)cancel);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(nullptr, rig.firing.CountdownDialog());
    rig.fakes.ticks.now += 60000;
    PumpUntil([] { return false; }, 700);
    EXPECT_TRUE(rig.fakes.events.empty());
    // a new alarm starts from 15 again
    rig.firing.FireAlarm(MakeAlarm(7, L""), MakeTime(2026, 1, 1), nullptr);
    ASSERT_TRUE(rig.firing.CountdownDialog());
    EXPECT_EQ(L"The computer shuts down in 15 seconds.", CountdownText(rig.firing.CountdownDialog()));
}

TEST_F(AlarmFiring, TranslatedCountdownFormatsAreChecked)
{
    struct Case {
        const wchar_t* format;
        const wchar_t* shown;
    } cases[] = {
        {L"Noch %d Sekunden", L"Noch 15 Sekunden"},
        {L"100%% sicher: %d s", L"100% sicher: 15 s"},
        {L"Noch %s Sekunden", L"15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (const void*)c.format);
        CTempFolder folder;
        WriteUtf16(folder, L"tempolan_de.ini",
                   std::wstring(L"[DLG_Hibernate]\r\nCaption=Ruhezustand\r\n1146=") + c.format + L"\r\n");
        CLanguage german;
        UseLanguage(german, folder.Path().c_str(), L"de");
        Rig rig(german);
        rig.firing.FireAlarm(MakeAlarm(8, L""), MakeTime(2026, 1, 1), nullptr);
        HWND dialog = rig.firing.CountdownDialog();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(L"Ruhezustand", WindowText(dialog));
        EXPECT_EQ(c.shown, CountdownText(dialog));
    }
}

TEST_F(AlarmFiring, DialogShots)
{
    Rig rig(language);
    rig.fakes.ticks.now = 50000;
    rig.firing.FireAlarm(MakeAlarm(7, L""), MakeTime(2026, 1, 1), nullptr);
    ASSERT_TRUE(rig.firing.CountdownDialog());
    rig.fakes.ticks.now += 3200;
    SendMessageW(rig.firing.CountdownDialog(), WM_TIMER, 1, 0);
    SaveShot(rig.firing.CountdownDialog(), L"countdown.png");
    rig.firing.DestroyDialogs();

    rig.firing.FireAlarm(MakeAlarm(2, L"bell.wav", L"Tea is ready"), MakeTime(2026, 1, 1), nullptr);
    ASSERT_TRUE(rig.firing.StopDialog());
    SaveShot(rig.firing.StopDialog(), L"stop-sound.png");
}
