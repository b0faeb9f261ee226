#include "ui/controls/button_model.h"

namespace controls {

namespace {
// Button style values of the low four bits (the system's BS_ constants).
constexpr std::uint32_t kCheckBox = 0x2, kAutoCheckBox = 0x3, kRadio = 0x4, kThreeState = 0x5,
                        kAutoThreeState = 0x6, kAutoRadio = 0x9;
}  // namespace

ButtonKind ButtonKindFromStyle(std::uint32_t style) {
    switch (style & 0xF) {
    case kCheckBox:
    case kAutoCheckBox:
    case kThreeState:
    case kAutoThreeState: return ButtonKind::CheckBox;
    case kRadio:
    case kAutoRadio: return ButtonKind::Radio;
    default: return ButtonKind::Push;
    }
}

bool CheckedAfterClick(ButtonKind kind, bool checked) {
    switch (kind) {
    case ButtonKind::CheckBox: return !checked;
    case ButtonKind::Radio: return true;
    case ButtonKind::Push: break;
    }
    return checked;
}

bool IsHot(const ButtonLook& look) {
    return look.hover || look.pressed || (look.checked && look.kind != ButtonKind::Push);
}

int ChooseImage(const ButtonLook& look) {
    return IsHot(look) || !look.has_normal_image ? kHotImage : kNormalImage;
}

ColourState ChooseColours(const ButtonLook& look) {
    if (IsHot(look)) return ColourState::Hot;
    return look.focused ? ColourState::Focus : ColourState::Normal;
}

ButtonLayout LayoutButton(const Box& c, int image_w, int image_h, bool has_text, int text_h, ImageAlign align,
                          int pressed_dx, int pressed_dy) {
    ButtonLayout out;
    const bool has_image = image_w > 0 && image_h > 0;
    if (!has_image) {
        if (has_text) out.text = c;
        return out;
    }
    auto image_at = [&](int x, int y) { out.image = {x, y, x + image_w, y + image_h}; };
    const int centre_x = c.left + (c.width() - image_w) / 2;
    const int centre_y = c.top + (c.height() - image_h) / 2;
    if (!has_text) {
        image_at(centre_x, centre_y);
    } else {
        switch (align) {
        case ImageAlign::Horizontal:
            image_at(c.left, centre_y);
            out.text = {c.left + image_w, c.top, c.right, c.bottom};
            out.text_align = TextAlign::Left;
            break;
        case ImageAlign::HorizontalRight:
            image_at(c.right - image_w, centre_y);
            out.text = {c.left, c.top, c.right - image_w, c.bottom};
            out.text_align = TextAlign::Right;
            break;
        case ImageAlign::Overlay:
            image_at(centre_x, centre_y);
            out.text = c;
            out.text_align = TextAlign::Centre;
            break;
        case ImageAlign::Vertical: {
            const int top = c.top + (c.height() - image_h - text_h) / 2;
            image_at(centre_x, top);
            out.text = {c.left, top + image_h, c.right, top + image_h + text_h};
            out.text_align = TextAlign::Centre;
            break;
        }
        }
    }
    out.image.left += pressed_dx;
    out.image.right += pressed_dx;
    out.image.top += pressed_dy;
    out.image.bottom += pressed_dy;
    return out;
}

std::vector<std::size_t> RadioPeersToUncheck(const std::vector<DialogControl>& controls, std::size_t checked) {
    std::vector<std::size_t> out;
    if (checked >= controls.size()) return out;
    std::size_t first = checked;
    while (first > 0 && !controls[first].group_start) --first;
    std::size_t end = checked + 1;
    while (end < controls.size() && !controls[end].group_start) ++end;
    for (std::size_t i = first; i < end; ++i)
        if (i != checked && controls[i].radio) out.push_back(i);
    return out;
}

}  // namespace controls
