#include "ui/main/menu_dialog_win.h"

#include "core/app_globals_win.h"
#include "core/resource.h"
#include "ui/framework/message_dialog_win.h"
#include "ui/framework/skin_win.h"
#include "ui/main/main_window_win.h"

namespace {

// Item ids in function-code order.
constexpr int kItemIds[12] = {IDC_MENU_BUTTON_OFF,   IDC_MENU_CLICK,       IDC_MENU_RIGHT_BUTTON, IDC_MENU_MIDDLE_BUTTON,
                              IDC_MENU_BUTTON4,      IDC_MENU_BUTTON5,     IDC_MENU_DOUBLE_CLICK, IDC_MENU_SWITCH_DPI,
                              IDC_MENU_SELECT_PROFILE, IDC_MENU_MACRO,     IDC_MENU_SINGLE,       IDC_MENU_DYNAMIC_SENSITIVE};

// The items stand one under the other from the top, as wide as the menu.
constexpr int kItemX = 5;
constexpr int kItemPitch = 17;  // also the first item's top

}  // namespace

CMenuDialog::CMenuDialog() : Dialog(IDD_FUNCTION_MENU) {}

BOOL CMenuDialog::OnInitDialog() {
    // Invisible until it fades in.
    HFONT font = skin::SetUpWindow(*this, {.background = "\\function\\function_demo.bmp",
                                           .fadesIn = true,
                                           .dragOnlyInDebug = true,
                                           .followsMainWindow = true});
    const int width = BackgroundSize().cx;
    for (int k = 0; k < 12; ++k) {
        skin::Button(items_[k], hwnd(), kItemIds[k], {}, g_szFunName[k], font, Background());
        skin::Place(hwnd(), kItemIds[k], kItemX, kItemPitch * (k + 1), width);
    }
    ShowWindow(Item(IDC_MENU_DYNAMIC_SENSITIVE), SW_HIDE);
    return FALSE;
}

void CMenuDialog::StartFade(mainwin::FadeFlags request, bool fromStart) {
    if (fromStart)
        fade_.RequestFromStart(request);
    else
        fade_.Request(request);
    StartTimer(kFadeTimer, mainwin::MenuFade::kTickMs);
}

void CMenuDialog::OnTimer(UINT_PTR id) {
    if (id != kFadeTimer) return;
    const mainwin::MenuFade::Tick tick = fade_.OnTick();
    if (tick.show && !IsWindowVisible(hwnd())) ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    if (tick.setAlpha) SetAlpha(static_cast<BYTE>(tick.alpha));
    if (tick.hide) ShowWindow(hwnd(), SW_HIDE);
    if (tick.finish) {
        StopTimer(kFadeTimer);
        MakeLayered(skin::kKey);
    }
}

bool CMenuDialog::OnCommand(int id, int code) {
    for (int k = 0; k < 12; ++k) {
        if (id != kItemIds[k]) continue;
        if (k == mainwin::kDynamicSensitive)
            ShowMessage(hwnd(), CMessageDialog::kOk, skin::Text("Str_FunNotSupport").c_str());
        else if (g_pMainDlg)
            g_pMainDlg->AssignFunction(k);
        return true;
    }
    return Dialog::OnCommand(id, code);
}
