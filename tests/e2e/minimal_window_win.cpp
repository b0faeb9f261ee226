// The yardsticks for the program's start-up time, memory and idle load:
//   minimal-window                 one plain window and a message loop;
//   minimal-window libraries       the same after loading what the program's
//                                  system libraries cost alone: COM with an
//                                  MSXML document, the shell, common controls;
//   minimal-window logo FOLDER [WIDTH HEIGHT]
//                                  a colour-keyed layered window (400 x 300
//                                  unless given: Wine's cost of a colour-keyed
//                                  window's update grows with its size)
//                                  animating the logo's frames from FOLDER as
//                                  the program does (a frame every 300 ms),
//                                  and nothing else.
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/main/main_model.h"

namespace {

HBITMAP g_frames[mainwin::kLogoCycle] = {};
int g_tick = 0;
int g_shown = -1;

LRESULT CALLBACK WindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
    case WM_TIMER: {
        const int frame = mainwin::LogoFrame(g_tick);
        g_tick = (g_tick + 1) % mainwin::kLogoCycle;
        if (frame == g_shown || !g_frames[frame]) return 0;
        g_shown = frame;
        InvalidateRect(w, nullptr, FALSE);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        if (g_shown >= 0) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, g_frames[g_shown]);
            BITMAP info{};
            GetObjectA(g_frames[g_shown], sizeof info, &info);
            BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        }
        EndPaint(w, &ps);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(w, m, wp, lp);
    }
}

// The system libraries the program and its components load, used once.
void LoadSystemLibraries() {
    static const char* const kLibraries[] = {"comctl32.dll", "shell32.dll", "winmm.dll", "shlwapi.dll",
                                             "oleaut32.dll", "hid.dll",     "setupapi.dll"};
    for (const char* name : kLibraries) LoadLibraryA(name);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID documentClass{};
    IUnknown* document = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(L"Msxml2.DOMDocument.3.0", &documentClass)) &&
        SUCCEEDED(CoCreateInstance(documentClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(&document))))
        document->Release();
}

void LoadLogo(const char* folder) {
    for (int frame = 0; frame < mainwin::kLogoCycle; ++frame) {
        char path[MAX_PATH];
        std::snprintf(path, sizeof path, "%s\\ball%04d.bmp", folder, frame);
        g_frames[frame] = static_cast<HBITMAP>(
            LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* mode = __argc > 1 ? __argv[1] : "";
    const bool logo = std::strcmp(mode, "logo") == 0 && __argc > 2;
    if (std::strcmp(mode, "libraries") == 0) LoadSystemLibraries();
    if (logo) LoadLogo(__argv[2]);
    const int width = logo && __argc > 4 ? std::atoi(__argv[3]) : 400;
    const int height = logo && __argc > 4 ? std::atoi(__argv[4]) : 300;

    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "MinimalWindow";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(logo ? WS_EX_LAYERED : 0, wc.lpszClassName, "Minimal",
                                  (logo ? WS_POPUP : WS_OVERLAPPEDWINDOW) | WS_VISIBLE, 100, 100, width, height,
                                  nullptr, nullptr, instance, nullptr);
    if (logo) {
        SetLayeredWindowAttributes(window, RGB(0x7F, 0x7F, 0x7F), 0, LWA_COLORKEY);
        SetTimer(window, 1, 300, nullptr);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
