#include "settings/clockpages/ClockPageServices.h"

bool CSystemFileOpenBox::OpenFile(OPENFILENAMEW* box, DWORD* error)
{
    if (GetOpenFileNameW(box)) {
        *error = 0;
        return true;
    }
    *error = CommDlgExtendedError();
    return false;
}
