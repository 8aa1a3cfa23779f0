#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/FakeServiceManager.h"
#include "timesvc/command/HoralinkText.h"
#include "timesvc/command/ServiceInstaller.h"

namespace {

const WCHAR kProgram[] = L"C:\\Program Files\\Tempolan\\horalink.exe";

class ServiceInstaller : public testing::Test {
protected:
    CFakeServiceManagerApi api;
    CFakeHoralinkUi ui;
    InstallerContext context{api, ui, kProgram};

    void ExpectBoxes(std::initializer_list<CFakeHoralinkUi::Box> expected)
    {
        ASSERT_EQ(expected.size(), ui.boxes.size());
        size_t i = 0;
        for (const CFakeHoralinkUi::Box& box : expected) {
            EXPECT_EQ(box.id, ui.boxes[i].id) << "box " << i;
            EXPECT_EQ(box.error, ui.boxes[i].error) << "box " << i;
            ++i;
        }
    }
};

}  // namespace

TEST_F(ServiceInstaller, InstallWritesTheEntryAndTheDescription)
{
    EXPECT_TRUE(InstallCommand(context, false, true));
    ASSERT_TRUE(api.installed);
    // quoted, or the manager starts "C:\Program" for a path with spaces
    EXPECT_EQ(L"\"C:\\Program Files\\Tempolan\\horalink.exe\"", api.stored.binaryPath);
    EXPECT_EQ(L"Tempolan Time", api.stored.displayName);
    EXPECT_EQ((DWORD)SERVICE_AUTO_START, api.stored.startType);
    EXPECT_EQ((DWORD)SERVICE_WIN32_OWN_PROCESS, api.stored.serviceType);
    EXPECT_EQ((DWORD)SERVICE_ERROR_NORMAL, api.stored.errorControl);
    EXPECT_TRUE(api.stored.localSystem);
    EXPECT_EQ(L"System\\CurrentControlSet\\Services\\TLTime", api.keyPath);
    EXPECT_TRUE(api.keyAccess & KEY_SET_VALUE);

    const CFakeServiceManagerApi::Value& d = api.values[L"Description"];
    EXPECT_EQ((DWORD)REG_SZ, d.type);
    std::wstring text = L"Synchronizes computer time with Internet time servers.";
    // the terminator is part of the value
    ASSERT_EQ((text.size() + 1) * sizeof(WCHAR), d.bytes.size());
    EXPECT_EQ(0, memcmp(text.c_str(), d.bytes.data(), d.bytes.size()));
    ExpectBoxes({{IDS_SERVICE_CREATED, false}});
    EXPECT_EQ(0, api.OpenHandles());
}

TEST_F(ServiceInstaller, InstallOnDemandQuietShowsNothing)
{
    EXPECT_TRUE(InstallCommand(context, true, false));
    EXPECT_EQ((DWORD)SERVICE_DEMAND_START, api.stored.startType);
    ExpectBoxes({});
}

// Each step's failure: its text in an error box (also when quiet), nothing
// left behind by this run.
TEST_F(ServiceInstaller, EachInstallFailureShowsItsTextAndUndoesItsOwnEntry)
{
    struct Case {
        const char* name;
        DWORD CFakeServiceManagerApi::*error;
        DWORD value;
        bool missingDescription;
        UINT text;
    };
    const Case cases[] = {
        {"manager access denied", &CFakeServiceManagerApi::openManagerError, ERROR_ACCESS_DENIED, false,
            IDS_SCM_ACCESS_DENIED},
        {"manager other", &CFakeServiceManagerApi::openManagerError, ERROR_INVALID_PARAMETER, false,
            IDS_SCM_OPEN_FAILED},
        {"display name in use", &CFakeServiceManagerApi::createError, ERROR_DUPLICATE_SERVICE_NAME, false,
            IDS_DUPLICATE_NAME},
        // 52 is a network name clash, not the manager's: a plain failure
        {"ERROR_DUP_NAME", &CFakeServiceManagerApi::createError, ERROR_DUP_NAME, false, IDS_CREATE_FAILED},
        {"create other", &CFakeServiceManagerApi::createError, ERROR_ACCESS_DENIED, false, IDS_CREATE_FAILED},
        {"no description text", nullptr, 0, true, IDS_LOAD_DESCRIPTION_FAILED},
        {"key", &CFakeServiceManagerApi::openKeyError, ERROR_FILE_NOT_FOUND, false, IDS_OPEN_KEY_FAILED},
        {"value", &CFakeServiceManagerApi::setValueError, ERROR_ACCESS_DENIED, false, IDS_WRITE_DESCRIPTION_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFakeServiceManagerApi api;
        CFakeHoralinkUi ui;
        InstallerContext context{api, ui, kProgram};
        if (c.error)
            api.*c.error = c.value;
        ui.missingDescription = c.missingDescription;
        EXPECT_FALSE(InstallCommand(context, true, false));
        ASSERT_EQ(1u, ui.boxes.size());
        EXPECT_EQ(c.text, ui.boxes[0].id);
        EXPECT_TRUE(ui.boxes[0].error);
        EXPECT_FALSE(api.installed) << "the entry this run created is removed";
        EXPECT_EQ(0, api.OpenHandles());
    }
}

TEST_F(ServiceInstaller, SecondInstallLeavesTheExistingServiceAsItWas)
{
    ASSERT_TRUE(InstallCommand(context, true, true));
    ASSERT_TRUE(StartServiceCommand(context, true));

    EXPECT_FALSE(InstallCommand(context, false, false));
    ExpectBoxes({{IDS_SERVICE_EXISTS, true}});
    EXPECT_TRUE(api.installed);
    EXPECT_EQ(0, api.deletes);
    EXPECT_TRUE(api.controls.empty()) << "the running service was not stopped";
    EXPECT_EQ((DWORD)SERVICE_RUNNING, api.stored.state);
    EXPECT_EQ((DWORD)SERVICE_AUTO_START, api.stored.startType);
}

TEST_F(ServiceInstaller, UninstallOfAMissingServiceSucceeds)
{
    EXPECT_TRUE(UninstallCommand(context, false));
    ExpectBoxes({{IDS_SERVICE_DELETED, false}});
    EXPECT_TRUE(UninstallCommand(context, true));
    ExpectBoxes({{IDS_SERVICE_DELETED, false}});
}

TEST_F(ServiceInstaller, UninstallWaitsForTheServiceToStopBeforeDeleting)
{
    ASSERT_TRUE(InstallCommand(context, true, true));
    ASSERT_TRUE(StartServiceCommand(context, true));
    api.stopAfterMs = 3000;

    EXPECT_TRUE(UninstallCommand(context, true));
    EXPECT_EQ(std::vector<DWORD>{SERVICE_CONTROL_STOP}, api.controls);
    ASSERT_EQ(1u, api.deleteStates.size());
    EXPECT_EQ((DWORD)SERVICE_STOPPED, api.deleteStates[0]);
    EXPECT_FALSE(api.installed);
    EXPECT_GE(api.sleptMs, 3000u);
    EXPECT_LT(api.sleptMs, 3000u + kServiceStopPollMs + 1);
    EXPECT_TRUE(api.serviceAccess.back() & SERVICE_QUERY_STATUS);
    ExpectBoxes({});
    EXPECT_EQ(0, api.OpenHandles());
}

TEST_F(ServiceInstaller, UninstallOfAServiceThatNeverStopsGivesUpAfterFifteenSeconds)
{
    ASSERT_TRUE(InstallCommand(context, true, true));
    ASSERT_TRUE(StartServiceCommand(context, true));
    api.stopAfterMs = 60000;

    // marked for deletion: it goes once it stops
    EXPECT_TRUE(UninstallCommand(context, true));
    EXPECT_EQ(kServiceStopWaitMs, api.sleptMs);
    EXPECT_TRUE(api.stored.markedForDeletion);
    // a second run finds it marked, which counts as done
    EXPECT_TRUE(UninstallCommand(context, false));
    ExpectBoxes({{IDS_SERVICE_DELETED, false}});
}

TEST_F(ServiceInstaller, UninstallFailuresShowTheirText)
{
    struct Case {
        const char* name;
        DWORD CFakeServiceManagerApi::*error;
        DWORD value;
        UINT text;
    };
    const Case cases[] = {
        {"manager access denied", &CFakeServiceManagerApi::openManagerError, ERROR_ACCESS_DENIED,
            IDS_SCM_ACCESS_DENIED},
        {"manager other", &CFakeServiceManagerApi::openManagerError, ERROR_INVALID_PARAMETER, IDS_SCM_OPEN_FAILED},
        {"open", &CFakeServiceManagerApi::openServiceError, ERROR_ACCESS_DENIED, IDS_OPEN_SERVICE_FAILED},
        // a refused delete is a failed uninstall, not a success
        {"delete", &CFakeServiceManagerApi::deleteError, ERROR_ACCESS_DENIED, IDS_DELETE_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFakeServiceManagerApi api;
        CFakeHoralinkUi ui;
        InstallerContext context{api, ui, kProgram};
        api.installed = true;
        api.*c.error = c.value;
        EXPECT_FALSE(UninstallCommand(context, true));
        ASSERT_EQ(1u, ui.boxes.size());
        EXPECT_EQ(c.text, ui.boxes[0].id);
        EXPECT_TRUE(ui.boxes[0].error);
        EXPECT_EQ(0, api.OpenHandles());
    }
}

TEST_F(ServiceInstaller, StartFailuresShowTheirText)
{
    struct Case {
        const char* name;
        bool installed;
        DWORD CFakeServiceManagerApi::*error;
        DWORD value;
        UINT text;
    };
    const Case cases[] = {
        {"manager access denied", true, &CFakeServiceManagerApi::openManagerError, ERROR_ACCESS_DENIED,
            IDS_SCM_ACCESS_DENIED},
        {"manager other", true, &CFakeServiceManagerApi::openManagerError, ERROR_INVALID_PARAMETER,
            IDS_SCM_OPEN_FAILED},
        {"not installed", false, nullptr, 0, IDS_OPEN_SERVICE_FAILED},
        {"start", true, &CFakeServiceManagerApi::startError, ERROR_SERVICE_DISABLED, IDS_START_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFakeServiceManagerApi api;
        CFakeHoralinkUi ui;
        InstallerContext context{api, ui, kProgram};
        api.installed = c.installed;
        if (c.error)
            api.*c.error = c.value;
        EXPECT_FALSE(StartServiceCommand(context, true));
        ASSERT_EQ(1u, ui.boxes.size());
        EXPECT_EQ(c.text, ui.boxes[0].id);
        EXPECT_TRUE(ui.boxes[0].error);
    }
    CFakeHoralinkUi ui;
    CFakeServiceManagerApi api;
    api.installed = true;
    InstallerContext loud{api, ui, kProgram};
    EXPECT_TRUE(StartServiceCommand(loud, false));
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ((UINT)IDS_SERVICE_STARTED, ui.boxes[0].id);
    EXPECT_FALSE(ui.boxes[0].error);
}

// The program's own table, as the real texts are loaded: the backslashes of
// the key's name survive the resource compiler.
TEST(HoralinkStrings, TextsLoadFromTheProgramsTable)
{
    CHoralinkUi ui;
    struct Case {
        UINT id;
        const WCHAR* text;
    };
    const Case cases[] = {
        {IDS_OPEN_KEY_FAILED, L"Can not open key HKLM\\System\\CurrentControlSet\\Services\\TLTime."},
        {IDS_SCM_OPEN_FAILED, L"Can not open SCM. "},
        {IDS_DELETE_FAILED, L"Can not delete service."},
        {IDS_DESCRIPTION, L"Synchronizes computer time with Internet time servers."},
    };
    for (const Case& c : cases) {
        WCHAR text[kHoralinkTextChars];
        ASSERT_TRUE(ui.LoadText(c.id, text, kHoralinkTextChars)) << c.id;
        EXPECT_STREQ(c.text, text);
    }
    WCHAR text[kHoralinkTextChars];
    EXPECT_FALSE(ui.LoadText(12, text, kHoralinkTextChars));
}
