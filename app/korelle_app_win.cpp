// The program's entry: resolve the folders, bind the three components, set up
// the string table, the function names and the hook area, then run the
// invisible back dialog that owns every window; release everything in a
// fixed order at the end.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/back_dialog_win.h"
#include "core/app_globals_win.h"
#include "core/hook_area.h"
#include "profile_store/strings/xml_rw.h"
#include "ui/main/device_seams_win.h"

namespace {

// Before any window exists failures go to a plain system box.
int Fail(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), kAppCaption, MB_OK);
    return 0;
}

template <class Fn>
bool Bind(HMODULE module, const EntryPoint& entry, Fn& out) {
    out = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, entry.name)));
    if (!out) Fail(entry.missingText);
    return out != nullptr;
}

bool Load(const char* name, HMODULE& module) {
    const std::string path = std::string(g_szAppPath) + "\\" + name;
    module = LoadLibraryA(path.c_str());
    if (!module) Fail(CannotFindLibraryText(path, GetLastError()));
    return module != nullptr;
}

// The folders from the current directory in its long form, and the language
// from the setup file. False (after a message) when they do not fit.
bool ResolveFolders() {
    char dir[MAX_PATH * 2] = "";
    const DWORD n = GetCurrentDirectoryA(sizeof dir, dir);
    if (n == 0 || n >= sizeof dir) return Fail(kFolderTooLong);
    char longDir[MAX_PATH * 2] = "";
    const DWORD m = GetLongPathNameA(dir, longDir, sizeof longDir);
    if (m == 0 || m >= sizeof longDir) std::strcpy(longDir, dir);

    char ini[MAX_PATH * 2 + 16];
    std::snprintf(ini, sizeof ini, "%s\\Setup.ini", longDir);
    char language[256];
    GetPrivateProfileStringA("SystemInfo.Desc", "Language", "English", language, sizeof language, ini);

    ProgramFolders folders;
    if (!BuildProgramFolders(longDir, language, folders)) return Fail(FolderFailureText(longDir, language));
    std::memcpy(g_szAppPath, folders.appPath, kPathBuffer);
    std::memcpy(g_szSetupIni, folders.setupIni, kPathBuffer);
    std::memcpy(g_szResPath, folders.resPath, kPathBuffer);
    std::memcpy(g_szLangPath, folders.langPath, kPathBuffer);
    return true;
}

// Binds everything in its fixed order; every failure shows its message and
// stops, leaving what was bound for the release sequence.
int BindComponents() {
    if (!ResolveFolders()) return 0;

    if (!Load("Quillon.dll", g_hQuillon)) return 0;
    if (!Bind(g_hQuillon, kQuillonEntries[0], g_pfnIsDeviceExist) ||
        !Bind(g_hQuillon, kQuillonEntries[1], g_pfnSetReport) || !Bind(g_hQuillon, kQuillonEntries[2], g_pfnGetReport))
        return 0;
    startup_read::Begin();

    if (!Load("Silvex.dll", g_hSilvex)) return 0;
    if (!Bind(g_hSilvex, kSilvexEntries[0], g_pfnCreateQXClassInstance) ||
        !Bind(g_hSilvex, kSilvexEntries[1], g_pfnCreateXmlClassInstance))
        return 0;

    g_pXmlRW = g_pfnCreateXmlClassInstance(StringTablePath(g_szLangPath).c_str());
    if (!g_pXmlRW) return Fail(kCannotCreateStringTable);
    for (int i = 0; i < kFunctionCount; ++i)
        g_pXmlRW->GetResourceString(kFunctionNames[i].key, g_szFunName[i], kFunNameSize);

    if (!Load("Merrowin.dll", g_hMerrowin)) return 0;
    if (!Bind(g_hMerrowin, kMerrowinEntries[0], g_pfnInitMouse) ||
        !Bind(g_hMerrowin, kMerrowinEntries[1], g_pfnUninitMouse) ||
        !Bind(g_hMerrowin, kMerrowinEntries[2], g_pfnInitKeyboard) ||
        !Bind(g_hMerrowin, kMerrowinEntries[3], g_pfnUninitKeyboard))
        return 0;

    g_hHookMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, hook_area::kSectionSize,
                                        hook_area::kSectionName);
    if (!g_hHookMapping) return Fail(kCannotCreateMapping);
    g_pHookArea = static_cast<unsigned char*>(MapViewOfFile(g_hHookMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!g_pHookArea) return Fail(kCannotMapView);
    return 1;
}

void Release() {
    startup_read::End();
    if (g_pHookArea) UnmapViewOfFile(g_pHookArea);
    g_pHookArea = nullptr;
    if (g_hHookMapping) CloseHandle(g_hHookMapping);
    g_hHookMapping = nullptr;
    if (g_hQuillon) FreeLibrary(g_hQuillon);
    g_hQuillon = nullptr;
    if (g_hMerrowin) FreeLibrary(g_hMerrowin);
    g_hMerrowin = nullptr;
    delete g_pXmlRW;  // lives in Silvex.dll: before the library goes
    g_pXmlRW = nullptr;
    if (g_hSilvex) FreeLibrary(g_hSilvex);
    g_hSilvex = nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    for (int i = 0; i < kFunctionCount; ++i)
        std::snprintf(g_szFunName[i], kFunNameSize, "%s", kFunctionNames[i].englishDefault);
    OutputDebugStringA("ProcessMainFun");

    // A second start ends silently while the first one's marker exists.
    HWND marker = FindWindowA(kMarkerClass, kMarkerTitle);
    if (marker && GetWindow(marker, GW_OWNER)) return 0;

    if (!BindComponents()) {
        Release();
        return 0;
    }
    if (GetFileAttributesA((std::string(g_szAppPath) + "\\debug.xml").c_str()) != INVALID_FILE_ATTRIBUTES)
        g_bDebug = 1;
    {
        CBackDialog back;
        back.DoModal(nullptr);
    }
    Release();
    return 0;
}
