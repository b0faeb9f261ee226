#include "ui/config/file_dialog_win.h"

#include <cstdio>

#include "core/app_globals_win.h"
#include "core/resource.h"
#include "device/device_globals.h"
#include "profile_store/profiles/vantor.h"
#include "ui/framework/message_dialog_win.h"
#include "ui/framework/skin_win.h"

using skin::Place;
using skin::Text;
using skin::kSilver;
using skin::kWhite;
using config_files::Mode;
using config_files::Outcome;

namespace {

// The name field sits in a dark well of the background.
constexpr COLORREF kEditBack = RGB(0x0B, 0x0C, 0x0F);
constexpr COLORREF kSelectedText = 0xFFFF00;  // a COLORREF: red in the low byte

// The layout in client pixels. The title reaches across the dialog; the OK
// and cancel plates keep their template height and overlap by a few pixels.
constexpr int kTitleY = 10;
constexpr skin::Spot kLayout[] = {
    {IDC_FILES_LIST, 75, 66},
    {IDC_FILES_UP, 74, 43},
    {IDC_FILES_DOWN, 74, 264},
    {IDC_FILES_NAME_LABEL, 50, 298, 65},
    {IDC_FILES_NAME, 114, 300, 109, 16},
};
constexpr skin::Spot kOkPlate{IDC_FILES_OK, 68, 327, 85};
constexpr skin::Spot kCancelPlate{IDC_FILES_CANCEL, 145, 327, 100};
// The dialog's left from its owner's, and its gap above or below the owner.
constexpr int kFromOwnerX = 70;
constexpr int kOwnerGap = 10;

Vantor* Profiles() { return g_pDevice ? g_pDevice->pProfile : nullptr; }

unsigned char* FileName(const std::string& file) {
    return reinterpret_cast<unsigned char*>(const_cast<char*>(file.c_str()));
}

}  // namespace

CMyFileDialog::CMyFileDialog(Mode mode, std::function<void()> refreshViews)
    : Dialog(IDD_CONFIG_FILES), mode_(mode), refreshViews_(std::move(refreshViews)) {}

BOOL CMyFileDialog::OnInitDialog() {
    skin::SetUpWindow(*this, {.background = "\\load\\load_bg.bmp"});
    SetUpControls();
    PlaceNearOwner();
    FillList();
    return FALSE;  // the name field has the focus
}

void CMyFileDialog::SetUpControls() {
    const bool save = mode_ == Mode::Save;
    const int width = BackgroundSize().cx;

    skin::Button(title_, *this, IDC_FILES_TITLE, skin::WhiteCaption(save ? "\\save\\save_01_03.bmp" : nullptr, nullptr),
                 Text(save ? "Str_SaveConfig" : "Str_LoadConfig"));
    Place(*this, IDC_FILES_TITLE, 0, kTitleY, width);

    list_.SubclassDlgItem(IDC_FILES_LIST, hwnd());
    list_.SetFont(DialogFont(15), false);
    list_.SetColor(kWhite, kSelectedText, kWhite, false);
    list_.DrawTransparent();
    list_.SetBk(Background());

    skin::Button(up_, *this, IDC_FILES_UP, skin::WhiteCaption("\\load\\load_02_07.bmp", "\\load\\load_01_07.bmp"), "");
    skin::Button(down_, *this, IDC_FILES_DOWN, skin::WhiteCaption("\\load\\load_02_10.bmp", "\\load\\load_01_10.bmp"),
                 "");

    skin::Label(nameLabel_, *this, IDC_FILES_NAME_LABEL, Text("Str_Name"), kSilver);
    SendMessageA(Item(IDC_FILES_NAME), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont(15)), FALSE);
    Place(hwnd(), kLayout);

    // The plates' captions follow the image.
    const int okHeight = skin::HeightOf(hwnd(), IDC_FILES_OK);
    skin::Button(ok_, *this, IDC_FILES_OK,
                 skin::WhiteCaption(save ? "\\save\\save_02_15.bmp" : "\\load\\load_02_15.bmp",
                                    save ? "\\save\\save_01_15.bmp" : "\\load\\load_01_15.bmp"),
                 "     " + Text(save ? "Str_Save" : "Str_Load"));
    Place(*this, IDC_FILES_OK, kOkPlate.x, kOkPlate.y, kOkPlate.width, okHeight);
    const int cancelHeight = skin::HeightOf(hwnd(), IDC_FILES_CANCEL);
    skin::Button(cancel_, *this, IDC_FILES_CANCEL,
                 skin::WhiteCaption("\\load\\load_02_16.bmp", "\\load\\load_01_16.bmp"), Text("Str_Cancel"));
    Place(*this, IDC_FILES_CANCEL, kCancelPlate.x, kCancelPlate.y, kCancelPlate.width, cancelHeight);
    // The two overlap by a few pixels: cancel's image stays whole on top.
    SetWindowLongPtrA(Item(IDC_FILES_OK), GWL_STYLE,
                      GetWindowLongPtrA(Item(IDC_FILES_OK), GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(Item(IDC_FILES_CANCEL), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    editBrush_ = CreateSolidBrush(kEditBack);
    SetFocus(Item(IDC_FILES_NAME));
}

// Above the owner when there is room on the screen, else below it.
void CMyFileDialog::PlaceNearOwner() {
    const SIZE size = BackgroundSize();
    RECT owner{};
    if (HWND o = GetWindow(hwnd(), GW_OWNER)) GetWindowRect(o, &owner);
    int y = owner.top - size.cy - kOwnerGap;
    if (y < 1) y = owner.bottom + kOwnerGap;
    SetWindowPos(hwnd(), nullptr, owner.left + kFromOwnerX, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<std::string> CMyFileDialog::ProfileFiles() const {
    Vantor* profiles = Profiles();
    if (!profiles) return {};
    unsigned char names[kProfileNameSize * kProfileNameSlots] = {};
    profiles->GetAllProfileName(g_WorkRecord.data(), names);
    return config_files::UserProfileFiles(names, sizeof names);
}

void CMyFileDialog::FillList() {
    for (const std::string& file : ProfileFiles()) list_.AddString(config_files::ListedName(file).c_str());
}

// A file of the device folder ("%s\Database\VID%.4x_PID%.4x" of the current
// folder and the record's IDs), whether or not the name list holds it.
bool CMyFileDialog::FileExists(const std::string& file) const {
    char dir[MAX_PATH * 2] = "";
    const DWORD n = GetCurrentDirectoryA(sizeof dir, dir);
    if (n == 0 || n >= sizeof dir) return false;
    char path[MAX_PATH * 3];
    const unsigned char* r = g_WorkRecord.data();
    std::snprintf(path, sizeof path, "%s\\Database\\VID%.4x_PID%.4x\\%s", dir, record::Get16(r, record::kVendorID),
                  record::Get16(r, record::kProductID), file.c_str());
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool CMyFileDialog::OnCommand(int id, int code) {
    switch (id) {
    case IDC_FILES_OK:
        OnOK();
        return true;
    case IDC_FILES_CANCEL:
        End(IDCANCEL);
        return true;
    case IDC_FILES_UP:
        list_.ScrollUp(1);
        return true;
    case IDC_FILES_DOWN:
        list_.ScrollDown(1);
        return true;
    case IDC_FILES_LIST:
        if (code == LBN_SELCHANGE) {
            char text[kProfileNameSize + 1] = "";
            if (list_.GetText(list_.GetCurSel(), text, sizeof text) >= 0) SetDlgItemTextA(hwnd(), IDC_FILES_NAME, text);
        }
        return true;
    default:
        return Dialog::OnCommand(id, code);
    }
}

void CMyFileDialog::OnOK() {
    HWND edit = Item(IDC_FILES_NAME);
    name_.assign(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    name_.resize(static_cast<size_t>(GetWindowTextA(edit, name_.data(), static_cast<int>(name_.size()))));

    const bool exists = config_files::IsValidName(name_) && FileExists(name_ + ".xml");
    const config_files::Decision d = config_files::DecideOk(mode_, name_, ProfileFiles(), exists);
    switch (d.outcome) {
    case Outcome::Nothing:
        return;
    case Outcome::InvalidName:
        Tell("Str_InvalidName");
        return;
    case Outcome::Reserved:
        Tell("Str_ExitAlready");
        return;
    case Outcome::FileNotFound:
        Tell("Str_FileNotFound");
        End(IDCANCEL);
        return;
    case Outcome::Load:
        Load(d.file);
        return;
    case Outcome::AskOverwrite: {
        const std::string question = Text("Str_ExitAlready");
        if (ShowMessage(hwnd(), CMessageDialog::kYesNo, question.c_str()) != 1) {
            End(IDOK);  // declined: nothing is written
            return;
        }
        Save(d.file);
        return;
    }
    case Outcome::Save:
        Save(d.file);
        return;
    }
}

// All or nothing, and whatever the file lacks keeps its value.
void CMyFileDialog::Load(const std::string& file) {
    Vantor* profiles = Profiles();
    if (!profiles || !LoadProfileFile(*profiles, g_WorkRecord, file.c_str())) {
        Tell("Str_LoadConfigErr");
        return;
    }
    if (refreshViews_) refreshViews_();
    End(IDOK);
}

// Files keep the button order of the profile files: a reordered copy is
// saved, the edited settings stay as they are.
void CMyFileDialog::Save(const std::string& file) {
    Vantor* profiles = Profiles();
    ProfileRecord copy = g_WorkRecord;
    RevertButtonMap(copy.data());
    if (!profiles || !profiles->SaveVantorProfile(copy.data(), FileName(file))) {
        Tell("Str_SaveConfigErr");
        return;
    }
    End(IDOK);
}

void CMyFileDialog::Tell(const char* key) {
    const std::string text = Text(key);
    ShowMessage(hwnd(), CMessageDialog::kOk, text.c_str());
}

bool CMyFileDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_CTLCOLOREDIT && reinterpret_cast<HWND>(lParam) == Item(IDC_FILES_NAME)) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, kWhite);
        SetBkColor(dc, kEditBack);
        result = reinterpret_cast<LRESULT>(editBrush_);
        return true;
    }
    return false;
}

void CMyFileDialog::OnDestroy() {
    if (editBrush_) DeleteObject(editBrush_);
    editBrush_ = nullptr;
}
