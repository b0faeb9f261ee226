#include "ui/framework/skin_win.h"

#include <algorithm>
#include <cstring>

#include "core/app_globals_win.h"
#include "profile_store/strings/xml_rw.h"
#include "ui/framework/dialog_win.h"

namespace skin {

HFONT SetUpWindow(Dialog& window, const WindowLook& look) {
    if (look.background) window.SetBackground(SkinFile(look.background));
    if (look.fadesIn)
        window.SetAlpha(0);
    else
        window.MakeLayered(look.key);
    window.SetBackgroundDrag(!look.dragOnlyInDebug || g_bDebug != 0);
    window.SetFollowsMoves(look.followsMainWindow);
    return window.DialogFont(look.fontHeight);
}

HFONT CreateFixedPitchFont(int height, int weight) {
    // Asked for by pitch as well as by name: a system without the face
    // then picks a fixed-pitch one of its own.
    static const char* const kFaces[] = {"Courier New", "Liberation Mono", "DejaVu Sans Mono", "Lucida Console"};
    HDC dc = GetDC(nullptr);
    HFONT chosen = nullptr;
    for (const char* face : kFaces) {
        HFONT font = CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, face);
        if (!font) continue;
        HGDIOBJ old = SelectObject(dc, font);
        SIZE narrow{}, wide{};
        const bool measured = GetTextExtentPoint32A(dc, "iiii", 4, &narrow) && GetTextExtentPoint32A(dc, "WWWW", 4, &wide);
        SelectObject(dc, old);
        if (measured && narrow.cx == wide.cx && narrow.cx > 0) {
            if (chosen) DeleteObject(chosen);
            chosen = font;
            break;
        }
        if (!chosen) chosen = font;  // the best there is, should no face pass
        else DeleteObject(font);
    }
    ReleaseDC(nullptr, dc);
    return chosen;
}

std::string Text(const char* key) {
    char text[kResourceStringMax] = "";
    LookUpText(key, text, sizeof text);
    return text;
}

void Caption(HWND dialog, int id, const char* key, const char* prefix) {
    SetWindowTextA(GetDlgItem(dialog, id), (std::string(prefix) + Text(key)).c_str());
}

void Place(HWND dialog, int id, int x, int y, int width, int height) {
    HWND control = GetDlgItem(dialog, id);
    RECT r{};
    GetWindowRect(control, &r);
    if (width < 1) width = r.right - r.left;
    if (height < 1) height = r.bottom - r.top;
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Place(const Dialog& dialog, int id, int x, int y, int width, int height) {
    Place(dialog.hwnd(), id, x, y, width, height);
}

void Place(HWND dialog, const Spot& spot) { Place(dialog, spot.id, spot.x, spot.y, spot.width, spot.height); }

void Place(HWND dialog, std::span<const Spot> layout) {
    for (const Spot& spot : layout) Place(dialog, spot);
}

int HeightOf(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return r.bottom - r.top;
}

void Button(CButtonST& button, HWND dialog, int id, const ButtonLook& look, const char* caption, HFONT font,
            HBITMAP background) {
    button.SubclassDlgItem(id, dialog);
    if (look.hot) {
        SetImages(button, look.hot, look.normal ? look.normal : look.hot, look.key);
        if (look.sizeToImage) button.SizeToContent();
    }
    if (look.align >= 0)
        button.SetAlign(look.align, false);
    else if (look.hot)
        button.SetAlign(look.sizeToImage ? CButtonST::ALIGN_OVERLAY : CButtonST::ALIGN_HORIZ, false);
    button.SetColor(CButtonST::COLOR_FG_HOT, look.hotText, false);
    button.SetColor(CButtonST::COLOR_FG_NORMAL, look.normalText, false);
    button.SetColor(CButtonST::COLOR_FG_FOCUS, look.normalText, false);
    if (caption) SetWindowTextA(GetDlgItem(dialog, id), caption);
    button.SetFont(font, false);
    button.DrawTransparent();
    button.SetBk(background);
}

void Button(CButtonST& button, Dialog& dialog, int id, const ButtonLook& look, const std::string& caption) {
    Button(button, dialog.hwnd(), id, look, caption.c_str(), dialog.DialogFont(15), dialog.Background());
}

void SetImages(CButtonST& button, const char* hot, const char* normal, COLORREF key) {
    HBITMAP hotImage = LoadBitmapFile(SkinFile(hot));
    // One picture for both states is read and kept once: the button shows
    // its hot image in every state when it has no normal one.
    HBITMAP normalImage = std::strcmp(hot, normal) == 0 ? nullptr : LoadBitmapFile(SkinFile(normal));
    button.SetBitmaps(hotImage, key, normalImage, key);
    if (hotImage) DeleteObject(hotImage);  // the button keeps copies
    if (normalImage) DeleteObject(normalImage);
}

void FitImageAndCaption(CButtonST& button, HFONT font) {
    HWND control = button.GetSafeHwnd();
    if (!control) return;
    button.SizeToContent();
    char caption[128] = "";
    GetWindowTextA(control, caption, sizeof caption);
    if (!caption[0]) return;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE text{};
    GetTextExtentPoint32A(dc, caption, lstrlenA(caption), &text);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT r{};
    GetClientRect(control, &r);
    SetWindowPos(control, nullptr, 0, 0, r.right + text.cx + 2, std::max<LONG>(r.bottom, text.cy),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// The control's text measured in its font with DrawText's format.
RECT MeasureText(HWND control, int width, UINT format) {
    RECT r{0, 0, width, 0};
    const int n = GetWindowTextLengthA(control);
    if (!control || n <= 0) return r;
    std::string text(static_cast<size_t>(n) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), n + 1)));
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    DrawTextA(dc, text.c_str(), -1, &r, format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return r;
}

}  // namespace

int WrappedTextHeight(HWND control, int width) { return MeasureText(control, width, DT_WORDBREAK).bottom; }

int LineWidth(HWND control) { return MeasureText(control, 0, DT_SINGLELINE | DT_NOPREFIX).right; }

void Label(CStaticST& label, HWND dialog, int id, const char* text, COLORREF colour, HFONT font, HBITMAP background) {
    label.SubclassDlgItem(id, dialog);
    if (text) label.SetText(text);
    label.SetTextColor(colour, false);
    label.SetFont(font, false);
    label.DrawTransparent();
    label.SetBk(background);
}

void Label(CStaticST& label, Dialog& dialog, int id, const std::string& text, COLORREF colour) {
    Label(label, dialog.hwnd(), id, text.c_str(), colour, dialog.DialogFont(15), dialog.Background());
}

}  // namespace skin
