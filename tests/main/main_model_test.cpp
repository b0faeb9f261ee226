// The main window's portable rules: the click decision under a fake clock,
// the menu's fade sequence, assigning functions, Abandon's extent and the
// detail dialogs' parameters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/main/main_model.h"

namespace {

using namespace mainwin;

// Five profiles of seven buttons, button map in order.
ProfileRecord FiveBySeven() {
    ProfileRecord r;
    r.bytes[record::kProfileNum] = 5;
    r.bytes[record::kButtonNum] = 7;
    for (int k = 0; k < 7; ++k) record::Set32(r.data(), record::kButtonMap + 4 * k, static_cast<std::uint32_t>(k));
    return r;
}

// One window timer driven by a fake clock: events at given milliseconds,
// the timer firing when its period has passed and no event came first.
class ClickClock {
public:
    explicit ClickClock(unsigned doubleClickMs) : doubleClickMs_(doubleClickMs) {}
    // A timer is a low-priority message: one due at the moment of an event
    // comes after it.
    void Click(long at, int button) {
        RunUntil(at - 1);
        due_ = at + decision_.OnClick(button, doubleClickMs_);
    }
    void DoubleClick(long at) {
        RunUntil(at - 1);
        due_ = at + decision_.OnDoubleClick();
    }
    void RunUntil(long at) {
        while (due_ >= 0 && due_ <= at) {
            const long fired = due_;
            due_ = -1;
            const ClickDecision::Action action = decision_.OnTimer();
            if (action == ClickDecision::Action::ToggleMenu)
                log_.push_back("menu " + std::to_string(decision_.ClickButton()) + " @" + std::to_string(fired));
            if (action == ClickDecision::Action::OpenDetail)
                log_.push_back("detail " + std::to_string(decision_.ClickButton()) + " @" + std::to_string(fired));
            decision_.Finished();
        }
    }
    const std::vector<std::string>& Log() const { return log_; }

private:
    ClickDecision decision_;
    unsigned doubleClickMs_;
    long due_ = -1;
    std::vector<std::string> log_;
};

TEST(ClickDecision, SingleDoubleAndSlowDoubleClicks) {
    ClickClock single(400);
    single.Click(0, 3);
    single.RunUntil(5000);
    EXPECT_EQ(single.Log(), (std::vector<std::string>{"menu 3 @400"}));

    // The second press comes before the timer: the detail dialog, no menu;
    // the release that follows restarts the timer and the decision holds.
    ClickClock fast(500);
    fast.Click(0, 2);
    fast.DoubleClick(120);
    fast.Click(120, 2);
    fast.RunUntil(5000);
    EXPECT_EQ(fast.Log(), (std::vector<std::string>{"detail 2 @620"}));

    // Double-click time above 500 ms: the timer still waits only 500 ms, so a
    // slower double click first shows the menu, then opens the detail dialog.
    ClickClock slow(900);
    slow.Click(0, 5);
    slow.DoubleClick(700);
    slow.RunUntil(5000);
    EXPECT_EQ(slow.Log(), (std::vector<std::string>{"menu 5 @500", "detail 5 @700"}));

    // Two labels, slowly: each click decides for its own label.
    ClickClock two(500);
    two.Click(0, 1);
    two.Click(1000, 4);
    two.RunUntil(5000);
    EXPECT_EQ(two.Log(), (std::vector<std::string>{"menu 1 @500", "menu 4 @1500"}));
}

TEST(ClickDecision, ATimerDuringTheDetailDialogDoesNothing) {
    ClickDecision d;
    d.OnClick(6, 500);
    d.OnDoubleClick();
    EXPECT_EQ(d.OnTimer(), ClickDecision::Action::OpenDetail);
    // A click while the modal dialog runs restarts the timer; it fires inside.
    d.OnClick(6, 500);
    EXPECT_EQ(d.OnTimer(), ClickDecision::Action::None);
    d.Finished();
    EXPECT_EQ(d.CurrentState(), ClickDecision::State::NoDoubleClick);
}

// Every tick's visible effect: alphas as numbers, "hide", "-" for a held or
// empty tick, "finish".
std::vector<std::string> RunFade(MenuFade& fade, int ticks) {
    std::vector<std::string> out;
    for (int i = 0; i < ticks; ++i) {
        const MenuFade::Tick t = fade.OnTick();
        std::string s = t.setAlpha ? std::to_string(t.alpha) : "";
        if (t.hide) s += s.empty() ? "hide" : "+hide";
        if (t.finish) s = "finish";
        out.push_back(s.empty() ? "-" : s);
        if (t.finish) break;
    }
    return out;
}

std::vector<std::string> Held(std::vector<std::string> v, int n) {
    v.insert(v.end(), n, "-");
    return v;
}

TEST(MenuFade, FadeInOutAndOutThenIn) {
    const std::vector<std::string> in = {"0", "25", "51", "76", "102", "127", "153", "178", "204", "229", "255"};
    MenuFade fade;
    fade.RequestFromStart(MenuFade::kFadeIn);
    std::vector<std::string> expected = in;
    expected.push_back("-");  // the tick that ends the fade in
    expected.push_back("finish");
    EXPECT_EQ(RunFade(fade, 40), expected);

    // Out from full: three steps, the 300 ms hold, down to 25 and hidden,
    // another 300 ms hold, then the finish.
    fade.Request(MenuFade::kFadeOut);
    expected = Held({"229", "204", "178"}, 10);
    for (const char* a : {"153", "127", "102", "76", "51"}) expected.push_back(a);
    expected.push_back("25+hide");
    expected = Held(expected, 10);
    expected.push_back("finish");
    EXPECT_EQ(RunFade(fade, 60), expected);

    // Out then in again, for another button: hidden 300 ms, then a full fade in.
    MenuFade again;
    again.RequestFromStart(MenuFade::kFadeIn);
    RunFade(again, 40);
    again.Request(MenuFade::kFadeOutThenIn);
    const std::vector<std::string> ticks = RunFade(again, 80);
    std::vector<std::string> tail(ticks.end() - 13, ticks.end());
    expected = in;
    expected.push_back("-");
    expected.push_back("finish");
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(ticks[18], "25+hide");
    EXPECT_EQ(std::vector<std::string>(ticks.begin() + 19, ticks.begin() + 29), std::vector<std::string>(10, "-"));
}

class Assign : public ::testing::Test {
protected:
    ProfileRecord r = FiveBySeven();
    void SetUp() override {
        for (int b = 0; b < 7; ++b) Button(r, 0, b)[record::kFunID] = static_cast<unsigned char>(b == 0 ? 1 : 2);
    }
};

TEST_F(Assign, TheLastLeftClickIsKept) {
    const ProfileRecord before = r;
    EXPECT_EQ(AssignFunction(r, 0, 0, kButtonOff), AssignResult::Refused);
    EXPECT_EQ(AssignFunction(r, 0, 0, kMacro), AssignResult::Refused);
    EXPECT_EQ(AssignFunction(r, 0, 0, kClick), AssignResult::Unchanged);
    EXPECT_EQ(r, before);
    // With a second CLICK button either one may give it up.
    EXPECT_EQ(AssignFunction(r, 0, 4, kClick), AssignResult::Changed);
    EXPECT_EQ(AssignFunction(r, 0, 0, kButtonOff), AssignResult::Changed);
    EXPECT_EQ(FunctionOf(r, 0, 0), kButtonOff);
    EXPECT_EQ(AssignFunction(r, 0, 4, kButtonOff), AssignResult::Refused);
}

TEST_F(Assign, AChangeResetsTheBlockAndTheSameCodeKeepsIt) {
    unsigned char* b = Button(r, 0, 3);
    b[record::kBtnIndex] = 3;
    b[record::kFunID] = 0x20 | kMacro;  // a macro flag in the high bits
    b[record::kFunExt] = 7;
    b[record::kKeySlots] = 0x04;
    ProfileRecord kept = r;
    EXPECT_EQ(AssignFunction(r, 0, 3, kMacro), AssignResult::Unchanged);
    EXPECT_EQ(r, kept);

    EXPECT_EQ(AssignFunction(r, 0, 3, kSingle), AssignResult::Changed);
    EXPECT_EQ(b[record::kBtnIndex], 3);
    EXPECT_EQ(b[record::kFunID], kSingle);
    for (std::size_t i = record::kFunExt; i < record::kButtonSize; ++i) EXPECT_EQ(b[i], 0) << i;
    // Only that block changed.
    const std::size_t first = record::ButtonOffset(r.data(), 0, 3), end = first + record::kButtonSize;
    for (std::size_t i = 0; i < record::kSize; ++i) {
        const bool inBlock = i >= first && i < end;
        EXPECT_TRUE(inBlock || r.bytes[i] == kept.bytes[i]) << i;
    }
}

TEST(Logo, FrameZeroFor22TicksAfterStartAndAfterEveryWrap) {
    for (int tick : {0, 21, 66, 87}) EXPECT_EQ(LogoFrame(tick), 0) << tick;
    EXPECT_EQ(LogoFrame(22), 22);
    EXPECT_EQ(LogoFrame(65), 65);
    EXPECT_EQ(LogoFrame(66 + 22), 22);
}

// Short work shows nothing; long work turns the logo through its turning
// frames, one frame a period, also across a wrap of the millisecond clock.
TEST(Logo, TheBusyCueWaitsThenTurnsTheLogoAtItsPace) {
    const unsigned start = 0xFFFFFF00u;  // the clock wraps 256 ms in
    BusyCue cue(start);
    EXPECT_EQ(cue.FrameAt(start + BusyCue::kDelayMs - 1), -1);
    EXPECT_FALSE(cue.Shown());
    unsigned now = start + BusyCue::kDelayMs;
    EXPECT_EQ(cue.FrameAt(now), 22);
    EXPECT_TRUE(cue.Shown());
    EXPECT_EQ(cue.FrameAt(now + BusyCue::kFrameMs - 1), -1);
    std::vector<int> frames{22};
    for (int i = 0; i < 44; ++i) frames.push_back(cue.FrameAt(now += BusyCue::kFrameMs));
    EXPECT_EQ(frames[43], 65);
    EXPECT_EQ(frames[44], 22);  // round again
    for (int i = 1; i < 44; ++i) EXPECT_EQ(frames[i], frames[i - 1] + 1) << i;
}

TEST(DetailDialogs, ParametersAndTheAbandonExtent) {
    EXPECT_EQ(DpiChoiceFromFunExt(0), 1);  // a fresh button shows 800
    EXPECT_EQ(DpiChoiceFromFunExt(3), 3);
    EXPECT_EQ(DpiChoiceFromFunExt(0x08), 4);
    EXPECT_EQ(DpiChoiceFromFunExt(0x04), 5);
    EXPECT_EQ(DpiChoiceFromFunExt(0x0C), 4);  // up wins
    EXPECT_EQ(FunExtFromDpiChoice(1), 1u);
    EXPECT_EQ(FunExtFromDpiChoice(4), 0x08u);
    EXPECT_EQ(FunExtFromDpiChoice(5), 0x04u);

    ProfileRecord r = FiveBySeven();
    EXPECT_EQ(AbandonSize(r), 1545u);
    for (int k = 0; k < 7; ++k) record::Set32(r.data(), record::kButtonMap + 4 * k, static_cast<std::uint32_t>(6 - k));
    EXPECT_EQ(ButtonNumberOfSlot(r, 6), 1);
    EXPECT_EQ(ButtonNumberOfSlot(r, 0), 7);
    EXPECT_EQ(ButtonNumberOfSlot(r, 9), 8);  // no entry names it
}

}  // namespace
