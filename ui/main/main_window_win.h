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
#include "ui/main/main_model.h"

class CMenuDialog;
class CKeyDialog;
class CTmDialog;

// The program's own messages to the main window.
inline constexpr UINT MSG_SHOW_FUNCTION_DIALOG = 1223;
inline constexpr UINT MSG_MACRO_EDITOR_CLOSED = 1224;
inline constexpr UINT MSG_LABEL_CLICK = 1225;     // + 2 × button
inline constexpr UINT MSG_LABEL_DBLCLICK = 1226;  // + 2 × button

// A button label: a transparent text that lights up its connecting line
// while the pointer is over it and reports single and double clicks.
class CStaticButtonST : public CStaticST {
public:
    void SetMessages(HWND target, UINT click, UINT doubleClick);
    void SetLine(HWND line) { line_ = line; }
    void SetButton(int button, int code) {
        button_ = button;
        code_ = code;
    }
    int Code() const { return code_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetHover(bool hover);

    HWND target_ = nullptr;
    UINT click_ = 0, doubleClick_ = 0;
    HWND line_ = nullptr;
    int button_ = 0, code_ = 0;
    bool hover_ = false;
};

// The animated logo: frame 0 for 22 ticks, then frames 22 to 65, every 300 ms.
class CLogoButtonST : public CButtonST {
public:
    static constexpr UINT_PTR kTimer = 256;
    ~CLogoButtonST() override;
    void StartAnimation();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowFrame(int frame);

    // Each frame's bitmap, loaded when first shown and kept: the animation
    // runs for as long as the program does.
    HBITMAP frames_[mainwin::kLogoCycle] = {};
    int shown_ = -1;
};

class CKorelleDlg : public Dialog {
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

private:
    void BuildSkin();
    void ToggleMenu(int button);
    void OpenDetail(int button);
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

    mainwin::ClickDecision click_;
    std::unique_ptr<CMenuDialog> menu_;
    // The macro editor and its delay dialog while the editor is open.
    std::unique_ptr<CKeyDialog> keyDialog_;
    std::unique_ptr<CTmDialog> tmDialog_;
    HICON icon_ = nullptr;
    bool started_ = false;  // the device context exists
    // The change last kept by KeepUnwrittenChange, and the name it got.
    ProfileRecord keptRecord_{};
    std::string keptName_;
    CButtonST close_, about_, help_, web_, leftToggle_, rightToggle_, apply_, abandon_, advanced_;
    CButtonST profiles_[5], polling_[3], dpi_[4], lines_[7];
    CStaticButtonST labels_[7];
    CStaticST titles_[4];
    CLogoButtonST logo_;
};

// The button slot the menu and the detail dialogs act on; -1 for none
// (after a profile switch).
extern int g_nSelButton;

// Process-wide: whether each side panel was last opened by its toggle.
extern int g_bRightPanelOpen;
extern int g_bLeftPanelOpen;
