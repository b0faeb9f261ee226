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

// The layout in client pixels: the three sliders side by side with a
// caption over each, and the row that shows the delay: its caption, then
// the minutes and seconds, each with its unit.
constexpr Spot kSliders[] = {
    {IDC_DELAY_MINUTES, 49, 38}, {IDC_DELAY_SECONDS, 115, 38}, {IDC_DELAY_HUNDREDTHS, 183, 38}};
constexpr Spot kCaptions[] = {{IDC_DELAY_MINUTES_CAPTION, 49, 20, 30, 15},
                              {IDC_DELAY_SECONDS_CAPTION, 115, 20, 40, 15},
                              {IDC_DELAY_HUNDREDTHS_CAPTION, 183, 20, 40, 15},
                              {IDC_DELAY_TIME_CAPTION, 20, 114, 100, 15}};
constexpr Spot kValueRow[] = {{IDC_DELAY_MINUTES_VALUE, 77, 114, 14, 15},
                              {IDC_DELAY_MINUTES_UNIT, 91, 114, 30, 15},
                              {IDC_DELAY_SECONDS_VALUE, 110, 114, 33, 15},
                              {IDC_DELAY_SECONDS_UNIT, 143, 114, 30, 15}};

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
        const Spot& at;
        const char* channel;
    };
    HBITMAP thumb = LoadBitmapFile(SkinFile("\\tm\\time_01_1.bmp"));
    for (const SliderSetup& s : {SliderSetup{minutes_, Slider::Minutes, kSliders[0], "\\tm\\Slide3.bmp"},
                                 SliderSetup{seconds_, Slider::Seconds, kSliders[1], "\\tm\\Slide2.bmp"},
                                 SliderSetup{hundredths_, Slider::Hundredths, kSliders[2], "\\tm\\Slide1.bmp"}}) {
        s.slider.SubclassDlgItem(s.at.id, dialog);
        HBITMAP channel = LoadBitmapFile(SkinFile(s.channel));
        s.slider.SetBitmapChannel(channel, nullptr, true, kKey);  // sized to the channel: vertical
        s.slider.SetBitmapThumb(thumb, nullptr, true, kKey);
        if (channel) DeleteObject(channel);
        s.slider.SetRange(0, macro::SliderMaximum(s.which));
        s.slider.SetPos(macro::SliderPosition(s.which, 0));
        s.slider.DrawTransparent();
        s.slider.SetBk(bg);
        Place(dialog, s.at);
    }
    if (thumb) DeleteObject(thumb);

    struct TextSetup {
        CStaticST& text;
        const Spot& at;
        const char* key;  // null: a value
        const char* initial;
        COLORREF colour;
    };
    const TextSetup texts[] = {{minCaption_, kCaptions[0], "Str_Min", nullptr, kSilver},
                               {secCaption_, kCaptions[1], "Str_Sec", nullptr, kSilver},
                               {hundredthsCaption_, kCaptions[2], "Str_SecX", nullptr, kSilver},
                               {timeCaption_, kCaptions[3], "Str_Time", nullptr, kSilver},
                               {minValue_, kValueRow[0], nullptr, "00", kWhite},
                               {minUnit_, kValueRow[1], "Str_LittleMin", nullptr, kWhite},
                               {secValue_, kValueRow[2], nullptr, "00.00", kWhite},
                               {secUnit_, kValueRow[3], "Str_LittleSec", nullptr, kSilver}};
    for (const TextSetup& t : texts) {
        Label(t.text, dialog, t.at.id, t.key ? Text(t.key).c_str() : t.initial, t.colour, font, bg);
        Place(dialog, t.at);
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
        Spot at;
        std::string widest;  // the longest text it shows
    };
    Cell row[] = {{kValueRow[0], "00"},
                  {kValueRow[1], Text("Str_LittleMin")},
                  {kValueRow[2], "00.00"},
                  {kValueRow[3], Text("Str_LittleSec")}};
    HDC dc = GetDC(hwnd());
    HGDIOBJ old = SelectObject(dc, font);
    int textEnd = 0;
    for (Cell& item : row) {
        item.at.x = std::max(item.at.x, textEnd + 1);
        SIZE extent{};
        GetTextExtentPoint32A(dc, item.widest.c_str(), static_cast<int>(item.widest.size()), &extent);
        textEnd = item.at.x + extent.cx;
    }
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    for (std::size_t i = 0; i < std::size(row); ++i) {
        Spot at = row[i].at;
        if (i + 1 < std::size(row)) at.width = row[i + 1].at.x - at.x;
        Place(hwnd(), at);
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

POINT CTmDialog::RestPoint() {
    HWND editor = editor_ ? editor_->EditorWindow() : nullptr;
    if (editor && IsWindow(editor)) rest_ = editor_->DelayRestPoint();
    return rest_;
}

void CTmDialog::Request(DelayDialogRequest request) {
    if (request == DelayDialogRequest::None) return;
    slide_.Request(request);
    Refresh();  // only while a delay is selected
    // Where the slide has it now: the rest point when closed, lower while
    // it is still partly out (an open that comes while it closes).
    const POINT rest = RestPoint();
    MoveShown(rest.x, slide_.Top(rest.y));
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
    const POINT rest = RestPoint();
    const macro::DelaySlide::Step step = slide_.Tick(rest.y, r.bottom - r.top);
    switch (step.action) {
    case macro::DelaySlide::Step::MoveShown: MoveShown(rest.x, step.top); break;
    case macro::DelaySlide::Step::MoveHidden: MoveHidden(rest.x, step.top); break;
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
