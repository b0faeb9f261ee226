// The skinned scroll bar's thumb and the positions its presses and drags ask for.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/controls/scroll_model.h"

using namespace controls;

TEST(ScrollModel, ThumbIsThePageShareOfTheTrackAndRunsEndToEnd) {
    // 36 lines, 30 in view, in a 300-pixel track: a 250-pixel thumb with 50 to travel.
    EXPECT_EQ(ThumbOf(300, {36, 30, 0}, 20), (ThumbSpan{0, 250}));
    EXPECT_EQ(ThumbOf(300, {36, 30, 6}, 20), (ThumbSpan{50, 250}));
    EXPECT_EQ(ThumbOf(300, {36, 30, 3}, 20), (ThumbSpan{25, 250}));
    EXPECT_EQ(ThumbOf(300, {36, 30, 99}, 20), (ThumbSpan{50, 250})) << "a position past the end stands at the end";
    // A long list keeps a thumb that can be grabbed.
    EXPECT_EQ(ThumbOf(300, {2600, 30, 0}, 20).length, 20);
    EXPECT_EQ(ThumbOf(300, {2600, 30, 2570}, 20), (ThumbSpan{280, 20}));
    // Nothing to scroll, or no track: no thumb.
    EXPECT_EQ(ThumbOf(300, {19, 30, 0}, 20), ThumbSpan{});
    EXPECT_EQ(ThumbOf(300, {30, 30, 0}, 20), ThumbSpan{});
    EXPECT_EQ(ThumbOf(0, {36, 30, 0}, 20), ThumbSpan{});
    EXPECT_EQ(ThumbOf(10, {2600, 30, 0}, 20).length, 10) << "never longer than the track";
}

TEST(ScrollModel, DraggingTheThumbGivesBackThePositionItShows) {
    for (const ScrollRange base : {ScrollRange{36, 30, 0}, ScrollRange{2600, 31, 0}, ScrollRange{900, 408, 0}}) {
        const int max = MaxScrollPos(base.total, base.page);
        for (int pos = 0; pos <= max; ++pos) {
            ScrollRange r = base;
            r.pos = pos;
            const ThumbSpan thumb = ThumbOf(300, r, 20);
            const int back = PosForThumb(thumb.start, 300, r, 20);
            // Where the track has fewer pixels than positions, a thumb pixel
            // stands for several; it gives back one within that span.
            const int span = (max + (300 - thumb.length) - 1) / (300 - thumb.length);
            ASSERT_LE(std::abs(back - pos), span) << base.total << " at " << pos;
        }
        EXPECT_EQ(PosForThumb(-40, 300, base, 20), 0);
        EXPECT_EQ(PosForThumb(1000, 300, base, 20), max);
    }
}

TEST(ScrollModel, PressesBesideTheThumbPageAndStopAtTheEnds) {
    const ScrollRange r{36, 30, 3};  // thumb 25..275 of 300
    EXPECT_EQ(PartAt(10, 300, r, 20), TrackPart::Before);
    EXPECT_EQ(PartAt(25, 300, r, 20), TrackPart::Thumb);
    EXPECT_EQ(PartAt(274, 300, r, 20), TrackPart::Thumb);
    EXPECT_EQ(PartAt(275, 300, r, 20), TrackPart::After);
    EXPECT_EQ(PartAt(300, 300, r, 20), TrackPart::None);
    EXPECT_EQ(PartAt(10, 300, {19, 30, 0}, 20), TrackPart::None);
    EXPECT_EQ(PagedPos(r, -1), 0);
    EXPECT_EQ(PagedPos(r, +1), 6);
    EXPECT_EQ(PagedPos({900, 408, 100}, +1), 492);
    EXPECT_EQ(PagedPos({900, 408, 450}, -1), 42);
    EXPECT_EQ(ClampScrollPos(-5, 900, 408), 0);
    EXPECT_EQ(ClampScrollPos(700, 900, 408), 492);
    EXPECT_EQ(ClampScrollPos(7, 300, 408), 0) << "lines narrower than the list do not scroll";
}
