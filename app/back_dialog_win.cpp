#include "app/back_dialog_win.h"

#include "core/app_globals_win.h"
#include "core/resource.h"
#include "ui/main/main_window_win.h"
#include "ui/panels/tail2_dialog_win.h"
#include "ui/panels/tail3_dialog_win.h"

namespace {

template <class Window>
Window* CreateOwned(Window* window, HWND owner) {
    if (!window->CreateModeless(owner)) {
        delete window;
        return nullptr;
    }
    return window;
}

template <class Window>
void DestroyWindowObject(Window*& window) {
    if (!window) return;
    if (window->hwnd()) DestroyWindow(window->hwnd());
    delete window;
    window = nullptr;
}

}  // namespace

CBackDialog::CBackDialog() : Dialog(IDD_BACK) {}

BOOL CBackDialog::OnInitDialog() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.style = CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = DefWindowProcA;
    wc.cbWndExtra = 30;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = kMarkerClass;
    if (RegisterClassA(&wc))
        marker_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMarkerClass, kMarkerTitle, WS_POPUP, 0, 0, 10, 10,
                                  hwnd(), nullptr, instance, this);

    if (!g_pRightPanel) g_pRightPanel = CreateOwned(new CTail2Dialog(), hwnd());
    if (!g_pLeftPanel)
        g_pLeftPanel = CreateOwned(new CTail3Dialog(), g_pRightPanel ? g_pRightPanel->hwnd() : hwnd());
    g_pMainDlg = CreateOwned(new CKorelleDlg, g_pLeftPanel ? g_pLeftPanel->hwnd() : hwnd());

    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_HIDEWINDOW);
    // The main window is painted first; the hidden panels skin their
    // controls after it (a posted message comes before any input).
    if (g_pMainDlg) UpdateWindow(g_pMainDlg->hwnd());
    PostMessageA(hwnd(), kFinishPanels, 0, 0);
    return TRUE;
}

bool CBackDialog::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != kFinishPanels) return false;
    if (g_pRightPanel) g_pRightPanel->FinishSetUp();
    if (g_pLeftPanel) g_pLeftPanel->FinishSetUp();
    result = 0;
    return true;
}

void CBackDialog::OnDestroy() {
    DestroyWindowObject(g_pMainDlg);
    DestroyWindowObject(g_pLeftPanel);
    DestroyWindowObject(g_pRightPanel);
    if (marker_) {
        DestroyWindow(marker_);
        marker_ = nullptr;
        UnregisterClassA(kMarkerClass, GetModuleHandleA(nullptr));
    }
}
