// The time service program's string ids, shared by its resource script and
// its code (plain defines: the resource compiler reads this file too).
#pragma once

#define IDS_SCM_ACCESS_DENIED 1
#define IDS_SCM_OPEN_FAILED 2
#define IDS_DUPLICATE_NAME 3
#define IDS_SERVICE_EXISTS 4
#define IDS_CREATE_FAILED 5
#define IDS_OPEN_SERVICE_FAILED 6
#define IDS_LOAD_DESCRIPTION_FAILED 7
#define IDS_OPEN_KEY_FAILED 8
#define IDS_WRITE_DESCRIPTION_FAILED 9
#define IDS_DELETE_FAILED 10
#define IDS_START_FAILED 14
#define IDS_SERVICE_CREATED 51
#define IDS_SERVICE_DELETED 52
#define IDS_USAGE 53
#define IDS_SERVICE_STARTED 54
#define IDS_DESCRIPTION 101
