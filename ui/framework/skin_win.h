// The one place windows are skinned: the window itself (background, colour
// key, font, drag rule), image buttons and texts attached to template
// controls, their captions from the string table, and placing them in
// client pixels. Each window keeps its layout as data and hands it here.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"

class Dialog;

namespace skin {

inline constexpr COLORREF kKey = RGB(0x80, 0x80, 0x80);
inline constexpr COLORREF kKey7F = RGB(0x7F, 0x7F, 0x7F);
inline constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
inline constexpr COLORREF kSilver = RGB(0xC0, 0xC0, 0xC0);
inline constexpr COLORREF kCyan = RGB(0x00, 0xFF, 0xFF);

// How a skinned window looks and behaves.
struct WindowLook {
    const char* background = nullptr;  // skin file painted as the client area; none: set later
    COLORREF key = kKey;               // pixels of this colour are see-through
    bool fadesIn = false;              // starts fully transparent instead of keyed
    int fontHeight = 15;
    bool dragOnlyInDebug = false;  // else the background always drags the window
    bool followsMainWindow = false;
};

// Sets up the window by its look from its WM_INITDIALOG; returns its font.
HFONT SetUpWindow(Dialog& window, const WindowLook& look);

// A font whose characters all have one width, for text laid out in columns:
// "Courier New", which Windows has; where a system lacks it (Wine without
// its own fonts), whatever fixed-pitch face it offers. Checked by drawing:
// "iiii" and "WWWW" must be equally wide. The caller deletes it.
HFONT CreateFixedPitchFont(int height, int weight);

// The string table's text for a key (empty when it has none).
std::string Text(const char* key);
// Sets the control's caption: prefix followed by the string table's text for key.
void Caption(HWND dialog, int id, const char* key, const char* prefix = "");

// Moves a control to (x, y) of its dialog's client area; a width or height
// below 1 keeps the control's own.
void Place(HWND dialog, int id, int x, int y, int width = 0, int height = 0);
void Place(const Dialog& dialog, int id, int x, int y, int width = 0, int height = 0);
// The height of the control's text wrapped to width, in the control's font,
// as a static control draws it.
int WrappedTextHeight(HWND control, int width);
// The width of the control's text on one line, in the control's font.
int LineWidth(HWND control);
// A control's place, as a window's layout table holds it.
struct Spot {
    int id;
    int x, y;
    int width = 0, height = 0;
};
void Place(HWND dialog, const Spot& spot);
// Places every control of a layout table, in the table's order.
void Place(HWND dialog, std::span<const Spot> layout);
// The control's current height in pixels.
int HeightOf(HWND dialog, int id);

struct ButtonLook {
    const char* hot = nullptr;     // skin files; none: a text-only button
    const char* normal = nullptr;  // none: the hot image in both states
    COLORREF key = kKey;
    COLORREF hotText = kWhite;
    COLORREF normalText = kSilver;
    bool sizeToImage = true;  // else the control keeps its size and the text follows the image
    int align = -1;           // CButtonST alignment; below 0: overlay when sized to the image, else beside it
};

// A button whose caption is white in every state; its images, if any, set apart.
inline constexpr ButtonLook kWhiteText{nullptr, nullptr, kKey, kWhite, kWhite};
// Images with the caption white in every state, beside the image unless
// aligned otherwise.
constexpr ButtonLook WhiteCaption(const char* hot, const char* normal, int align = CButtonST::ALIGN_HORIZ) {
    return {hot, normal, kKey, kWhite, kWhite, true, align};
}

// Attaches an image button: the images (the button keeps copies), the text
// colours, the font, transparency over the dialog's background bitmap, and
// the caption when one is given. Sized to its image when it has one.
void Button(CButtonST& button, HWND dialog, int id, const ButtonLook& look, const char* caption, HFONT font,
            HBITMAP background);
// The same in the dialog's 15-high font over its own background.
void Button(CButtonST& button, Dialog& dialog, int id, const ButtonLook& look, const std::string& caption);
// The hot and normal images from skin files, the key colour see-through. A
// missing file leaves the button without that image.
void SetImages(CButtonST& button, const char* hot, const char* normal, COLORREF key = kKey);
// Sizes the button to its image with its caption to the right of it.
void FitImageAndCaption(CButtonST& button, HFONT font);

// Attaches a transparent text in one colour; no text keeps the template's.
void Label(CStaticST& label, HWND dialog, int id, const char* text, COLORREF colour, HFONT font, HBITMAP background);
void Label(CStaticST& label, Dialog& dialog, int id, const std::string& text, COLORREF colour);

}  // namespace skin
