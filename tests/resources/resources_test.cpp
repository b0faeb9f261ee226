// The program's dialog templates and icon, compiled from app/korelle.rc into
// this test's own resources, loaded and created under the real dialog
// manager: every template is found and parses, the dialog manager creates
// it with every control, the control ids of core/resource.h name controls of
// the right class and visibility, ids are unique within each dialog, radio
// groups begin where the option groups begin, clickable texts take clicks,
// and the window styles fit the role of each window.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/resource.h"
#include "ui/macro/delay_dialog.h"
#include "ui/macro/macro_editor.h"

namespace {

// The editor's model and the template must agree on which control is the
// label of which key-buffer slot, and on the delay sliders.
constexpr int kEventIds[macro::kKeyBufferSize] = {
    IDC_MACRO_EVENT_0,  IDC_MACRO_EVENT_1,  IDC_MACRO_EVENT_2,  IDC_MACRO_EVENT_3,  IDC_MACRO_EVENT_4,
    IDC_MACRO_EVENT_5,  IDC_MACRO_EVENT_6,  IDC_MACRO_EVENT_7,  IDC_MACRO_EVENT_8,  IDC_MACRO_EVENT_9,
    IDC_MACRO_EVENT_10, IDC_MACRO_EVENT_11, IDC_MACRO_EVENT_12, IDC_MACRO_EVENT_13, IDC_MACRO_EVENT_14,
    IDC_MACRO_EVENT_15, IDC_MACRO_EVENT_16, IDC_MACRO_EVENT_17, IDC_MACRO_EVENT_18, IDC_MACRO_EVENT_19,
    IDC_MACRO_EVENT_20, IDC_MACRO_EVENT_21, IDC_MACRO_EVENT_22, IDC_MACRO_EVENT_23, IDC_MACRO_EVENT_24,
    IDC_MACRO_EVENT_25, IDC_MACRO_EVENT_26, IDC_MACRO_EVENT_27, IDC_MACRO_EVENT_28, IDC_MACRO_EVENT_29,
    IDC_MACRO_EVENT_30, IDC_MACRO_EVENT_31};
constexpr bool EventIdsMatchModel() {
    for (int i = 0; i < macro::kKeyBufferSize; ++i)
        if (kEventIds[i] != macro::kLabelIds[i]) return false;
    return true;
}
static_assert(EventIdsMatchModel(), "event label ids differ from the macro editor model");
static_assert(IDC_DELAY_MINUTES == macro::kMinutesSliderId);
static_assert(IDC_DELAY_SECONDS == macro::kSecondsSliderId);
static_assert(IDC_DELAY_HUNDREDTHS == macro::kHundredthsSliderId);

// ---------------------------------------------------------------------------
// What each window needs: its controls by role, with the window class the
// program's control classes attach to and whether the control is shown when
// the window is created.

enum class Kind { Button, Static, ListBox, Edit };

const wchar_t* ClassOf(Kind k) {
    switch (k) {
        case Kind::Button: return L"Button";
        case Kind::Static: return L"Static";
        case Kind::ListBox: return L"ListBox";
        case Kind::Edit: return L"Edit";
    }
    return L"";
}

struct Control {
    int id;
    Kind kind;
    bool shown;
};

enum class Frame {
    Skinned,    // borderless pop-up drawn entirely from its bitmaps
    Captioned,  // plain system dialog with a caption
    Owner,      // the hidden owner: caption, system menu, modal frame, tool window
};

struct Dialog {
    int id;
    const char* name;
    Frame frame;
    bool shownOnCreate;  // modeless windows that appear as soon as they exist
    bool taskbar;        // has the application-window style
    std::vector<Control> controls;
};

void PrintTo(const Dialog& d, std::ostream* os) { *os << d.name << " (" << d.id << ")"; }

void Add(std::vector<Control>& v, std::initializer_list<int> ids, Kind k, bool shown = true) {
    for (int id : ids) v.push_back({id, k, shown});
}

std::vector<Control> MainControls() {
    std::vector<Control> v;
    Add(v, {IDC_MAIN_CLOSE, IDC_MAIN_ABOUT, IDC_MAIN_HELP, IDC_MAIN_WEB, IDC_MAIN_ADVANCED, IDC_MAIN_APPLY,
            IDC_MAIN_ABANDON, IDC_MAIN_LOGO, IDC_MAIN_LEFT_TOGGLE, IDC_MAIN_RIGHT_TOGGLE},
        Kind::Button);
    Add(v, {IDC_MAIN_LABEL_0, IDC_MAIN_LABEL_1, IDC_MAIN_LABEL_2, IDC_MAIN_LABEL_3, IDC_MAIN_LABEL_4,
            IDC_MAIN_LABEL_5, IDC_MAIN_LABEL_6},
        Kind::Static);
    // A line shows only while the pointer is over its label.
    Add(v, {IDC_MAIN_LINE_0, IDC_MAIN_LINE_1, IDC_MAIN_LINE_2, IDC_MAIN_LINE_3, IDC_MAIN_LINE_4, IDC_MAIN_LINE_5,
            IDC_MAIN_LINE_6},
        Kind::Button, false);
    Add(v, {IDC_MAIN_POLLING_0, IDC_MAIN_POLLING_1, IDC_MAIN_POLLING_2}, Kind::Button);
    Add(v, {IDC_MAIN_DPI_0}, Kind::Button, false);  // the 400 dpi step is never offered
    Add(v, {IDC_MAIN_DPI_1, IDC_MAIN_DPI_2, IDC_MAIN_DPI_3}, Kind::Button);
    Add(v, {IDC_MAIN_PROFILE_0, IDC_MAIN_PROFILE_1, IDC_MAIN_PROFILE_2, IDC_MAIN_PROFILE_3, IDC_MAIN_PROFILE_4},
        Kind::Button);
    Add(v, {IDC_MAIN_TITLE_CONFIG, IDC_MAIN_TITLE_POLLING, IDC_MAIN_TITLE_DPI, IDC_MAIN_TITLE_PROFILE},
        Kind::Static);
    return v;
}

std::vector<Control> MenuControls() {
    std::vector<Control> v;
    Add(v, {IDC_MENU_BUTTON_OFF, IDC_MENU_CLICK, IDC_MENU_RIGHT_BUTTON, IDC_MENU_MIDDLE_BUTTON, IDC_MENU_BUTTON4,
            IDC_MENU_BUTTON5, IDC_MENU_DOUBLE_CLICK, IDC_MENU_SWITCH_DPI, IDC_MENU_SELECT_PROFILE, IDC_MENU_MACRO,
            IDC_MENU_SINGLE},
        Kind::Button);
    Add(v, {IDC_MENU_DYNAMIC_SENSITIVE}, Kind::Button, false);  // not supported, never offered
    return v;
}

std::vector<Control> ProfileControls() {
    std::vector<Control> v;
    Add(v, {IDC_PROFILE_CHOICE_0, IDC_PROFILE_CHOICE_1, IDC_PROFILE_CHOICE_2, IDC_PROFILE_CHOICE_3,
            IDC_PROFILE_CHOICE_4, IDC_PROFILE_APPLY, IDC_PROFILE_CANCEL, IDC_PROFILE_CLOSE, IDC_PROFILE_TITLE},
        Kind::Button);
    return v;
}

std::vector<Control> DpiControls() {
    std::vector<Control> v;
    Add(v, {IDC_DPI_400, IDC_DPI_TITLE_STATUS}, Kind::Button, false);
    Add(v, {IDC_DPI_800, IDC_DPI_1600, IDC_DPI_2000, IDC_DPI_UP, IDC_DPI_DOWN, IDC_DPI_APPLY, IDC_DPI_CANCEL,
            IDC_DPI_CLOSE, IDC_DPI_TITLE_BUTTON, IDC_DPI_TITLE_MODE, IDC_DPI_TITLE_OPTION},
        Kind::Button);
    Add(v, {IDC_DPI_BUTTON_NUMBER}, Kind::Static);
    return v;
}

std::vector<Control> MessageControls() {
    std::vector<Control> v;
    // The box hides OK or Yes/No by its mode; the template shows all three.
    Add(v, {IDC_MSG_OK, IDC_MSG_YES, IDC_MSG_NO, IDC_MSG_TITLE}, Kind::Button);
    Add(v, {IDC_MSG_TEXT}, Kind::Static);
    return v;
}

std::vector<Control> MacroEditorControls() {
    std::vector<Control> v;
    Add(v, {IDC_MACRO_TITLE, IDC_MACRO_VIEW, IDC_MACRO_RECORD, IDC_MACRO_CONTINUE, IDC_MACRO_TOGGLE,
            IDC_MACRO_APPLY, IDC_MACRO_CANCEL},
        Kind::Button);
    Add(v, {IDC_MACRO_REMAIN_CAPTION, IDC_MACRO_REMAIN}, Kind::Static);
    // An event label shows once its event is in the key buffer.
    for (int id : macro::kLabelIds) v.push_back({id, Kind::Button, false});
    return v;
}

std::vector<Control> DelayControls() {
    std::vector<Control> v;
    Add(v, {macro::kMinutesSliderId, macro::kSecondsSliderId, macro::kHundredthsSliderId}, Kind::Static);
    Add(v, {IDC_DELAY_MINUTES_CAPTION, IDC_DELAY_SECONDS_CAPTION, IDC_DELAY_HUNDREDTHS_CAPTION,
            IDC_DELAY_TIME_CAPTION, IDC_DELAY_MINUTES_VALUE, IDC_DELAY_MINUTES_UNIT, IDC_DELAY_SECONDS_VALUE,
            IDC_DELAY_SECONDS_UNIT},
        Kind::Static);
    return v;
}

std::vector<Control> DebugControls() {
    std::vector<Control> v;
    Add(v, {IDC_DEBUG_LIST}, Kind::ListBox);
    Add(v, {IDC_DEBUG_TEXT, IDC_DEBUG_HEX}, Kind::Button);
    return v;
}

std::vector<Control> KeyViewControls() {
    std::vector<Control> v;
    Add(v, {IDC_KEYVIEW_BUFFER_CAPTION, IDC_KEYVIEW_BUTTON_CAPTION}, Kind::Static);
    Add(v, {IDC_KEYVIEW_BUFFER, IDC_KEYVIEW_BUTTON}, Kind::ListBox);
    Add(v, {IDC_KEYVIEW_OK}, Kind::Button);
    return v;
}

std::vector<Control> AdvancedControls() {
    std::vector<Control> v;
    Add(v, {IDC_ADV_TITLE}, Kind::Static);
    Add(v, {IDC_ADV_CLOSE, IDC_ADV_LOAD, IDC_ADV_SAVE, IDC_ADV_RESET, IDC_ADV_FIRMWARE, IDC_ADV_OK}, Kind::Button);
    return v;
}

std::vector<Control> FilesControls() {
    std::vector<Control> v;
    Add(v, {IDC_FILES_TITLE, IDC_FILES_UP, IDC_FILES_DOWN, IDC_FILES_OK, IDC_FILES_CANCEL}, Kind::Button);
    Add(v, {IDC_FILES_LIST}, Kind::ListBox);
    Add(v, {IDC_FILES_NAME_LABEL}, Kind::Static);
    Add(v, {IDC_FILES_NAME}, Kind::Edit);
    return v;
}

std::vector<Control> RightPanelControls() {
    std::vector<Control> v;
    Add(v, {IDC_RIGHT_WHEEL_MORE, IDC_RIGHT_WHEEL_FEWER, IDC_RIGHT_DBLCLICK_SHORTER, IDC_RIGHT_DBLCLICK_LONGER},
        Kind::Button);
    Add(v, {IDC_RIGHT_SENSITIVE_LOWER, IDC_RIGHT_SENSITIVE_RAISE, IDC_RIGHT_SCROLL_ON, IDC_RIGHT_SENSITIVE_ON,
            IDC_RIGHT_SHOW_ON_SCREEN},
        Kind::Button, false);
    Add(v, {IDC_RIGHT_SCROLL_LABEL, IDC_RIGHT_SENSITIVE_LABEL}, Kind::Static, false);
    return v;
}

std::vector<Control> LeftPanelControls() {
    std::vector<Control> v;
    Add(v, {IDC_LEFT_SPEED_THUMB}, Kind::Button);
    Add(v, {IDC_LEFT_SPEED_LABEL}, Kind::Static);
    Add(v, {IDC_LEFT_X_RATE_THUMB, IDC_LEFT_Y_RATE_THUMB, IDC_LEFT_ENABLE_XY}, Kind::Button, false);
    return v;
}

const std::vector<Dialog>& Dialogs() {
    static const std::vector<Dialog> all = {
        {IDD_MAIN, "Main", Frame::Skinned, true, true, MainControls()},
        {IDD_DEBUG, "RecordView", Frame::Captioned, false, false, DebugControls()},
        {IDD_MACRO_EDITOR, "MacroEditor", Frame::Skinned, true, false, MacroEditorControls()},
        {IDD_FUNCTION_MENU, "FunctionMenu", Frame::Skinned, false, false, MenuControls()},
        {IDD_RIGHT_PANEL, "RightPanel", Frame::Skinned, false, false, RightPanelControls()},
        {IDD_LEFT_PANEL, "LeftPanel", Frame::Skinned, false, false, LeftPanelControls()},
        {IDD_DELAY, "Delay", Frame::Skinned, false, false, DelayControls()},
        {IDD_BACK, "Back", Frame::Owner, false, false, {{IDC_BACK_PLACEHOLDER, Kind::Static, false}}},
        {IDD_ADVANCED_SETTINGS, "AdvancedSettings", Frame::Skinned, false, false, AdvancedControls()},
        {IDD_CONFIG_FILES, "ConfigFiles", Frame::Skinned, false, false, FilesControls()},
        {IDD_MESSAGE, "Message", Frame::Skinned, false, false, MessageControls()},
        {IDD_DEBUG_MACRO, "KeyBufferView", Frame::Skinned, false, false, KeyViewControls()},
        {IDD_DPI_OPTION, "DpiOption", Frame::Skinned, false, false, DpiControls()},
        {IDD_PROFILE_ASSIGN, "ProfileAssign", Frame::Skinned, false, false, ProfileControls()},
    };
    return all;
}

const Dialog& DialogById(int id) {
    for (const Dialog& d : Dialogs())
        if (d.id == id) return d;
    throw std::runtime_error("no such dialog");
}

// ---------------------------------------------------------------------------
// DLGTEMPLATEEX as the resource compiler wrote it.

struct TemplateItem {
    DWORD style = 0, exStyle = 0;
    DWORD id = 0;
    WORD classOrdinal = 0;  // 0x80 Button ... 0x85 ComboBox, or 0 for a class name
    std::wstring className;
    std::wstring text;
    short x = 0, y = 0, cx = 0, cy = 0;
};

struct Template {
    DWORD style = 0, exStyle = 0;
    WORD pointSize = 0;
    std::wstring font, title;
    short cx = 0, cy = 0;
    std::vector<TemplateItem> items;
};

class Reader {
public:
    Reader(const BYTE* p, size_t n) : p_(p), n_(n) {}
    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    template <typename T>
    T Get() {
        T v{};
        if (pos_ + sizeof(T) > n_) {
            ok_ = false;
            return v;
        }
        std::memcpy(&v, p_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return v;
    }
    void Skip(size_t k) {
        if (pos_ + k > n_) ok_ = false;
        else pos_ += k;
    }
    void AlignDword() { Skip(((pos_ + 3) & ~size_t(3)) - pos_); }
    std::wstring String() {
        std::wstring s;
        for (WORD c = Get<WORD>(); ok_ && c != 0; c = Get<WORD>()) s.push_back(wchar_t(c));
        return s;
    }
    // A name or an ordinal: 0 none, 0xFFFF then the ordinal, else a string.
    void NameOrOrdinal(WORD& ordinal, std::wstring& name) {
        WORD first = Get<WORD>();
        if (first == 0) return;
        if (first == 0xFFFF) {
            ordinal = Get<WORD>();
            return;
        }
        name.push_back(wchar_t(first));
        name += String();
    }

private:
    const BYTE* p_;
    size_t n_;
    size_t pos_ = 0;
    bool ok_ = true;
};

testing::AssertionResult ParseTemplate(const BYTE* data, size_t size, Template& t) {
    Reader r(data, size);
    const WORD version = r.Get<WORD>(), signature = r.Get<WORD>();
    if (version != 1 || signature != 0xFFFF) return testing::AssertionFailure() << "not a DLGTEMPLATEEX";
    r.Get<DWORD>();  // help id
    t.exStyle = r.Get<DWORD>();
    t.style = r.Get<DWORD>();
    const WORD count = r.Get<WORD>();
    r.Get<short>();
    r.Get<short>();
    t.cx = r.Get<short>();
    t.cy = r.Get<short>();
    WORD ordinal = 0;
    std::wstring name;
    r.NameOrOrdinal(ordinal, name);  // menu
    r.NameOrOrdinal(ordinal, name);  // window class
    t.title = r.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Get<WORD>();
        r.Get<WORD>();  // weight
        r.Get<BYTE>();  // italic
        r.Get<BYTE>();  // charset
        t.font = r.String();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.AlignDword();
        TemplateItem item;
        r.Get<DWORD>();  // help id
        item.exStyle = r.Get<DWORD>();
        item.style = r.Get<DWORD>();
        item.x = r.Get<short>();
        item.y = r.Get<short>();
        item.cx = r.Get<short>();
        item.cy = r.Get<short>();
        item.id = r.Get<DWORD>();
        r.NameOrOrdinal(item.classOrdinal, item.className);
        WORD textOrdinal = 0;
        r.NameOrOrdinal(textOrdinal, item.text);
        r.Skip(r.Get<WORD>());  // creation data
        t.items.push_back(item);
    }
    if (!r.ok()) return testing::AssertionFailure() << "template runs past its resource (" << size << " bytes)";
    return testing::AssertionSuccess();
}

struct LoadedTemplate {
    const DLGTEMPLATE* data = nullptr;
    DWORD size = 0;
};

LoadedTemplate FindTemplate(int id) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(self, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!info) return {};
    HGLOBAL handle = LoadResource(self, info);
    if (!handle) return {};
    return {static_cast<const DLGTEMPLATE*>(LockResource(handle)), SizeofResource(self, info)};
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A dialog created from the template by the dialog manager.
class LiveDialog {
public:
    explicit LiveDialog(int id) {
        LoadedTemplate t = FindTemplate(id);
        if (t.data)
            hwnd_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.data, nullptr, PlainDialogProc, 0);
    }
    ~LiveDialog() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    LiveDialog(const LiveDialog&) = delete;
    LiveDialog& operator=(const LiveDialog&) = delete;
    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
    // The children in the dialog manager's order (tab order).
    std::vector<HWND> children() const {
        std::vector<HWND> v;
        for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) v.push_back(c);
        return v;
    }

private:
    HWND hwnd_ = nullptr;
};

// Each dialog is created once and kept until the tests end: under Wine
// without a window manager, hiding or destroying a shown top-level window
// waits two seconds for the window manager.
std::map<int, std::unique_ptr<LiveDialog>>& LiveDialogs() {
    static std::map<int, std::unique_ptr<LiveDialog>> dialogs;
    return dialogs;
}

const LiveDialog& Live(int id) {
    std::unique_ptr<LiveDialog>& d = LiveDialogs()[id];
    if (!d) d = std::make_unique<LiveDialog>(id);
    return *d;
}

class DestroyLiveDialogs : public testing::Environment {
public:
    void TearDown() override { LiveDialogs().clear(); }
};
testing::Environment* const kDestroyLiveDialogs = testing::AddGlobalTestEnvironment(new DestroyLiveDialogs);

std::wstring ClassName(HWND h) {
    wchar_t buf[64] = {};
    GetClassNameW(h, buf, 64);
    return buf;
}

bool IsRadio(HWND h) {
    if (_wcsicmp(ClassName(h).c_str(), L"Button") != 0) return false;
    const LONG type = GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool IsChecked(HWND h) { return SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// Dialog groups as the dialog manager forms them: a control with WS_GROUP
// starts a group that runs up to the next such control.
std::vector<std::vector<int>> RadioGroups(const LiveDialog& dlg) {
    std::vector<std::vector<int>> groups;
    std::vector<int> current;
    for (HWND c : dlg.children()) {
        if (GetWindowLongW(c, GWL_STYLE) & WS_GROUP) {
            if (!current.empty()) groups.push_back(current);
            current.clear();
        }
        if (IsRadio(c)) current.push_back(GetDlgCtrlID(c));
    }
    if (!current.empty()) groups.push_back(current);
    return groups;
}

// ---------------------------------------------------------------------------

class DialogTemplate : public testing::TestWithParam<Dialog> {};

TEST_P(DialogTemplate, ParsesAndHoldsExactlyItsControls) {
    const Dialog& d = GetParam();
    LoadedTemplate loaded = FindTemplate(d.id);
    ASSERT_NE(loaded.data, nullptr) << "template " << d.id << " is not among the resources";
    Template t;
    ASSERT_TRUE(ParseTemplate(reinterpret_cast<const BYTE*>(loaded.data), loaded.size, t));

    // Every window's dialog units come from the shell dialog font.
    EXPECT_TRUE(t.style & DS_SETFONT);
    EXPECT_EQ(t.font, L"MS Shell Dlg");
    EXPECT_GT(t.pointSize, 0);

    std::map<DWORD, int> seen;
    for (const TemplateItem& item : t.items) ++seen[item.id];
    for (const auto& [id, n] : seen) EXPECT_EQ(n, 1) << "control id " << id << " is used " << n << " times";

    std::set<DWORD> wanted;
    for (const Control& c : d.controls) {
        EXPECT_TRUE(wanted.insert(c.id).second) << "the window names control " << c.id << " twice";
        EXPECT_EQ(seen.count(c.id), 1u) << "control " << c.id << " is missing from the template";
    }
    for (const auto& [id, n] : seen) EXPECT_EQ(wanted.count(id), 1u) << "control " << id << " has no role";
}

TEST_P(DialogTemplate, WindowStyleFitsItsRole) {
    const Dialog& d = GetParam();
    const LiveDialog& dlg = Live(d.id);
    ASSERT_NE(dlg.hwnd(), nullptr) << "the dialog manager refused template " << d.id;
    const LONG style = GetWindowLongW(dlg.hwnd(), GWL_STYLE);
    const LONG exStyle = GetWindowLongW(dlg.hwnd(), GWL_EXSTYLE);

    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_EQ(IsWindowVisible(dlg.hwnd()) != FALSE, d.shownOnCreate);
    // Only the main window has a taskbar button.
    EXPECT_EQ((exStyle & WS_EX_APPWINDOW) != 0, d.taskbar);

    RECT window{}, client{};
    GetWindowRect(dlg.hwnd(), &window);
    GetClientRect(dlg.hwnd(), &client);
    switch (d.frame) {
        case Frame::Skinned:
            // The background bitmap covers the whole window: no caption, no
            // border, no system menu, and a client area as big as the window.
            EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_SYSMENU), 0);
            EXPECT_EQ(exStyle & (WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW), 0);
            EXPECT_EQ(window.right - window.left, client.right);
            EXPECT_EQ(window.bottom - window.top, client.bottom);
            break;
        case Frame::Captioned:
            EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
            EXPECT_TRUE(style & WS_SYSMENU);
            break;
        case Frame::Owner:
            EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
            EXPECT_TRUE(style & WS_SYSMENU);
            EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
            EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
            break;
    }
}

TEST_P(DialogTemplate, DialogManagerCreatesEveryControl) {
    const Dialog& d = GetParam();
    LoadedTemplate loaded = FindTemplate(d.id);
    ASSERT_NE(loaded.data, nullptr);
    const LiveDialog& dlg = Live(d.id);
    ASSERT_NE(dlg.hwnd(), nullptr) << "the dialog manager refused template " << d.id;

    // Nothing was dropped or added on the way, and the tab order is the
    // template order.
    Template t;
    ASSERT_TRUE(ParseTemplate(reinterpret_cast<const BYTE*>(loaded.data), loaded.size, t));
    const std::vector<HWND> children = dlg.children();
    ASSERT_EQ(children.size(), t.items.size());
    for (size_t i = 0; i < children.size(); ++i)
        EXPECT_EQ(DWORD(GetDlgCtrlID(children[i])), t.items[i].id) << "tab position " << i;

    RECT client{};
    GetClientRect(dlg.hwnd(), &client);
    for (const Control& c : d.controls) {
        SCOPED_TRACE(testing::Message() << "control " << c.id);
        HWND h = dlg.item(c.id);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(_wcsicmp(ClassName(h).c_str(), ClassOf(c.kind)), 0)
            << "class is " << testing::PrintToString(std::string(ClassName(h).begin(), ClassName(h).end()));
        EXPECT_EQ((GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0, c.shown);
        // Inside its window, so that no control is cut off by the window's edge.
        RECT r{};
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, dlg.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_GE(r.left, client.left);
        EXPECT_GE(r.top, client.top);
        EXPECT_LE(r.right, client.right);
        EXPECT_LE(r.bottom, client.bottom);
        EXPECT_GT(r.right, r.left);
        EXPECT_GT(r.bottom, r.top);
    }
}

INSTANTIATE_TEST_SUITE_P(AllDialogs, DialogTemplate, testing::ValuesIn(Dialogs()),
                         [](const testing::TestParamInfo<Dialog>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------

// The main window's button labels post their click messages, and the delay
// dialog's sliders are dragged: both must receive the mouse. Titles let
// presses through to the background, which drags the window.
TEST(ClickableTexts, LabelsAndSlidersTakeTheMouseTitlesDoNot) {
    auto hitTest = [](const LiveDialog& dlg, int id) {
        return SendMessageW(dlg.item(id), WM_NCHITTEST, 0, 0);
    };
    const LiveDialog& main = Live(IDD_MAIN);
    ASSERT_NE(main.hwnd(), nullptr);
    for (int id : {IDC_MAIN_LABEL_0, IDC_MAIN_LABEL_1, IDC_MAIN_LABEL_2, IDC_MAIN_LABEL_3, IDC_MAIN_LABEL_4,
                   IDC_MAIN_LABEL_5, IDC_MAIN_LABEL_6})
        EXPECT_EQ(hitTest(main, id), HTCLIENT) << "label " << id;
    for (int id : {IDC_MAIN_TITLE_CONFIG, IDC_MAIN_TITLE_POLLING, IDC_MAIN_TITLE_DPI, IDC_MAIN_TITLE_PROFILE})
        EXPECT_EQ(hitTest(main, id), HTTRANSPARENT) << "title " << id;

    const LiveDialog& delay = Live(IDD_DELAY);
    ASSERT_NE(delay.hwnd(), nullptr);
    for (int id : {macro::kMinutesSliderId, macro::kSecondsSliderId, macro::kHundredthsSliderId})
        EXPECT_EQ(hitTest(delay, id), HTCLIENT) << "slider " << id;
    EXPECT_EQ(hitTest(delay, IDC_DELAY_TIME_CAPTION), HTTRANSPARENT);
}

// Checking a radio button unchecks the other radio buttons of its dialog
// group, so each option set must be exactly one group.
TEST(RadioGroups, EachOptionSetIsOneGroup) {
    struct Case {
        int dialog;
        std::vector<std::vector<int>> sets;
        bool setIsWholeGroup;  // the window relies on the group to uncheck the others
    };
    const std::vector<Case> cases = {
        {IDD_MAIN,
         {{IDC_MAIN_POLLING_0, IDC_MAIN_POLLING_1, IDC_MAIN_POLLING_2},
          {IDC_MAIN_DPI_0, IDC_MAIN_DPI_1, IDC_MAIN_DPI_2, IDC_MAIN_DPI_3},
          {IDC_MAIN_PROFILE_0, IDC_MAIN_PROFILE_1, IDC_MAIN_PROFILE_2, IDC_MAIN_PROFILE_3, IDC_MAIN_PROFILE_4}},
         false},
        {IDD_DPI_OPTION, {{IDC_DPI_400, IDC_DPI_800, IDC_DPI_1600, IDC_DPI_2000, IDC_DPI_UP, IDC_DPI_DOWN}}, true},
        {IDD_PROFILE_ASSIGN,
         {{IDC_PROFILE_CHOICE_0, IDC_PROFILE_CHOICE_1, IDC_PROFILE_CHOICE_2, IDC_PROFILE_CHOICE_3,
           IDC_PROFILE_CHOICE_4}},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(DialogById(c.dialog).name);
        const LiveDialog& dlg = Live(c.dialog);
        ASSERT_NE(dlg.hwnd(), nullptr);
        std::map<int, size_t> setOf;
        for (size_t s = 0; s < c.sets.size(); ++s)
            for (int id : c.sets[s]) setOf[id] = s;
        for (const std::vector<int>& group : RadioGroups(dlg)) {
            // No group mixes two option sets, and every radio belongs to one.
            std::set<size_t> sets;
            for (int id : group) {
                ASSERT_EQ(setOf.count(id), 1u) << "radio " << id << " belongs to no option set";
                sets.insert(setOf[id]);
            }
            EXPECT_EQ(sets.size(), 1u) << "a group starting at " << group.front() << " mixes option sets";
            if (c.setIsWholeGroup) {
                std::vector<int> sorted = group, wanted = c.sets[*sets.begin()];
                std::sort(sorted.begin(), sorted.end());
                std::sort(wanted.begin(), wanted.end());
                EXPECT_EQ(sorted, wanted) << "the option set is split over several groups";
            }
        }
    }
}

// The same through the system's own radio buttons: a click checks one
// option and clears the others of its set, and only of its set.
TEST(RadioGroups, ClickingAnOptionClearsOnlyItsOwnSet) {
    auto click = [](HWND h) { SendMessageW(h, BM_CLICK, 0, 0); };
    {
        const LiveDialog& dlg = Live(IDD_DPI_OPTION);
        ASSERT_NE(dlg.hwnd(), nullptr);
        const int options[] = {IDC_DPI_800, IDC_DPI_1600, IDC_DPI_2000, IDC_DPI_UP, IDC_DPI_DOWN};
        for (int chosen : options) {
            click(dlg.item(chosen));
            for (int id : options) EXPECT_EQ(IsChecked(dlg.item(id)), id == chosen) << chosen << " / " << id;
        }
    }
    {
        const LiveDialog& dlg = Live(IDD_PROFILE_ASSIGN);
        ASSERT_NE(dlg.hwnd(), nullptr);
        const int options[] = {IDC_PROFILE_CHOICE_0, IDC_PROFILE_CHOICE_1, IDC_PROFILE_CHOICE_2,
                               IDC_PROFILE_CHOICE_3, IDC_PROFILE_CHOICE_4};
        for (int chosen : {IDC_PROFILE_CHOICE_4, IDC_PROFILE_CHOICE_0, IDC_PROFILE_CHOICE_2}) {
            click(dlg.item(chosen));
            for (int id : options) EXPECT_EQ(IsChecked(dlg.item(id)), id == chosen) << chosen << " / " << id;
        }
    }
    {
        // On the main window a profile click leaves the DPI choice alone.
        const LiveDialog& dlg = Live(IDD_MAIN);
        ASSERT_NE(dlg.hwnd(), nullptr);
        click(dlg.item(IDC_MAIN_DPI_2));
        ASSERT_TRUE(IsChecked(dlg.item(IDC_MAIN_DPI_2)));
        click(dlg.item(IDC_MAIN_PROFILE_1));
        EXPECT_TRUE(IsChecked(dlg.item(IDC_MAIN_PROFILE_1)));
        EXPECT_TRUE(IsChecked(dlg.item(IDC_MAIN_DPI_2)));
    }
}

// The advanced settings and the configuration files dialogs run their OK
// action on Enter.
TEST(DefaultButton, EnterRunsOk) {
    for (auto [dialog, ok] : {std::pair{IDD_ADVANCED_SETTINGS, IDC_ADV_OK}, std::pair{IDD_CONFIG_FILES, IDC_FILES_OK}}) {
        const LiveDialog& dlg = Live(dialog);
        ASSERT_NE(dlg.hwnd(), nullptr);
        const LRESULT def = SendMessageW(dlg.hwnd(), DM_GETDEFID, 0, 0);
        EXPECT_EQ(HIWORD(def), DC_HASDEFID) << dialog;
        EXPECT_EQ(LOWORD(def), ok) << dialog;
    }
}

// The main window sets the program icon as its large and small icon.
TEST(ProgramIcon, LoadsInBothSizes) {
    HINSTANCE self = GetModuleHandleW(nullptr);
    for (int size : {16, 32}) {
        HANDLE icon = LoadImageW(self, MAKEINTRESOURCEW(IDI_KORELLE), IMAGE_ICON, size, size, 0);
        EXPECT_NE(icon, nullptr) << size;
        if (icon) DestroyIcon(static_cast<HICON>(icon));
    }
}

}  // namespace
