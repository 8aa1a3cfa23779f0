// The service tools against the prefix's own service manager: svcctl on a
// service Wine brings (the print spooler) and on an entry of the test's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "graphics/system/Handles.h"
#include "tests/support/TestProcess.h"

namespace {

const DWORD kToolWaitMs = 20000;
const wchar_t kWineService[] = L"Spooler";
const wchar_t kOwnService[] = L"TLSvcCtlTestEntry";

int SvcCtl(const std::wstring& arguments, std::string* output)
{
    return RunForOutput(std::wstring(TL_PROGRAM_FOLDER) + L"svcctl.exe", arguments, output, kToolWaitMs);
}

// "key=value" of svcctl's query; "(none)" when the line is missing.
std::string Field(const std::string& output, const std::string& key)
{
    size_t at = output.find(key + "=");
    if (at == std::string::npos || (at > 0 && output[at - 1] != '\n'))
        return "(none)";
    size_t begin = at + key.size() + 1;
    size_t end = output.find_first_of("\r\n", begin);
    return output.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

}  // namespace

TEST(SvcCtl, QueriesStartsControlsWaitsAndKills)
{
    std::string out;
    EXPECT_EQ(1, SvcCtl(L"TLNoSuchService query", &out)) << out;
    EXPECT_NE(std::string::npos, out.find("1060")) << out;
    struct Case {
        const wchar_t* arguments;
    } usage[] = {{L"Spooler"}, {L"Spooler bogus"}, {L"Spooler control"}, {L"Spooler control x1"},
                 {L"Spooler wait 4"}, {L"Spooler query more"}};
    for (const Case& c : usage)
        EXPECT_EQ(2, SvcCtl(c.arguments, &out)) << testing::PrintToString(std::wstring(c.arguments));

    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" query", &out)) << out;
    EXPECT_EQ("Print Spooler", Field(out, "display"));
    EXPECT_NE(std::string::npos, Field(out, "path").find("spoolsv.exe")) << out;
    if (Field(out, "state") != "1") {
        SvcCtl(std::wstring(kWineService) + L" control 1", &out);
        ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" wait 1 10000", &out)) << out;
    }
    // a state that does not come: the wait runs out
    EXPECT_EQ(4, SvcCtl(std::wstring(kWineService) + L" wait 4 200", &out));
    EXPECT_EQ("1", Field(out, "state"));

    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" start", &out)) << out;
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" wait 4 10000", &out)) << out;
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" query", &out));
    EXPECT_EQ("4", Field(out, "state"));
    EXPECT_NE("0", Field(out, "pid"));
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" control 1", &out)) << out;
    EXPECT_EQ(0, SvcCtl(std::wstring(kWineService) + L" wait 1 10000", &out)) << out;

    // killed: its process ends (Wine's manager goes on calling it running)
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" start", &out)) << out;
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" wait 4 10000", &out)) << out;
    ASSERT_EQ(0, SvcCtl(std::wstring(kWineService) + L" query", &out));
    DWORD pid = (DWORD)std::stoul(Field(out, "pid"));
    CKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    ASSERT_TRUE(process) << pid;
    EXPECT_EQ(0, SvcCtl(std::wstring(kWineService) + L" kill", &out)) << out;
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(process.Get(), 10000));
}

TEST(SvcCtl, DeletesAnEntry)
{
    CServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    ASSERT_TRUE(manager);
    std::wstring path = L"\"" + std::wstring(TL_PROGRAM_FOLDER) + L"svcctl.exe\"";
    CServiceHandle entry(CreateServiceW(manager.Get(), kOwnService, L"Tempolan svcctl test", SERVICE_ALL_ACCESS,
                                        SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                        path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(entry) << GetLastError();
    entry.Reset();

    std::string out;
    ASSERT_EQ(0, SvcCtl(std::wstring(kOwnService) + L" query", &out)) << out;
    EXPECT_EQ("3", Field(out, "starttype"));
    EXPECT_EQ("Tempolan svcctl test", Field(out, "display"));
    EXPECT_EQ(0, SvcCtl(std::wstring(kOwnService) + L" delete", &out)) << out;
    EXPECT_EQ(1, SvcCtl(std::wstring(kOwnService) + L" query", &out)) << out;
}
