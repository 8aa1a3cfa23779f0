#include "timesvc/command/ServiceSwitches.h"

namespace {

enum class SwitchKind { Install, Auto, Uninstall, Start, Sync, Quiet };

struct SwitchName {
    const char* text;
    SwitchKind kind;
};

// Compared in this order, first match wins: "/uninstall" is never taken for
// a shorter switch since none of the earlier ones is its prefix.
const SwitchName kSwitches[] = {
    {"/install", SwitchKind::Install},
    {"/auto", SwitchKind::Auto},
    {"/uninstall", SwitchKind::Uninstall},
    {"/start", SwitchKind::Start},
    {"/sync", SwitchKind::Sync},
    {"/q", SwitchKind::Quiet},
};

WCHAR FoldAscii(WCHAR c)
{
    return (c >= 'A' && c <= 'Z') ? (WCHAR)(c - 'A' + 'a') : c;
}

// True when `word` begins with `name`, in any case; a longer word counts.
bool StartsWithSwitch(const WCHAR* word, const char* name)
{
    for (; *name; ++word, ++name) {
        if (FoldAscii(*word) != (WCHAR)*name)
            return false;
    }
    return true;
}

const WCHAR* SkipProgramName(const WCHAR* p)
{
    // A quoted program path may hold spaces and even "/" (Wine's Unix-style
    // paths): none of it may be taken for a switch.
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p)
            ++p;
    }
    while (*p && *p != ' ')
        ++p;
    return p;
}

}  // namespace

ServiceSwitches ParseServiceSwitches(const WCHAR* commandLine)
{
    ServiceSwitches result = {ServiceMode::None, false, false, false, false, 0};
    if (!commandLine)
        return result;
    const WCHAR* p = SkipProgramName(commandLine);
    for (;;) {
        while (*p && *p != '/')
            ++p;
        if (!*p)
            break;
        ++result.count;
        const SwitchName* match = nullptr;
        for (const SwitchName& name : kSwitches) {
            if (StartsWithSwitch(p, name.text)) {
                match = &name;
                break;
            }
        }
        if (!match) {
            result.mode = ServiceMode::Invalid;
        } else {
            switch (match->kind) {
            case SwitchKind::Install:
                result.mode = ServiceMode::Install;
                result.automatic = false;
                break;
            case SwitchKind::Auto:
                result.mode = ServiceMode::Install;
                result.automatic = true;
                break;
            case SwitchKind::Uninstall:
                result.mode = ServiceMode::Uninstall;
                break;
            case SwitchKind::Start:
                result.start = true;
                break;
            case SwitchKind::Sync:
                result.sync = true;
                break;
            case SwitchKind::Quiet:
                result.quiet = true;
                break;
            }
        }
        // whatever is glued to the switch belongs to it
        while (*p && *p != ' ')
            ++p;
    }
    return result;
}
