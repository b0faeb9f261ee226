#include "ui/main/main_window_win.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "core/app_globals_win.h"
#include "core/app_messages_win.h"
#include "core/resource.h"
#include "device/device_globals.h"
#include "device/record_copies.h"
#include "korelle_version.h"
#include "profile_store/profiles/vantor.h"
#include "ui/config/adv_setting_win.h"
#include "ui/framework/message_dialog_win.h"
#include "ui/framework/side_panel_win.h"
#include "ui/framework/skin_win.h"
#include "ui/macro/debug_dialogs_win.h"
#include "ui/macro/key_dialog_win.h"
#include "ui/macro/tm_dialog_win.h"
#include "ui/main/detail_dialogs_win.h"
#include "ui/main/device_seams_win.h"
#include "ui/main/menu_dialog_win.h"

using namespace skin;

namespace {

constexpr int kLabelIds[7] = {IDC_MAIN_LABEL_0, IDC_MAIN_LABEL_1, IDC_MAIN_LABEL_2, IDC_MAIN_LABEL_3,
                              IDC_MAIN_LABEL_4, IDC_MAIN_LABEL_5, IDC_MAIN_LABEL_6};
constexpr int kLineIds[7] = {IDC_MAIN_LINE_0, IDC_MAIN_LINE_1, IDC_MAIN_LINE_2, IDC_MAIN_LINE_3,
                             IDC_MAIN_LINE_4, IDC_MAIN_LINE_5, IDC_MAIN_LINE_6};
constexpr int kProfileIds[5] = {IDC_MAIN_PROFILE_0, IDC_MAIN_PROFILE_1, IDC_MAIN_PROFILE_2, IDC_MAIN_PROFILE_3,
                                IDC_MAIN_PROFILE_4};
constexpr int kPollingIds[3] = {IDC_MAIN_POLLING_0, IDC_MAIN_POLLING_1, IDC_MAIN_POLLING_2};
constexpr int kDpiIds[4] = {IDC_MAIN_DPI_0, IDC_MAIN_DPI_1, IDC_MAIN_DPI_2, IDC_MAIN_DPI_3};

struct LabelPlace {
    int x, y, width, lineX, lineY;
};
constexpr int kLabelHeight = 20;
// Each label keeps clear of its connecting line: the left ones end 2 pixels
// before their line starts, the right ones start 4 pixels after it ends.
constexpr LabelPlace kLabels[7] = {{5, 208, 140, 147, 131},   {12, 235, 149, 163, 169}, {30, 258, 149, 181, 188},
                                   {406, 131, 155, 274, 138}, {404, 165, 154, 306, 151}, {398, 196, 150, 318, 165},
                                   {384, 225, 152, 318, 183}};

// The image buttons without a caption: skin files (hot, normal) and place.
struct ImageButton {
    int id;
    const char* hot;
    const char* normal;
    int x, y;
};
constexpr ImageButton kImageButtons[] = {
    {IDC_MAIN_CLOSE, "\\central\\central_02_20.bmp", "\\central\\central_01_20.bmp", 432, 51},
    {IDC_MAIN_ABOUT, "\\central\\central_02_19.bmp", "\\central\\central_01_19.bmp", 419, 30},
    {IDC_MAIN_HELP, "\\central\\central_02_21.bmp", "\\central\\central_01_21.bmp", 434, 77},
    {IDC_MAIN_LEFT_TOGGLE, "\\central\\central_02_7.bmp", "\\central\\central_01_7.bmp", 23, 112},
    {IDC_MAIN_RIGHT_TOGGLE, "\\central\\central_02_11.bmp", "\\central\\central_01_11.bmp", 409, 259},
    {IDC_MAIN_WEB, "\\central\\central_02_3.bmp", "\\central\\central_01_3.bmp", 190, 30},
};

// The captioned image buttons and the logo, in their images' size.
constexpr Spot kApply{IDC_MAIN_APPLY, 171, 417};
constexpr Spot kAbandon{IDC_MAIN_ABANDON, 335, 415};
constexpr Spot kLogo{IDC_MAIN_LOGO, 220, 434};
// The text buttons are taller than their template by grow pixels.
constexpr Spot kAdvanced{IDC_MAIN_ADVANCED, 218, 302};
constexpr int kAdvancedGrow = 6;
// Rows of fixed texts: where the first one goes; each is 7 pixels a
// character wide and 1 pixel from the next. The profile numbers are 15
// wide, 22 apart.
struct Row {
    int x, y, grow;
};
constexpr Row kPollingRow{224, 320, 2};
constexpr Row kDpiRow{222, 334, 8};
constexpr Row kProfileRow{224, 354, 2};
constexpr int kProfileWidth = 15;
constexpr int kProfilePitch = 22;
// The titles left of the rows, at least a line of the 15-high font tall:
// the template's height would cut it.
constexpr Spot kTitles[4] = {{IDC_MAIN_TITLE_CONFIG, 105, 304, 110},
                             {IDC_MAIN_TITLE_POLLING, 105, 320, 110},
                             {IDC_MAIN_TITLE_DPI, 105, 336, 110},
                             {IDC_MAIN_TITLE_PROFILE, 105, 354, 110}};
constexpr int kTitleMinHeight = 16;

// Where the windows beside this one open, from its top left, and where they
// follow it to when it moves.
constexpr POINT kMenuAt{198, 76};
constexpr POINT kMenuFollows{192, 80};
constexpr POINT kRightPanelAt{380, 220};
constexpr POINT kRightPanelFollows{400, 220};
constexpr POINT kLeftPanelAt{-115, 50};
constexpr POINT kEditorFollows{70, 50};
constexpr POINT kDelayFollows{160, 300};

constexpr char kFileVersion[] = KORELLE_VERSION_TEXT;  // the About page's "File"

// The name a label shows for a code; a code no function has (only a
// damaged file could hold one) shows nothing rather than reading past the
// names.
const char* LabelText(int code) { return code >= 0 && code < kFunctionCount ? g_szFunName[code] : ""; }

// Checks buttons[index] and unchecks the rest.
template <std::size_t N>
void CheckOnly(CButtonST (&buttons)[N], int index) {
    for (int i = 0; i < static_cast<int>(N); ++i) buttons[i].SetCheck(i == index ? BST_CHECKED : BST_UNCHECKED);
}

VOID CALLBACK ShowFunctionDialogSoon(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_pMainDlg) app_messages::PostShowFunctionDialog(g_pMainDlg->hwnd());
}

unsigned char* CurrentBlock() { return g_WorkRecord.data() + record::ProfileOffset(g_WorkRecord.data(), g_nCurProfile); }

}  // namespace

// ---- main window ----

CKorelleDlg::CKorelleDlg() : Dialog(IDD_MAIN) {}

CKorelleDlg::~CKorelleDlg() {
    if (icon_) DestroyIcon(icon_);
}

BOOL CKorelleDlg::OnInitDialog() {
    icon_ = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_KORELLE), IMAGE_ICON, 0, 0,
                                          LR_DEFAULTSIZE));
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    g_WorkRecord = ProfileRecord{};
    // The controls are skinned while the start-up read's fixed waits run on
    // their own thread; the window stays hidden, unmoved and still until the
    // device context exists.
    BuildSkin();

    // The device context, the working file, the saved copy and the
    // comparison with the mouse.
    const std::optional<ReadOpening> opening = startup_read::Take();
    g_pDevice = WithDeviceLink(hwnd(), [&opening](DeviceLink& link) {
        return link.CreateDeviceContext(g_pfnCreateQXClassInstance, opening ? &*opening : nullptr);
    });
    if (!g_pDevice) {
        // The message was shown; the program ends without showing this window.
        SetWindowLongPtrA(hwnd(), GWL_STYLE, GetWindowLongPtrA(hwnd(), GWL_STYLE) & ~WS_VISIBLE);
        PostMessageA(GetWindow(hwnd(), GW_OWNER), WM_QUIT, 0, 0);
        return TRUE;
    }
    started_ = true;

    const SIZE size = BackgroundSize();
    SetWindowPos(hwnd(), nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - size.cx / 2,
                 GetSystemMetrics(SM_CYSCREEN) / 2 - size.cy / 2, size.cx, size.cy, SWP_NOZORDER);
    logo_.StartAnimation();
    RefreshView();
    return TRUE;
}

void CKorelleDlg::BuildSkin() {
    HWND dialog = hwnd();
    HFONT font = SetUpWindow(*this, {.background = "\\central\\central_bg.bmp"});
    HBITMAP bg = Background();
    auto image = [&](CButtonST& button, int id, const char* hot, const char* normal, int x, int y) {
        Button(button, dialog, id, {hot, normal}, "", font, bg);
        Place(dialog, id, x, y);
    };
    // In the order of kImageButtons.
    CButtonST* images[] = {&close_, &about_, &help_, &leftToggle_, &rightToggle_, &web_};
    for (int i = 0; i < static_cast<int>(std::size(kImageButtons)); ++i) {
        const ImageButton& b = kImageButtons[i];
        image(*images[i], b.id, b.hot, b.normal, b.x, b.y);
    }

    ButtonLook look{"\\central\\apply_02.bmp", "\\central\\apply_01.bmp", kKey7F, kCyan, kSilver};
    Button(apply_, dialog, IDC_MAIN_APPLY, look, Text("Str_Apply").c_str(), font, bg);
    Place(dialog, kApply);
    look.hot = "\\central\\abandon_02.bmp";
    look.normal = "\\central\\abandon_01.bmp";
    Button(abandon_, dialog, IDC_MAIN_ABANDON, look, Text("Str_Abandon").c_str(), font, bg);
    Place(dialog, kAbandon);

    const ButtonLook text{nullptr, nullptr, kKey, kCyan, kSilver};
    Button(advanced_, dialog, IDC_MAIN_ADVANCED, text, Text("Str_SaveLoad").c_str(), font, bg);
    Place(dialog, kAdvanced.id, kAdvanced.x, kAdvanced.y, 0, HeightOf(dialog, kAdvanced.id) + kAdvancedGrow);

    for (int b = 0; b < 7; ++b) {
        Label(labels_[b], dialog, kLabelIds[b], "", kSilver, font, bg);
        labels_[b].SetTarget(dialog);
        labels_[b].SetButton(b, 0);
        labels_[b].SetLine(Item(kLineIds[b]));
        Place(dialog, kLabelIds[b], kLabels[b].x, kLabels[b].y, kLabels[b].width, kLabelHeight);
    }
    for (int i = 0; i < 7; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "\\line\\%d%d.bmp", i, i);
        image(lines_[i], kLineIds[i], line, line, kLabels[i].lineX, kLabels[i].lineY);
        ShowWindow(Item(kLineIds[i]), SW_HIDE);
    }
    for (int i = 0; i < 5; ++i) {
        Button(profiles_[i], dialog, kProfileIds[i], text, std::to_string(i + 1).c_str(), font, bg);
        Place(dialog, kProfileIds[i], kProfileRow.x + kProfilePitch * i, kProfileRow.y, kProfileWidth,
              HeightOf(dialog, kProfileIds[i]) + kProfileRow.grow);
    }
    auto row = [&](CButtonST* buttons, const int* ids, const char* const* captions, int count, const Row& at) {
        int x = at.x;
        for (int i = 0; i < count; ++i) {
            const int width = 7 * static_cast<int>(std::strlen(captions[i]));
            Button(buttons[i], dialog, ids[i], text, captions[i], font, bg);
            Place(dialog, ids[i], x, at.y, width, HeightOf(dialog, ids[i]) + at.grow);
            x += width + 1;
        }
    };
    const char* const dpiTexts[3] = {"800dpi", "1600dpi", "2000dpi"};
    row(dpi_ + 1, kDpiIds + 1, dpiTexts, 3, kDpiRow);
    ShowWindow(Item(IDC_MAIN_DPI_0), SW_HIDE);
    const char* const pollingTexts[3] = {"100 T/S", "500 T/S", "1000 T/S"};
    row(polling_, kPollingIds, pollingTexts, 3, kPollingRow);

    const char* const titleKeys[4] = {"Str_Config", "Str_Polling", "Str_DPI", "Str_Profile"};
    for (int i = 0; i < 4; ++i) {
        const Spot& t = kTitles[i];
        Label(titles_[i], dialog, t.id, Text(titleKeys[i]).c_str(), kSilver, font, bg);
        Place(dialog, t.id, t.x, t.y, t.width, std::max(HeightOf(dialog, t.id), kTitleMinHeight));
    }

    Button(logo_, dialog, IDC_MAIN_LOGO, {"\\Logo\\ball0000.bmp", "\\Logo\\ball0000.bmp", kKey7F}, "", font, bg);
    Place(dialog, kLogo);
}

void CKorelleDlg::SetLabel(int button, int code) {
    if (button < 0 || button >= 7) return;
    labels_[button].SetButton(button, code);
    labels_[button].SetText(LabelText(code));
    labels_[button].SetTextColor(kSilver);
}

void CKorelleDlg::RefreshView() {
    const int buttons = static_cast<int>(record::ButtonNum(g_WorkRecord.data()));
    for (int b = 0; b < buttons && b < 7; ++b) SetLabel(b, mainwin::FunctionOf(g_WorkRecord, g_nCurProfile, b));
    CheckOnly(profiles_, g_nCurProfile);
    const unsigned char* block = CurrentBlock();
    CheckOnly(polling_, block[record::kSensorPollRate]);
    CheckOnly(dpi_, block[record::kDPI]);
}

void CKorelleDlg::RefreshOpenPanels() {
    if (g_bRightPanelOpen && g_pRightPanel) g_pRightPanel->Refresh();
    if (g_bLeftPanelOpen && g_pLeftPanel) g_pLeftPanel->Refresh();
}

void CKorelleDlg::AssignFunction(int code) {
    if (detailOpen_) return;       // a choice under an open detail dialog or refusal changes nothing
    if (g_nSelButton < 0) return;  // no button since the last profile switch
    if (mainwin::AssignFunction(g_WorkRecord, g_nCurProfile, g_nSelButton, code) == mainwin::AssignResult::Refused) {
        SetDetailOpen(true);
        ShowMessage(hwnd(), CMessageDialog::kOk, Text("Str_Need1Button").c_str());
        SetDetailOpen(false);
        return;
    }
    SetLabel(g_nSelButton, code);
    SetTimer(nullptr, 0, 100, ShowFunctionDialogSoon);
}

void CKorelleDlg::ToggleMenu(int button) {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    if (menu_ && IsWindowVisible(menu_->hwnd())) {
        if (button != g_nSelButton) {
            menu_->StartFade(mainwin::MenuFade::kFadeOutThenIn);
            g_nSelButton = button;
        } else {
            menu_->StartFade(mainwin::MenuFade::kFadeOut);
        }
        return;
    }
    if (!menu_) {
        menu_ = std::make_unique<CMenuDialog>();
        if (!menu_->CreateModeless(hwnd())) {
            menu_.reset();
            return;
        }
    }
    SetWindowPos(menu_->hwnd(), nullptr, r.left + kMenuAt.x, r.top + kMenuAt.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    menu_->StartFade(mainwin::MenuFade::kFadeIn, true);
    g_nSelButton = button;
}

void CKorelleDlg::SetDetailOpen(bool open) {
    detailOpen_ = open;
    if (!menu_) return;
    if (open && IsWindowVisible(menu_->hwnd())) menu_->StartFade(mainwin::MenuFade::kFadeOut);
    EnableWindow(menu_->hwnd(), !open);
}

void CKorelleDlg::OpenDetail(int button) {
    if (detailOpen_) return;  // a request posted before the open dialog came
    // The menu goes also when the request finds no button (a profile switch
    // came between the choice and the request).
    if (menu_ && IsWindowVisible(menu_->hwnd())) menu_->StartFade(mainwin::MenuFade::kFadeOut);
    if (button < 0) return;
    const int code = mainwin::FunctionOf(g_WorkRecord, g_nCurProfile, button);
    g_nSelButton = button;
    if (code == mainwin::kSwitchDpi) {
        SetDetailOpen(true);
        CDpiDialog dialog;
        dialog.DoModal(hwnd());
        SetDetailOpen(false);
    } else if (code == mainwin::kSelectProfile) {
        SetDetailOpen(true);
        CProfileDialog dialog;
        dialog.DoModal(hwnd());
        SetDetailOpen(false);
    } else if (code == mainwin::kMacro || code == mainwin::kSingle) {
        if (keyDialog_) return;  // one editor at a time
        // The delay dialog first, owned by this window; the editor is owned
        // by the delay dialog and starts with no delay selected.
        if (!tmDialog_) {
            tmDialog_ = std::make_unique<CTmDialog>();
            if (!tmDialog_->CreateModeless(hwnd())) tmDialog_.reset();
        }
        RECT r{};
        GetWindowRect(hwnd(), &r);
        const macro::EditorMode mode = code == mainwin::kMacro ? macro::EditorMode::Macro : macro::EditorMode::SingleKey;
        keyDialog_ = std::make_unique<CKeyDialog>(
            mode, POINT{r.left + CKeyDialog::kOpenOffsetX, r.top + CKeyDialog::kOpenOffsetY}, tmDialog_.get(),
            static_cast<MacroEditorOwner*>(this));
        if (!keyDialog_->CreateModeless(tmDialog_ ? tmDialog_->hwnd() : hwnd())) {
            keyDialog_.reset();
            tmDialog_.reset();
        }
    }
}

void CKorelleDlg::EnableTopWindows(bool enable) {
    const Dialog* windows[] = {this, g_pLeftPanel, g_pRightPanel};
    for (const Dialog* window : windows)
        if (window && window->hwnd()) EnableWindow(window->hwnd(), enable);
}

void CKorelleDlg::MacroEditorClosed() { app_messages::PostMacroEditorClosed(hwnd()); }

template <class Fn>
auto CKorelleDlg::WithDevice(Fn fn) {
    return WithDeviceLink(hwnd(), fn, [this](int frame) { PaintBusy(frame); });
}

void CKorelleDlg::PaintBusy(int frame) {
    SetCursor(LoadCursorA(nullptr, frame >= 0 ? IDC_WAIT : IDC_ARROW));
    logo_.ShowBusy(frame);
}

void CKorelleDlg::Apply() {
    WithDevice([](DeviceLink& link) { link.WriteToDevice(g_pDevice); });
}

void CKorelleDlg::Abandon() {
    std::memcpy(g_WorkRecord.data(), g_SavedRecord.data(), mainwin::AbandonSize(g_SavedRecord));
    RefreshView();
    RefreshOpenPanels();
}

void CKorelleDlg::Close() {
    if (g_WorkRecord != g_SavedRecord) {
        if (ShowMessage(hwnd(), CMessageDialog::kYesNo, Text("Str_DataChange").c_str()) == 1) {
            Apply();
            // A failed write was reported; stay open, and keep the change
            // where No cannot lose it.
            if (g_WorkRecord != g_SavedRecord) {
                KeepUnwrittenChange();
                return;
            }
        }
    }
    PostMessageA(GetWindow(hwnd(), GW_OWNER), WM_QUIT, 0, 0);
}

// Saves the change the mouse refused as a named configuration the user can
// load and apply later, once for each change however often Close fails.
void CKorelleDlg::KeepUnwrittenChange() {
    if (keptName_.empty() || keptRecord_ != g_WorkRecord) {
        Vantor* profiles = g_pDevice ? g_pDevice->pProfile : nullptr;
        const std::string name = profiles ? record_copies::SaveCopy(*profiles, g_WorkRecord, record_copies::kUnsavedPrefix,
                                                                    record_copies::LocalStamp())
                                          : std::string();
        if (name.empty()) {
            ShowMessage(hwnd(), CMessageDialog::kOk, Text("Str_SaveConfigErr").c_str());
            return;
        }
        keptRecord_ = g_WorkRecord;
        keptName_ = name;
    }
    ShowMessage(hwnd(), CMessageDialog::kOk, WithDetail(Text("Str_ChangeKept"), keptName_).c_str());
}

void CKorelleDlg::OpenHelpFile(const char* relative) {
    const std::string path = std::string(g_szAppPath) + relative;
    ShellExecuteA(hwnd(), "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CKorelleDlg::About() {
    if (g_bDebug) {
        // The record view, with the button blocks in file order.
        ProfileRecord record = g_WorkRecord;
        RevertButtonMap(record.data());
        CDebugDlg view(record);
        view.DoModal(hwnd());
        return;
    }
    int hardware = 0, firmware = 0;
    WithDevice([&](DeviceLink& link) { return link.QueryDeviceInfo(hardware, firmware); });
    unsigned char info[4 * kProductInfoField] = {};
    std::snprintf(reinterpret_cast<char*>(info), kProductInfoField, "%.*s", static_cast<int>(record::kNameSize),
                  reinterpret_cast<const char*>(g_WorkRecord.data() + record::kName));
    std::snprintf(reinterpret_cast<char*>(info + kProductInfoField), kProductInfoField, "%s", kFileVersion);
    std::snprintf(reinterpret_cast<char*>(info + 2 * kProductInfoField), kProductInfoField, "%d", firmware);
    std::snprintf(reinterpret_cast<char*>(info + 3 * kProductInfoField), kProductInfoField, "%d", hardware);
    if (g_pDevice && g_pDevice->pProfile) CallWriteProductInfo(*g_pDevice->pProfile, info);
    OpenHelpFile("\\Help\\about.xml");
}

void CKorelleDlg::TogglePanel(bool right) {
    SidePanel* panel = right ? g_pRightPanel : g_pLeftPanel;
    int& open = right ? g_bRightPanelOpen : g_bLeftPanelOpen;
    RECT r{};
    GetWindowRect(hwnd(), &r);
    if (panel) {
        if (!open)
            right ? panel->Open(r.left + kRightPanelAt.x, r.top + kRightPanelAt.y)
                  : panel->Open(r.left + kLeftPanelAt.x, r.top + kLeftPanelAt.y);
        else
            panel->Close();
    }
    open = !open;
    (right ? rightToggle_ : leftToggle_).SetCheck(open ? BST_CHECKED : BST_UNCHECKED);
}

void CKorelleDlg::SelectProfile(int profile) {
    if (profile == g_nCurProfile) {
        CheckOnly(profiles_, profile);
        return;
    }
    g_nCurProfile = profile;
    RefreshView();
    g_nSelButton = -1;
    WithDevice([](DeviceLink& link) { return link.SwitchProfile(); });
}

void CKorelleDlg::SelectPolling(int index) {
    CurrentBlock()[record::kSensorPollRate] = static_cast<unsigned char>(index);
    CheckOnly(polling_, index);
}

void CKorelleDlg::SelectDpi(int index) {
    CurrentBlock()[record::kDPI] = static_cast<unsigned char>(index);
    CheckOnly(dpi_, index);
}

bool CKorelleDlg::OnCommand(int id, int code) {
    if (!started_) return true;
    for (int i = 0; i < 5; ++i)
        if (id == kProfileIds[i]) return SelectProfile(i), true;
    for (int i = 0; i < 3; ++i)
        if (id == kPollingIds[i]) return SelectPolling(i), true;
    for (int i = 0; i < 4; ++i)
        if (id == kDpiIds[i]) return SelectDpi(i), true;
    switch (id) {
    case IDC_MAIN_APPLY: Apply(); return true;
    case IDC_MAIN_ABANDON: Abandon(); return true;
    case IDC_MAIN_CLOSE: Close(); return true;
    case IDC_MAIN_HELP: OpenHelpFile("\\Help\\help.xml"); return true;
    case IDC_MAIN_ABOUT: About(); return true;
    case IDC_MAIN_WEB: {
        char address[512] = "";
        GetPrivateProfileStringA("SystemInfo.Desc", "WebSite", "", address, sizeof address, g_szSetupIni);
        if (address[0]) ShellExecuteA(hwnd(), "open", address, nullptr, nullptr, SW_SHOWNORMAL);
        return true;
    }
    case IDC_MAIN_ADVANCED: {
        CAdvSetting advanced([this] {
            RefreshView();
            RefreshOpenPanels();
        });
        advanced.DoModal(hwnd());
        return true;
    }
    case IDC_MAIN_LEFT_TOGGLE: TogglePanel(false); return true;
    case IDC_MAIN_RIGHT_TOGGLE: TogglePanel(true); return true;
    default: return Dialog::OnCommand(id, code);
    }
}

void CKorelleDlg::OnTimer(UINT_PTR id) {
    if (id != kClickTimer) return;
    StopTimer(kClickTimer);
    switch (click_.OnTimer()) {
    case mainwin::ClickDecision::Action::ToggleMenu: ToggleMenu(click_.ClickButton()); break;
    case mainwin::ClickDecision::Action::OpenDetail: OpenDetail(click_.ClickButton()); break;
    case mainwin::ClickDecision::Action::None: break;
    }
    click_.Finished();
}

void CKorelleDlg::FollowMove(int x, int y) {
    auto follow = [x, y](const Dialog& window, POINT offset) { PostMoveTo(window.hwnd(), x + offset.x, y + offset.y); };
    if (g_bRightPanelOpen && g_pRightPanel) follow(*g_pRightPanel, kRightPanelFollows);
    if (g_bLeftPanelOpen && g_pLeftPanel) follow(*g_pLeftPanel, kLeftPanelAt);
    if (menu_ && IsWindowVisible(menu_->hwnd())) follow(*menu_, kMenuFollows);
    if (keyDialog_ && IsWindowVisible(keyDialog_->hwnd())) follow(*keyDialog_, kEditorFollows);
    if (tmDialog_ && IsWindowVisible(tmDialog_->hwnd())) follow(*tmDialog_, kDelayFollows);
}

bool CKorelleDlg::OnMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (!started_) return false;
    if (const auto label = app_messages::ReadLabelMessage(msg)) {
        if (!label->doubleClick) {
            StartTimer(kClickTimer, click_.OnClick(label->button, GetDoubleClickTime()));
        } else {
            StopTimer(kClickTimer);
            StartTimer(kClickTimer, click_.OnDoubleClick());
        }
        return true;
    }
    switch (msg) {
    case MSG_SHOW_FUNCTION_DIALOG:
        OpenDetail(g_nSelButton);
        return true;
    case MSG_MACRO_EDITOR_CLOSED:
        // The delay dialog first: the editor it owns goes down with it.
        tmDialog_.reset();
        keyDialog_.reset();
        return true;
    case WM_MOVE:
        FollowMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return false;
    default:
        return false;
    }
}

void CKorelleDlg::OnDestroy() {
    menu_.reset();
    DeviceLink::DestroyDeviceContext(g_pDevice);
    g_pDevice = nullptr;
}
