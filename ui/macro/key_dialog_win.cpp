#include "ui/macro/key_dialog_win.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>

#include "core/app_globals_win.h"
#include "core/hook_area.h"
#include "core/resource.h"
#include "device/device_globals.h"
#include "ui/framework/message_dialog_win.h"
#include "ui/framework/skin_win.h"
#include "ui/macro/debug_dialogs_win.h"
#include "ui/macro/tm_dialog_win.h"

using namespace skin;

namespace {

constexpr COLORREF kLabelHot = RGB(0x00, 0xFF, 0xFF);  // 0xFFFF00
constexpr COLORREF kLabelNormal = RGB(0x7A, 0x7A, 0x7A);

constexpr char kRecordHot[] = "\\macro\\macro_02_15.bmp";
constexpr char kRecordNormal[] = "\\macro\\macro_01_15.bmp";
constexpr char kRecordBlinkOn[] = "\\macro\\macro_02_15_01.bmp";
constexpr char kRecordBlinkOff[] = "\\macro\\macro_02_15_02.bmp";

// The editor's layout in client pixels. The title reaches across the
// editor; the image buttons, the image beside the caption, keep their
// template size, wider by extraWidth.
constexpr int kTitleY = 10;
struct ImageButton {
    int id;
    const char* hot;
    const char* normal;
    const char* indent;  // before the caption
    const char* key;
    int x, y, extraWidth;
};
constexpr ImageButton kImageButtons[] = {
    {IDC_MACRO_VIEW, "\\macro\\macro_02_24.bmp", "\\macro\\macro_01_24.bmp", " ", "Str_View", 28, 76, 0},
    {IDC_MACRO_RECORD, kRecordHot, kRecordNormal, " ", "Str_Record", 28, 109, 0},
    {IDC_MACRO_CONTINUE, "\\macro\\macro_02_10.bmp", "\\macro\\macro_01_10.bmp", "  ", "Str_ContinueClick", 280, 76,
     50},
    {IDC_MACRO_TOGGLE, "\\macro\\macro_02_17.bmp", "\\macro\\macro_01_17.bmp", "  ", "Str_ToggleClick", 280, 109, 0},
    {IDC_MACRO_APPLY, "\\macro\\macro_02_20.bmp", "\\macro\\macro_01_20.bmp", "    ", "Str_Apply", 280, 146, 0},
    {IDC_MACRO_CANCEL, "\\macro\\macro_02_23.bmp", "\\macro\\macro_01_23.bmp", "    ", "Str_Cancel", 280, 169, 0},
};
constexpr Spot kRemainTexts[] = {{IDC_MACRO_REMAIN_CAPTION, 20, 149}, {IDC_MACRO_REMAIN, 99, 149}};

volatile hook_area::HookArea* Area() { return reinterpret_cast<volatile hook_area::HookArea*>(g_pHookArea); }

// The button block the editor loads from and saves to.
std::optional<macro::ButtonBlock> SelectedBlock() {
    return macro::SelectedButton(g_WorkRecord.bytes, g_nCurProfile, g_nSelButton);
}

}  // namespace

// ---- Record button ----

void CRecordButtonST::StartBlinking() {
    lit_ = true;
    skin::SetImages(*this, kRecordBlinkOn, kRecordNormal);
    StartTimer(kBlinkTimer, kBlinkMs);
}

void CRecordButtonST::OnBlinkTick() {
    if (!GetCheck()) {
        StopTimer(kBlinkTimer);
        skin::SetImages(*this, kRecordHot, kRecordNormal);
        return;
    }
    lit_ = !lit_;
    skin::SetImages(*this, lit_ ? kRecordBlinkOn : kRecordBlinkOff, kRecordNormal);
}

void CRecordButtonST::OnTimer(UINT_PTR id) {
    if (id == kBlinkTimer) OnBlinkTick();
}

// ---- macro editor ----

CKeyDialog::CKeyDialog(macro::EditorMode mode, POINT at, CTmDialog* delay, MacroEditorOwner* owner)
    : Dialog(IDD_MACRO_EDITOR), mode_(mode), at_(at), delay_(delay), owner_(owner) {}

CKeyDialog::~CKeyDialog() {
    if (delay_) delay_->SetEditor(nullptr);
    // Destroyed here, while the object is whole, so that OnDestroy runs.
    if (hwnd()) DestroyWindow(hwnd());
}

BOOL CKeyDialog::OnInitDialog() {
    BuildSkin();

    // Label widths and the line height in the editor's 13-high font.
    HFONT font = DialogFont(13);
    model_ = std::make_unique<macro::MacroEditor>(mode_, [font](const char* text) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
        SelectObject(dc, old);
        DeleteDC(dc);
        return macro::TextExtent{size.cx, size.cy};
    });
    if (auto block = SelectedBlock())
        model_->Load(*block);
    else
        model_->Reset();
    SyncChecks();
    SyncView();

    if (volatile hook_area::HookArea* area = Area())
        area->EditorWindow = hook_area::StoredWindow(reinterpret_cast<std::uintptr_t>(hwnd()));
    if (delay_) delay_->SetEditor(this);
    EnableOwners(false);
    const SIZE size = BackgroundSize();
    SetWindowPos(hwnd(), nullptr, at_.x, at_.y, size.cx, size.cy, SWP_NOZORDER);
    return TRUE;
}

void CKeyDialog::BuildSkin() {
    HWND dialog = hwnd();
    HFONT font = SetUpWindow(*this, {.background = "\\macro\\macro_bg.bmp",
                                     .fontHeight = 13,
                                     .dragOnlyInDebug = true,
                                     .followsMainWindow = true});
    HBITMAP bg = Background();
    const SIZE size = BackgroundSize();
    const bool macroMode = mode_ == macro::EditorMode::Macro;

    ButtonLook title{nullptr, nullptr, kKey, macroMode ? kWhite : kSilver, kSilver};
    Button(title_, dialog, IDC_MACRO_TITLE, title, Text(macroMode ? "Str_MacroSetting" : "Str_SingleKeySetting").c_str(),
           font, bg);
    Place(dialog, IDC_MACRO_TITLE, 0, kTitleY, size.cx);

    const std::array<CButtonST*, 6> buttons = ImageButtons();
    for (int i = 0; i < static_cast<int>(std::size(kImageButtons)); ++i) {
        const ImageButton& b = kImageButtons[i];
        ButtonLook look{b.hot, b.normal};
        look.sizeToImage = false;
        Button(*buttons[i], dialog, b.id, look, (b.indent + Text(b.key)).c_str(), font, bg);
        RECT r{};
        GetWindowRect(Item(b.id), &r);
        Place(dialog, b.id, b.x, b.y, r.right - r.left + b.extraWidth);
    }

    Label(remainCaption_, dialog, IDC_MACRO_REMAIN_CAPTION, Text("Str_Remain").c_str(), kWhite, font, bg);
    Label(remain_, dialog, IDC_MACRO_REMAIN, "32", kWhite, font, bg);
    Place(dialog, kRemainTexts);

    const ButtonLook label{nullptr, nullptr, kKey, kLabelHot, kLabelNormal};
    for (int slot = 0; slot < macro::kKeyBufferSize; ++slot) {
        Button(labels_[slot], dialog, macro::kLabelIds[slot], label, "", font, bg);
        ShowWindow(Item(macro::kLabelIds[slot]), SW_HIDE);
    }
}

std::array<CButtonST*, 6> CKeyDialog::ImageButtons() {
    static_assert(std::size(kImageButtons) == 6);
    return {&view_, &record_, &continue_, &toggle_, &apply_, &cancel_};
}

void CKeyDialog::SyncLabel(int slot) {
    ShownLabel want;
    if (slot < model_->CurKeyIndex()) {
        const macro::KeyEvent& e = model_->KeyBuffer()[slot];
        want.visible = true;
        want.text = model_->LabelText(slot);
        want.tooltip = model_->LabelTooltip(slot);
        want.rect = {e.Left, e.Top, e.Right, e.Bottom};
    }
    ShownLabel& have = shown_[slot];
    HWND label = Item(macro::kLabelIds[slot]);
    if (!want.visible) {
        if (have.visible) ShowWindow(label, SW_HIDE);
        have = want;
        return;
    }
    if (want.text != have.text || !have.visible) SetWindowTextA(label, want.text.c_str());
    if (want.tooltip != have.tooltip) labels_[slot].SetTooltipText(want.tooltip.c_str());
    if (!have.visible || !EqualRect(&want.rect, &have.rect)) {
        // Above its siblings: a label may lie over the key strip's other controls.
        SetWindowPos(label, HWND_TOP, want.rect.left, want.rect.top, want.rect.right - want.rect.left,
                     want.rect.bottom - want.rect.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
    have = want;
}

void CKeyDialog::SyncView() {
    for (int slot = 0; slot < macro::kKeyBufferSize; ++slot) SyncLabel(slot);
    remain_.SetText(model_->RemainText().c_str());
}

void CKeyDialog::SyncChecks() {
    continue_.SetCheck(model_->ContinueChecked() ? BST_CHECKED : BST_UNCHECKED);
    toggle_.SetCheck(model_->ToggleChecked() ? BST_CHECKED : BST_UNCHECKED);
}

void CKeyDialog::SetRecordingLook(bool recording) {
    // Record blinks on its own.
    const std::array<CButtonST*, 6> buttons = ImageButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const ImageButton& b = kImageButtons[i];
        if (b.id != IDC_MACRO_RECORD) skin::SetImages(*buttons[i], recording ? b.normal : b.hot, b.normal);
    }
}

void CKeyDialog::SetHookFields(bool editor, unsigned captureMode) {
    volatile hook_area::HookArea* area = Area();
    if (!area) return;
    area->CaptureMode = static_cast<std::int32_t>(captureMode);
    const std::uint64_t self = hook_area::StoredWindow(reinterpret_cast<std::uintptr_t>(hwnd()));
    if (editor)
        area->EditorWindow = self;
    else if (area->EditorWindow == self)
        area->EditorWindow = 0;
}

void CKeyDialog::StartRecording() {
    SetRecordingLook(true);
    const bool selected = model_->StartRecording();  // clears the flags and the buffer
    SyncChecks();
    SyncView();
    SetHookFields(true, model_->CaptureMode());
    if (g_pfnInitKeyboard) g_pfnInitKeyboard();
    if (delay_ && (selected || IsWindowVisible(delay_->hwnd()))) RequestDelayDialog(macro::DelayDialogRequest::Close);
    record_.StartBlinking();
    // The keys being recorded also reach this window: keep them off the
    // buttons, where Space would click the focused one.
    SetFocus(Item(IDC_MACRO_REMAIN_CAPTION));
}

void CKeyDialog::StopRecording() {
    model_->StopRecording();  // adds the closing delay
    SetHookFields(true, 0);
    if (g_pfnUninitKeyboard) g_pfnUninitKeyboard();
    SetRecordingLook(false);
    SyncView();
}

void CKeyDialog::RequestDelayDialog(macro::DelayDialogRequest request) {
    if (!delay_ || request == macro::DelayDialogRequest::None) return;
    delay_->Request(request);
}

POINT CKeyDialog::DelayRestPoint() const {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    return {r.left + kDelayOffsetX, r.top + kDelayOffsetY};
}

macro::SliderChange CKeyDialog::MoveSlider(macro::Slider slider, int position) {
    const macro::SliderChange change = model_->MoveSlider(slider, position);
    if (change.outcome == macro::SliderChange::Accepted) {
        remain_.SetText(model_->RemainText().c_str());
        SyncLabel(model_->SelectedTimeIndex());  // its tooltip
    }
    return change;
}

void CKeyDialog::View() {
    if (model_->Recording()) return;
    CDebugMacroDlg::Block stored{};
    if (auto block = SelectedBlock()) std::copy(block->begin(), block->end(), stored.begin());
    CDebugMacroDlg view(*model_, stored);
    view.DoModal(hwnd());
}

void CKeyDialog::Close(bool save) {
    if (closing_ || model_->Recording()) return;
    if (save) {
        auto block = SelectedBlock();
        if (block && !model_->Save(*block)) {
            // The macro no longer fits: the editor stays open and the
            // button keeps what it had.
            ShowMessage(hwnd(), CMessageDialog::kOk, Text("Str_MacroTooLong").c_str());
            return;
        }
    }
    closing_ = true;  // a second click before the main window destroys us does nothing
    EnableOwners(true);
    if (owner_)
        owner_->MacroEditorClosed();
    else
        ShowWindow(hwnd(), SW_HIDE);
}

void CKeyDialog::EnableOwners(bool enable) {
    if (enable != ownersDisabled_) return;  // already in that state
    if (owner_) owner_->EnableTopWindows(enable);
    ownersDisabled_ = !enable;
}

bool CKeyDialog::OnCommand(int id, int code) {
    if (!model_) return Dialog::OnCommand(id, code);
    switch (id) {
    case IDC_MACRO_RECORD: {
        if (closing_) return true;
        const bool checked = record_.GetCheck() != 0;
        if (checked && !model_->Recording())
            StartRecording();
        else if (!checked && model_->Recording())
            StopRecording();
        return true;
    }
    case IDC_MACRO_CONTINUE:
        model_->ClickContinue();
        SyncChecks();  // while recording the boxes keep their state too
        return true;
    case IDC_MACRO_TOGGLE:
        model_->ClickToggle();
        SyncChecks();
        return true;
    case IDC_MACRO_APPLY: Close(true); return true;
    case IDC_MACRO_CANCEL: Close(false); return true;
    case IDC_MACRO_VIEW: View(); return true;
    default: break;
    }
    const int slot = macro::LabelSlot(id);
    if (slot < 0) return Dialog::OnCommand(id, code);
    RequestDelayDialog(slot % 2 == 0 ? model_->ClickKeyLabel() : model_->ClickDelayLabel(slot));
    return true;
}

bool CKeyDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != hook_area::MSG_HOOK_KEY || !model_) return false;
    const hook_area::KeyParam key = hook_area::UnpackKeyParam(static_cast<std::uint64_t>(lParam));
    const int before = model_->CurKeyIndex();
    result = model_->OnHookKey(static_cast<unsigned>(wParam), key.virtualKey, key.elapsedMs);
    if (model_->CurKeyIndex() != before) SyncView();
    return true;
}

void CKeyDialog::OnDestroy() {
    if (model_ && model_->Recording()) {
        model_->StopRecording();
        if (g_pfnUninitKeyboard) g_pfnUninitKeyboard();
    }
    SetHookFields(false, 0);
    EnableOwners(true);
}
