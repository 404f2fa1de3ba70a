// The ids of the updater's resources, shared by the resource script
// (res/MevraUpdater.rc) and the code that loads them; plain definitions, as
// the resource compiler reads them too.
#pragma once

// The skin, type "XML".
#define IDR_MAIN_SKIN 136
// The window's icon, large and small.
#define IDI_MAIN_ICON 107
#define IDI_SMALL_ICON 108
// The host window's class name, in the string table.
#define IDS_HOST_WINDOW_CLASS 138
