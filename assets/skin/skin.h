// The set of skin pictures and the builders that draw each window's files.
#pragma once

#include "assets/skin/bitmap.h"
#include "assets/skin/paint.h"

#include <deque>
#include <functional>
#include <string>

namespace skin {

struct Entry {
    std::string path;  // relative to the skin folder, '/' separated
    Bitmap bitmap;
};

class SkinSet {
public:
    const Bitmap& Add(std::string path, Bitmap bitmap);
    const Bitmap* Find(const std::string& path) const;
    const std::deque<Entry>& entries() const { return entries_; }

private:
    std::deque<Entry> entries_;  // stable references for later crops
};

using DrawFn = std::function<void(cairo_t*)>;
using DrawStateFn = std::function<void(cairo_t*, State)>;

// A window background: its edges blend into the dark edge colour; pixels
// left undrawn take the key colour.
Bitmap DrawWindow(int w, int h, uint32_t key, const DrawFn& draw);
// A picture drawn over a plain colour.
Bitmap DrawOver(int w, int h, uint32_t key, uint32_t underHex, const DrawFn& draw);
// A control's picture, drawn over the crop of its window's background at
// (x, y) so that its anti-aliased edges match what lies under it.
Bitmap DrawControl(const Bitmap& parent, int x, int y, int w, int h, uint32_t key, const DrawFn& draw);
// The hot and normal pictures of one control.
void AddPair(SkinSet& set, const std::string& hot, const std::string& normal, const Bitmap& parent, int x, int y,
             int w, int h, uint32_t key, const DrawStateFn& draw);

// Window sizes and positions shared by the builders and the preview.
namespace layout {
constexpr int kMainW = 562, kMainH = 552;
// Panels relative to the main window's top-left corner when open.
constexpr int kRightPanelX = 380, kRightPanelY = 220;
constexpr int kLeftPanelX = -115, kLeftPanelY = 50;
constexpr int kRightPanelW = 272, kRightPanelH = 322;
constexpr int kLeftPanelW = 200, kLeftPanelH = 270;
constexpr int kRightPanelFrames = 61, kLeftPanelFrames = 18;
// The right-panel toggle's dial on the main window: the right panel unfolds from it.
constexpr double kDialX = 467, kDialY = 320, kDialR = 40, kPodR = 44;
// Adds the main window's body outline to the path.
void MainBody(cairo_t* cr);
}  // namespace layout

// Pieces shared by the dialogs.
void DialogFrame(cairo_t* cr, int w, int h, int header);  // header: flat band height, 0 for none
void CloseButton(cairo_t* cr, int w, int h, State s);
void IconPlate(cairo_t* cr, int w, int h, Icon icon, State s);
void RadioMark(cairo_t* cr, int w, int h, State s);

void BuildMainWindow(SkinSet& set);
void BuildDialogs(SkinSet& set);
void BuildMacroWindows(SkinSet& set);
void BuildPanels(SkinSet& set);

}  // namespace skin
