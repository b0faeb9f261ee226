// The program's side of Merrowin.dll for its tests: the shared hook area,
// created as the program creates it (paging-file backed, read/write, named),
// a window for the hooks to post to, and the library loaded from the program
// folder with its four entry points.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "components/merrowin/merrowin_api.h"
#include "core/hook_area.h"
#include "tests/test_support.h"

// A hidden top-level window of this thread.
inline HWND CreateTestWindow(const char* className = "MerrowinTestWindow", WNDPROC procedure = DefWindowProcA) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    return CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

class MerrowinFixture : public ::testing::Test {
protected:
    // The hook area and the window; call with ASSERT_NO_FATAL_FAILURE.
    void MapAreaAndWindow() {
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     static_cast<DWORD>(hook_area::kSectionSize), hook_area::kSectionName);
        ASSERT_NE(mapping, nullptr);
        area = static_cast<volatile hook_area::HookArea*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
        ASSERT_NE(area, nullptr);
        window = CreateTestWindow();
        ASSERT_NE(window, nullptr);
    }
    void UnmapArea() {
        if (area) UnmapViewOfFile(const_cast<hook_area::HookArea*>(area));
        if (mapping) CloseHandle(mapping);
        area = nullptr;
        mapping = nullptr;
    }

    void LoadMerrowin() {
        module = LoadLibraryA((test_support::ProgramFolder() + "\\Merrowin.dll").c_str());
        ASSERT_NE(module, nullptr) << "Merrowin.dll not found in " << test_support::ProgramFolder();
        initMouse = Bind("InitMouse");
        uninitMouse = Bind("UninitMouse");
        initKeyboard = Bind("InitKeyboard");
        uninitKeyboard = Bind("UninitKeyboard");
        ASSERT_TRUE(initMouse && uninitMouse && initKeyboard && uninitKeyboard);
    }
    // Both hooks removed and the library unloaded.
    void UnloadMerrowin() {
        if (!module) return;
        if (uninitKeyboard) uninitKeyboard();
        if (uninitMouse) uninitMouse();
        FreeLibrary(module);
        module = nullptr;
    }
    MerrowinHookFn Bind(const char* name) {
        return reinterpret_cast<MerrowinHookFn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

    void SetWindow(std::uint64_t hook_area::HookArea::*field, HWND handle) {
        area->*field = hook_area::StoredWindow(reinterpret_cast<std::uintptr_t>(handle));
    }

    HANDLE mapping = nullptr;
    volatile hook_area::HookArea* area = nullptr;
    HWND window = nullptr;
    HMODULE module = nullptr;
    MerrowinHookFn initMouse = nullptr, uninitMouse = nullptr, initKeyboard = nullptr, uninitKeyboard = nullptr;
};
