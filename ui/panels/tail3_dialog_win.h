// CTail3Dialog: the left-hand panel. It slides out on the left of the main
// window and sets the desktop's pointer speed: a thumb runs along a curved
// track of ten positions, dragged with the help of Merrowin.dll's mouse
// hook, and dropping it writes the speed of its level.
#pragma once

#include <functional>

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/panels/desktop_settings_win.h"
#include "ui/panels/sliding_panel_win.h"

class CTail3Dialog : public SlidingPanel {
public:
    static constexpr UINT_PTR kSlideTimer = 261;

    explicit CTail3Dialog(panels::DesktopSettings& settings = panels::SystemSettings());
    ~CTail3Dialog() override;

    // Rereads the pointer speed and the record's rates; an open panel moves
    // its thumbs to them.
    void Refresh() override;

protected:
    BOOL OnInitDialog() override;
    void BuildControls() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void StowControls() override { Park(); }
    void OnSlidOut() override;
    void OnBackgroundChanged(HBITMAP background) override;
    void PaintOver(HDC dc) override;

private:
    // A thumb tells the panel when the left button goes down on it, then
    // handles the press as any image button.
    class ThumbButton : public CButtonST {
    public:
        std::function<void()> onPress;

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    };

    void ReadLevels();
    void Park();
    void Place();
    void MoveThumb(panels::Thumb thumb);
    void OnHookMouse(WPARAM message, LPARAM point);
    void OnDrop(const panels::ThumbDrag::Drop& drop);

    ThumbButton thumbButtons_[panels::kThumbCount];
    CButtonST enableXY_;  // never shown
    CStaticST label_;
    HBITMAP finalBackground_ = nullptr;  // the last frame, for wiping a moved thumb
    panels::ThumbDrag drag_;
};
