// CKeyDialog: the macro editor window. It records keystrokes that the hook
// component reports while Record is checked, shows each event as a label
// laid out by the MacroEditor model, lets the user pick a delay for the
// delay dialog, and on Apply stores the macro in the selected button of the
// working record. The main window creates it (owned by the delay dialog),
// hands it a MacroEditorOwner, and destroys both once told it closed.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/framework/dialog_win.h"
#include "ui/macro/macro_editor.h"
#include "ui/macro/tm_dialog_win.h"

// What the editor needs of the window that opened it.
class MacroEditorOwner {
public:
    // While the editor is open the program's top windows take no input.
    virtual void EnableTopWindows(bool enable) = 0;
    // The editor closed; the owner destroys it later, outside its handlers.
    virtual void MacroEditorClosed() = 0;

protected:
    ~MacroEditorOwner() = default;
};

// The Record check box: while checked it blinks between two images every
// second; at the first tick after it was unchecked it stops and shows its
// normal image again.
class CRecordButtonST : public CButtonST {
public:
    static constexpr UINT_PTR kBlinkTimer = 272;
    static constexpr UINT kBlinkMs = 1000;

    void StartBlinking();

protected:
    void OnTimer(UINT_PTR id) override;

private:
    void OnBlinkTick();

    bool lit_ = false;
};

class CKeyDialog : public Dialog, private DelayEditing {
public:
    // Where the main window opens it: its left + 70, top + 55.
    static constexpr int kOpenOffsetX = 70, kOpenOffsetY = 55;
    // The delay dialog starts sliding at the editor's left + 80, top + 50.
    static constexpr int kDelayOffsetX = 80, kDelayOffsetY = 50;

    // mode: macro or single key; at: the screen point of its top-left
    // corner; delay: the delay dialog it drives (none: delays cannot be
    // edited); owner: told when the editor closes (none: it hides itself).
    CKeyDialog(macro::EditorMode mode, POINT at, CTmDialog* delay, MacroEditorOwner* owner);
    ~CKeyDialog() override;

    // The model, for the delay dialog and the key-buffer view; null before
    // the window is initialised.
    const macro::MacroEditor* Model() const override { return model_.get(); }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void OnOK() override {}  // Enter neither applies nor closes
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    // A slider of the delay dialog moved: applied to the selected delay,
    // with the remain value and the label's tooltip brought up to date.
    macro::SliderChange MoveSlider(macro::Slider slider, int position) override;
    HWND EditorWindow() const override { return hwnd(); }
    POINT DelayRestPoint() const override;
    void ForgetDelayDialog() override { delay_ = nullptr; }

    struct ShownLabel {
        bool visible = false;
        std::string text, tooltip;
        RECT rect{};
    };

    void BuildSkin();
    // The image buttons in the order of the layout table.
    std::array<CButtonST*, 6> ImageButtons();
    void SyncView();
    void SyncLabel(int slot);
    void SyncChecks();
    void StartRecording();
    void StopRecording();
    // View, Apply, Cancel, Continue and Toggle lose (or get back) their hover image.
    void SetRecordingLook(bool recording);
    void RequestDelayDialog(macro::DelayDialogRequest request);
    void View();
    void Close(bool save);
    void EnableOwners(bool enable);
    void SetHookFields(bool editor, unsigned captureMode);

    macro::EditorMode mode_;
    POINT at_;
    CTmDialog* delay_;
    MacroEditorOwner* owner_;
    std::unique_ptr<macro::MacroEditor> model_;
    bool closing_ = false;
    bool ownersDisabled_ = false;

    CButtonST title_, view_, continue_, toggle_, apply_, cancel_;
    CRecordButtonST record_;
    CStaticST remainCaption_, remain_;
    std::array<CButtonST, macro::kKeyBufferSize> labels_;
    std::array<ShownLabel, macro::kKeyBufferSize> shown_;
};
