// CMyFileDialog: picks a named configuration of the device folder to load
// into the edited settings (g_WorkRecord), or a name to save them under.
// Never talks to the mouse: a load becomes changes that the main window
// applies or abandons.
#pragma once

#include <functional>
#include <string>

#include "ui/config/config_names.h"
#include "ui/controls/button_st_win.h"
#include "ui/controls/static_st_win.h"
#include "ui/controls/transparent_list_box_win.h"
#include "ui/framework/dialog_win.h"

class CMyFileDialog : public Dialog {
public:
    // refreshViews redraws the main window and its open side panels after a
    // load changed the edited settings.
    CMyFileDialog(config_files::Mode mode, std::function<void()> refreshViews);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    void OnOK() override;  // Enter, as the OK button
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;

private:
    void SetUpControls();
    void PlaceNearOwner();
    void FillList();
    std::vector<std::string> ProfileFiles() const;
    bool FileExists(const std::string& file) const;
    void Load(const std::string& file);
    void Save(const std::string& file);
    void Tell(const char* key);

    config_files::Mode mode_;
    std::function<void()> refreshViews_;
    std::string name_;  // the name edit's text when OK starts
    CButtonST title_, up_, down_, ok_, cancel_;
    CStaticST nameLabel_;
    CTransparentListBox list_;
    HBRUSH editBrush_ = nullptr;
};
