// The four exports of Merrowin.dll, the input-hook library. None takes an
// argument; each answers 1 for success and 0 for failure (the program does
// not look at the result). The hooks run on a thread of the library's own,
// so they never wait for the caller's thread; each call returns once the
// hook is in place or removed. Events go to the windows named in the shared
// hook area (core/hook_area.h).
#pragma once

#ifdef MERROWIN_EXPORTS
#define MERROWIN_API __declspec(dllexport)
#else
#define MERROWIN_API __declspec(dllimport)
#endif

extern "C" {

// Installs the system-wide mouse hook (again: no second hook). While the
// area's DragActive is 1, mouse moves and left-button releases go to the
// left panel as MSG_HOOK_MOUSE. 0 when the hook area does not exist yet or
// the hook cannot be installed.
MERROWIN_API int InitMouse();
// Removes the mouse hook.
MERROWIN_API int UninitMouse();
// Installs the system-wide keyboard hook (again: no second hook) and starts
// the key clock. While the area's CaptureMode is not 0, key events go to the
// macro editor as MSG_HOOK_KEY. 0 as for InitMouse.
MERROWIN_API int InitKeyboard();
// Removes the keyboard hook.
MERROWIN_API int UninitKeyboard();
}

// The type the program binds each of the four exports to by name.
using MerrowinHookFn = int (*)();
