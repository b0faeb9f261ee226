#include "ui/config/adv_setting_win.h"

#include <iterator>

#include "core/app_globals_win.h"
#include "core/resource.h"
#include "device/device_globals.h"
#include "profile_store/profiles/vantor.h"
#include "ui/config/file_dialog_win.h"
#include "ui/framework/message_dialog_win.h"
#include "ui/framework/skin_win.h"

using skin::Place;
using skin::Text;
using skin::kSilver;
using skin::kWhite;

namespace {

// The layout in client pixels. The title is centred over the dialog's width
// less the close button's corner; the four actions, an image with its
// caption after it, reach the dialog's right edge.
constexpr POINT kFromOwner{70, 60};  // the dialog's top left from its owner's
constexpr int kTitleY = 22;
constexpr int kTitleCornerWidth = 60;
constexpr skin::Spot kClose{IDC_ADV_CLOSE, 354, 21};
constexpr skin::Spot kOk{IDC_ADV_OK, 171, 176};

struct Action {
    int id;
    const char* normal;
    const char* hot;
    const char* key;
    int y;
};
constexpr int kActionX = 39;
constexpr Action kActions[] = {
    {IDC_ADV_LOAD, "\\Setting\\setting_01_08.bmp", "\\Setting\\setting_02_08.bmp", "Str_LoadConfig", 47},
    {IDC_ADV_SAVE, "\\Setting\\setting_01_10.bmp", "\\Setting\\setting_02_10.bmp", "Str_SaveConfig", 75},
    {IDC_ADV_RESET, "\\Setting\\setting_01_14.bmp", "\\Setting\\setting_02_14.bmp", "Str_ResetDefault", 104},
    {IDC_ADV_FIRMWARE, "\\Setting\\setting_01_16.bmp", "\\Setting\\setting_02_16.bmp", "Str_UpdateFirmware", 131},
};

}  // namespace

CAdvSetting::CAdvSetting(std::function<void()> refreshViews)
    : Dialog(IDD_ADVANCED_SETTINGS), refreshViews_(std::move(refreshViews)) {}

BOOL CAdvSetting::OnInitDialog() {
    skin::SetUpWindow(*this, {.background = "\\Setting\\setting_bg.bmp"});
    const SIZE size = BackgroundSize();

    HWND title = Item(IDC_ADV_TITLE);
    SetWindowLongPtrA(title, GWL_STYLE, (GetWindowLongPtrA(title, GWL_STYLE) & ~SS_TYPEMASK) | SS_CENTER);
    skin::Label(title_, *this, IDC_ADV_TITLE, Text("Str_AdvancedConfig"), kWhite);
    Place(*this, IDC_ADV_TITLE, 0, kTitleY, size.cx - kTitleCornerWidth);

    skin::Button(close_, *this, IDC_ADV_CLOSE,
                 skin::WhiteCaption("\\Setting\\setting_02_04.bmp", "\\Setting\\setting_01_04.bmp"), "");
    Place(hwnd(), kClose);

    // In the order of kActions.
    CButtonST* actions[] = {&load_, &save_, &reset_, &firmware_};
    for (int i = 0; i < static_cast<int>(std::size(kActions)); ++i) {
        const Action& a = kActions[i];
        skin::Button(*actions[i], *this, a.id, skin::WhiteCaption(a.hot, a.normal), Text(a.key));
        Place(*this, a.id, kActionX, a.y, size.cx);
    }

    // The OK plate carries its caption.
    skin::Button(
        ok_, *this, IDC_ADV_OK,
        skin::WhiteCaption("\\Setting\\setting_02_20.bmp", "\\Setting\\setting_01_20.bmp", CButtonST::ALIGN_OVERLAY),
        Text("Str_OK"));
    Place(hwnd(), kOk);

    RECT owner{};
    if (HWND o = GetWindow(hwnd(), GW_OWNER)) GetWindowRect(o, &owner);
    SetWindowPos(hwnd(), nullptr, owner.left + kFromOwner.x, owner.top + kFromOwner.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

bool CAdvSetting::OnCommand(int id, int code) {
    switch (id) {
    case IDC_ADV_LOAD:
    case IDC_ADV_SAVE: {
        CMyFileDialog files(id == IDC_ADV_LOAD ? config_files::Mode::Load : config_files::Mode::Save, refreshViews_);
        files.DoModal(hwnd());
        return true;
    }
    case IDC_ADV_RESET:
        ResetToDefault();
        return true;
    case IDC_ADV_FIRMWARE: {
        const std::string text = Text("Str_CannotUpgrade");
        ShowMessage(hwnd(), CMessageDialog::kOk, text.c_str());
        return true;
    }
    case IDC_ADV_CLOSE:
    case IDC_ADV_OK:
    case IDOK:  // Enter
        End(IDOK);
        return true;
    default:
        return Dialog::OnCommand(id, code);
    }
}

// The factory profiles become changes that the main window applies or
// abandons: neither the mouse nor g_SavedRecord is touched. A defaults file
// that cannot be read leaves the edited settings as they were, and says so.
void CAdvSetting::ResetToDefault() {
    Vantor* profiles = g_pDevice ? g_pDevice->pProfile : nullptr;
    if (profiles) {
        if (!LoadProfileFile(*profiles, g_WorkRecord, "__default.xml")) {
            const std::string text = Text("Str_LoadConfigErr");
            ShowMessage(hwnd(), CMessageDialog::kOk, text.c_str());
        }
    }
    if (refreshViews_) refreshViews_();
}
