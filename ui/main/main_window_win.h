// CKorelleDlg: the main window. It shows the seven buttons' functions of the
// current profile, the profile, polling and DPI choices, Apply, Abandon,
// Help, About and the web site; owns the device context; decides single and
// double clicks on the button labels; shows the function menu; opens the
// detail dialogs; and toggles the two side panels.
#pragma once

#include <memory>

#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/framework/dialog_win.h"
#include "ui/macro/key_dialog_win.h"
#include "ui/main/main_controls_win.h"
#include "ui/main/main_model.h"

class CMenuDialog;

class CKorelleDlg : public Dialog, private MacroEditorOwner {
public:
    static constexpr UINT_PTR kClickTimer = 265;

    CKorelleDlg();
    ~CKorelleDlg() override;

    // Labels and choices from g_WorkRecord.
    void RefreshView();
    // Each open side panel shows the record and the system again.
    void RefreshOpenPanels();
    // Gives function code to g_nSelButton: refused for the profile's last
    // left click; the detail dialog follows about 100 ms later.
    void AssignFunction(int code);
    // Sets a label's text and remembered code.
    void SetLabel(int button, int code);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void OnTimer(UINT_PTR id) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;
    void OnOK() override {}  // Enter reaches the default button, Close, instead

    void EnableTopWindows(bool enable) override;
    void MacroEditorClosed() override;

private:
    void BuildSkin();
    void ToggleMenu(int button);
    void OpenDetail(int button);
    // While a detail dialog or the refusal box is open the menu fades out
    // and takes no clicks, and choices and detail requests change nothing.
    void SetDetailOpen(bool open);
    void Apply();
    void Abandon();
    void Close();
    void KeepUnwrittenChange();
    void About();
    void OpenHelpFile(const char* relative);
    void TogglePanel(bool right);
    void SelectProfile(int profile);
    void SelectPolling(int index);
    void SelectDpi(int index);
    void FollowMove(int x, int y);
    // Device work of the running window, with the busy cue on the logo and
    // the wait cursor while it takes long.
    template <class Fn>
    auto WithDevice(Fn fn);
    void PaintBusy(int frame);

    mainwin::ClickDecision click_;
    std::unique_ptr<CMenuDialog> menu_;
    // The macro editor and its delay dialog while the editor is open.
    std::unique_ptr<CKeyDialog> keyDialog_;
    std::unique_ptr<CTmDialog> tmDialog_;
    HICON icon_ = nullptr;
    bool started_ = false;  // the device context exists
    bool detailOpen_ = false;
    // The change last kept by KeepUnwrittenChange, and the name it got.
    ProfileRecord keptRecord_{};
    std::string keptName_;
    CButtonST close_, about_, help_, web_, leftToggle_, rightToggle_, apply_, abandon_, advanced_;
    CButtonST profiles_[5], polling_[3], dpi_[4], lines_[7];
    CStaticButtonST labels_[7];
    CStaticST titles_[4];
    CLogoButtonST logo_;
};
