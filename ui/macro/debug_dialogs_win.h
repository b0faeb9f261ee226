// The two diagnostic views, both modal and read-only: CDebugDlg lists a
// whole profile record as text or hex lines; CDebugMacroDlg lists the macro
// editor's key buffer beside the stored key slots of the selected button.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "profile_store/record/profile_record.h"
#include "ui/controls/button_st_win.h"
#include "ui/controls/skin_scroll_bar_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/controls/transparent_list_box_win.h"
#include "ui/framework/dialog_win.h"
#include "ui/macro/macro_editor.h"

// Replaces a list box's items with the lines and widens its horizontal
// extent to the widest of them in the list's font.
void FillListBox(HWND list, const std::vector<std::string>& lines);

class CDebugDlg : public Dialog {
public:
    // The record in file order; the view keeps its own copy.
    explicit CDebugDlg(const ProfileRecord& record);
    ~CDebugDlg() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    ProfileRecord record_;
    HFONT listFont_ = nullptr;  // fixed pitch: the lines are laid out in columns
};

class CDebugMacroDlg : public Dialog {
public:
    using Block = std::array<unsigned char, record::kButtonSize>;
    // The editor's key buffer and the stored block of the selected button.
    CDebugMacroDlg(const macro::MacroEditor& editor, const Block& stored);
    ~CDebugMacroDlg() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;

private:
    std::vector<std::string> bufferLines_, buttonLines_;
    CStaticST bufferCaption_, buttonCaption_;
    CTransparentListBox buffer_, button_;
    // In place of the lists' system scroll bars, which the skin does not draw.
    CSkinScrollBar bufferVertical_, bufferHorizontal_, buttonVertical_, buttonHorizontal_;
    HFONT listFont_ = nullptr;
    CButtonST ok_;
};
