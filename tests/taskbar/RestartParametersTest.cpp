#include <gtest/gtest.h>

#include <string>

#include "taskbar/hook/RestartParameters.h"

TEST(RestartParameters, StoredArgumentsFollowAndAreCutTo259Characters)
{
    const std::wstring kPrefix = L"/restart ";
    std::wstring atLimit(259 - kPrefix.size(), L'a');
    std::wstring longest(259, L'b');
    struct Case {
        const char* name;
        std::wstring arguments;
        bool started;
        std::wstring parameters;
    } cases[] = {
        {"none", L"", true, L"/restart"},
        {"short", L"/nh", true, L"/restart /nh"},
        {"exactly at the limit", atLimit, true, kPrefix + atLimit},
        {"one over the limit", atLimit + L"c", true, kPrefix + atLimit},
        {"the longest stored", longest, true, kPrefix + longest.substr(0, 250)},
        {"another case", L"/nh /ReStArT", false, L""},
        {"at the end of the longest", std::wstring(251, L'x') + L"/RESTART", false, L""},
        {"glued to another word", L"-x/restartnow", false, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // a guard past the buffer's end, and a mark that a refusal must leave
        WCHAR out[kRestartParameterChars + 1];
        for (WCHAR& ch : out)
            ch = L'#';
        ASSERT_EQ(c.started, BuildRestartParameters(c.arguments.c_str(), out));
        EXPECT_EQ(L'#', out[kRestartParameterChars]);
        if (!c.started) {
            EXPECT_EQ(L'#', out[0]);
            continue;
        }
        std::wstring built(out);
        EXPECT_EQ(c.parameters, built);
        EXPECT_LE(built.size(), 259u);
    }
}
