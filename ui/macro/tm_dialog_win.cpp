#include "ui/macro/tm_dialog_win.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "core/app_globals_win.h"
#include "core/resource.h"
#include "ui/controls/control_messages_win.h"
#include "ui/framework/skin_win.h"

using namespace skin;
using macro::DelayDialogRequest;
using macro::Slider;

namespace {

constexpr UINT kSlideTickMs = macro::DelaySlide::kTickMs;

}  // namespace

CTmDialog::CTmDialog() : Dialog(IDD_DELAY) {}

CTmDialog::~CTmDialog() {
    if (editor_) editor_->ForgetDelayDialog();
    // Destroyed here, while the object is whole; the editor it owns goes with it.
    if (hwnd()) DestroyWindow(hwnd());
}

BOOL CTmDialog::OnInitDialog() {
    HWND dialog = hwnd();
    HFONT font =
        SetUpWindow(*this, {.background = "\\tm\\time_bg.bmp", .dragOnlyInDebug = true, .followsMainWindow = true});
    HBITMAP bg = Background();

    struct SliderSetup {
        CMySlider& slider;
        Slider which;
        int id;
        const char* channel;
        int x;
    };
    HBITMAP thumb = LoadBitmapFile(SkinFile("\\tm\\time_01_1.bmp"));
    for (const SliderSetup& s : {SliderSetup{minutes_, Slider::Minutes, IDC_DELAY_MINUTES, "\\tm\\Slide3.bmp", 49},
                                 SliderSetup{seconds_, Slider::Seconds, IDC_DELAY_SECONDS, "\\tm\\Slide2.bmp", 115},
                                 SliderSetup{hundredths_, Slider::Hundredths, IDC_DELAY_HUNDREDTHS,
                                             "\\tm\\Slide1.bmp", 183}}) {
        s.slider.SubclassDlgItem(s.id, dialog);
        HBITMAP channel = LoadBitmapFile(SkinFile(s.channel));
        s.slider.SetBitmapChannel(channel, nullptr, true, kKey);  // sized to the channel: vertical
        s.slider.SetBitmapThumb(thumb, nullptr, true, kKey);
        if (channel) DeleteObject(channel);
        s.slider.SetRange(0, macro::SliderMaximum(s.which));
        s.slider.SetPos(macro::SliderPosition(s.which, 0));
        s.slider.DrawTransparent();
        s.slider.SetBk(bg);
        Place(dialog, s.id, s.x, 38);
    }
    if (thumb) DeleteObject(thumb);

    struct TextSetup {
        CStaticST& text;
        int id;
        const char* key;  // null: a value
        const char* initial;
        COLORREF colour;
        int x, y, width;
    };
    const TextSetup texts[] = {{minCaption_, IDC_DELAY_MINUTES_CAPTION, "Str_Min", nullptr, kSilver, 49, 20, 20},
                               {secCaption_, IDC_DELAY_SECONDS_CAPTION, "Str_Sec", nullptr, kSilver, 115, 20, 30},
                               {hundredthsCaption_, IDC_DELAY_HUNDREDTHS_CAPTION, "Str_SecX", nullptr, kSilver, 183, 20, 40},
                               {timeCaption_, IDC_DELAY_TIME_CAPTION, "Str_Time", nullptr, kSilver, 20, 114, 100},
                               {minValue_, IDC_DELAY_MINUTES_VALUE, nullptr, "00", kWhite, 77, 114, 14},
                               {minUnit_, IDC_DELAY_MINUTES_UNIT, "Str_LittleMin", nullptr, kWhite, 91, 114, 30},
                               {secValue_, IDC_DELAY_SECONDS_VALUE, nullptr, "00.00", kWhite, 110, 114, 33},
                               {secUnit_, IDC_DELAY_SECONDS_UNIT, "Str_LittleSec", nullptr, kSilver, 143, 114, 30}};
    for (const TextSetup& t : texts) {
        Label(t.text, dialog, t.id, t.key ? Text(t.key).c_str() : t.initial, t.colour, font, bg);
        Place(dialog, t.id, t.x, t.y, t.width, 15);
    }
    // The time caption reaches under the values after it: it paints only
    // where they do not lie.
    HWND timeCaption = Item(IDC_DELAY_TIME_CAPTION);
    SetWindowLongPtrA(timeCaption, GWL_STYLE, GetWindowLongPtrA(timeCaption, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(timeCaption, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LayOutValueRow(font);

    // Off-screen and hidden until the editor asks for it.
    SetWindowPos(dialog, nullptr, GetSystemMetrics(SM_CXSCREEN), 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(dialog, SW_HIDE);
    return FALSE;
}

void CTmDialog::LayOutValueRow(HFONT font) {
    // Minutes value, its unit, seconds value, its unit: each at its place,
    // or just after the text before it where this font draws that text
    // wider than the gap ("min" does); each as wide as the gap to the next.
    struct Cell {
        int id;
        int x, width;
        std::string widest;  // the longest text it shows
    };
    Cell row[] = {{IDC_DELAY_MINUTES_VALUE, 77, 14, "00"},
                  {IDC_DELAY_MINUTES_UNIT, 91, 30, Text("Str_LittleMin")},
                  {IDC_DELAY_SECONDS_VALUE, 110, 33, "00.00"},
                  {IDC_DELAY_SECONDS_UNIT, 143, 30, Text("Str_LittleSec")}};
    HDC dc = GetDC(hwnd());
    HGDIOBJ old = SelectObject(dc, font);
    int textEnd = 0;
    for (Cell& item : row) {
        item.x = std::max(item.x, textEnd + 1);
        SIZE extent{};
        GetTextExtentPoint32A(dc, item.widest.c_str(), static_cast<int>(item.widest.size()), &extent);
        textEnd = item.x + extent.cx;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    for (std::size_t i = 0; i < std::size(row); ++i) {
        const int width = i + 1 < std::size(row) ? row[i + 1].x - row[i].x : row[i].width;
        Place(hwnd(), row[i].id, row[i].x, 114, width, 15);
    }
}

CMySlider& CTmDialog::SliderOf(Slider s) {
    switch (s) {
    case Slider::Minutes: return minutes_;
    case Slider::Seconds: return seconds_;
    case Slider::Hundredths: break;
    }
    return hundredths_;
}

void CTmDialog::Captions() {
    minCaption_.SetText(Text("Str_Min").c_str());
    secCaption_.SetText(Text("Str_Sec").c_str());
    hundredthsCaption_.SetText(Text("Str_SecX").c_str());
    timeCaption_.SetText(Text("Str_Time").c_str());
    minUnit_.SetText(Text("Str_LittleMin").c_str());
    secUnit_.SetText(Text("Str_LittleSec").c_str());
}

void CTmDialog::ShowValue(const macro::DelayValue& value) {
    minValue_.SetText(macro::MinutesText(value).c_str());
    secValue_.SetText(macro::SecondsText(value).c_str());
}

void CTmDialog::Refresh() {
    const macro::MacroEditor* model = editor_ ? editor_->Model() : nullptr;
    if (!model) return;
    const int selected = model->SelectedTimeIndex();
    if (selected < 0 || selected >= macro::kKeyBufferSize) return;
    const macro::DelayValue value = macro::DelayOf(model->KeyBuffer()[selected]);
    const macro::SliderPositions at = macro::PositionsFor(value);
    minutes_.SetPos(at.minutes);
    seconds_.SetPos(at.seconds);
    hundredths_.SetPos(at.hundredths);
    ShowValue(value);
    Captions();
}

void CTmDialog::Request(DelayDialogRequest request, POINT start) {
    if (request == DelayDialogRequest::None) return;
    slide_.Request(request);
    Refresh();  // only while a delay is selected
    RECT r{};
    GetWindowRect(hwnd(), &r);
    if (request == DelayDialogRequest::Open) {
        r.left = start.x;
        r.top = start.y;
    }
    MoveShown(r.left, r.top);
    StartTimer(kSlideTimer, kSlideTickMs);
}

void CTmDialog::MoveShown(int left, int top) {
    HWND editor = editor_ ? editor_->EditorWindow() : nullptr;
    if (editor && !IsWindow(editor)) editor = nullptr;
    SetWindowPos(hwnd(), editor, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | (editor ? 0 : SWP_NOZORDER));
}

void CTmDialog::MoveHidden(int left, int top) {
    HWND owner = GetWindow(hwnd(), GW_OWNER);
    SetWindowPos(hwnd(), owner, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW | (owner ? 0 : SWP_NOZORDER));
}

void CTmDialog::OnTimer(UINT_PTR id) {
    if (id != kSlideTimer) return;
    RECT r{};
    GetWindowRect(hwnd(), &r);
    const macro::DelaySlide::Step step = slide_.Tick(r.top, r.bottom - r.top);
    switch (step.action) {
    case macro::DelaySlide::Step::MoveShown: MoveShown(r.left, step.top); break;
    case macro::DelaySlide::Step::MoveHidden: MoveHidden(r.left, step.top); break;
    case macro::DelaySlide::Step::KillTimer:
    case macro::DelaySlide::Step::Idle: StopTimer(kSlideTimer); break;
    case macro::DelaySlide::Step::Wait: break;
    }
}

void CTmDialog::OnSliderNotice(int id, int position) {
    Slider s;
    if (!macro::SliderForControl(id, s) || !editor_) return;
    const macro::SliderChange change = editor_->MoveSlider(s, position);
    if (change.outcome == macro::SliderChange::Refused)
        SliderOf(s).SetPos(change.position);
    else if (change.outcome == macro::SliderChange::Accepted)
        ShowValue(change.value);
}

bool CTmDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!controls::IsSliderNotice(msg)) return false;
    const controls::SliderNotice notice = controls::ReadSliderNotice(wParam, lParam);
    OnSliderNotice(notice.id, notice.position);
    result = 0;
    return true;
}
