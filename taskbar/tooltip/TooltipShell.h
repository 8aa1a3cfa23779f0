// How the clock tooltip opens a page of the photo service: the shell's
// "open" verb, or whatever a test puts in its place.
#pragma once

#include <windows.h>

class ITooltipShell {
public:
    virtual ~ITooltipShell() = default;
    virtual void OpenAddress(const WCHAR* address) = 0;
};

// ShellExecuteW "Open", shown normally; a failure shows nothing and the user
// may click again.
class CTooltipShell : public ITooltipShell {
public:
    void OpenAddress(const WCHAR* address) override;
};
