#include "device/device_globals.h"

ProfileRecord g_WorkRecord;
ProfileRecord g_SavedRecord;
int g_nCurProfile = 0;
DeviceContext* g_pDevice = nullptr;
