#include "timesvc/service/ServiceHost.h"

bool RunServiceDispatcher(DWORD* error)
{
    if (error)
        *error = ERROR_FAILED_SERVICE_CONTROLLER_CONNECT;
    return false;
}
