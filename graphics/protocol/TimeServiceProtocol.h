// How the main program and the settings program reach the time service.
#pragma once

#include <windows.h>

const WCHAR kTimeServiceName[] = L"TLTime";
// Its display name, also the caption of the time service program's boxes.
const WCHAR kTimeServiceDisplayName[] = L"Tempolan Time";

// User control codes of the service.
const DWORD kServiceControlReadSettings = 129;
const DWORD kServiceControlSyncNow = 130;

// Signalled at each result the service writes ("running", then the outcome);
// anyone may wait on it.
const WCHAR kTimeEventName[] = L"Global\\Tempolan_Time_Event";
