// Runs the map test run for its own folder, as "settings /inst" does: the map
// library takes its pictures from the folder of the program that loads it.
#include <windows.h>

#include "graphics/records/SettingsPaths.h"
#include "graphics/system/Paths.h"
#include "settings/frame/MapTestRun.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    SettingsPaths paths;
    if (!BuildProgramPaths(&paths))
        return 1;
    RunMapTestRun(paths.folder, paths.userIni);
    return 0;
}
