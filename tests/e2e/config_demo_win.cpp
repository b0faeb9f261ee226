// Runs the advanced settings dialog from a host window, set up as Korelle.exe
// sets up the main window: folders, Quillon.dll and Silvex.dll bound by name
// from the program folder it is started in, the string table, and the device
// context (device description, "__working.xml" in slot order, the start-up
// synchronisation with the mouse). It stands in for the main window:
//   config-demo [HOST_X HOST_Y]     the host window's top-left corner
// Files written to the current folder for the tests:
//   config-demo.work, config-demo.saved   g_WorkRecord and g_SavedRecord
//                                         (2070 bytes each): at the start, at
//                                         every refresh and at the end
//   config-demo.refreshes                 how often the views were refreshed
// Exit code 0 when the dialog was closed, 10x when the set-up failed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "core/app_globals_win.h"
#include "device/device_globals.h"
#include "profile_store/strings/xml_rw.h"
#include "ui/config/adv_setting_win.h"
#include "ui/framework/message_dialog_win.h"

namespace {

constexpr int kHostMarkId = 4001;  // the driver finds the host as "@4001"
int g_refreshes = 0;

void WriteFile(const char* name, const void* data, size_t size) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void WriteState() {
    WriteFile("config-demo.work", g_WorkRecord.data(), g_WorkRecord.bytes.size());
    WriteFile("config-demo.saved", g_SavedRecord.data(), g_SavedRecord.bytes.size());
    const std::string count = std::to_string(g_refreshes);
    WriteFile("config-demo.refreshes", count.data(), count.size());
}

class BoxSink : public MessageSink {
public:
    void ShowOk(const char*, const char* text) override { ShowMessage(nullptr, CMessageDialog::kOk, text); }
    int AskYesNo(const char*, const char* text) override { return ShowMessage(nullptr, CMessageDialog::kYesNo, text); }
};

template <class Fn>
bool Bind(HMODULE module, const char* name, Fn& out) {
    out = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return out != nullptr;
}

HMODULE LoadComponent(const char* name) { return LoadLibraryA((std::string(g_szAppPath) + "\\" + name).c_str()); }

HWND CreateHost(int x, int y) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = "KorelleConfigDemoHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "config-demo", WS_POPUP | WS_BORDER | WS_VISIBLE, x, y, 375, 340,
                                nullptr, nullptr, wc.hInstance, nullptr);
    CreateWindowExA(0, "STATIC", "main window", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, host,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHostMarkId)), wc.hInstance, nullptr);
    return host;
}

}  // namespace

int main(int argc, char** argv) {
    char dir[MAX_PATH];
    GetCurrentDirectoryA(sizeof dir, dir);
    char language[128];
    GetPrivateProfileStringA("SystemInfo.Desc", "Language", "English", language, sizeof language,
                             (std::string(dir) + "\\Setup.ini").c_str());
    ProgramFolders folders;
    if (!BuildProgramFolders(dir, language, folders)) return 101;
    std::memcpy(g_szAppPath, folders.appPath, kPathBuffer);
    std::memcpy(g_szSetupIni, folders.setupIni, kPathBuffer);
    std::memcpy(g_szResPath, folders.resPath, kPathBuffer);
    std::memcpy(g_szLangPath, folders.langPath, kPathBuffer);

    g_hQuillon = LoadComponent("Quillon.dll");
    g_hSilvex = LoadComponent("Silvex.dll");
    if (!g_hQuillon || !g_hSilvex || !Bind(g_hQuillon, "QUILLON_IsDeviceExist", g_pfnIsDeviceExist) ||
        !Bind(g_hQuillon, "QUILLON_SetReport", g_pfnSetReport) ||
        !Bind(g_hQuillon, "QUILLON_GetReport", g_pfnGetReport) ||
        !Bind(g_hSilvex, "CreateQXClassInstance", g_pfnCreateQXClassInstance) ||
        !Bind(g_hSilvex, "CreateXmlClassInstance", g_pfnCreateXmlClassInstance))
        return 102;
    g_pXmlRW = g_pfnCreateXmlClassInstance(StringTablePath(g_szLangPath).c_str());

    RealSleeper sleeper;
    BoxSink messages;
    DeviceLinkEnv env;
    env.hid = {g_pfnIsDeviceExist, g_pfnSetReport, g_pfnGetReport};
    env.sleeper = &sleeper;
    env.messages = &messages;
    env.strings = g_pXmlRW;
    env.work = &g_WorkRecord;
    env.saved = &g_SavedRecord;
    env.curProfile = &g_nCurProfile;
    g_pDevice = DeviceLink(env).CreateDeviceContext(g_pfnCreateQXClassInstance);
    if (!g_pDevice) return 103;
    WriteState();

    HWND host = CreateHost(argc == 3 ? std::atoi(argv[1]) : 150, argc == 3 ? std::atoi(argv[2]) : 420);
    {
        CAdvSetting settings([] {
            ++g_refreshes;
            WriteState();
        });
        settings.DoModal(host);
    }
    WriteState();

    DestroyWindow(host);
    DeviceLink::DestroyDeviceContext(g_pDevice);  // the profile object lives in Silvex.dll
    g_pDevice = nullptr;
    delete g_pXmlRW;
    g_pXmlRW = nullptr;
    FreeLibrary(g_hQuillon);
    FreeLibrary(g_hSilvex);
    return 0;
}
