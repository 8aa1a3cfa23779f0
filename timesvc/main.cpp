#include <windows.h>

// The service comes with the time service issue.
int wmain(int, wchar_t**)
{
    return 0;
}
