// The time service's HEAD request to an HTTP time server: its answer's Date
// is the time. Only this program asks it.
#pragma once

#include <windows.h>

class CHttpClient;
struct SyncVersion;

// Results besides an HTTP status (0: none could be read).
const int kLatestBadUrl = -1;
const int kLatestNoConnection = -2;
const int kLatestRequestFailed = -3;

// HEAD of the URL that `urlTemplate` gives with the request's values (the
// date and time all 0, an encoded blank, the version). Redirects are not
// followed: a moved server is no time source. The answer's Date is in the
// client; Last-Modified of a 200 or 204 answer goes to `lastModified`
// (year 0 when absent).
int GetLatest(CHttpClient& client, const WCHAR* urlTemplate, const SyncVersion& version, SYSTEMTIME* lastModified);
