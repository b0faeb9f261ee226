#include "ui/framework/dialog_win.h"

Dialog::~Dialog() {
    if (hwnd_ && !modal_) DestroyWindow(hwnd_);
    if (background_) DeleteObject(background_);
    if (font_) DeleteObject(font_);
}

INT_PTR Dialog::DoModal(HWND owner) {
    modal_ = true;
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner, Proc,
                           reinterpret_cast<LPARAM>(this));
}

bool Dialog::CreateModeless(HWND owner) {
    modal_ = false;
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner, Proc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::End(INT_PTR result) {
    if (!hwnd_) return;
    if (modal_)
        EndDialog(hwnd_, result);
    else
        DestroyWindow(hwnd_);
}

bool Dialog::SetBackground(const std::string& file) {
    HBITMAP bitmap = LoadBitmapFile(file);
    if (!bitmap) return false;
    if (background_) DeleteObject(background_);
    background_ = bitmap;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    backgroundSize_ = {info.bmWidth, info.bmHeight};
    SetWindowPos(hwnd_, nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, TRUE);
    return true;
}

void Dialog::MakeLayered(COLORREF key) {
    SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd_, key, 255, LWA_COLORKEY);
}

void Dialog::SetAlpha(BYTE alpha) {
    SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd_, 0, alpha, LWA_ALPHA);
}

HFONT Dialog::DialogFont(int height) {
    if (font_ && fontHeight_ == height) return font_;
    LOGFONTA lf{};
    HFONT base = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
    if (!base || !GetObjectA(base, sizeof lf, &lf)) GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfHeight = height;
    lf.lfWidth = 0;
    if (font_) DeleteObject(font_);
    font_ = CreateFontIndirectA(&lf);
    fontHeight_ = height;
    return font_;
}

bool Dialog::OnCommand(int id, int) {
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
    }
    if (!self) return FALSE;
    const INT_PTR handled = self->Dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return handled;
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (msg != WM_INITDIALOG && OnMessage(msg, wParam, lParam, result)) {
        // These few answer through the dialog procedure's own return value.
        if ((msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_COMPAREITEM ||
            msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON)
            return static_cast<INT_PTR>(result);
        SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
        OnCancel();
        return TRUE;
    case WM_TIMER:
        OnTimer(wParam);
        return TRUE;
    case WM_ERASEBKGND:
        return background_ ? TRUE : FALSE;  // the paint covers the whole client area
    case WM_PAINT: {
        if (!background_) return FALSE;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, background_);
        BitBlt(dc, 0, 0, backgroundSize_.cx, backgroundSize_.cy, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        EndPaint(hwnd_, &ps);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
        if (!backgroundDrag_) return FALSE;
        // A press on the free background moves the window as a caption would.
        ReleaseCapture();
        SendMessageA(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return TRUE;
    case WM_MOVE:
        if (!followsMoves_) return FALSE;
        // Already there after a real move of a borderless window: no-op.
        SetWindowPos(hwnd_, nullptr, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    default:
        return FALSE;
    }
}

HBITMAP LoadBitmapFile(const std::string& path) {
    return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}
