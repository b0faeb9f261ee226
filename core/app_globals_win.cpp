// The program's process-wide state, defined in one place.
#include "core/app_globals_win.h"

#include "profile_store/strings/xml_rw.h"

char g_szAppPath[kPathBuffer];
char g_szSetupIni[kPathBuffer];
char g_szResPath[kPathBuffer];
char g_szLangPath[kPathBuffer];
int g_bDebug = 0;

HMODULE g_hQuillon = nullptr;
HMODULE g_hSilvex = nullptr;
HMODULE g_hMerrowin = nullptr;
QuillonFn g_pfnIsDeviceExist = nullptr;
QuillonFn g_pfnSetReport = nullptr;
QuillonFn g_pfnGetReport = nullptr;
CreateQXFn g_pfnCreateQXClassInstance = nullptr;
CreateXmlFn g_pfnCreateXmlClassInstance = nullptr;
HookFn g_pfnInitMouse = nullptr;
HookFn g_pfnUninitMouse = nullptr;
HookFn g_pfnInitKeyboard = nullptr;
HookFn g_pfnUninitKeyboard = nullptr;

XmlRW* g_pXmlRW = nullptr;
HANDLE g_hHookMapping = nullptr;
unsigned char* g_pHookArea = nullptr;
char g_szFunName[kFunctionCount][kFunNameSize];

int g_nSelButton = 0;
int g_bRightPanelOpen = 0;
int g_bLeftPanelOpen = 0;

SidePanel* g_pRightPanel = nullptr;
SidePanel* g_pLeftPanel = nullptr;
CKorelleDlg* g_pMainDlg = nullptr;

void LookUpText(const char* key, char* out, int size) {
    if (size <= 0) return;
    out[0] = '\0';
    if (g_pXmlRW) g_pXmlRW->GetResourceString(key, out, size);
}

std::string SkinFile(const char* relative) { return std::string(g_szResPath) + relative; }
