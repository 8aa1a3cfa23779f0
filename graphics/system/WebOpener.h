// How the map and the clock tooltip open web pages: the shell's "open" verb,
// or whatever a test puts in its place.
#pragma once

#include <windows.h>

class IWebOpener {
public:
    virtual ~IWebOpener() = default;
    virtual void OpenAddress(const WCHAR* address) = 0;
};

// ShellExecuteW "open", shown normally; failures are not reported (the user
// sees no browser and may click again).
class CShellWebOpener : public IWebOpener {
public:
    void OpenAddress(const WCHAR* address) override;
};
