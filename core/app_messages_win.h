// The program's own window messages, named in one place, each with a typed
// sender or reader, so that no window posts or decodes a bare number. The
// hook messages come from the area shared with Merrowin.dll.
#pragma once

#include <windows.h>

#include <optional>

#include "core/hook_area.h"

using hook_area::MSG_HOOK_KEY;
using hook_area::MSG_HOOK_MOUSE;

// To the main window.
inline constexpr UINT MSG_SHOW_FUNCTION_DIALOG = 1223;
inline constexpr UINT MSG_MACRO_EDITOR_CLOSED = 1224;
inline constexpr UINT MSG_LABEL_CLICK = 1225;     // + 2 × button
inline constexpr UINT MSG_LABEL_DBLCLICK = 1226;  // + 2 × button

namespace app_messages {

inline constexpr int kLabelCount = 7;

struct LabelClick {
    int button;
    bool doubleClick;
};

constexpr UINT LabelMessage(LabelClick click) {
    return (click.doubleClick ? MSG_LABEL_DBLCLICK : MSG_LABEL_CLICK) + 2 * static_cast<UINT>(click.button);
}

// The click a label message reports; none for any other message.
constexpr std::optional<LabelClick> ReadLabelMessage(UINT msg) {
    if (msg < MSG_LABEL_CLICK || msg >= MSG_LABEL_CLICK + 2 * kLabelCount) return std::nullopt;
    const UINT offset = msg - MSG_LABEL_CLICK;
    return LabelClick{static_cast<int>(offset / 2), offset % 2 == 1};
}

inline bool PostLabelClick(HWND main, LabelClick click) {
    return main && PostMessageA(main, LabelMessage(click), 0, 0);
}
inline bool PostShowFunctionDialog(HWND main) { return main && PostMessageA(main, MSG_SHOW_FUNCTION_DIALOG, 0, 0); }
inline bool PostMacroEditorClosed(HWND main) { return main && PostMessageA(main, MSG_MACRO_EDITOR_CLOSED, 0, 0); }

}  // namespace app_messages
