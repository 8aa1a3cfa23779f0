#include "taskbar/hook/TrayShared.h"

// One copy for all processes: the section is flagged shared in the image.
TrayShared g_shared __attribute__((section(".MYDATA"), shared)) = {};
