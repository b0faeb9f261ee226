// CTmDialog: the delay dialog. Three vertical sliders edit the minutes,
// seconds and hundredths of the delay event the macro editor selected; it
// slides out beneath the editor and back by the DelaySlide rules. Every
// slider move goes through the editor's model at once; a refused move puts
// the slider back.
#pragma once

#include <windows.h>

#include "ui/controls/bitmap_slider_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/framework/dialog_win.h"
#include "ui/macro/delay_dialog.h"
#include "ui/macro/macro_editor.h"

// What the delay dialog needs of the editor whose delay it edits.
class DelayEditing {
public:
    // The editor's model (null before its window is initialised).
    virtual const macro::MacroEditor* Model() const = 0;
    // A slider moved: applied to the selected delay.
    virtual macro::SliderChange MoveSlider(macro::Slider slider, int position) = 0;
    // The editor's window, which a shown delay dialog stays beneath.
    virtual HWND EditorWindow() const = 0;
    // Where the closed dialog's top-left corner sits on the screen, relative
    // to where the editor is now; the open dialog rests its height lower.
    virtual POINT DelayRestPoint() const = 0;
    // The delay dialog is going away.
    virtual void ForgetDelayDialog() = 0;

protected:
    ~DelayEditing() = default;
};

class CTmDialog : public Dialog {
public:
    static constexpr UINT_PTR kSlideTimer = macro::DelaySlide::kTimerId;  // 263

    CTmDialog();
    ~CTmDialog() override;

    // The editor whose selected delay the sliders edit; null when it goes.
    void SetEditor(DelayEditing* editor) { editor_ = editor; }
    // What the editor asks after a label click or when a recording starts:
    // open, close, or switch to the newly selected delay. Refreshes while a
    // delay is selected, shows the dialog where the slide has it beneath
    // the editor and starts the slide timer.
    void Request(macro::DelayDialogRequest request);
    // Sliders and value texts from the selected delay; captions again.
    void Refresh();
    const macro::DelaySlide& Slide() const { return slide_; }

protected:
    BOOL OnInitDialog() override;
    // Enter does nothing: the dialog lives as long as the editor.
    void OnOK() override {}
    void OnTimer(UINT_PTR id) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnSliderNotice(int id, int position);
    void ShowValue(const macro::DelayValue& value);
    void Captions();
    void LayOutValueRow(HFONT font);
    CMySlider& SliderOf(macro::Slider s);
    // The editor's rest point, or the last one known once it is gone.
    POINT RestPoint();
    // A shown move goes directly below the editor in z-order, a hiding one
    // after the owner.
    void MoveShown(int left, int top);
    void MoveHidden(int left, int top);

    DelayEditing* editor_ = nullptr;
    macro::DelaySlide slide_;
    POINT rest_{};
    CMySlider minutes_, seconds_, hundredths_;
    CStaticST minCaption_, secCaption_, hundredthsCaption_, timeCaption_, minUnit_, secUnit_;
    CStaticST minValue_, secValue_;
};
