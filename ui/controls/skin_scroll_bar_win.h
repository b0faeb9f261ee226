// CSkinScrollBar: a scroll bar drawn in the skin's colours, for lists whose
// system scroll bars are hidden. A dark recessed track with a steel thumb
// that lights up in the accent colour while pointed at or dragged; a press
// beside the thumb pages (repeating while held), dragging the thumb scrolls
// along. It only reports where the user wants to be: its owner moves the
// list and hands the new range back.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/controls/controls_api.h"
#include "ui/controls/scroll_model.h"
#include "ui/controls/skin_control_win.h"

class KORELLE_CONTROLS_API CSkinScrollBar : public CSkinControl {
public:
    enum class Orientation { Vertical, Horizontal };
    static constexpr int kMinThumb = 20;
    static constexpr UINT_PTR kRepeatTimer = 1;

    CSkinScrollBar();
    ~CSkinScrollBar() override;

    // Creates the bar as a child control id of parent at r (parent client
    // pixels) and attaches to it.
    bool Create(HWND parent, int id, const RECT& r, Orientation orientation);
    // The range it shows; repaints when it changed.
    void SetRange(const controls::ScrollRange& range);
    const controls::ScrollRange& Range() const { return range_; }
    // Told the position the user asks for.
    void OnScroll(std::function<void(int pos)> scrolled) { scrolled_ = std::move(scrolled); }
    Orientation GetOrientation() const { return orientation_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;
    void Draw(HDC dc, const RECT& client) override;

private:
    int Track() const;
    int Along(LPARAM lParam) const;  // the pointer's pixel along the track
    void Ask(int pos);
    void PageTowardsPointer();
    void EndPress();

    Orientation orientation_ = Orientation::Vertical;
    controls::ScrollRange range_;
    std::function<void(int)> scrolled_;
    bool dragging_ = false;
    int grab_ = 0;  // the pointer's pixel within the thumb when the drag began
    controls::TrackPart paging_ = controls::TrackPart::None;  // Before or After while a page press is held
    bool hot_ = false;
};
