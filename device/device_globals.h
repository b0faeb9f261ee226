// The device link's process-wide state, named in one place. The program's
// windows use these; the portable flows take them through DeviceLinkEnv.
#pragma once

#include "device/device_link.h"

extern ProfileRecord g_WorkRecord;   // what the user edits, slot order
extern ProfileRecord g_SavedRecord;  // last written to the mouse and saved
extern int g_nCurProfile;            // 0..4, the profile active on the mouse
extern DeviceContext* g_pDevice;     // null until the main window creates it
