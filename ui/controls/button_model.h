// The image button's rules without its window: its kind from the template's
// button style, what a click does to the checked state, which image and text
// colours a state shows, where image and caption go, and which members of a
// dialog group a checked radio button unchecks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace controls {

enum class ButtonKind { Push, CheckBox, Radio };

// From the low four bits of a BUTTON control's style: check boxes and
// three-state boxes (manual or automatic) are check boxes, radio buttons
// (manual or automatic) are radio buttons, anything else is a push button.
ButtonKind ButtonKindFromStyle(std::uint32_t style);

// The checked state after a click: a check box toggles, a radio button is
// checked (and then unchecks its group), a push button keeps its state.
bool CheckedAfterClick(ButtonKind kind, bool checked);

// The two image slots.
inline constexpr int kHotImage = 0;
inline constexpr int kNormalImage = 1;

struct ButtonLook {
    bool hover = false;    // pointer over the button
    bool pressed = false;  // left button held down on it, pointer inside
    bool checked = false;
    bool focused = false;
    ButtonKind kind = ButtonKind::Push;
    bool has_normal_image = true;
};

// The hot state: pointer over it, pressed, or checked (check box or radio).
bool IsHot(const ButtonLook& look);
// The image slot to draw: the hot image when hot, else the normal image if
// one was given, else the hot image.
int ChooseImage(const ButtonLook& look);

// Which of the three colour pairs the caption uses.
enum class ColourState { Hot, Normal, Focus };
ColourState ChooseColours(const ButtonLook& look);

enum class ImageAlign {
    Horizontal,       // image on the left, caption after it
    Vertical,         // image above the caption
    HorizontalRight,  // image on the right, caption before it
    Overlay,          // the image is the plate, the caption centred over it
};

enum class TextAlign { Left, Centre, Right };

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Box&) const = default;
};

struct ButtonLayout {
    Box image;  // empty when there is no image
    Box text;   // empty when there is no caption
    TextAlign text_align = TextAlign::Centre;
};

// Places image and caption in the content box. Alone, either is centred. With
// both, the image is centred across the alignment's free direction and the
// caption takes the rest of the box. The pressed offset moves the image only.
// The caption's box spans the free width; its height (text_h) only matters
// when the caption goes under the image.
ButtonLayout LayoutButton(const Box& content, int image_w, int image_h, bool has_text, int text_h,
                          ImageAlign align, int pressed_dx = 0, int pressed_dy = 0);

// One control of a dialog, in creation order.
struct DialogControl {
    bool group_start = false;  // has the group style
    bool radio = false;        // reports itself as a radio button
};

// The indices of the controls that a checked radio button unchecks: the other
// radio buttons of its group. A group runs from the nearest control at or
// before it that starts a group (or the first control) up to the next control
// that starts one. Hidden and disabled members are unchecked too, so that a
// group never shows two checks.
std::vector<std::size_t> RadioPeersToUncheck(const std::vector<DialogControl>& controls, std::size_t checked);

}  // namespace controls
