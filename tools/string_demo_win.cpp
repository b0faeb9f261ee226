// A small window that shows the UI string table of the program folder as
// the program will see it: it binds Silvex.dll by name, creates the table
// for the language of Setup.ini and lists the button-function names and a
// few other texts; then it binds Quillon.dll the same way and asks the mouse
// (the emulated one when KORELLE_EMULATOR_STATE names its state file) for its
// versions and active profile through the device link. Run from the program
// folder; "--close-after MS" ends it by itself.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "profile_store/strings/xml_rw.h"

namespace {

const char* const kFunctionKeys[12] = {
    "Str_ButtonOff", "Str_Click",     "Str_RightButton",   "Str_MiddleButton", "Str_Button4", "Str_Button5",
    "Str_DoubleClick", "Str_SwitchDPI", "Str_SelectProfile", "Str_Macro",        "Str_Single",  "Str_DynamicSensitive",
};
const char* const kOtherKeys[] = {"Str_Apply", "Str_Abandon", "Str_DataChange", "Str_NotFindHardware",
                                  "Str_SettingMismatch", "Str_WindowPointerSpeed"};

std::vector<std::string> g_lines;
constexpr COLORREF kBackground = RGB(18, 20, 24);
constexpr COLORREF kAccent = RGB(255, 96, 32);
constexpr COLORREF kText = RGB(220, 224, 230);

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH bg = CreateSolidBrush(kBackground);
        FillRect(dc, &rc, bg);
        DeleteObject(bg);
        RECT bar = {0, 0, rc.right, 4};
        HBRUSH accent = CreateSolidBrush(kAccent);
        FillRect(dc, &bar, accent);
        DeleteObject(accent);
        HFONT font = CreateFontA(15, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        int y = 16;
        for (const std::string& line : g_lines) {
            SetTextColor(dc, line.rfind("Str_", 0) == 0 ? kText : kAccent);
            TextOutA(dc, 16, y, line.c_str(), static_cast<int>(line.size()));
            y += 20;
        }
        SelectObject(dc, old);
        DeleteObject(font);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

int Fail(const char* text) {
    std::fprintf(stderr, "%s\n", text);
    MessageBoxA(nullptr, text, "VantorCenter", MB_OK);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    UINT closeAfter = 0;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--close-after") == 0) closeAfter = static_cast<UINT>(std::atoi(argv[i + 1]));

    char dir[MAX_PATH];
    GetCurrentDirectoryA(sizeof dir, dir);
    const std::string ini = std::string(dir) + "\\Setup.ini";
    char language[256];
    GetPrivateProfileStringA("SystemInfo.Desc", "Language", "English", language, sizeof language, ini.c_str());

    const std::string library = std::string(dir) + "\\Silvex.dll";
    HMODULE silvex = LoadLibraryA(library.c_str());
    if (!silvex) return Fail(("Cannot find " + library).c_str());
    auto create = reinterpret_cast<CreateXmlClassInstanceFn>(
        reinterpret_cast<void*>(GetProcAddress(silvex, "CreateXmlClassInstance")));
    if (!create) return Fail("Cannot Find CreateXmlClassInstance() !");

    const std::string file = std::string("String\\") + language + "\\Korelle.xml";
    XmlRW* table = create(file.c_str());
    if (!table) return Fail("Cannot Create m_sXml Class !");

    g_lines.push_back("String table " + file + " (" + language + ")");
    auto show = [&](const char* key) {
        char text[kResourceStringMax] = "(missing)";
        table->GetResourceString(key, text, sizeof text);
        g_lines.push_back(std::string(key) + "  =  " + text);
    };
    for (const char* key : kFunctionKeys) show(key);
    for (const char* key : kOtherKeys) show(key);
    delete table;

    HMODULE quillon = LoadLibraryA((std::string(dir) + "\\Quillon.dll").c_str());
    if (quillon) {
        auto bind = [&](const char* name) {
            return reinterpret_cast<HidApi::Fn>(reinterpret_cast<void*>(GetProcAddress(quillon, name)));
        };
        ProfileRecord work, saved;
        int profile = 0;
        RealSleeper sleeper;
        DeviceLinkEnv env;
        env.hid = {bind("QUILLON_IsDeviceExist"), bind("QUILLON_SetReport"), bind("QUILLON_GetReport")};
        env.sleeper = &sleeper;
        env.work = &work;
        env.saved = &saved;
        env.curProfile = &profile;
        DeviceLink link(env);
        int hardware = 0, firmware = 0;
        char line[128];
        if (link.QueryDeviceInfo(hardware, firmware)) {
            std::snprintf(line, sizeof line, "Mouse attached: hardware %d, firmware %d, active profile %d", hardware,
                          firmware, link.QueryActiveProfile() + 1);
        } else {
            std::snprintf(line, sizeof line, "No mouse attached");
        }
        g_lines.push_back(line);
    }
    for (const std::string& line : g_lines) std::printf("%s\n", line.c_str());
    std::fflush(stdout);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "KorelleStringDemo";
    RegisterClassA(&wc);
    const int height = 40 + 20 * static_cast<int>(g_lines.size());
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Korelle string table", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                60, 60, 900, height + 30, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    if (closeAfter) SetTimer(hwnd, 1, closeAfter, nullptr);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    FreeLibrary(silvex);
    return 0;
}
