#include "app/startup/CommandLine.h"

#include <string.h>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool TokenIs(const char* token, size_t length, const char* name)
{
    return strlen(name) == length && _strnicmp(token, name, length) == 0;
}

// A switch of ours (or a digit switch) written where a file name belongs is
// still a switch: "/import /nh" imports nothing and keeps /nh.
bool IsSwitchArgument(const char* start, size_t length)
{
    if (length < 2 || *start != '/')
        return false;
    static const char* const names[] = {"/exit", "/restart", "/import", "/export", "/nh"};
    for (const char* name : names)
        if (TokenIs(start, length, name))
            return true;
    return start[1] >= '0' && start[1] <= '9';
}

// The file name after /import or /export, unless the next argument is a switch.
const char* ReadFileArgument(const char* position, WCHAR* target, int chars, bool* taken)
{
    const char* start = position;
    while (IsBlank(*start))
        ++start;
    size_t length = 0;
    while (start[length] && !IsBlank(start[length]))
        ++length;
    if (IsSwitchArgument(start, length)) {
        *taken = false;
        return position;
    }
    const char* after = ReadCommandArgument(position, target, chars);
    *taken = after != position;
    return after;
}

}  // namespace

const char* ReadCommandArgument(const char* position, WCHAR* target, int chars)
{
    const char* p = position;
    while (IsBlank(*p))
        ++p;
    const char* start = p;
    const char* end;
    const char* next;
    if (*p == '"' || *p == '\'') {
        char quote = *p++;
        start = p;
        while (*p && *p != quote)
            ++p;
        end = next = p;
    } else {
        while (*p && !IsBlank(*p))
            ++p;
        end = next = p;
    }
    if (end == start)
        return position;
    if (target && chars > 0) {
        // a long name is cut to the target, never refused for its length
        int bytes = (int)(end - start) < chars - 1 ? (int)(end - start) : chars - 1;
        int n = MultiByteToWideChar(CP_ACP, 0, start, bytes, target, chars - 1);
        if (n <= 0)
            return position;
        target[n] = 0;
    }
    return next;
}

void ParseStartupSwitches(const char* commandLine, StartupSwitches* s)
{
    memset(s, 0, sizeof(*s));
    const char* p = commandLine ? commandLine : "";
    while ((p = strchr(p, '/')) != nullptr) {
        const char* token = p;
        size_t length = 0;
        while (token[length] && !IsBlank(token[length]) && length < (size_t)kSwitchChars)
            ++length;
        p = token + length;
        if (TokenIs(token, length, "/exit")) {
            s->exit = true;
        } else if (TokenIs(token, length, "/restart")) {
            s->restart = true;
        } else if (TokenIs(token, length, "/nh")) {
            s->noHook = true;
        } else if (TokenIs(token, length, "/import")) {
            p = ReadFileArgument(p, s->importFile, kImportNameChars + 1, &s->import);
        } else if (TokenIs(token, length, "/export")) {
            p = ReadFileArgument(p, s->exportFile, kExportNameChars + 1, &s->exportTo);
        } else if (length >= 2 && token[1] >= '0' && token[1] <= '9') {
            memcpy(s->settingsSwitch, token, length);  // the last one wins
            s->settingsSwitch[length] = 0;
        }
    }
}
