// Shows the two side panels as Korelle.exe creates them, beside a stand-in
// for the main window that toggles them (IDC_MAIN_RIGHT_TOGGLE and IDC_MAIN_LEFT_TOGGLE) and takes
// them along when it moves, until the stand-in is closed. Run in a program
// folder; sets up what the program sets up for the panels: the folders,
// the string table through Silvex.dll, Merrowin.dll bound, the hook area.
//
// Every setting the panels write is appended to "panel-demo-calls.txt" in
// the folder, one line "ACTION UIPARAM PVPARAM FLAGS" per system-parameters
// call, before the call is made: a test sees the values written even where
// the system does not keep them.
//
// Exit code 0 when the left panel, destroyed at the end, left the hook
// area's window and drag fields zero; 3 when it did not; 1xx when setting
// up failed.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/app_globals_win.h"
#include "core/hook_area.h"
#include "core/resource.h"
#include "profile_store/strings/xml_rw.h"
#include "ui/panels/tail2_dialog_win.h"
#include "ui/panels/tail3_dialog_win.h"

namespace {

std::string g_callLog;

BOOL WINAPI RecordedCall(UINT action, UINT uiParam, PVOID pvParam, UINT flags) {
    if (action == SPI_SETWHEELSCROLLLINES || action == SPI_SETDOUBLECLICKTIME || action == SPI_SETMOUSESPEED) {
        if (FILE* log = std::fopen(g_callLog.c_str(), "a")) {
            std::fprintf(log, "%u %u %llu %u\n", action, uiParam,
                         static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(pvParam)), flags);
            std::fclose(log);
        }
    }
    return SystemParametersInfoA(action, uiParam, pvParam, flags);
}

// What the main window does for the panels: its two toggles open them at
// their anchors and close them, and when it moves it posts each open one
// the point to follow to.
class StandInMain : public Dialog {
public:
    StandInMain() : Dialog(IDD_MAIN) {}

protected:
    BOOL OnInitDialog() override {
        for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            ShowWindow(child, SW_HIDE);
        SetBackground(SkinFile("\\central\\central_bg.bmp"));
        MakeLayered(RGB(0x80, 0x80, 0x80));
        SetWindowPos(hwnd(), nullptr, 250, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return TRUE;
    }

    bool OnCommand(int id, int code) override {
        RECT r{};
        GetWindowRect(hwnd(), &r);
        if (id == IDC_MAIN_RIGHT_TOGGLE) {
            rightOpen_ = !rightOpen_;
            if (rightOpen_)
                g_pRightPanel->Open(r.left + 380, r.top + 220);
            else
                g_pRightPanel->Close();
            return true;
        }
        if (id == IDC_MAIN_LEFT_TOGGLE) {
            leftOpen_ = !leftOpen_;
            if (leftOpen_)
                g_pLeftPanel->Open(r.left - 115, r.top + 50);
            else
                g_pLeftPanel->Close();
            return true;
        }
        return Dialog::OnCommand(id, code);
    }

    bool OnMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT&) override {
        if (msg == WM_CLOSE) PostQuitMessage(0);
        if (msg == WM_MOVE) {
            const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
            if (rightOpen_) PostMoveTo(g_pRightPanel->hwnd(), x + 400, y + 220);
            if (leftOpen_) PostMoveTo(g_pLeftPanel->hwnd(), x - 115, y + 50);
        }
        return false;
    }

private:
    bool rightOpen_ = false;
    bool leftOpen_ = false;
};

template <class Fn>
bool Bind(HMODULE module, const char* name, Fn& out) {
    out = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return out != nullptr;
}

}  // namespace

int main() {
    char dir[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof dir, dir);
    char language[64] = "";
    GetPrivateProfileStringA("SystemInfo.Desc", "Language", "English", language, sizeof language,
                             (std::string(dir) + "\\Setup.ini").c_str());
    ProgramFolders folders;
    if (!BuildProgramFolders(dir, language, folders)) return 101;
    std::memcpy(g_szAppPath, folders.appPath, kPathBuffer);
    std::memcpy(g_szResPath, folders.resPath, kPathBuffer);
    std::memcpy(g_szLangPath, folders.langPath, kPathBuffer);
    g_callLog = std::string(dir) + "\\panel-demo-calls.txt";

    g_hSilvex = LoadLibraryA((std::string(dir) + "\\Silvex.dll").c_str());
    if (!g_hSilvex || !Bind(g_hSilvex, "CreateXmlClassInstance", g_pfnCreateXmlClassInstance)) return 102;
    g_pXmlRW = g_pfnCreateXmlClassInstance(StringTablePath(g_szLangPath).c_str());
    g_hMerrowin = LoadLibraryA((std::string(dir) + "\\Merrowin.dll").c_str());
    if (!g_hMerrowin || !Bind(g_hMerrowin, "InitMouse", g_pfnInitMouse) ||
        !Bind(g_hMerrowin, "UninitMouse", g_pfnUninitMouse))
        return 103;
    g_hHookMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, hook_area::kSectionSize,
                                        hook_area::kSectionName);
    g_pHookArea = g_hHookMapping ? static_cast<unsigned char*>(MapViewOfFile(g_hHookMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0))
                                 : nullptr;
    if (!g_pHookArea) return 104;

    static panels::SystemDesktopSettings settings(RecordedCall);
    auto* right = new CTail2Dialog(settings);
    auto* left = new CTail3Dialog(settings);
    auto* main = new StandInMain;
    if (!right->CreateModeless(nullptr) || !left->CreateModeless(right->hwnd()) || !main->CreateModeless(left->hwnd()))
        return 105;
    g_pRightPanel = right;
    g_pLeftPanel = left;

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    // Torn down as the back dialog does it: main window, left, right.
    DestroyWindow(main->hwnd());
    DestroyWindow(left->hwnd());
    std::uint8_t fields[hook_area::kDragActiveOffset + 1 - hook_area::kLeftPanelWindowOffset];
    std::memcpy(fields, g_pHookArea + hook_area::kLeftPanelWindowOffset, sizeof fields);
    DestroyWindow(right->hwnd());
    delete main;
    delete left;
    delete right;
    g_pLeftPanel = g_pRightPanel = nullptr;

    UnmapViewOfFile(g_pHookArea);
    CloseHandle(g_hHookMapping);
    FreeLibrary(g_hMerrowin);
    delete g_pXmlRW;  // lives in Silvex.dll
    FreeLibrary(g_hSilvex);
    for (std::uint8_t b : fields)
        if (b != 0) return 3;
    return 0;
}
