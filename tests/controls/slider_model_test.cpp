// The bitmap slider's maths and its mouse and key rules.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "ui/controls/slider_model.h"

using namespace controls;

namespace {

constexpr unsigned kMoving = kSliderMovingMessage;
constexpr unsigned kMoved = kSliderMovedMessage;

std::vector<SliderNotification> Notes(const SliderEffect& e) { return {e.notes, e.notes + e.count}; }

// Travel 100 pixels from pixel 9 (thumb 11 wide, margins 4 and 5 in a
// 120-pixel channel); over 0..50 every position is two pixels.
SliderModel Horizontal() {
    SliderModel m;
    m.SetChannelSize(120, 20);
    m.SetThumbSize(11, 20);
    m.SetMargin(4, 0, 5, 0);
    m.SetRange(0, 50);
    return m;
}

SliderModel Vertical() {
    SliderModel m;
    m.SetChannelSize(20, 120);
    m.SetThumbSize(20, 11);
    m.SetMargin(0, 4, 0, 5);
    m.SetVertical(true);
    m.SetRange(0, 50);
    return m;
}

}  // namespace

TEST(SliderModel, ConvertsBetweenPositionAndPixelWithTruncation) {
    SliderModel m = Horizontal();
    EXPECT_EQ(m.Travel(), 100);
    EXPECT_EQ(m.PosToPixel(0), 9);
    EXPECT_EQ(m.PosToPixel(25), 59);
    EXPECT_EQ(m.PosToPixel(50), 109);
    EXPECT_EQ(m.PixelToPos(9), 0);
    EXPECT_EQ(m.PixelToPos(60), 25);  // 25.5 truncated
    EXPECT_EQ(m.PixelToPos(109), 50);
    EXPECT_EQ(m.PixelToPos(500), 50);  // clamped
    EXPECT_EQ(m.PixelToPos(-500), 0);

    // Truncation is toward zero, also below zero: -9.4 gives -9, not -10.
    m.SetRange(-10, 10);
    EXPECT_EQ(m.PixelToPos(12), -9);
    EXPECT_EQ(m.PosToPixel(-9), 14);
    // An uneven travel: 1/3 of 100 pixels is 33.3, truncated.
    m.SetRange(0, 3);
    EXPECT_EQ(m.PosToPixel(1), 9 + 33);
}

TEST(SliderModel, EmptyRangeOrNoTravelKeepsTheThumbAtTheStartInsteadOfDividingByZero) {
    SliderModel m = Horizontal();
    m.SetRange(5, 5);
    EXPECT_EQ(m.pos(), 5);
    EXPECT_EQ(m.PosToPixel(5), 9);
    EXPECT_EQ(m.PixelToPos(80), 5);
    SliderEffect e = m.Press(80, 0);
    EXPECT_EQ(m.pos(), 5);
    e = m.Release();
    EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoved, 5}}));

    m = Horizontal();
    m.SetThumbSize(111, 20);  // as long as the travel's whole span
    EXPECT_EQ(m.Travel(), 0);
    EXPECT_EQ(m.PosToPixel(40), 55 + 4);
    EXPECT_EQ(m.PixelToPos(100), 0);
    m.Press(100, 0);
    EXPECT_EQ(m.pos(), 0);

    // With no bitmaps at all the slider is inert but sound.
    SliderModel bare;
    EXPECT_EQ(bare.PosToPixel(50), 0);
    bare.Press(10, 10);
    EXPECT_EQ(bare.pos(), 0);
}

TEST(SliderModel, RangeChangesKeepThePositionInside) {
    SliderModel m = Horizontal();
    m.SetPos(40);
    m.SetRangeMax(30);
    EXPECT_EQ(m.pos(), 30);
    m.SetPos(-7);
    EXPECT_EQ(m.pos(), 0);
    m.SetRangeMin(20);
    EXPECT_EQ(m.pos(), 20);
    // Inverted on the way to a new range: pinned at min, then put right.
    m.SetRangeMin(60);
    EXPECT_EQ(m.pos(), 60);
    m.SetRangeMax(90);
    m.SetPos(75);
    EXPECT_EQ(m.pos(), 75);
    EXPECT_EQ(m.SetPageSize(5), 20);
    EXPECT_EQ(m.SetPageSize(7), 5);
}

TEST(SliderModel, PressOutsideTheThumbJumpsItsCentreToThePointer) {
    SliderModel m = Horizontal();  // thumb centre 9, covering pixels 4..14
    SliderEffect e = m.Press(59, 3);
    EXPECT_TRUE(e.capture);
    EXPECT_TRUE(m.dragging());
    EXPECT_EQ(m.drag_offset(), 0);
    EXPECT_EQ(m.pos(), 25);
    EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoving, 25}}));

    e = m.Move(79, 40);  // off the control across the travel: only x counts
    EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoving, 35}}));
    e = m.Move(79, 0);  // same pixel: nothing
    EXPECT_EQ(e.count, 0);
    EXPECT_FALSE(e.repaint);

    e = m.Release();
    EXPECT_TRUE(e.release);
    EXPECT_FALSE(m.dragging());
    EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoved, 35}}));
    EXPECT_EQ(m.Release().count, 0);  // a second release is not a drag end
    EXPECT_EQ(m.Move(100, 0).count, 0);
}

TEST(SliderModel, PressOnTheThumbKeepsTheGrabPointUnderThePointer) {
    SliderModel m = Horizontal();
    m.SetPos(25);  // centre 59, thumb pixels 54..64
    SliderEffect e = m.Press(62, 0);
    EXPECT_EQ(m.drag_offset(), 3);
    EXPECT_EQ(m.pos(), 25);
    EXPECT_EQ(e.count, 0);  // the thumb did not move
    e = m.Move(72, 0);
    EXPECT_EQ(m.pos(), 30);
    EXPECT_EQ(m.PosToPixel(m.pos()) + m.drag_offset(), 72);
    EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoving, 30}}));

    // The thumb's first and last pixels are on it; the next one is not.
    m.Release();
    m.SetPos(25);
    m.Press(54, 0);
    EXPECT_EQ(m.drag_offset(), -5);
    m.Release();
    m.Press(64, 0);
    EXPECT_EQ(m.drag_offset(), 5);
    m.Release();
    m.SetPos(25);
    m.Press(65, 0);
    EXPECT_EQ(m.drag_offset(), 0);
    EXPECT_EQ(m.pos(), 28);
}

TEST(SliderModel, DragIsClampedToTheTravelAndTheRange) {
    SliderModel m = Horizontal();
    m.Press(30, 0);
    SliderEffect e = m.Move(5000, 0);
    EXPECT_EQ(m.pos(), 50);
    EXPECT_EQ(e.notes[e.count - 1], (SliderNotification{kMoving, 50}));
    m.Move(-5000, 0);
    EXPECT_EQ(m.pos(), 0);
    m.Move(INT_MAX, 0);
    EXPECT_EQ(m.pos(), 50);
    m.Move(INT_MIN, 0);
    EXPECT_EQ(m.pos(), 0);
    EXPECT_EQ(Notes(m.Release()), (std::vector<SliderNotification>{{kMoved, 0}}));
}

TEST(SliderModel, VerticalSliderUsesHeightsAndTopAndBottomMargins) {
    SliderModel m = Vertical();
    EXPECT_EQ(m.PosToPixel(50), 109);
    SliderEffect e = m.Press(500, 59);
    EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoving, 25}}));
    EXPECT_EQ(m.ThumbRect(), (SliderRect{0, 54, 20, 65}));
    m.Move(-3, 80);
    EXPECT_EQ(m.pos(), 35);
    m.Release();

    // Across the travel the thumb is centred between the side margins.
    SliderModel h = Horizontal();
    h.SetThumbSize(11, 8);
    h.SetMargin(4, 2, 5, 4);
    EXPECT_EQ(h.ThumbRect(), (SliderRect{4, 5, 15, 13}));
}

TEST(SliderModel, KeysStepClampAndAlwaysPostMoved) {
    SliderModel m = Horizontal();
    SliderEffect e = m.Key(SliderKey::PageUp);  // at min already
    EXPECT_TRUE(e.handled);
    EXPECT_EQ(m.pos(), 0);
    EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoved, 0}}));

    const struct {
        SliderKey key;
        int from, to;
    } steps[] = {{SliderKey::PageDown, 10, 30}, {SliderKey::PageDown, 45, 50}, {SliderKey::PageUp, 25, 5},
                 {SliderKey::End, 3, 50},       {SliderKey::Home, 33, 0},      {SliderKey::Left, 20, 19},
                 {SliderKey::Up, 20, 19},       {SliderKey::Right, 20, 21},    {SliderKey::Down, 20, 21},
                 {SliderKey::Down, 50, 50},     {SliderKey::Up, 0, 0}};
    for (const auto& s : steps) {
        m.SetPos(s.from);
        e = m.Key(s.key);
        EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoved, s.to}})) << s.from;
        EXPECT_EQ(m.pos(), s.to);
    }
    e = m.Key(SliderKey::Other);
    EXPECT_FALSE(e.handled);  // passed on
    EXPECT_EQ(e.count, 0);
}

TEST(SliderModel, DelaySliderKeysOnlyArrowsAndPostsMovedThenMoving) {
    SliderModel m = Vertical();
    m.SetPos(10);
    SliderEffect e = m.Key(SliderKey::Up, SliderKeyRule::ArrowsAlsoPostMoving);
    EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoved, 9}, {kMoving, 9}}));
    e = m.Key(SliderKey::Right, SliderKeyRule::ArrowsAlsoPostMoving);
    EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoved, 10}, {kMoving, 10}}));
    for (SliderKey k : {SliderKey::PageUp, SliderKey::PageDown, SliderKey::Home, SliderKey::End, SliderKey::Other}) {
        e = m.Key(k, SliderKeyRule::ArrowsAlsoPostMoving);
        EXPECT_TRUE(e.handled);  // swallowed
        EXPECT_EQ(e.count, 0);
        EXPECT_EQ(m.pos(), 10);
    }
}

TEST(SliderModel, DisabledSliderIgnoresInputAndDisablingEndsADrag) {
    SliderModel m = Horizontal();
    m.Press(59, 0);
    SliderEffect e = m.SetEnabled(false);
    EXPECT_TRUE(e.release);
    EXPECT_FALSE(m.dragging());
    EXPECT_EQ(e.count, 0);
    EXPECT_EQ(m.Move(100, 0).count, 0);
    EXPECT_EQ(m.Release().count, 0);
    EXPECT_EQ(m.CaptureLost().count, 0);
    EXPECT_EQ(m.pos(), 25);

    e = m.Press(100, 0);
    EXPECT_FALSE(e.handled);
    EXPECT_FALSE(e.capture);
    EXPECT_FALSE(m.dragging());
    e = m.Key(SliderKey::End);
    EXPECT_FALSE(e.handled);
    EXPECT_EQ(m.pos(), 25);

    EXPECT_TRUE(m.SetEnabled(true).repaint);
    EXPECT_FALSE(m.SetEnabled(true).repaint);
    EXPECT_EQ(Notes(m.Key(SliderKey::End)), (std::vector<SliderNotification>{{kMoved, 50}}));
}

TEST(SliderModel, LosingTheCaptureEndsTheDragLikeARelease) {
    SliderModel m = Horizontal();
    m.Press(79, 0);
    SliderEffect e = m.CaptureLost();
    EXPECT_FALSE(m.dragging());
    EXPECT_EQ(Notes(e), (std::vector<SliderNotification>{{kMoved, 35}}));
}
