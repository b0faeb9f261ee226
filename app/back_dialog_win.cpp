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

    // The main window comes first, so it is shown without waiting for the
    // hidden panels. The panels are made by a message posted before the main
    // window shows, so they exist before any input, even a message another
    // program posts once it sees the window; a message box of the main
    // window's start makes them while it is open.
    PostMessageA(hwnd(), kMakePanels, 0, 0);
    g_pMainDlg = CreateOwned(new CKorelleDlg, hwnd());
    PlaceMainOverPanels();
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_HIDEWINDOW);
    if (g_pMainDlg) UpdateWindow(g_pMainDlg->hwnd());
    return TRUE;
}

void CBackDialog::MakePanels() {
    if (!g_pRightPanel) g_pRightPanel = CreateOwned(new CTail2Dialog(), hwnd());
    if (!g_pLeftPanel)
        g_pLeftPanel = CreateOwned(new CTail3Dialog(), g_pRightPanel ? g_pRightPanel->hwnd() : hwnd());
    PlaceMainOverPanels();
    if (g_pRightPanel) g_pRightPanel->FinishSetUp();
    if (g_pLeftPanel) g_pLeftPanel->FinishSetUp();
}

// The main window owned by the left panel and above both panels, as if the
// three had been made in the order right, left, main.
void CBackDialog::PlaceMainOverPanels() {
    if (!g_pMainDlg || !g_pLeftPanel) return;
    SetWindowLongPtrA(g_pMainDlg->hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(g_pLeftPanel->hwnd()));
    SetWindowPos(g_pMainDlg->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool CBackDialog::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != kMakePanels) return false;
    MakePanels();
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
