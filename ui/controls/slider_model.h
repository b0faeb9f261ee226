// The bitmap slider without its window: position and pixel conversions, the
// thumb's place in the channel, and the mouse and key rules as a state machine
// that says what the window has to do (capture, repaint, notifications).
#pragma once

namespace controls {

// Posted to the slider's parent with the control id and the new position.
inline constexpr unsigned kSliderMovingMessage = 10449;  // while dragging
inline constexpr unsigned kSliderMovedMessage = 10450;   // drag ended, or a key moved it

struct SliderNotification {
    unsigned message;
    int position;
    bool operator==(const SliderNotification&) const = default;
};

// What the window does after an input.
struct SliderEffect {
    bool handled = false;  // a key that is not handled goes on to the default handling
    bool capture = false;  // take the mouse capture
    bool release = false;  // give the mouse capture back
    bool repaint = false;
    int count = 0;  // notifications to post, in order
    SliderNotification notes[2] = {};

    void Post(unsigned message, int position) { notes[count++] = {message, position}; }
};

enum class SliderKey { PageUp, PageDown, End, Home, Left, Up, Right, Down, Other };

// CBitmapSlider handles all the keys above and posts moved; CMySlider handles
// only the arrow keys, posts moved and then moving, and ignores every other key.
enum class SliderKeyRule { AllKeys, ArrowsAlsoPostMoving };

struct SliderRect {
    int left, top, right, bottom;
    bool operator==(const SliderRect&) const = default;
};

class SliderModel {
public:
    // Range. The position is kept within it. An inverted range (min above
    // max, for instance between a SetRangeMin and the SetRangeMax that
    // follows) pins the position at min until it is put right.
    void SetRange(int min, int max);
    void SetRangeMin(int min) { SetRange(min, max_); }
    void SetRangeMax(int max) { SetRange(min_, max); }
    int min() const { return min_; }
    int max() const { return max_; }

    void SetPos(int pos) { pos_ = Clamp(pos); }
    int pos() const { return pos_; }
    int SetPageSize(int page);  // returns the previous page size
    int page() const { return page_; }

    // Geometry: channel and thumb sizes, the travel's insets in the channel,
    // and the direction of travel.
    void SetChannelSize(int width, int height);
    void SetThumbSize(int width, int height);
    void SetMargin(int left, int top, int right, int bottom);
    void SetMarginLeft(int v) { margin_left_ = v; }
    void SetMarginTop(int v) { margin_top_ = v; }
    void SetMarginRight(int v) { margin_right_ = v; }
    void SetMarginBottom(int v) { margin_bottom_ = v; }
    void SetVertical(bool vertical) { vertical_ = vertical; }
    bool vertical() const { return vertical_; }
    int channel_width() const { return channel_w_; }
    int channel_height() const { return channel_h_; }

    // Pixels along the direction of travel, from the channel's left (top)
    // edge to the thumb centre. An empty range or a travel of zero or less
    // (thumb as long as the channel) keeps the thumb at the start and maps
    // every pixel to min, instead of dividing by zero.
    int Travel() const;
    int PosToPixel(int pos) const;
    int PixelToPos(int pixel) const;
    // Where the thumb is drawn, in control pixels; centred across the travel
    // between the other two margins.
    SliderRect ThumbRect() const;

    // Mouse, in control pixels.
    SliderEffect Press(int x, int y);
    SliderEffect Move(int x, int y);
    SliderEffect Release();
    // The capture went elsewhere while dragging: the drag ends as on release.
    SliderEffect CaptureLost() { return Release(); }
    bool dragging() const { return dragging_; }
    int drag_offset() const { return drag_offset_; }

    SliderEffect Key(SliderKey key, SliderKeyRule rule = SliderKeyRule::AllKeys);

    // Disabling ends a drag (capture released, no notification).
    SliderEffect SetEnabled(bool enabled);
    bool enabled() const { return enabled_; }

private:
    int Clamp(long long pos) const;
    int Along(int x, int y) const { return vertical_ ? y : x; }
    int Length() const { return vertical_ ? channel_h_ : channel_w_; }
    int ThumbLength() const { return vertical_ ? thumb_h_ : thumb_w_; }
    int MarginStart() const { return vertical_ ? margin_top_ : margin_left_; }
    int MarginEnd() const { return vertical_ ? margin_bottom_ : margin_right_; }
    void DragTo(int along, SliderEffect& e);

    int min_ = 0, max_ = 100, pos_ = 0, page_ = 20;
    int channel_w_ = 0, channel_h_ = 0, thumb_w_ = 0, thumb_h_ = 0;
    int margin_left_ = 0, margin_top_ = 0, margin_right_ = 0, margin_bottom_ = 0;
    bool vertical_ = false;
    bool dragging_ = false;
    int drag_offset_ = 0;
    bool enabled_ = true;
};

}  // namespace controls
