#include "settings/frame/MapTestRun.h"

#include "map/MapExports.h"
#include "windows/map/MapLibraryLoader.h"

namespace {

typedef DWORD(WINAPI* InstallMapProc)();

const WCHAR kMapSection[] = L"map";
// The map library's codes carry this bit; the number after it is the one
// people look up.
const DWORD kMapErrorFamily = 0x20000000;

}  // namespace

void RunMapTestRun(const WCHAR* folder, const WCHAR* sharedIni)
{
    MapLibraryTable table;
    DWORD code = LoadMapLibrary(table, folder, nullptr, 0);
    DWORD systemError = 0;
    bool installed = false;
    if (code == 0) {
        auto install = (InstallMapProc)(void*)GetProcAddress(table.module.Get(), "InstallMap");
        if (!install) {
            // an older library cannot tell; that is no success
            code = MAPERR_IMPORTS;
        } else {
            code = install();
            installed = code == 0;
            if (!installed)
                systemError = table.getLastSysError();
        }
    }
    UnloadMapLibrary(table);

    WCHAR result[96];
    wsprintfW(result, L"Install return code: %lu, system error: %lu", code & ~kMapErrorFamily, systemError);
    WritePrivateProfileStringW(kMapSection, L"initialized", installed ? L"1" : L"0", sharedIni);
    WritePrivateProfileStringW(kMapSection, L"install_result", result, sharedIni);
}
