#include <gtest/gtest.h>

#include "timesvc/command/ServiceSwitches.h"

namespace {

struct SwitchCase {
    const WCHAR* line;
    ServiceMode mode;
    bool automatic, start, sync, quiet;
    int count;
};

const ServiceMode N = ServiceMode::None, I = ServiceMode::Install, U = ServiceMode::Uninstall,
                  X = ServiceMode::Invalid;

const SwitchCase kCases[] = {
    // line                                         mode auto  start  sync   quiet count
    {L"horalink.exe", N, false, false, false, false, 0},
    {L"horalink.exe /install", I, false, false, false, false, 1},
    {L"horalink.exe /INSTALL", I, false, false, false, false, 1},
    {L"horalink.exe /Auto /q", I, true, false, false, true, 2},
    {L"horalink.exe /auto /install", I, false, false, false, false, 2},   // last mode word decides
    {L"horalink.exe /install /auto", I, true, false, false, false, 2},
    {L"horalink.exe /installer", I, false, false, false, false, 1},       // prefix counts
    {L"horalink.exe /install/start", I, false, false, false, false, 1},   // glued: one switch
    {L"horalink.exe /install /start", I, false, true, false, false, 2},
    {L"horalink.exe /uninstall", U, false, false, false, false, 1},
    {L"horalink.exe /UNINSTALL /start", U, false, true, false, false, 2},
    {L"horalink.exe /bogus", X, false, false, false, false, 1},
    {L"horalink.exe /bogus /install", I, false, false, false, false, 2},
    {L"horalink.exe /install /bogus", X, false, false, false, false, 2},
    {L"horalink.exe /sync /bogus", X, false, false, true, false, 2},
    {L"horalink.exe /sync", N, false, false, true, false, 1},
    {L"horalink.exe /s", X, false, false, false, false, 1},               // shorter than any switch
    {L"horalink.exe /st", X, false, false, false, false, 1},
    {L"horalink.exe /quiet", N, false, false, false, true, 1},
    {L"horalink.exe /", X, false, false, false, false, 1},
    {L"horalink.exe junk/start", N, false, true, false, false, 1},        // text before "/" ignored
    {L"horalink.exe   /start   /Q  ", N, false, true, false, true, 2},
    {L"horalink.exe/install", N, false, false, false, false, 0},          // no space: no switches
    {L"C:\\tl\\horalink.exe /Sync /Start", N, false, true, true, false, 2},
    // a quoted program path: its spaces and slashes are the name's own
    {L"\"C:\\Program Files\\Tempolan\\horalink.exe\"", N, false, false, false, false, 0},
    {L"\"Z:/opt/my tl/horalink.exe\" /auto", I, true, false, false, false, 1},
    {L"", N, false, false, false, false, 0},
};

}  // namespace

TEST(ServiceSwitches, TableOfCommandLines)
{
    for (const SwitchCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << "line: " << (const wchar_t*)c.line);
        ServiceSwitches s = ParseServiceSwitches(c.line);
        EXPECT_EQ(c.mode, s.mode);
        EXPECT_EQ(c.automatic, s.automatic);
        EXPECT_EQ(c.start, s.start);
        EXPECT_EQ(c.sync, s.sync);
        EXPECT_EQ(c.quiet, s.quiet);
        EXPECT_EQ(c.count, s.count);
    }
}
