// The time service program's switches, read from its whole command line.
#pragma once

#include <stdint.h>

#include "graphics/records/WinTypes.h"

enum class ServiceMode : uint8_t { None, Install, Uninstall, Invalid };

struct ServiceSwitches {
    ServiceMode mode;  // the last of /install, /auto, /uninstall or an unknown switch
    bool automatic;    // install with automatic start (/auto), else on demand
    bool start;
    bool sync;
    bool quiet;
    int count;  // every "/" word counted, known or not
};

// `commandLine` as GetCommandLineW gives it: the program name first.
ServiceSwitches ParseServiceSwitches(const WCHAR* commandLine);
