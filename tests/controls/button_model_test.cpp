// The image button's kinds, image and colour choice, layout and radio groups,
// and the list box's scrolling.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "ui/controls/button_model.h"
#include "ui/controls/list_model.h"

using namespace controls;

TEST(ButtonModel, KindComesFromTheTemplatesButtonStyle) {
    const struct {
        std::uint32_t style;
        ButtonKind kind;
    } cases[] = {
        {0x0, ButtonKind::Push},     {0x1, ButtonKind::Push},     // push, default push
        {0x2, ButtonKind::CheckBox}, {0x3, ButtonKind::CheckBox},  // check box, auto
        {0x5, ButtonKind::CheckBox}, {0x6, ButtonKind::CheckBox},  // three-state, auto
        {0x4, ButtonKind::Radio},    {0x9, ButtonKind::Radio},     // radio, auto
        {0xB, ButtonKind::Push},     {0x7, ButtonKind::Push},      // owner-drawn, group box
        {0x50030009, ButtonKind::Radio},  // visible child, group, tab stop, auto radio
    };
    for (const auto& c : cases) EXPECT_EQ(ButtonKindFromStyle(c.style), c.kind) << std::hex << c.style;

    EXPECT_TRUE(CheckedAfterClick(ButtonKind::CheckBox, false));
    EXPECT_FALSE(CheckedAfterClick(ButtonKind::CheckBox, true));
    EXPECT_TRUE(CheckedAfterClick(ButtonKind::Radio, false));
    EXPECT_TRUE(CheckedAfterClick(ButtonKind::Radio, true));  // a checked radio stays checked
    EXPECT_FALSE(CheckedAfterClick(ButtonKind::Push, false));
}

TEST(ButtonModel, ImageIsHotWhenOverPressedOrCheckedAndOnlyHotShowsAlways) {
    auto look = [](bool hover, bool pressed, bool checked, ButtonKind kind, bool normal = true) {
        ButtonLook l;
        l.hover = hover;
        l.pressed = pressed;
        l.checked = checked;
        l.kind = kind;
        l.has_normal_image = normal;
        return l;
    };
    EXPECT_EQ(ChooseImage(look(false, false, false, ButtonKind::Push)), kNormalImage);
    EXPECT_EQ(ChooseImage(look(true, false, false, ButtonKind::Push)), kHotImage);
    EXPECT_EQ(ChooseImage(look(false, true, false, ButtonKind::Push)), kHotImage);
    EXPECT_EQ(ChooseImage(look(false, false, true, ButtonKind::CheckBox)), kHotImage);
    EXPECT_EQ(ChooseImage(look(false, false, true, ButtonKind::Radio)), kHotImage);
    // A push button's checked flag is not a state it shows.
    EXPECT_EQ(ChooseImage(look(false, false, true, ButtonKind::Push)), kNormalImage);
    for (bool hover : {false, true})
        for (bool checked : {false, true})
            EXPECT_EQ(ChooseImage(look(hover, false, checked, ButtonKind::CheckBox, false)), kHotImage);

    ButtonLook focused = look(false, false, false, ButtonKind::Radio);
    focused.focused = true;
    EXPECT_EQ(ChooseColours(focused), ColourState::Focus);
    focused.checked = true;
    EXPECT_EQ(ChooseColours(focused), ColourState::Hot);
    EXPECT_EQ(ChooseColours(look(false, false, false, ButtonKind::Radio)), ColourState::Normal);
}

TEST(ButtonModel, LayoutCentresTheImageInTheFreeSpaceAndShiftsOnlyTheImageWhenPressed) {
    const Box box{0, 0, 100, 30};
    ButtonLayout l = LayoutButton(box, 20, 10, false, 0, ImageAlign::Horizontal);
    EXPECT_EQ(l.image, (Box{40, 10, 60, 20}));
    EXPECT_EQ(l.text, Box{});

    l = LayoutButton(box, 20, 10, true, 14, ImageAlign::Horizontal);
    EXPECT_EQ(l.image, (Box{0, 10, 20, 20}));
    EXPECT_EQ(l.text, (Box{20, 0, 100, 30}));
    EXPECT_EQ(l.text_align, TextAlign::Left);

    l = LayoutButton(box, 20, 10, true, 14, ImageAlign::HorizontalRight);
    EXPECT_EQ(l.image, (Box{80, 10, 100, 20}));
    EXPECT_EQ(l.text, (Box{0, 0, 80, 30}));
    EXPECT_EQ(l.text_align, TextAlign::Right);

    l = LayoutButton({0, 0, 40, 40}, 20, 10, true, 14, ImageAlign::Vertical);
    EXPECT_EQ(l.image, (Box{10, 8, 30, 18}));
    EXPECT_EQ(l.text, (Box{0, 18, 40, 32}));

    l = LayoutButton({2, 2, 98, 28}, 20, 10, true, 14, ImageAlign::Horizontal, 1, 1);
    EXPECT_EQ(l.image, (Box{3, 11, 23, 21}));
    EXPECT_EQ(l.text, (Box{22, 2, 98, 28}));

    // A plate: the caption is centred over the whole image.
    l = LayoutButton(box, 96, 28, true, 14, ImageAlign::Overlay);
    EXPECT_EQ(l.image, (Box{2, 1, 98, 29}));
    EXPECT_EQ(l.text, box);
    EXPECT_EQ(l.text_align, TextAlign::Centre);

    l = LayoutButton(box, 0, 0, true, 14, ImageAlign::Horizontal);
    EXPECT_EQ(l.text, box);
    EXPECT_EQ(l.text_align, TextAlign::Centre);
}

TEST(ButtonModel, CheckedRadioUnchecksTheOtherRadioButtonsOfItsGroupOnly) {
    // 0 static (group), 1 radio (group), 2 radio, 3 check box, 4 radio,
    // 5 radio (group), 6 radio, 7 push (group)
    const std::vector<DialogControl> dialog = {{true, false}, {true, true},  {false, true}, {false, false},
                                               {false, true}, {true, true},  {false, true}, {true, false}};
    EXPECT_EQ(RadioPeersToUncheck(dialog, 2), (std::vector<std::size_t>{1, 4}));
    EXPECT_EQ(RadioPeersToUncheck(dialog, 1), (std::vector<std::size_t>{2, 4}));
    EXPECT_EQ(RadioPeersToUncheck(dialog, 5), (std::vector<std::size_t>{6}));
    EXPECT_EQ(RadioPeersToUncheck(dialog, 6), (std::vector<std::size_t>{5}));
    EXPECT_TRUE(RadioPeersToUncheck(dialog, 8).empty());

    // Every radio starting its own group (as in the main window) is alone.
    const std::vector<DialogControl> separate = {{true, true}, {true, true}, {true, true}};
    EXPECT_TRUE(RadioPeersToUncheck(separate, 1).empty());

    // No group style anywhere: the whole dialog is one group.
    const std::vector<DialogControl> none = {{false, true}, {false, false}, {false, true}, {false, true}};
    EXPECT_EQ(RadioPeersToUncheck(none, 3), (std::vector<std::size_t>{0, 2}));
}

TEST(ListModel, ScrollingKeepsTheTopIndexOnAnItem) {
    EXPECT_EQ(ScrolledTopIndex(3, 2, 10), 5);
    EXPECT_EQ(ScrolledTopIndex(3, -2, 10), 1);
    EXPECT_EQ(ScrolledTopIndex(1, -5, 10), 0);
    EXPECT_EQ(ScrolledTopIndex(8, 5, 10), 9);
    EXPECT_EQ(ScrolledTopIndex(0, 1, 0), 0);
    EXPECT_EQ(ScrolledTopIndex(INT_MAX, INT_MAX, 10), 9);
    EXPECT_EQ(ScrolledTopIndex(0, -static_cast<long long>(INT_MAX) - 1, 10), 0);

    VisibleRows rows = RowsInView(2, 10, 20, 50);  // two whole rows and half a third
    EXPECT_EQ(rows.first, 2);
    EXPECT_EQ(rows.last, 4);
    rows = RowsInView(8, 10, 20, 100);
    EXPECT_EQ(rows.last, 9);
    rows = RowsInView(0, 0, 20, 100);
    EXPECT_LT(rows.last, rows.first);
    rows = RowsInView(0, 5, 0, 100);
    EXPECT_LT(rows.last, rows.first);
}
