// The skinned controls' messages with names and typed senders: the slider's
// two notifications, the text's click message, and the check state of a
// button (ours or a system one) through the standard button messages.
#pragma once

#include <windows.h>

#include "ui/controls/slider_model.h"

namespace controls {

inline constexpr UINT WM_SLIDER_MOVING = kSliderMovingMessage;  // 10449
inline constexpr UINT WM_SLIDER_MOVED = kSliderMovedMessage;    // 10450

// A slider notification: wParam the control id, lParam the position.
struct SliderNotice {
    int id;
    int position;
    bool operator==(const SliderNotice&) const = default;
};

inline void PostSliderNotice(HWND parent, UINT message, int id, int position) {
    PostMessageA(parent, message, static_cast<WPARAM>(id), static_cast<LPARAM>(position));
}

inline bool IsSliderNotice(UINT message) { return message == WM_SLIDER_MOVING || message == WM_SLIDER_MOVED; }

inline SliderNotice ReadSliderNotice(WPARAM wParam, LPARAM lParam) {
    return {static_cast<int>(wParam), static_cast<int>(lParam)};
}

// The message a CStaticST posts when clicked: wParam the control id, lParam
// the control's window.
inline void PostStaticClick(HWND target, UINT message, HWND control) {
    PostMessageA(target, message, static_cast<WPARAM>(GetDlgCtrlID(control)), reinterpret_cast<LPARAM>(control));
}

inline void SetButtonCheck(HWND button, bool checked) {
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

inline bool IsButtonChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace controls
