#include "ui/controls/slider_model.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace controls {

namespace {
int ToInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}
}  // namespace

void SliderModel::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    pos_ = Clamp(pos_);
}

int SliderModel::SetPageSize(int page) {
    const int previous = page_;
    page_ = page;
    return previous;
}

void SliderModel::SetChannelSize(int width, int height) {
    channel_w_ = width;
    channel_h_ = height;
}

void SliderModel::SetThumbSize(int width, int height) {
    thumb_w_ = width;
    thumb_h_ = height;
}

void SliderModel::SetMargin(int left, int top, int right, int bottom) {
    margin_left_ = left;
    margin_top_ = top;
    margin_right_ = right;
    margin_bottom_ = bottom;
}

int SliderModel::Clamp(long long pos) const {
    if (max_ < min_) return min_;
    return static_cast<int>(std::clamp<long long>(pos, min_, max_));
}

int SliderModel::Travel() const {
    return ToInt(static_cast<long long>(Length()) - MarginEnd() - ThumbLength() - MarginStart());
}

int SliderModel::PosToPixel(int pos) const {
    const long long start = ThumbLength() / 2 + static_cast<long long>(MarginStart());
    const int travel = Travel();
    if (travel <= 0 || max_ <= min_) return ToInt(start);
    const double range = static_cast<double>(max_) - min_;
    const double offset = (static_cast<double>(Clamp(pos)) - min_) / range * travel;
    return ToInt(start + static_cast<long long>(std::trunc(offset)));
}

int SliderModel::PixelToPos(int pixel) const {
    const int travel = Travel();
    if (travel <= 0 || max_ <= min_) return min_;
    const double start = ThumbLength() / 2 + static_cast<double>(MarginStart());
    const double range = static_cast<double>(max_) - min_;
    const double pos = std::trunc((pixel - start) / travel * range + min_);
    return Clamp(static_cast<long long>(std::clamp(pos, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX))));
}

SliderRect SliderModel::ThumbRect() const {
    const int lead = PosToPixel(pos_) - ThumbLength() / 2;
    if (vertical_) {
        const int left = margin_left_ + (channel_w_ - margin_left_ - margin_right_ - thumb_w_) / 2;
        return {left, lead, left + thumb_w_, lead + thumb_h_};
    }
    const int top = margin_top_ + (channel_h_ - margin_top_ - margin_bottom_ - thumb_h_) / 2;
    return {lead, top, lead + thumb_w_, top + thumb_h_};
}

void SliderModel::DragTo(int along, SliderEffect& e) {
    const long long lo = ThumbLength() / 2 + static_cast<long long>(MarginStart());
    const long long hi = static_cast<long long>(Length()) - MarginEnd() - ThumbLength() / 2;
    long long target = static_cast<long long>(along) - drag_offset_;
    target = hi < lo ? lo : std::clamp(target, lo, hi);
    if (target != PosToPixel(pos_)) {
        pos_ = PixelToPos(ToInt(target));
        e.repaint = true;
        e.Post(kSliderMovingMessage, pos_);
    }
}

SliderEffect SliderModel::Press(int x, int y) {
    SliderEffect e;
    if (!enabled_) return e;
    e.handled = e.capture = e.repaint = true;
    dragging_ = true;
    const int p = Along(x, y);
    const int centre = PosToPixel(pos_);
    const long long first = static_cast<long long>(centre) - ThumbLength() / 2;
    const bool onThumb = p >= first && p < first + ThumbLength();
    drag_offset_ = onThumb ? p - centre : 0;
    DragTo(p, e);
    return e;
}

SliderEffect SliderModel::Move(int x, int y) {
    SliderEffect e;
    if (!dragging_) return e;
    e.handled = true;
    DragTo(Along(x, y), e);
    return e;
}

SliderEffect SliderModel::Release() {
    SliderEffect e;
    if (!dragging_) return e;
    dragging_ = false;
    e.handled = e.release = e.repaint = true;
    e.Post(kSliderMovedMessage, pos_);
    return e;
}

SliderEffect SliderModel::Key(SliderKey key, SliderKeyRule rule) {
    SliderEffect e;
    if (!enabled_) return e;
    const bool arrow = key == SliderKey::Left || key == SliderKey::Up || key == SliderKey::Right ||
                       key == SliderKey::Down;
    if (rule == SliderKeyRule::ArrowsAlsoPostMoving && !arrow) {
        e.handled = true;  // swallowed: this slider has no other keys
        return e;
    }
    long long target = pos_;
    switch (key) {
    case SliderKey::PageUp: target -= page_; break;
    case SliderKey::PageDown: target += page_; break;
    case SliderKey::End: target = max_; break;
    case SliderKey::Home: target = min_; break;
    case SliderKey::Left:
    case SliderKey::Up: target -= 1; break;
    case SliderKey::Right:
    case SliderKey::Down: target += 1; break;
    case SliderKey::Other: return e;
    }
    pos_ = Clamp(target);
    e.handled = e.repaint = true;
    e.Post(kSliderMovedMessage, pos_);
    if (rule == SliderKeyRule::ArrowsAlsoPostMoving) e.Post(kSliderMovingMessage, pos_);
    return e;
}

SliderEffect SliderModel::SetEnabled(bool enabled) {
    SliderEffect e;
    e.handled = true;
    e.repaint = enabled != enabled_;
    enabled_ = enabled;
    if (!enabled && dragging_) {
        dragging_ = false;
        e.release = e.repaint = true;
    }
    return e;
}

}  // namespace controls
