// Review pictures of the generated skin.
#pragma once

#include "assets/skin/skin.h"

#include <string>

namespace skin {

// One PNG with every picture at its real size above its file name; key
// pixels are shown as a checkerboard.
bool WriteContactSheet(const SkinSet& set, const std::string& path);
// One PNG of the main window with both panels open over a desktop, with
// sample captions where the program writes its texts.
bool WritePreview(const SkinSet& set, const std::string& path);

}  // namespace skin
