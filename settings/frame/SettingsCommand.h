// The settings program's command line: one switch after the program's path,
// "/alarm3.1", "/new", "/5", "/inst".
#pragma once

#include <windows.h>

#include <stdint.h>

#include "graphics/protocol/SettingsWindowProtocol.h"

struct SettingsCommand {
    uint32_t code;   // SettingsCommandCode
    uint32_t n;      // clock id, 0 when absent
    uint32_t m;      // position, 0 when absent
    bool inst;       // the map library's test run
};

// The switch begins at the first blank or tab outside double quotes that a
// "/" follows. Fills `command` (all zero without a switch).
void ParseSettingsCommandLine(const WCHAR* commandLine, SettingsCommand* command);
