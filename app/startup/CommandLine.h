// The main program's switches, read from its 8-bit command line.
#pragma once

#include <windows.h>

const int kImportNameChars = 512;
const int kExportNameChars = 260;
const int kSwitchChars = 259;

struct StartupSwitches {
    bool exit;
    bool restart;
    bool noHook;
    bool import;
    bool exportTo;
    WCHAR importFile[kImportNameChars + 1];
    WCHAR exportFile[kExportNameChars + 1];
    char settingsSwitch[kSwitchChars + 1];  // "/" and digits..., handed to the settings program
};

// One argument after `position`: quoted (to the same quote or the end; the
// returned position is the closing quote) or up to a blank, TAB or the end.
// Converted from the ANSI code page into `target` (may be null) of `chars`
// characters. Returns the position after it, or `position` when there is none
// or the conversion fails.
const char* ReadCommandArgument(const char* position, WCHAR* target, int chars);

// Every "/" token of the command line; unknown ones are ignored.
void ParseStartupSwitches(const char* commandLine, StartupSwitches* switches);
