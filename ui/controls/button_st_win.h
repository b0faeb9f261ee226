// CButtonST: the image button. Attached to a BUTTON control of a dialog, it
// takes its kind (push button, check box, radio button) from the control's
// style, makes the control owner-drawn and paints itself: the hot or normal
// image drawn masked with its key colour, then the caption in the state's
// colour. It tracks hover, toggles check boxes, checks radio buttons and
// unchecks the rest of their dialog group, and answers BM_SETCHECK,
// BM_GETCHECK, BM_GETSTATE and BM_CLICK. A click sends BN_CLICKED to the
// parent like any button.
#pragma once

#include <windows.h>

#include <string>

#include "ui/controls/button_model.h"
#include "ui/controls/controls_api.h"
#include "ui/controls/masked_image_win.h"
#include "ui/controls/skin_control_win.h"

class KORELLE_CONTROLS_API CButtonST : public CSkinControl {
public:
    // Colour slots of SetColor: background and text for the hot state
    // (pointer over, pressed or checked), the normal state and the focused state.
    enum ColorIndex {
        COLOR_BK_HOT = 0,
        COLOR_FG_HOT,
        COLOR_BK_NORMAL,
        COLOR_FG_NORMAL,
        COLOR_BK_FOCUS,
        COLOR_FG_FOCUS,
        COLOR_COUNT
    };
    // ALIGN_OVERLAY: a text-free plate with the caption drawn over it.
    enum Align { ALIGN_HORIZ = 0, ALIGN_VERT, ALIGN_HORIZ_RIGHT, ALIGN_OVERLAY };
    // How far the image moves while pressed (non-flat buttons only).
    enum PressedStyle { PRESSED_NONE = 0, PRESSED_LEFTRIGHT, PRESSED_TOPBOTTOM };

    CButtonST();
    ~CButtonST() override;

    // The hot image (slot 0) and the normal image (slot 1), each with the key
    // colour that becomes see-through. The button keeps its own copies; the
    // caller keeps its bitmaps. Without a normal image the hot one shows in
    // every state.
    bool SetBitmaps(HBITMAP hot, COLORREF hotKey, HBITMAP normal = nullptr, COLORREF normalKey = 0);
    bool SetColor(int index, COLORREF colour, bool repaint = true);
    COLORREF GetColor(int index) const;
    void SetDefaultColors(bool repaint = true);

    // Non-zero checks. Checking a radio button unchecks the other radio
    // buttons of its dialog group.
    void SetCheck(int state, bool repaint = true);
    int GetCheck() const;

    void SetFlat(bool flat = true, bool repaint = true);
    void SetAlign(int align, bool repaint = true);
    void SetPressedStyle(int style, bool repaint = true);
    // The cursor over the button (null: the class's cursor); the caller owns it.
    void SetBtnCursor(HCURSOR cursor);
    void SetHandCursor(bool hand = true);
    // Track hover even when the program's windows are not active.
    void SetAlwaysTrack(bool always = true);
    // A sound (file name, or resource name in module) played when the pointer
    // comes over the button, or on a click with onClick.
    void SetSound(const char* sound, HMODULE module = nullptr, bool onClick = false);
    // A click opens the address with the shell's "open" verb instead of
    // sending the command.
    void SetURL(const char* url);
    // A click shows the menu under the button and sends the chosen command to
    // the parent instead of the button's own command; the caller owns the menu.
    void SetMenu(HMENU menu);
    // Resizes the button to its hot image.
    void SizeToContent();
    // An image the caller keeps, shown in every state instead of the
    // button's own until null is given.
    void SetSharedImage(const controls::MaskedImage* image);
    // While held down, the button repeats its command after delay, then every period.
    void SetAutofire(bool on = true, UINT delayMs = 400, UINT periodMs = 100);

    controls::ButtonKind GetKind() const;
    bool IsHot() const;  // pointer over it, pressed, or checked

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnAttached() override;
    void OnDetaching() override;
    void Draw(HDC dc, const RECT& client) override;

private:
    controls::ButtonLook Look() const;
    bool PointInside(LPARAM lParam) const;
    void TrackHover(WPARAM wParam, LPARAM lParam);
    void SetHover(bool hover);
    void EndPress();
    void Click();
    void Notify(WORD code);
    void UncheckGroup();
    void PlaySoundFor(bool click) const;

    controls::MaskedImage images_[2];
    const controls::MaskedImage* shared_ = nullptr;
    COLORREF colours_[COLOR_COUNT];
    controls::ButtonKind kind_ = controls::ButtonKind::Push;
    LONG_PTR original_type_ = BS_PUSHBUTTON;  // the style's button type before attaching
    bool default_push_ = false;
    bool checked_ = false;
    bool hover_ = false;
    bool pressed_ = false;   // shown pressed
    bool tracking_ = false;  // left button went down on it, mouse captured
    bool space_down_ = false;
    bool flat_ = true;
    bool always_track_ = false;
    int align_ = ALIGN_HORIZ;
    int pressed_style_ = PRESSED_LEFTRIGHT;
    HCURSOR cursor_ = nullptr;
    std::string sound_;
    HMODULE sound_module_ = nullptr;
    bool sound_on_click_ = false;
    std::string url_;
    HMENU menu_ = nullptr;
    bool autofire_ = false;
    UINT autofire_delay_ = 400, autofire_period_ = 100;
};
