// CBitmapSlider: the bitmap slider, and CMySlider, the delay dialog's variant
// with its own keys. Attached to a dialog control (a static or any child
// window), the slider draws its channel and thumb images over the parent's
// background, follows the mouse and the keys by the rules of SliderModel, and
// posts WM_SLIDER_MOVING (10449) and WM_SLIDER_MOVED (10450) to its parent
// with the control id and the new position.
#pragma once

#include <windows.h>

#include "ui/controls/controls_api.h"
#include "ui/controls/masked_image_win.h"
#include "ui/controls/skin_control_win.h"
#include "ui/controls/slider_model.h"

class KORELLE_CONTROLS_API CBitmapSlider : public CSkinControl {
public:
    CBitmapSlider();
    ~CBitmapSlider() override;

    // The channel and its look while the slider is enabled (active; the
    // channel when none is given). With transparent, pixels of the key colour
    // are see-through. The slider keeps its own copies. With resize, the
    // control takes the channel's size. A channel taller than wide makes a
    // vertical slider (SetVertical afterwards decides otherwise).
    bool SetBitmapChannel(HBITMAP channel, HBITMAP active = nullptr, bool transparent = false,
                          COLORREF key = RGB(128, 128, 128), bool resize = true);
    bool SetBitmapChannel(UINT channelId, UINT activeId, bool transparent = false, COLORREF key = RGB(128, 128, 128),
                          bool resize = true, HINSTANCE module = nullptr);
    // The thumb and its look while dragged or focused (active).
    bool SetBitmapThumb(HBITMAP thumb, HBITMAP active = nullptr, bool transparent = false,
                        COLORREF key = RGB(128, 128, 128));
    bool SetBitmapThumb(UINT thumbId, UINT activeId, bool transparent = false, COLORREF key = RGB(128, 128, 128),
                        HINSTANCE module = nullptr);

    void SetRange(int min, int max, bool redraw = false);
    void SetRangeMin(int min, bool redraw = false);
    void SetRangeMax(int max, bool redraw = false);
    void GetRange(int& min, int& max) const;
    int GetRangeMin() const;
    int GetRangeMax() const;
    // Clamped to the range; repaints, posts nothing.
    void SetPos(int pos);
    int GetPos() const;
    int SetPageSize(int page);  // returns the previous page size
    int GetPageSize() const;
    void SetMargin(int left, int top, int right, int bottom, bool redraw = true);
    void SetMarginLeft(int margin, bool redraw = true);
    void SetMarginTop(int margin, bool redraw = true);
    void SetMarginRight(int margin, bool redraw = true);
    void SetMarginBottom(int margin, bool redraw = true);
    void SetVertical(bool vertical, bool redraw = true);
    bool IsVertical() const;
    // A disabled slider ignores mouse and keys; disabling ends a drag.
    void Enable(bool on = true);
    bool IsEnabled() const;
    void DrawFocusRect(bool draw = true, bool redraw = false);
    bool IsDragging() const;

protected:
    // Which keys the slider takes.
    virtual controls::SliderKeyRule KeyRule() const;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnAttached() override;
    void OnDetaching() override;
    void Draw(HDC dc, const RECT& client) override;

private:
    void Apply(const controls::SliderEffect& effect);
    void SizeFromClient();

    controls::SliderModel model_;
    controls::MaskedImage channel_, channel_active_, thumb_, thumb_active_;
    bool vertical_set_ = false;
    bool resize_to_channel_ = true;
    bool focus_rect_ = false;
};

// The delay dialog's slider: the arrow keys move it by one, post moved and
// then moving; every other key is ignored.
class KORELLE_CONTROLS_API CMySlider : public CBitmapSlider {
public:
    CMySlider();
    ~CMySlider() override;

protected:
    controls::SliderKeyRule KeyRule() const override;
};
