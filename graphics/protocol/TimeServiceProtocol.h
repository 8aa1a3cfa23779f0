// How the main program and the settings program reach the time service.
#pragma once

#include <windows.h>

const WCHAR kTimeServiceName[] = L"TLTime";

// User control codes of the service.
const DWORD kServiceControlReadSettings = 129;
const DWORD kServiceControlSyncNow = 130;
