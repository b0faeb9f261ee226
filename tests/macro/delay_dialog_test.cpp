// The delay dialog's slider rule and its slide animation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ui/macro/delay_dialog.h"

using namespace macro;

namespace {
SliderChange Move(DelayValue v, Slider s, int value, int remain) {
    return ChangeSlider(v, s, SliderMaximum(s) - value, remain);
}
int PositionOf(const DelayValue& v, Slider s) {
    const SliderPositions p = PositionsFor(v);
    return s == Slider::Minutes ? p.minutes : s == Slider::Seconds ? p.seconds : p.hundredths;
}
}  // namespace

TEST(DelayDialog, SlidersShowMaximumMinusPositionAndTopOutAtTenMinutes) {
    EXPECT_EQ(PositionsFor({0, 0, 0}), (SliderPositions{10, 59, 99}));
    EXPECT_EQ(PositionsFor({12, 5, 23}), (SliderPositions{0, 54, 76}));
    EXPECT_EQ(SliderValue(Slider::Hundredths, 250), 0);  // clamped into the range
    EXPECT_EQ(SecondsText({3, 5, 7}), "05.07");
}

TEST(DelayDialog, WithNoByteLeftOnlyMovesInsideABandAreTaken) {
    const struct {
        DelayValue v;
        Slider s;
        int to;
        bool taken;
    } cases[] = {
        // a delay is never set to 0
        {{0, 0, 50}, Slider::Hundredths, 0, false}, {{0, 30, 0}, Slider::Seconds, 0, false},
        {{1, 0, 0}, Slider::Minutes, 0, false},
        // nothing that needs a new key slot
        {{0, 1, 0}, Slider::Hundredths, 1, false}, {{0, 1, 0}, Slider::Hundredths, 99, false},
        {{0, 0, 50}, Slider::Hundredths, 51, false}, {{0, 0, 10}, Slider::Seconds, 1, false},
        {{0, 0, 10}, Slider::Seconds, 59, false}, {{0, 30, 0}, Slider::Seconds, 31, false},
        {{0, 5, 0}, Slider::Minutes, 1, false}, {{2, 0, 0}, Slider::Minutes, 3, false},
        // moves inside a band, and one that gives a part back
        {{0, 0, 10}, Slider::Hundredths, 40, true}, {{0, 5, 0}, Slider::Seconds, 20, true},
        {{1, 40, 0}, Slider::Seconds, 50, true}, {{0, 1, 50}, Slider::Hundredths, 0, true}};
    for (const auto& c : cases) {
        const SliderChange r = Move(c.v, c.s, c.to, 0);
        EXPECT_EQ(r.outcome, c.taken ? SliderChange::Accepted : SliderChange::Refused) << c.to;
        if (c.taken) {
            EXPECT_EQ(r.position, SliderMaximum(c.s) - c.to);
            EXPECT_GE(r.remainCount, 0);
        } else {  // the slider is put back and nothing changes
            EXPECT_EQ(r.position, PositionOf(c.v, c.s));
            EXPECT_EQ(r.value, c.v);
            EXPECT_EQ(r.remainCount, 0);
        }
    }
    EXPECT_EQ(Move({0, 0, 40}, Slider::Hundredths, 40, 0).outcome, SliderChange::Unchanged);
}

TEST(DelayDialog, EachNewPartCostsTwoBytesAndLoweringGivesThemBack) {
    // A click from 0 to 80 hundredths on a delay with seconds adds two parts.
    const SliderChange jump = Move({0, 1, 0}, Slider::Hundredths, 80, 10);
    EXPECT_EQ(jump.remainCount, 6);
    EXPECT_EQ(DelayMilliseconds(jump.value), 1800u);
    EXPECT_EQ(Move({0, 20, 0}, Slider::Minutes, 3, 12).remainCount, 0);
    EXPECT_EQ(Move({0, 31, 0}, Slider::Seconds, 30, 0).remainCount, 2);
    EXPECT_EQ(Move({0, 31, 60}, Slider::Hundredths, 40, -5).remainCount, -3);  // even when over-full
    const auto band = [](int h) { return h == 0 ? 0 : h <= 50 ? 1 : 2; };
    for (int from = 0; from <= 99; ++from)
        for (int to = 0; to <= 99; ++to)
            ASSERT_EQ(100 - Move({0, 1, from}, Slider::Hundredths, to, 100).remainCount, 2 * (band(to) - band(from)))
                << from << "->" << to;
}

TEST(DelayDialog, SlideOpensAndClosesInStepsOf15AndASwitchPauses300ms) {
    for (int height : {0, 14, 15, 90, 100, 131}) {
        DelaySlide slide;
        int top = 0;
        // Runs the timer until it is killed; counts moving and waiting ticks.
        const auto run = [&](DelayDialogRequest r, int& moves, int& waits) {
            slide.Request(r);
            for (DelaySlide::Step st; (st = slide.Tick(0, height)).action != DelaySlide::Step::KillTimer;) {
                ASSERT_NE(st.action, DelaySlide::Step::Idle);
                ASSERT_LE(std::abs(st.top - top), 15);
                (st.action == DelaySlide::Step::Wait ? waits : moves) += 1;
                top = st.top;
            }
        };
        int moves = 0, waits = 0;
        run(DelayDialogRequest::Open, moves, waits);
        EXPECT_EQ(top, height);
        EXPECT_EQ(moves, (height + 14) / 15 + (height % 15 == 0 ? 1 : 0)) << height;
        moves = 0;
        run(DelayDialogRequest::Switch, moves, waits);
        EXPECT_EQ(top, height);
        EXPECT_EQ(waits, 10);
        moves = waits = 0;
        run(DelayDialogRequest::Close, moves, waits);
        EXPECT_EQ(moves, height / 15 + 1) << height;
        EXPECT_EQ(top, 0);
        EXPECT_EQ(slide.ShownHeight(), 0);
        EXPECT_EQ(slide.Tick(0, height).action, DelaySlide::Step::Idle);
    }
}

TEST(DelayDialog, ARequestInMidMovementCarriesOnFromThereAndRestsInPlace) {
    constexpr int kRest = 250, kHeight = 146;
    // Ticks until the timer is killed; the top of every move, which the
    // window takes over.
    const auto settle = [](DelaySlide& slide, int& top, bool& shown) {
        for (int ticks = 0; ticks < 200; ++ticks) {
            const DelaySlide::Step st = slide.Tick(kRest, kHeight);
            if (st.action == DelaySlide::Step::KillTimer) return;
            ASSERT_NE(st.action, DelaySlide::Step::Idle);
            if (st.action == DelaySlide::Step::Wait) continue;
            ASSERT_LE(std::abs(st.top - top), 15) << "a jump";
            top = st.top;
            shown = st.action == DelaySlide::Step::MoveShown;
        }
        FAIL() << "the timer was never killed";
    };
    // Every request after every number of ticks of every other: where
    // the dialog comes to rest depends only on the last request.
    const DelayDialogRequest requests[] = {DelayDialogRequest::Open, DelayDialogRequest::Close,
                                           DelayDialogRequest::Switch};
    for (DelayDialogRequest first : requests)
        for (DelayDialogRequest second : requests)
            for (int ticks = 0; ticks <= 22; ++ticks) {
                SCOPED_TRACE(std::to_string(static_cast<int>(first)) + " then " +
                             std::to_string(static_cast<int>(second)) + " after " + std::to_string(ticks));
                DelaySlide slide;
                int top = kRest;
                bool shown = false;
                slide.Request(DelayDialogRequest::Open);
                settle(slide, top, shown);
                ASSERT_EQ(top, kRest + kHeight);
                slide.Request(first);
                for (int t = 0; t < ticks; ++t) {
                    const DelaySlide::Step st = slide.Tick(kRest, kHeight);
                    if (st.action == DelaySlide::Step::MoveShown || st.action == DelaySlide::Step::MoveHidden)
                        top = st.top;
                }
                // The window moves to where the slide has it when the request comes.
                slide.Request(second);
                ASSERT_EQ(slide.Top(kRest), top);
                settle(slide, top, shown);
                if (second == DelayDialogRequest::Close) {
                    EXPECT_EQ(top, kRest);
                    EXPECT_FALSE(shown);
                    EXPECT_EQ(slide.ShownHeight(), 0);
                } else {
                    EXPECT_EQ(top, kRest + kHeight);
                    EXPECT_TRUE(shown);
                    EXPECT_EQ(slide.ShownHeight(), kHeight);
                }
            }
}
