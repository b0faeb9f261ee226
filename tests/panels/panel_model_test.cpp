// The side panels' rules: bar frames and steps of the right panel against a
// fake desktop, the pointer-speed thumb's levels, track and drag, and the
// slide of both panels with its wait for the painted frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/panels/panel_model.h"

using namespace panels;

namespace {

// The desktop as a test wants it: values that can be changed behind the
// panel's back, an optional cap the "system" applies to wheel lines, and a
// record of every write.
class FakeDesktop : public DesktopSettings {
public:
    std::uint32_t lines = 3;
    std::uint32_t doubleClickMs = 500;
    int speed = 10;
    std::optional<std::uint32_t> lineCap;
    std::vector<int> speedWrites;
    int writes = 0;

    std::uint32_t WheelScrollLines() override { return lines; }
    void SetWheelScrollLines(std::uint32_t value) override {
        ++writes;
        lines = lineCap && value > *lineCap ? *lineCap : value;
    }
    std::uint32_t DoubleClickTime() override { return doubleClickMs; }
    void SetDoubleClickTime(std::uint32_t ms) override {
        ++writes;
        doubleClickMs = ms;
    }
    int MouseSpeed() override { return speed; }
    void SetMouseSpeed(int value) override {
        ++writes;
        speedWrites.push_back(value);
        speed = value;
    }
};

}  // namespace

TEST(RightPanel, BarFramesFollowTheLevelsAndSettingsBeyondThemShowTheNearestEnd) {
    EXPECT_EQ(WheelFrame(2), 0);
    EXPECT_EQ(WheelFrame(3), 1);
    EXPECT_EQ(WheelFrame(20), 9);
    EXPECT_EQ(WheelFrame(0), 0);
    EXPECT_EQ(WheelFrame(45), 9);
    EXPECT_EQ(WheelFrame(kWheelPageScroll), 9);

    EXPECT_EQ(DoubleClickFrame(200), 7);
    EXPECT_EQ(DoubleClickFrame(300), 6);
    EXPECT_EQ(DoubleClickFrame(900), 0);
    EXPECT_EQ(DoubleClickFrame(150), 7);   // level 8: beyond the bar
    EXPECT_EQ(DoubleClickFrame(1000), 0);  // level -1
    EXPECT_EQ(DoubleClickFrame(0xFFFFFFFF), 0);
}

TEST(RightPanel, WheelStepsKeepOneToTwentyLines) {
    FakeDesktop desktop;
    struct Case {
        std::uint32_t before;
        Step step;
        std::uint32_t after;
        int frame;
    };
    const Case cases[] = {
        {3, Step::Up, 5, 2}, {20, Step::Up, 20, 9}, {19, Step::Up, 20, 9}, {1, Step::Down, 1, 0}, {2, Step::Down, 1, 0},
        // Made elsewhere: above 20 steps down by 2 and up to 20; 0 counts up
        // from 0; a screen per notch steps as 20 lines.
        {25, Step::Down, 23, 9}, {25, Step::Up, 20, 9}, {0, Step::Up, 2, 0}, {0, Step::Down, 1, 0},
        {kWheelPageScroll, Step::Up, 20, 9}, {kWheelPageScroll, Step::Down, 18, 8},
    };
    for (const Case& c : cases) {
        desktop.lines = c.before;
        const std::uint32_t shown = StepWheelLines(desktop, c.step);
        EXPECT_EQ(shown, c.after) << c.before;
        EXPECT_EQ(desktop.lines, c.after) << c.before;
        EXPECT_EQ(WheelFrame(shown), c.frame) << c.before;
    }
}

TEST(RightPanel, DoubleClickStepsKeepTwoToNineHundredMilliseconds) {
    FakeDesktop desktop;
    struct Case {
        std::uint32_t before;
        Step step;
        std::uint32_t after;
    };
    const Case cases[] = {
        {250, Step::Down, 200}, {850, Step::Up, 900}, {500, Step::Up, 600}, {200, Step::Down, 200},
        // Made elsewhere, beyond the range: the step lands on its end.
        {150, Step::Down, 200}, {1500, Step::Up, 900}, {1500, Step::Down, 1400},
    };
    for (const Case& c : cases) {
        desktop.doubleClickMs = c.before;
        EXPECT_EQ(StepDoubleClickTime(desktop, c.step), c.after) << c.before;
        EXPECT_EQ(desktop.doubleClickMs, c.after) << c.before;
    }
}

TEST(RightPanel, EveryStepStartsFromTheSystemAndShowsWhatItReportsAfterwards) {
    FakeDesktop desktop;
    desktop.lines = 3;
    EXPECT_EQ(StepWheelLines(desktop, Step::Up), 5u);
    desktop.lines = 11;  // changed by another program in between
    EXPECT_EQ(StepWheelLines(desktop, Step::Up), 13u);
    // The bar shows the value read back, not the one asked for.
    desktop.lineCap = 12;
    desktop.lines = 11;
    EXPECT_EQ(StepWheelLines(desktop, Step::Up), 12u);

}

TEST(RightPanel, SensitivityStepsStayWithinOneToTen) {
    EXPECT_EQ(SensitiveRateAfter(5, Step::Down), 4);
    EXPECT_EQ(SensitiveRateAfter(1, Step::Down), 1);
    EXPECT_EQ(SensitiveRateAfter(10, Step::Up), 10);
    EXPECT_EQ(SensitiveRateAfter(0, Step::Up), 1);
    EXPECT_EQ(SensitiveRateAfter(200, Step::Down), 10);
}

TEST(LeftPanel, PointerSpeedLevelsAndTheSpeedsTheyWrite) {
    EXPECT_EQ(PointerSpeedLevel(10), 4);
    EXPECT_EQ(SpeedForLevel(4), 10);
    EXPECT_EQ(PointerSpeedLevel(1), 0);
    EXPECT_EQ(SpeedForLevel(0), 2);
    EXPECT_EQ(PointerSpeedLevel(20), 9);
    EXPECT_EQ(SpeedForLevel(9), 20);
    // Outside 1..20 (a broken setting): the nearest end of the track.
    EXPECT_EQ(PointerSpeedLevel(-7), 0);
    EXPECT_EQ(PointerSpeedLevel(25), 9);
}

TEST(LeftPanel, LevelsFromTheCursorHeight) {
    // Pointer speed: higher on the track is faster.
    EXPECT_EQ(LevelFromY(Thumb::PointerSpeed, 50), 8);  // 50 >= 45 but < 51
    EXPECT_EQ(LevelFromY(Thumb::PointerSpeed, 30), 9);
    EXPECT_EQ(LevelFromY(Thumb::PointerSpeed, 200), 0);
    EXPECT_EQ(LevelFromY(Thumb::PointerSpeed, 117), 0);
    EXPECT_EQ(LevelFromY(Thumb::PointerSpeed, 116), 1);
    // Y rate: the same rule over its own track.
    EXPECT_EQ(LevelFromY(Thumb::YRate, 94), 4);
    EXPECT_EQ(LevelFromY(Thumb::YRate, 49), 9);
    // X rate: searched from level 9 down.
    EXPECT_EQ(LevelFromY(Thumb::XRate, 300), 9);
    EXPECT_EQ(LevelFromY(Thumb::XRate, 194), 6);
    EXPECT_EQ(LevelFromY(Thumb::XRate, 150), 2);
    EXPECT_EQ(LevelFromY(Thumb::XRate, 124), 0);

    EXPECT_EQ(TrackPosition(Thumb::PointerSpeed, 9), (Point{124, 36}));
    EXPECT_EQ(TrackPosition(Thumb::XRate, 7), (Point{85, 206}));
    EXPECT_EQ(TrackPosition(Thumb::YRate, 42), (Point{165, 50}));  // clamped
}

TEST(LeftPanel, ADragMovesTheThumbLevelByLevelAndTheDropWritesItsSpeed) {
    FakeDesktop desktop;
    ThumbDrag drag;
    drag.SetLevel(Thumb::PointerSpeed, PointerSpeedLevel(desktop.speed), true);
    EXPECT_EQ(drag.Level(Thumb::PointerSpeed), 4);

    drag.Press(Thumb::PointerSpeed);
    EXPECT_EQ(drag.Move(80), std::nullopt);  // still level 4
    EXPECT_EQ(drag.Move(60), 6);
    EXPECT_EQ(drag.Previous(Thumb::PointerSpeed), 4);
    EXPECT_EQ(drag.StaleImageAt(), TrackPosition(Thumb::PointerSpeed, 4));
    EXPECT_EQ(drag.Move(50), 8);
    EXPECT_EQ(drag.Previous(Thumb::PointerSpeed), 6);

    const auto drop = drag.Release();
    ASSERT_TRUE(drop);
    EXPECT_EQ(drop->level, 8);
    EXPECT_TRUE(DropPointerSpeed(desktop, *drop));
    EXPECT_EQ(desktop.speedWrites, std::vector<int>{18});
    EXPECT_EQ(drag.Dragged(), std::nullopt);
    EXPECT_EQ(drag.StaleImageAt(), std::nullopt);

    // Dropped back at level 0: speed 2.
    drag.Press(Thumb::PointerSpeed);
    drag.Move(200);
    EXPECT_TRUE(DropPointerSpeed(desktop, *drag.Release()));
    EXPECT_EQ(desktop.speed, 2);
}

TEST(LeftPanel, AReleaseWithoutADragOrWithoutAMoveChangesNothing) {
    FakeDesktop desktop;
    desktop.speed = 11;  // odd: made elsewhere, shown as level 5
    ThumbDrag drag;
    drag.SetLevel(Thumb::PointerSpeed, PointerSpeedLevel(desktop.speed), true);

    // Moves and a release reported with no thumb pressed.
    EXPECT_EQ(drag.Move(30), std::nullopt);
    EXPECT_EQ(drag.Release(), std::nullopt);
    EXPECT_EQ(drag.Level(Thumb::PointerSpeed), 5);

    // A click on the thumb, and a drag that comes back to where it began.
    drag.Press(Thumb::PointerSpeed);
    auto drop = drag.Release();
    ASSERT_TRUE(drop);
    EXPECT_FALSE(drop->changed);
    EXPECT_FALSE(DropPointerSpeed(desktop, *drop));
    drag.Press(Thumb::PointerSpeed);
    drag.Move(40);
    drag.Move(70);
    drop = drag.Release();
    EXPECT_FALSE(drop->changed);
    EXPECT_FALSE(DropPointerSpeed(desktop, *drop));
    EXPECT_EQ(desktop.writes, 0);
    EXPECT_EQ(desktop.speed, 11);
}

TEST(LeftPanel, AHiddenRateThumbDragsOnItsOwnTrackAndWritesNoSpeed) {
    FakeDesktop desktop;
    ThumbDrag drag;
    drag.SetLevel(Thumb::XRate, 12);  // a record byte beyond the track
    drag.Press(Thumb::XRate);
    EXPECT_EQ(drag.Move(150), 2);
    EXPECT_EQ(drag.Level(Thumb::PointerSpeed), 0);  // the others stay
    EXPECT_FALSE(DropPointerSpeed(desktop, *drag.Release()));
    EXPECT_EQ(desktop.writes, 0);
}

namespace {

// Ticks a slide, painting each frame it asks for, until it stops its timer;
// the frames it showed in order.
struct SlideRun {
    std::vector<int> frames;
    int stowed = 0;
    int opened = 0;
    int closed = 0;
    int ticks = 0;
};

SlideRun RunSlide(Slide& slide) {
    SlideRun run;
    for (;;) {
        const SlideStep step = slide.Tick();
        ++run.ticks;
        if (step.stopTimer || run.ticks > 1000) return run;
        if (step.frame >= 0) run.frames.push_back(step.frame);
        run.stowed += step.stowControls;
        run.opened += step.opened;
        run.closed += step.closed;
        slide.FramePainted();
    }
}

std::vector<int> Range(int from, int to) {
    std::vector<int> out;
    for (int f = from; from <= to ? f <= to : f >= to; from <= to ? ++f : --f) out.push_back(f);
    return out;
}

}  // namespace

TEST(PanelSlide, TheRightPanelSlidesOutThroughSixtyOneFramesAndBackIn) {
    Slide slide(kRightPanelLastFrame);
    slide.Open();
    EXPECT_EQ(slide.state(), 5u);
    SlideRun out = RunSlide(slide);
    EXPECT_EQ(out.frames, Range(0, 60));
    EXPECT_EQ(out.opened, 1);
    EXPECT_EQ(out.stowed, 0);
    EXPECT_TRUE(slide.IsOpen());
    EXPECT_EQ(slide.state(), 0u);

    slide.Close();
    EXPECT_EQ(slide.state(), 6u);
    SlideRun in = RunSlide(slide);
    // Frames 60 down to 1 with the controls out of sight, then frame 0 as
    // the panel hides.
    EXPECT_EQ(in.frames, Range(60, 0));
    EXPECT_EQ(in.stowed, 60);
    EXPECT_EQ(in.closed, 1);
    EXPECT_EQ(slide.frame(), 0);
    // The hidden panel paints nothing, yet the timer stops.
    EXPECT_FALSE(slide.pending());
}

TEST(PanelSlide, NoTickMovesOnBeforeTheFrameIsPainted) {
    Slide slide(kLeftPanelLastFrame);
    slide.Open();
    EXPECT_EQ(slide.Tick().frame, 0);
    for (int i = 0; i < 3; ++i) {
        const SlideStep idle = slide.Tick();
        EXPECT_EQ(idle.frame, -1);
        EXPECT_FALSE(idle.stopTimer);
    }
    slide.FramePainted();
    EXPECT_EQ(slide.Tick().frame, 1);
}

TEST(PanelSlide, TheLeftPanelsEighteenFramesAndAReversalHalfway) {
    Slide left(kLeftPanelLastFrame);
    left.Open();
    EXPECT_EQ(RunSlide(left).frames, Range(0, 17));

    Slide slide(kRightPanelLastFrame);
    slide.Open();
    for (int i = 0; i < 10; ++i) {
        slide.Tick();
        slide.FramePainted();
    }
    EXPECT_EQ(slide.frame(), 10);
    slide.Close();
    EXPECT_EQ(RunSlide(slide).frames, Range(10, 0));

    // Opened again from closed, and an Open of an open panel only refreshes.
    slide.Open();
    RunSlide(slide);
    slide.Open();
    const SlideRun again = RunSlide(slide);
    EXPECT_EQ(again.frames, std::vector<int>{60});
    EXPECT_EQ(again.opened, 1);
}
