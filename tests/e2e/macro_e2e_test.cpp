// The macro editor, the delay dialog and the diagnostic views under Wine on
// the emulated mouse. Keys are real input (SendInput in the Wine session)
// that reaches the editor through Merrowin.dll's low-level keyboard hook;
// Record, the sliders and the labels of the main window get real pointer
// clicks, the other buttons their commands.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "tests/e2e/e2e_support.h"
#include "ui/macro/delay_dialog.h"
#include "ui/macro/diagnostic_lines.h"
#include "ui/macro/macro_codec.h"
#include "ui/macro/macro_editor.h"

namespace {

using namespace e2e;

constexpr const char* kMain = KORELLE_WINDOW(IDC_MAIN_LOGO);
constexpr const char* kMenu = KORELLE_WINDOW(IDC_MENU_BUTTON_OFF);
constexpr const char* kEditor = KORELLE_WINDOW(IDC_MACRO_VIEW);      // View: only the editor has it
constexpr const char* kDelayDialog = KORELLE_WINDOW(IDC_DELAY_MINUTES);  // the minutes slider
constexpr const char* kKeyView = KORELLE_WINDOW(IDC_KEYVIEW_BUFFER);
constexpr const char* kRecordView = KORELLE_WINDOW(IDC_DEBUG_TEXT);  // its TEXT button

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // the Windows programs' line ends
        lines.push_back(line);
    }
    return lines;
}

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x", value & 0xFF);
    return text;
}

// One button of the emulated mouse as its tool shows it.
struct MouseButton {
    unsigned index = 0, function = 0, parameter = 0;
    std::string keys;  // "04:97 ff:42 ..." up to the last slot in use
    bool operator==(const MouseButton&) const = default;
};
struct MouseProfile {
    unsigned dpi = 0, pollRate = 0;
    std::map<unsigned, MouseButton> buttons;
};

// Button b (file order) of profile p of a profile file, in the same terms.
MouseButton FileButton(const std::string& xml, unsigned p, unsigned b) {
    pugi::xml_document doc;
    MouseButton button;
    if (!doc.load_string(xml.c_str())) return button;
    const pugi::xml_node node = doc.child("Vantor")
                                    .child(("Profile" + std::to_string(p + 1)).c_str())
                                    .child("Buttons")
                                    .child(("Button" + std::to_string(b + 1)).c_str());
    auto number = [&](pugi::xml_node n, const char* name) {
        return static_cast<unsigned>(std::strtoul(n.attribute(name).value(), nullptr, 16));
    };
    button.index = number(node, "BtnIndex");
    button.function = number(node, "FunID");
    button.parameter = number(node, "FunExt");
    std::vector<std::string> keys;
    for (int k = 1; k <= 16; ++k) {
        const pugi::xml_node key = node.child(("Key" + std::to_string(k)).c_str());
        keys.push_back(Hex2(number(key, "UsageID")) + ":" + Hex2(number(key, "Usage")));
    }
    while (!keys.empty() && keys.back() == "00:00") keys.pop_back();
    for (const std::string& k : keys) button.keys += (button.keys.empty() ? "" : " ") + k;
    return button;
}

std::map<unsigned, MouseProfile> ParseMouse(const std::string& show) {
    static const std::regex profileLine(R"(^profile (\d+): index \d+, DPI (\d+), poll rate (\d+).*)");
    static const std::regex buttonLine(
        R"(^  button (\d+) \(segment \d+\): index (\d+), function 0x([0-9a-f]{2}), parameter 0x([0-9a-f]{2})(, keys (.*))?$)");
    std::map<unsigned, MouseProfile> profiles;
    MouseProfile* current = nullptr;
    for (const std::string& line : SplitLines(show)) {
        std::smatch m;
        if (std::regex_match(line, m, profileLine)) {
            current = &profiles[std::stoul(m[1])];
            current->dpi = std::stoul(m[2]);
            current->pollRate = std::stoul(m[3]);
        } else if (current && std::regex_match(line, m, buttonLine)) {
            MouseButton& b = current->buttons[std::stoul(m[1])];
            b.index = std::stoul(m[2]);
            b.function = std::stoul(m[3], nullptr, 16);
            b.parameter = std::stoul(m[4], nullptr, 16);
            b.keys = m[6];
        }
    }
    return profiles;
}

// The key-slot text the mouse tool prints for a macro.
std::string KeysText(const std::vector<macro::MacroStep>& steps, std::size_t& used) {
    std::array<unsigned char, macro::kKeySlotBytes> slots{};
    used = macro::EncodeMacro(steps, slots).value_or(0);
    std::string text;
    for (std::size_t k = 0; k < used; ++k) text += (k ? " " : "") + Hex2(slots[2 * k]) + ":" + Hex2(slots[2 * k + 1]);
    return text;
}

// The delay of a key-buffer view line: its last three numbers.
unsigned DelayOfLine(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.size() < 3) return 0;
    const std::size_t n = words.size();
    return std::stoul(words[n - 3]) * 60000 + std::stoul(words[n - 2]) * 1000 + std::stoul(words[n - 1]);
}

class MacroWindows : public KorelleTest {
protected:
    static std::string Id(int id) { return " " + std::to_string(id); }
    void Command(const char* window, int id) { DriverOut(std::string("command ") + window + Id(id) + kWait); }
    std::string Text(const char* window, int id) { return DriverOut(std::string("text ") + window + Id(id)); }
    bool Visible(const char* window, int id) { return DriverOut(std::string("visible ") + window + Id(id)) == "1"; }
    // The lines of a list box; empty lines at its end too.
    std::vector<std::string> List(const char* window, int id) {
        std::vector<std::string> lines = SplitLines(DriverOut(std::string("list ") + window + Id(id)));
        if (lines.empty()) return lines;
        const std::size_t count = std::stoul(lines.front());
        lines.erase(lines.begin());
        lines.resize(count);
        return lines;
    }
    bool Shown(const char* window) { return Driver(std::string("wait ") + window + " shown" + kWait).code == 0; }
    bool Gone(const char* window) { return Driver(std::string("wait ") + window + " gone" + kWait).code == 0; }
    std::vector<int> Rect(const char* window, int id = 0) {
        std::istringstream in(DriverOut(std::string("rect ") + window + (id ? Id(id) : "")));
        std::vector<int> r(4);
        for (int& v : r) in >> v;
        return r;
    }
    // Opens the menu on a main-window label and chooses an item; the
    // editor follows for MACRO and SINGLE.
    void OpenEditor(int button, int item) {
        ASSERT_TRUE(OpenFunctionMenu(button)) << "no menu";
        Command(kMenu, item);
        ASSERT_TRUE(Shown(kEditor)) << "no macro editor";
    }
    // A real click on Record, which toggles it.
    void ClickRecord(bool on) {
        DriverOut(std::string("click ") + kEditor + Id(IDC_MACRO_RECORD));
        ASSERT_TRUE(WaitFor(
            [&] { return DriverOut(std::string("check ") + kEditor + Id(IDC_MACRO_RECORD)) == (on ? "1" : "0"); }));
    }
    void Type(const std::string& steps) { DriverOut("type " + steps); }
    std::string LabelText(int slot) { return Text(kEditor, macro::kLabelIds[slot]); }
    bool LabelShown(int slot) { return Visible(kEditor, macro::kLabelIds[slot]); }
    std::vector<std::string> Labels(int count) {
        std::vector<std::string> texts;
        for (int slot = 0; slot < count; ++slot) texts.push_back(LabelShown(slot) ? LabelText(slot) : "(hidden)");
        return texts;
    }
    int Remain() { return std::stoi(Text(kEditor, IDC_MACRO_REMAIN)); }
    // Where each list row in view has ink: index -> {left, right}, client pixels.
    std::map<int, std::pair<int, int>> Ink(const char* window, int id) {
        std::map<int, std::pair<int, int>> rows;
        for (const std::string& line : SplitLines(DriverOut(std::string("ink ") + window + Id(id)))) {
            std::istringstream in(line);
            int index = 0, left = 0, right = 0;
            if (in >> index >> left >> right) rows[index] = {left, right};
        }
        return rows;
    }
    // The delay dialog at rest, slid out below its start point.
    bool DelayDialogOpen() {
        const std::vector<int> editor = Rect(kEditor), delay = Rect(kDelayDialog);
        return delay[0] == editor[0] + 80 && delay[1] == editor[1] + 50 + (delay[3] - delay[1]);
    }
    fs::path WorkingFile() const { return DeviceFolder() / "__working.xml"; }
    std::string ReadWorking() {
        std::ifstream in(WorkingFile(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(MacroWindows, ARecordedMacroWithEditedDelaysReachesTheMouseAndTheWorkingFile) {
    Start();
    OpenEditor(3, IDC_MENU_MACRO);
    EXPECT_EQ(Text(kEditor, IDC_MACRO_TITLE), ShippedText("Str_MacroSetting"));
    EXPECT_EQ(DriverOut(std::string("enabled ") + kMain), "0");
    EXPECT_EQ(Text(kEditor, IDC_MACRO_REMAIN), "32");

    ClickRecord(true);
    Type("d41 w300 u41 w700 d42 w60 u42");
    ASSERT_TRUE(WaitFor([&] { return LabelShown(6); })) << "the keys did not reach the editor";
    ClickRecord(false);
    ASSERT_TRUE(WaitFor([&] { return LabelShown(7); })) << "no closing delay";
    EXPECT_EQ(Labels(9), (std::vector<std::string>{"A v", "<tm>", "A ^", "<tm>", "B v", "<tm>", "B ^", "<tm>",
                                                   "(hidden)"}));

    // The key buffer as the view lists it: the recorded pauses, at least
    // as long as the driver waited, and the closing 20 ms.
    Command(kEditor, IDC_MACRO_VIEW);
    ASSERT_TRUE(Shown(kKeyView));
    const std::vector<std::string> buffer = List(kKeyView, IDC_KEYVIEW_BUFFER);
    const std::vector<std::string> stored = List(kKeyView, IDC_KEYVIEW_BUTTON);
    Screenshot("key-buffer-view.png");
    Screenshot("diagnostic-key-buffer-English.png");
    // Skinned scroll bars in place of the system's, and a fixed-pitch font:
    // every slot line has the same length, so all end at the same pixel
    // whatever they hold (key names and flags, or the blanks of free slots).
    EXPECT_EQ(DriverOut(std::string("scroll-bars ") + kKeyView + Id(IDC_KEYVIEW_BUFFER)), "0 0");
    EXPECT_EQ(DriverOut(std::string("scroll-bars ") + kKeyView + Id(IDC_KEYVIEW_BUTTON)), "0 0");
    const std::map<int, std::pair<int, int>> ink = Ink(kKeyView, IDC_KEYVIEW_BUFFER);
    ASSERT_TRUE(ink.count(1) && ink.count(20)) << "rows 1 and 20 in view";
    for (const auto& [row, span] : ink) {
        if (row < 1 || row > 32) continue;
        EXPECT_NEAR(span.second, ink.at(1).second, 2) << "row " << row << " ends elsewhere: " << buffer[row];
    }
    // The skinned bar pages the list down to its last lines.
    {
        const std::vector<int> bar = Rect(kKeyView, IDC_KEYVIEW_BUFFER_VBAR);
        ASSERT_EQ(DriverOut(std::string("top-index ") + kKeyView + Id(IDC_KEYVIEW_BUFFER)), "0");
        DriverOut(std::string("click-at ") + kKeyView + Id(IDC_KEYVIEW_BUFFER_VBAR) + " 5 " +
                  std::to_string(bar[3] - bar[1] - 3));
        EXPECT_TRUE(WaitFor([&] { return Ink(kKeyView, IDC_KEYVIEW_BUFFER).count(35) == 1; }))
            << "the last line did not come into view";
        EXPECT_NE(DriverOut(std::string("top-index ") + kKeyView + Id(IDC_KEYVIEW_BUFFER)), "0");
        Screenshot("diagnostic-key-buffer-scrolled-English.png");
    }
    Command(kKeyView, IDC_KEYVIEW_OK);
    EXPECT_TRUE(Gone(kKeyView));
    ASSERT_EQ(buffer.size(), 36u);
    EXPECT_EQ(buffer[0], "   vk/Hid   Key     Usage        Min Sec mSec");
    EXPECT_EQ(buffer[1].rfind("01 41(04)       A v MK ", 0), 0u) << buffer[1];
    EXPECT_EQ(buffer[7].rfind("07 42(05)       B ^     BK ", 0), 0u) << buffer[7];
    EXPECT_EQ(buffer[35], "CurKeyIndex = 8 (Zero Base)");
    const unsigned d1 = DelayOfLine(buffer[2]), d2 = DelayOfLine(buffer[4]), d3 = DelayOfLine(buffer[6]);
    EXPECT_GE(d1, 300u);
    EXPECT_LE(d1, 450u);
    EXPECT_GE(d2, 700u);
    EXPECT_LE(d2, 850u);
    EXPECT_GE(d3, 60u);
    EXPECT_LE(d3, 210u);
    EXPECT_EQ(DelayOfLine(buffer[8]), 20u);
    // The button's stored data: a fresh MACRO button holds no keys.
    ASSERT_EQ(stored.size(), 19u);
    EXPECT_EQ(stored[1], "01 00(00)           0.01s  000 ");
    EXPECT_EQ(stored[18], "ToggleClick Click: Off");
    const int remain = 31 - 4 - macro::DelaySize(d1) - macro::DelaySize(d2) - macro::DelaySize(d3) -
                       macro::DelaySize(20) + 1;
    EXPECT_EQ(Remain(), remain);

    // The first delay label slides the delay dialog out below the editor.
    Command(kEditor, macro::kLabelIds[1]);
    ASSERT_TRUE(Shown(kDelayDialog));
    EXPECT_TRUE(WaitFor([&] { return DelayDialogOpen(); })) << "the delay dialog did not slide out";
    // Clicked again it slides back in; clicked once more while it is still
    // on its way, it turns and comes to rest where it belongs, out below
    // the editor, not where it was when the click came.
    {
        const std::vector<int> open = Rect(kDelayDialog);
        std::istringstream mid(DriverOut(std::string("command-mid-move ") + kEditor + Id(macro::kLabelIds[1]) + " " +
                                         kDelayDialog + " 3" + kWait));
        int top = 0, shown = 0;
        mid >> top >> shown;
        EXPECT_LT(top, open[1]) << "it had not started to close";
        EXPECT_EQ(shown, 1) << "it was already in when clicked again";
        EXPECT_TRUE(WaitFor([&] { return DelayDialogOpen(); }, 5000))
            << "at rest elsewhere: " << Rect(kDelayDialog)[1] << ", editor top " << Rect(kEditor)[1];
        EXPECT_TRUE(Visible(kDelayDialog, IDC_DELAY_MINUTES));
        Screenshot("macro-editor-delay-English.png");
    }
    EXPECT_EQ(Text(kDelayDialog, IDC_DELAY_SECONDS_VALUE), macro::SecondsText({0, 0, static_cast<int>(d1 / 10)}));
    Screenshot("macro-editor.png");

    // A click in the middle of the seconds channel: 30 s more (the thumb's
    // centre runs from 5 to 65 of the 70-pixel channel, 59 at the top).
    ASSERT_LE(d1, 500u) << "a pause of one part is needed for the sizes below";
    DriverOut(std::string("click ") + kDelayDialog + Id(IDC_DELAY_SECONDS));
    const unsigned d1Edited = 30000 + d1;
    EXPECT_TRUE(WaitFor([&] {
        return Text(kDelayDialog, IDC_DELAY_SECONDS_VALUE) == macro::SecondsText({0, 30, static_cast<int>(d1 / 10)});
    }));
    EXPECT_EQ(Remain(), remain - (macro::DelaySize(d1Edited) - macro::DelaySize(d1)));

    // Another delay label: the dialog closes and opens again with that delay.
    Command(kEditor, macro::kLabelIds[5]);
    EXPECT_TRUE(WaitFor([&] { return !DelayDialogOpen(); })) << "the delay dialog did not slide in";
    EXPECT_TRUE(WaitFor([&] {
        return Text(kDelayDialog, IDC_DELAY_SECONDS_VALUE) == macro::SecondsText({0, 0, static_cast<int>(d3 / 10)}) &&
               DelayDialogOpen();
    }));
    // The bottom of the hundredths channel would make that delay 0: refused,
    // and the slider goes back. An arrow key then moves it from where it was
    // put back (one hundredth more), not from the bottom (which would give 0.01).
    const int remainBefore = Remain();
    DriverOut(std::string("click-at ") + kDelayDialog + Id(IDC_DELAY_HUNDREDTHS) + " 12 69");
    DriverOut(std::string("focus ") + kDelayDialog + Id(IDC_DELAY_HUNDREDTHS) + kWait);  // the click has arrived
    Type("d26 w50 u26");
    const std::string afterUp = macro::SecondsText({0, 0, static_cast<int>(d3 / 10) + 1});
    EXPECT_TRUE(WaitFor([&] { return Text(kDelayDialog, IDC_DELAY_SECONDS_VALUE) == afterUp; }))
        << Text(kDelayDialog, IDC_DELAY_SECONDS_VALUE);
    EXPECT_EQ(Remain(), remainBefore);
    // A key label slides the dialog away.
    Command(kEditor, macro::kLabelIds[4]);
    EXPECT_EQ(Driver(std::string("wait ") + kDelayDialog + " hidden" + kWait).code, 0);

    // Continue, then Toggle: the boxes exclude each other; Toggle is stored.
    auto checks = [&] {
        return DriverOut(std::string("check ") + kEditor + Id(IDC_MACRO_CONTINUE)) +
               DriverOut(std::string("check ") + kEditor + Id(IDC_MACRO_TOGGLE));
    };
    Command(kEditor, IDC_MACRO_CONTINUE);
    EXPECT_TRUE(WaitFor([&] { return checks() == "10"; }));
    Command(kEditor, IDC_MACRO_TOGGLE);
    EXPECT_TRUE(WaitFor([&] { return checks() == "01"; }));

    Command(kEditor, IDC_MACRO_APPLY);
    EXPECT_TRUE(Gone(kEditor));
    EXPECT_TRUE(Gone(kDelayDialog));
    EXPECT_EQ(DriverOut(std::string("enabled ") + kMain), "1");
    Command(kMain, IDC_MAIN_APPLY);

    // Label 3 is slot 3, which the button map puts at file position 5: the
    // mouse and the working file hold the same block.
    std::size_t used = 0;
    const std::string keys = KeysText({macro::StepForKey('A', true, d1Edited), macro::StepForKey('A', false, d2),
                                       macro::StepForKey('B', true, d3 + 10), macro::StepForKey('B', false, 20)},
                                      used);
    const MouseButton expected{5, 0x29, static_cast<unsigned>(2 * used), keys};  // MACRO, toggle click
    EXPECT_TRUE(WaitFor([&] {
        return ParseMouse(ShowMouse())[0].buttons[5] == expected && FileButton(ReadWorking(), 0, 5) == expected;
    })) << ShowMouse();
    Quit();
}

TEST_F(MacroWindows, SingleKeyModeTakesOneKeyAndCancelLeavesTheRecord) {
    Start();
    OpenEditor(4, IDC_MENU_SINGLE);
    EXPECT_EQ(Text(kEditor, IDC_MACRO_TITLE), ShippedText("Str_SingleKeySetting"));
    ClickRecord(true);
    // B, pressed and released while A is held, is not taken.
    Type("d41 w200 d42 w50 u42 w50 u41");
    ASSERT_TRUE(WaitFor([&] { return LabelShown(2); }));
    ClickRecord(false);
    ASSERT_TRUE(WaitFor([&] { return LabelShown(3); }));
    EXPECT_EQ(Labels(5), (std::vector<std::string>{"A v", "<tm>", "A ^", "<tm>", "(hidden)"}));
    Command(kEditor, IDC_MACRO_APPLY);
    ASSERT_TRUE(Gone(kEditor));
    Command(kMain, IDC_MAIN_APPLY);

    // The delay counts from the last key event the hook reported (B up).
    const std::regex single(R"(04:([0-9a-f]{2}) 04:02)");
    std::smatch m;
    MouseButton written;
    unsigned position = 0;
    ASSERT_TRUE(WaitFor([&] {
        const std::map<unsigned, MouseProfile> now = ParseMouse(ShowMouse());
        for (const auto& [b, button] : now.at(0).buttons)
            if (button.function == 0x0A) written = button, position = b;
        return written.function == 0x0A && FileButton(ReadWorking(), 0, position) == written;
    })) << ShowMouse();
    EXPECT_EQ(written.parameter, 4u);
    ASSERT_TRUE(std::regex_match(written.keys, m, single)) << written.keys;
    const unsigned usage = std::stoul(m[1], nullptr, 16);
    EXPECT_EQ(usage & 0xC0, 0x80u) << "a press in the 10 ms base";
    EXPECT_GE(usage & 0x3F, 5u);
    EXPECT_LE(usage & 0x3F, 20u);

    // Opened again, the editor shows the stored key; a new recording that
    // is cancelled changes nothing.
    const std::string mouse = ShowMouse();
    const std::string working = ReadWorking();
    OpenEditor(4, IDC_MENU_SINGLE);
    EXPECT_EQ(Labels(5), (std::vector<std::string>{"A v", "<tm>", "A ^", "<tm>", "(hidden)"}));
    ClickRecord(true);
    Type("d43 w50 u43");
    ASSERT_TRUE(WaitFor([&] { return LabelShown(2) && LabelText(2) == "C ^"; }));
    ClickRecord(false);
    Command(kEditor, IDC_MACRO_CANCEL);
    ASSERT_TRUE(Gone(kEditor));
    Command(kMain, IDC_MAIN_APPLY);
    // The menu opening after Apply shows that Apply has run.
    ASSERT_TRUE(OpenFunctionMenu(0));
    EXPECT_EQ(ShowMouse(), mouse);
    EXPECT_TRUE(ReadWorking() == working) << "the working file changed";
    Quit();
}

TEST_F(MacroWindows, RecordViewListsTheShippedDefaultsAsTextAndHex) {
    std::ofstream(folder / "debug.xml") << "<Debug/>\n";
    Start();
    const std::map<unsigned, MouseProfile> mouse = ParseMouse(ShowMouse());
    ASSERT_EQ(mouse.size(), 5u);

    Command(kMain, IDC_MAIN_ABOUT);  // the record view in diagnostic mode
    ASSERT_TRUE(Shown(kRecordView));
    // 11 device lines; per profile 5 lines, 7 buttons of 73 lines and an empty line.
    const size_t lines = 11u + 5 * (5 + 7 * 73 + 1);
    EXPECT_TRUE(WaitFor([&] {
        const DriverResult r = Driver(std::string("list ") + kRecordView + Id(IDC_DEBUG_LIST));
        return r.code == 0 && std::strtoul(r.out.c_str(), nullptr, 10) == lines;
    })) << "the list was never whole";
    const std::vector<std::string> text = List(kRecordView, IDC_DEBUG_LIST);
    Screenshot("record-view.png");
    Screenshot("diagnostic-record-English.png");
    ASSERT_EQ(text.size(), lines);
    EXPECT_EQ(text[0], "VID  : 7a3d");
    EXPECT_EQ(text[1], "PID  : 006a");
    EXPECT_EQ(text[5], "Profile No  : 5");
    EXPECT_EQ(text[6], "Button No   : 7");
    // A fixed-pitch font: two lines of one length end at the same pixel,
    // though one holds more wide letters and the other more blanks.
    {
        ASSERT_EQ(text[19].rfind("Continue Click: ", 0), 0u);
        ASSERT_EQ(text[20].rfind("Toggle Click  : ", 0), 0u);
        ASSERT_EQ(text[19].size(), text[20].size()) << text[19] << " / " << text[20];
        const std::map<int, std::pair<int, int>> ink = Ink(kRecordView, IDC_DEBUG_LIST);
        ASSERT_TRUE(ink.count(19) && ink.count(20));
        EXPECT_EQ(ink.at(19).second, ink.at(20).second);
    }

    // Every profile and button in file order, as the mouse holds them.
    std::size_t at = 11;
    int segment = 1;
    for (const auto& [p, profile] : mouse) {
        EXPECT_EQ(text[at], "===============Profile: " + std::to_string(p) + " =======================");
        EXPECT_EQ(text[at + 2], "DPI          : " + std::to_string(profile.dpi));
        EXPECT_EQ(text[at + 3], "Sensor       : " + std::to_string(profile.pollRate));
        at += 5;
        for (const auto& [b, button] : profile.buttons) {
            SCOPED_TRACE("profile " + std::to_string(p) + " button " + std::to_string(b));
            EXPECT_EQ(text[at], "------------ Profile: " + std::to_string(p) + ", Button: " + std::to_string(b) +
                                    " SegmentID = " + std::to_string(segment++) + "-------------------------");
            EXPECT_EQ(text[at + 2], "Button ID: " + std::to_string(button.index & 31));
            EXPECT_EQ(text[at + 5], std::string("Function Name : ") + macro::DebugFunctionName(button.function & 31));
            EXPECT_EQ(text[at + 6], "Function Ext  : " + Hex2(button.parameter) + "h");
            at += 73;
        }
        ++at;
    }

    Command(kRecordView, IDC_DEBUG_HEX);
    std::vector<std::string> hex;
    ASSERT_TRUE(WaitFor([&] { return (hex = List(kRecordView, IDC_DEBUG_LIST)).size() > 12 && hex[12].size() == 2; }));
    ASSERT_EQ(hex.size(), 11u + 5 * (5 + 7 * (4 + 1 + 16 + 1) + 1));
    at = 16;
    for (const auto& [p, profile] : mouse) {
        for (const auto& [b, button] : profile.buttons) {
            SCOPED_TRACE("hex: profile " + std::to_string(p) + " button " + std::to_string(b));
            EXPECT_EQ(hex[at].rfind("------------ Profile: " + std::to_string(p) + ", Button: " + std::to_string(b), 0),
                      0u) << hex[at];
            EXPECT_EQ(hex[at + 1], Hex2(button.index));
            EXPECT_EQ(hex[at + 2], Hex2(button.function));
            EXPECT_EQ(hex[at + 3], Hex2(button.parameter));
            std::istringstream pairs(button.keys);
            for (int k = 0; k < 16; ++k) {
                std::string pair;
                if (!(pairs >> pair)) pair = "00:00";
                EXPECT_EQ(hex[at + 5 + k], pair.substr(0, 2) + "  " + pair.substr(3, 2) + "       (key:" +
                                               std::to_string(k) + ")");
            }
            at += 22;
        }
        at += 6;
    }

    Command(kRecordView, IDC_DEBUG_TEXT);  // again
    EXPECT_TRUE(WaitFor([&] { return List(kRecordView, IDC_DEBUG_LIST) == text; }));
    DriverOut(std::string("post ") + kRecordView + " 16 0 0");  // the close box
    EXPECT_TRUE(Gone(kRecordView));
    Quit();
}

}  // namespace
