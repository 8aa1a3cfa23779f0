#include "settings/frame/SettingsCommand.h"

void ParseSettingsCommandLine(const WCHAR*, SettingsCommand* command)
{
    *command = {};
}
