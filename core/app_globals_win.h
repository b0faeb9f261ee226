// The program's process-wide state, set once at start and cleared by the
// release sequence: folders, the bound components and entry points, the
// string table, the hook area, the function names and the debug switch.
#pragma once

#include <windows.h>

#include <string>

#include "core/startup.h"

class XmlRW;
class Vantor;
class SidePanel;
class CKorelleDlg;

using QuillonFn = int (*)(unsigned short vendorId, unsigned short productId, unsigned char* report);
using CreateQXFn = Vantor* (*)(int vendorId, int productId);
using CreateXmlFn = XmlRW* (*)(const char* relativePath);
using HookFn = int (*)();

extern char g_szAppPath[kPathBuffer];
extern char g_szSetupIni[kPathBuffer];
extern char g_szResPath[kPathBuffer];
extern char g_szLangPath[kPathBuffer];
extern int g_bDebug;

extern HMODULE g_hQuillon;
extern HMODULE g_hSilvex;
extern HMODULE g_hMerrowin;
extern QuillonFn g_pfnIsDeviceExist;
extern QuillonFn g_pfnSetReport;
extern QuillonFn g_pfnGetReport;
extern CreateQXFn g_pfnCreateQXClassInstance;
extern CreateXmlFn g_pfnCreateXmlClassInstance;
extern HookFn g_pfnInitMouse;
extern HookFn g_pfnUninitMouse;
extern HookFn g_pfnInitKeyboard;
extern HookFn g_pfnUninitKeyboard;

extern XmlRW* g_pXmlRW;
extern HANDLE g_hHookMapping;
extern unsigned char* g_pHookArea;
extern char g_szFunName[kFunctionCount][kFunNameSize];

// The button slot the menu, the detail dialogs and the macro editor act on;
// -1 for none (after a profile switch).
extern int g_nSelButton;
// Whether each side panel was last opened by its toggle.
extern int g_bRightPanelOpen;
extern int g_bLeftPanelOpen;

extern SidePanel* g_pRightPanel;
extern SidePanel* g_pLeftPanel;
extern CKorelleDlg* g_pMainDlg;

// The string table's text for key into out (cut at size); empty when the
// table has none.
void LookUpText(const char* key, char* out, int size);

// The full path of a skin file named like "\info\info_bg.bmp".
std::string SkinFile(const char* relative);
