// Writes every bitmap of the program's skin folder, and on request the
// program icon, a contact sheet and a preview for review.
//
//   skin_gen OUTPUT_FOLDER [--icon FILE.ico] [--contact-sheet FILE.png] [--preview FILE.png]
#include "assets/skin/program_icon.h"
#include "assets/skin/sheets.h"
#include "assets/skin/skin.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: skin_gen OUTPUT_FOLDER [--icon FILE.ico] [--contact-sheet FILE.png] [--preview FILE.png]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string out, icon, sheet, preview;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (!std::strcmp(a, "--icon")) {
            if (!value(icon)) return Usage();
        } else if (!std::strcmp(a, "--contact-sheet")) {
            if (!value(sheet)) return Usage();
        } else if (!std::strcmp(a, "--preview")) {
            if (!value(preview)) return Usage();
        } else if (a[0] == '-' || !out.empty()) {
            return Usage();
        } else {
            out = a;
        }
    }
    if (out.empty()) return Usage();

    skin::SkinSet set;
    skin::BuildMainWindow(set);
    skin::BuildDialogs(set);
    skin::BuildMacroWindows(set);
    skin::BuildPanels(set);

    int failures = 0;
    for (const skin::Entry& e : set.entries()) {
        if (!skin::WriteFileBytes(out + "/" + e.path, skin::EncodeBmp(e.bitmap))) {
            std::fprintf(stderr, "skin_gen: cannot write %s/%s\n", out.c_str(), e.path.c_str());
            ++failures;
        }
    }
    if (!icon.empty() && !skin::WriteFileBytes(icon, skin::EncodeProgramIcon())) {
        std::fprintf(stderr, "skin_gen: cannot write %s\n", icon.c_str());
        ++failures;
    }
    if (!sheet.empty() && !skin::WriteContactSheet(set, sheet)) {
        std::fprintf(stderr, "skin_gen: cannot write %s\n", sheet.c_str());
        ++failures;
    }
    if (!preview.empty() && !skin::WritePreview(set, preview)) {
        std::fprintf(stderr, "skin_gen: cannot write %s\n", preview.c_str());
        ++failures;
    }
    // The captions of the review sheets fill cairo's and fontconfig's caches;
    // release them so that leak checkers see a clean exit.
    cairo_debug_reset_static_data();
    FcFini();
    return failures ? 1 : 0;
}
