// The settings program's own resources (settings.rc), language neutral.
// Plain macros: the resource compiler reads this file too.
#pragma once

#define IDM_SETTINGS_FRAME 109     // the frame's menu
#define IDI_SETTINGS 132           // the program's icon
#define IDI_LOCATION_CHOOSER 140   // the location chooser's icon
#define IDC_DROP_ALLOWED 136       // dragging a tree node where it may go
#define IDC_DROP_REFUSED 138       // and where it may not

// Commands of the frame's menu.
#define IDM_SETTINGS_EXIT 105
#define IDM_SETTINGS_OPEN 130
