#include "graphics/system/WebOpener.h"

#include <shellapi.h>

void CShellWebOpener::OpenAddress(const WCHAR* address)
{
    ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
