#include "ui/panels/tail3_dialog_win.h"

#include <cstdint>
#include <cstring>

#include "core/app_globals_win.h"
#include "core/hook_area.h"
#include "core/resource.h"
#include "device/device_globals.h"
#include "profile_store/record/profile_record.h"
#include "ui/framework/message_dialog_win.h"
#include "ui/framework/skin_win.h"

using panels::Thumb;

namespace {

constexpr COLORREF kWindowKey = 0x808080;
constexpr COLORREF kThumbKey = 0x7F7F7F;

// The speed label's height: a line of the 15-high font.
// The label's room: the panel's part beside the main window (the panel
// stands 115 pixels out of it), and two lines of the 15-high font.
constexpr int kLabelWidth = 86;
constexpr int kLabelHeight = 36;

constexpr Thumb kThumbs[] = {Thumb::PointerSpeed, Thumb::XRate, Thumb::YRate};
constexpr int kThumbIds[] = {IDC_LEFT_SPEED_THUMB, IDC_LEFT_X_RATE_THUMB, IDC_LEFT_Y_RATE_THUMB};
int ThumbId(Thumb thumb) { return kThumbIds[static_cast<int>(thumb)]; }

void PlaceAt(HWND dialog, int id, panels::Point at) { skin::Place(dialog, id, at.x, at.y); }

// The hook area's fields this panel writes. The area is shared with other
// processes, so it is read and written through volatile access.
volatile std::uint8_t* DragActive() {
    return g_pHookArea ? reinterpret_cast<volatile std::uint8_t*>(g_pHookArea + hook_area::kDragActiveOffset)
                       : nullptr;
}

void SetDragActive(std::uint8_t value) {
    if (volatile std::uint8_t* flag = DragActive()) *flag = value;
}

}  // namespace

LRESULT CTail3Dialog::ThumbButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A second press soon after a click arrives as a double click.
    if ((message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) && onPress && IsWindowEnabled(GetSafeHwnd()))
        onPress();
    return CButtonST::WindowProc(message, wParam, lParam);
}

CTail3Dialog::CTail3Dialog(panels::DesktopSettings& settings)
    : SlidingPanel(IDD_LEFT_PANEL, "\\left\\left_a\\left_a%04d.bmp", panels::kLeftPanelLastFrame, kSlideTimer,
                   settings) {}

CTail3Dialog::~CTail3Dialog() {
    if (finalBackground_) DeleteObject(finalBackground_);
}

BOOL CTail3Dialog::OnInitDialog() {
    SetUpWindow(kWindowKey);
    // The mouse hook runs for the panel's whole life and reports to its window.
    if (g_pfnInitMouse) g_pfnInitMouse();
    if (g_pHookArea) {
        const std::uint64_t window = hook_area::StoredWindow(reinterpret_cast<std::uintptr_t>(hwnd()));
        std::memcpy(g_pHookArea + hook_area::kLeftPanelWindowOffset, &window, sizeof window);
    }
    return TRUE;
}

void CTail3Dialog::BuildControls() {
    finalBackground_ = LoadBitmapFile(SkinFile("\\left\\left_a\\left_a0017.bmp"));
    HWND dialog = hwnd();
    HFONT font = DialogFont(15);
    HBITMAP background = ShownFrame();

    for (Thumb thumb : kThumbs) {
        ThumbButton& button = thumbButtons_[static_cast<int>(thumb)];
        skin::Button(button, dialog, ThumbId(thumb), skin::kWhiteText, "", font, background);  // an image only
        skin::SetImages(button, "\\left\\left\\left_02_02.bmp", "\\left\\left\\left_02_03.bmp", kThumbKey);
        button.SizeToContent();
        button.onPress = [this, thumb] {
            drag_.Press(thumb);
            SetDragActive(1);
        };
    }
    skin::Button(enableXY_, dialog, IDC_LEFT_ENABLE_XY, skin::kWhiteText, nullptr, font, background);
    skin::SetImages(enableXY_, "\\left\\left\\left_b_01_01.bmp", "\\left\\left\\left_b_01_01.bmp", kThumbKey);
    enableXY_.SizeToContent();
    skin::Label(label_, dialog, IDC_LEFT_SPEED_LABEL, nullptr, skin::kWhite, font, background);
    skin::Caption(dialog, IDC_LEFT_SPEED_LABEL, "Str_WindowPointerSpeed");
    // Only what lies left of the main window shows: the text wraps there.
    SetWindowPos(Item(IDC_LEFT_SPEED_LABEL), nullptr, 0, 0, kLabelWidth, kLabelHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Park();
}

void CTail3Dialog::OnDestroy() {
    if (g_pfnUninitMouse) g_pfnUninitMouse();
    if (g_pHookArea)
        std::memset(g_pHookArea + hook_area::kLeftPanelWindowOffset, 0,
                    hook_area::kDragActiveOffset + 1 - hook_area::kLeftPanelWindowOffset);
}

void CTail3Dialog::ReadLevels() {
    drag_.SetLevel(Thumb::PointerSpeed, panels::PointerSpeedLevel(settings().MouseSpeed()), true);
    const unsigned char* r = g_WorkRecord.data();
    enableXY_.SetCheck(r[record::kEnableXYFlag] & 1);
    drag_.SetLevel(Thumb::XRate, r[record::kXRate]);
    drag_.SetLevel(Thumb::YRate, r[record::kYRate]);
}

void CTail3Dialog::Refresh() {
    ReadLevels();
    if (slide().IsOpen()) Place();
    Repaint();
}

void CTail3Dialog::OnSlidOut() {
    ReadLevels();
    Place();
}

void CTail3Dialog::MoveThumb(Thumb thumb) {
    PlaceAt(hwnd(), ThumbId(thumb), panels::TrackPosition(thumb, drag_.Level(thumb)));
}

void CTail3Dialog::Place() {
    for (Thumb thumb : kThumbs) MoveThumb(thumb);
    PlaceAt(hwnd(), IDC_LEFT_ENABLE_XY, panels::kCheckBoxAt);
    PlaceAt(hwnd(), IDC_LEFT_SPEED_LABEL, panels::kLabelAt);
    ShowWindow(Item(IDC_LEFT_SPEED_LABEL), SW_SHOWNA);
}

void CTail3Dialog::Park() {
    for (int id : kThumbIds) PlaceAt(hwnd(), id, panels::kParkedAt);
    PlaceAt(hwnd(), IDC_LEFT_ENABLE_XY, panels::kParkedAt);
    ShowWindow(Item(IDC_LEFT_SPEED_LABEL), SW_HIDE);
}

bool CTail3Dialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == hook_area::MSG_HOOK_MOUSE) {
        OnHookMouse(wParam, lParam);
        result = 0;
        return true;
    }
    return SlidingPanel::OnMessage(msg, wParam, lParam, result);
}

void CTail3Dialog::OnHookMouse(WPARAM message, LPARAM point) {
    volatile std::uint8_t* flag = DragActive();
    if (!flag || *flag != 1) return;
    if (message == hook_area::kWmMouseMove || message == hook_area::kWmNcMouseMove) {
        const hook_area::MouseParam at = hook_area::UnpackMouseParam(static_cast<std::uint64_t>(point));
        POINT client{at.x, at.y};
        ScreenToClient(hwnd(), &client);
        if (drag_.Move(client.y)) {
            MoveThumb(*drag_.Dragged());
            UpdateWindow(hwnd());
        }
    } else if (message == hook_area::kWmLButtonUp || message == hook_area::kWmNcLButtonUp) {
        *flag = 0;
        if (const auto drop = drag_.Release()) OnDrop(*drop);
    }
}

void CTail3Dialog::OnDrop(const panels::ThumbDrag::Drop& drop) {
    if (!drop.changed) return;  // clicked, not moved: nothing to write
    switch (drop.thumb) {
    case Thumb::PointerSpeed: panels::DropPointerSpeed(settings(), drop); break;
    case Thumb::XRate: g_WorkRecord.data()[record::kXRate] = static_cast<unsigned char>(drop.level); break;
    case Thumb::YRate: g_WorkRecord.data()[record::kYRate] = static_cast<unsigned char>(drop.level); break;
    }
}

void CTail3Dialog::PaintOver(HDC dc) {
    const auto stale = drag_.StaleImageAt();
    if (!stale || !finalBackground_) return;
    // The moved thumb's old image, wiped with the open panel's background.
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, finalBackground_);
    BitBlt(dc, stale->x, stale->y, panels::kThumbSize, panels::kThumbSize, source, stale->x, stale->y, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

bool CTail3Dialog::OnCommand(int id, int code) {
    switch (id) {
    case IDC_LEFT_ENABLE_XY: {
        char text[256];
        LookUpText("Str_FunNotSupport", text, sizeof text);
        ShowMessage(hwnd(), CMessageDialog::kOk, text);
        enableXY_.SetCheck(g_WorkRecord.data()[record::kEnableXYFlag] & 1);  // nothing changes
        return true;
    }
    case IDC_LEFT_SPEED_THUMB:
    case IDC_LEFT_X_RATE_THUMB:
    case IDC_LEFT_Y_RATE_THUMB: return true;  // the drop does the work
    default: return SlidingPanel::OnCommand(id, code);
    }
}

void CTail3Dialog::OnBackgroundChanged(HBITMAP background) {
    for (ThumbButton& thumb : thumbButtons_) thumb.SetBk(background);
    enableXY_.SetBk(background);
    label_.SetBk(background);
}
