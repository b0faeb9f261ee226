// The small dialogs: advanced settings, load/save, profile, DPI, message,
// and the function menu.
#include "assets/skin/skin.h"

#include <cstdio>
#include <string>

namespace skin {

void DialogFrame(cairo_t* cr, int w, int h, int header) {
    auto outline = [&] { Chamfer(cr, 0.5, 0.5, w - 1, h - 1, 14, 5, 14, 5); };
    cairo_new_path(cr);
    outline();
    LinearV(cr, 0, h, pal::kBodyHi, 0x0f1114);
    cairo_fill(cr);
    cairo_save(cr);
    outline();
    cairo_clip(cr);
    Hatch(cr, 0, 0, w, h, 5, 0xffffff, 0.018);
    if (header > 0) {
        // Header band, flat so that a title image sits on one colour.
        cairo_rectangle(cr, 0, 0, w, header);
        Source(cr, 0x0d0f12);
        cairo_fill(cr);
        Source(cr, pal::kRim);
        cairo_rectangle(cr, 0, header, w, 1);
        cairo_fill(cr);
        Tick(cr, 18, header - 1, 60, 2);
    }
    outline();
    Source(cr, pal::kRim);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    outline();
    Source(cr, 0x0e1013);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    cairo_restore(cr);
    // Accent on the two long chamfers.
    cairo_set_line_width(cr, 2.5);
    Source(cr, pal::kAccent);
    Poly(cr, {{1.5, 30}, {1.5, 14.5}, {14.5, 1.5}, {60, 1.5}}, false);
    cairo_stroke(cr);
    Poly(cr, {{w - 1.5, h - 30.0}, {w - 1.5, h - 14.5}, {w - 14.5, h - 1.5}, {w - 60.0, h - 1.5}}, false);
    cairo_stroke(cr);
}

// A close button: a small chamfered plate with a cross.
void CloseButton(cairo_t* cr, int w, int h, State s) {
    const bool hot = s == State::Hot;
    cairo_new_path(cr);
    Chamfer(cr, 0.5, 0.5, w - 1, h - 1, 4, 0, 4, 0);
    LinearV(cr, 0, h, hot ? 0xff7a3c : 0x262a31, hot ? 0xc23c0c : 0x15181c);
    cairo_fill_preserve(cr);
    Source(cr, hot ? pal::kAccentHi : pal::kRimHi);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    DrawIcon(cr, Icon::Close, w / 2.0, h / 2.0, h * 0.95, hot ? 0xffffff : pal::kText, 1.8);
}

// An icon that stands beside a caption: a small plate carrying the icon.
void IconPlate(cairo_t* cr, int w, int h, Icon icon, State s) {
    const bool hot = s == State::Hot;
    cairo_new_path(cr);
    Chamfer(cr, 1.5, 1.5, w - 3, h - 3, 4, 0, 4, 0);
    if (hot) GlowStroke(cr, pal::kAccent, 1, 1.5, 0.6);
    LinearV(cr, 0, h, hot ? 0x3a2418 : 0x20242b, hot ? 0x1b1310 : 0x121418);
    cairo_fill_preserve(cr);
    Source(cr, hot ? pal::kAccent : pal::kRim);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    DrawIcon(cr, icon, w / 2.0, h / 2.0, h * 0.8, hot ? 0xffffff : pal::kSteel, 1.6);
}

// A radio mark: ring, lit core when hot (checked or under the pointer).
void RadioMark(cairo_t* cr, int w, int h, State s) {
    const bool hot = s == State::Hot;
    const double cx = w / 2.0, cy = h / 2.0, r = h / 2.0 - 2.5;
    cairo_new_path(cr);
    Chamfer(cr, cx - r, cy - r, 2 * r, 2 * r, r * 0.45);
    if (hot) GlowStroke(cr, pal::kAccent, 1.5, 2, 0.7);
    Source(cr, 0x08090b);
    cairo_fill_preserve(cr);
    Source(cr, hot ? pal::kAccent : pal::kSteel);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    if (hot) {
        Chamfer(cr, cx - r * 0.45, cy - r * 0.45, r * 0.9, r * 0.9, r * 0.2);
        Source(cr, pal::kAccentHi);
        cairo_fill(cr);
    }
}

namespace {

void BuildSettings(SkinSet& set) {
    constexpr int W = 392, H = 216;
    const int rows[4] = {47, 75, 104, 131};
    const Bitmap& bg = set.Add("Setting/setting_bg.bmp", DrawWindow(W, H, kKeyGrey, [&](cairo_t* cr) {
        DialogFrame(cr, W, H, 42);
        for (int y : rows) {
            cairo_new_path(cr);
            Chamfer(cr, 34, y - 1, 330, 26, 0, 6, 0, 6);
            Source(cr, 0x0c0d10, 0.85);
            cairo_fill(cr);
            Tick(cr, 34, y + 4, 2, 16);
        }
        Source(cr, pal::kRim);
        cairo_rectangle(cr, 30, 165, W - 60, 1);
        cairo_fill(cr);
    }));
    AddPair(set, "Setting/setting_02_04.bmp", "Setting/setting_01_04.bmp", bg, 354, 21, 22, 20, kKeyGrey,
            [](cairo_t* cr, State s) { CloseButton(cr, 22, 20, s); });
    const Icon icons[4] = {Icon::Folder, Icon::Disk, Icon::Reset, Icon::Chip};
    const char* ids[4] = {"08", "10", "14", "16"};
    for (int i = 0; i < 4; ++i) {
        AddPair(set, std::string("Setting/setting_02_") + ids[i] + ".bmp", std::string("Setting/setting_01_") + ids[i] + ".bmp",
                bg, 39, rows[i], 28, 24, kKeyGrey, [&](cairo_t* cr, State s) { IconPlate(cr, 28, 24, icons[i], s); });
    }
    AddPair(set, "Setting/setting_02_20.bmp", "Setting/setting_01_20.bmp", bg, 171, 176, 52, 26, kKeyGrey,
            [](cairo_t* cr, State s) { Plate(cr, 0, 0, 52, 26, 6, s); });
}

void BuildLoadSave(SkinSet& set) {
    constexpr int W = 320, H = 366;
    const Bitmap& bg = set.Add("load/load_bg.bmp", DrawWindow(W, H, kKeyGrey, [&](cairo_t* cr) {
        DialogFrame(cr, W, H, 34);
        Well(cr, 70, 64, 180, 199, 0);  // the list, between its two scroll bars
        Well(cr, 111, 297, 116, 22, 3); // the name field
        // Flat footer band under the OK and Cancel buttons.
        cairo_rectangle(cr, 20, 324, W - 40, 30);
        Source(cr, 0x0d0f12);
        cairo_fill(cr);
        Source(cr, pal::kRim);
        cairo_rectangle(cr, 20, 323, W - 40, 1);
        cairo_fill(cr);
    }));
    auto scrollBar = [](Icon chevron) {
        return [chevron](cairo_t* cr, State s) {
            const bool hot = s == State::Hot;
            cairo_new_path(cr);
            Chamfer(cr, 0.5, 0.5, 171, 19, chevron == Icon::ChevronUp ? 6 : 0, chevron == Icon::ChevronUp ? 6 : 0,
                    chevron == Icon::ChevronDown ? 6 : 0, chevron == Icon::ChevronDown ? 6 : 0);
            LinearV(cr, 0, 20, hot ? 0x3a2418 : 0x20242b, hot ? 0x1b1310 : 0x131519);
            cairo_fill_preserve(cr);
            Source(cr, hot ? pal::kAccent : pal::kRim);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            DrawIcon(cr, chevron, 86, 10, 14, hot ? 0xffffff : pal::kSteel, 2);
            Source(cr, hot ? pal::kAccent : pal::kRim);
            cairo_rectangle(cr, 20, 9, 46, 1.5);
            cairo_rectangle(cr, 106, 9, 46, 1.5);
            cairo_fill(cr);
        };
    };
    AddPair(set, "load/load_02_07.bmp", "load/load_01_07.bmp", bg, 74, 43, 172, 20, kKeyGrey, scrollBar(Icon::ChevronUp));
    AddPair(set, "load/load_02_10.bmp", "load/load_01_10.bmp", bg, 74, 264, 172, 20, kKeyGrey, scrollBar(Icon::ChevronDown));
    // Title image of save mode: placed beside the title text, wherever that
    // falls on the flat header band, so it is drawn over the band's colour.
    set.Add("save/save_01_03.bmp", DrawOver(22, 22, kKeyGrey, 0x0d0f12, [](cairo_t* cr) {
                DrawIcon(cr, Icon::Disk, 11, 11, 18, pal::kAccent, 1.6);
            }));
    // OK (load or save) and Cancel: icons beside their captions, on the footer band.
    AddPair(set, "load/load_02_15.bmp", "load/load_01_15.bmp", bg, 68, 327, 26, 24, kKeyGrey,
            [](cairo_t* cr, State s) { IconPlate(cr, 26, 24, Icon::Folder, s); });
    AddPair(set, "save/save_02_15.bmp", "save/save_01_15.bmp", bg, 68, 327, 26, 24, kKeyGrey,
            [](cairo_t* cr, State s) { IconPlate(cr, 26, 24, Icon::Disk, s); });
    AddPair(set, "load/load_02_16.bmp", "load/load_01_16.bmp", bg, 145, 327, 26, 24, kKeyGrey,
            [](cairo_t* cr, State s) { IconPlate(cr, 26, 24, Icon::Close, s); });
}

// The section-title mark of the profile and DPI dialogs.
Bitmap TitleMark() {
    return DrawOver(14, 18, kKeyGrey, 0x16191e, [](cairo_t* cr) {
        Poly(cr, {{1, 2}, {6, 2}, {12, 9}, {6, 16}, {1, 16}, {7, 9}});
        GlowFill(cr, pal::kAccent, 1.5, 0.5);
        Source(cr, pal::kAccent);
        cairo_fill(cr);
    });
}

// Dialogs of the detail family share one layout: close at the top right,
// Apply and Cancel plates at the bottom.
const Bitmap& DetailBackground(SkinSet& set, const std::string& name, const DrawFn& extra) {
    constexpr int W = 400, H = 226;
    return set.Add(name, DrawWindow(W, H, kKeyGrey, [&](cairo_t* cr) {
        DialogFrame(cr, W, H, 0);
        Source(cr, pal::kRim);
        cairo_rectangle(cr, 24, 170, W - 48, 1);
        cairo_fill(cr);
        extra(cr);
    }));
}

void AddApplyCancel(SkinSet& set, const Bitmap& bg, const std::string& dir) {
    AddPair(set, dir + "/" + dir + "_02_19.bmp", dir + "/" + dir + "_01_19.bmp", bg, 100, 178, 96, 28, kKeyGrey,
            [](cairo_t* cr, State s) { Plate(cr, 0, 0, 96, 28, 7, s); });
    AddPair(set, dir + "/" + dir + "_02_21.bmp", dir + "/" + dir + "_01_21.bmp", bg, 214, 178, 96, 28, kKeyGrey,
            [](cairo_t* cr, State s) { Plate(cr, 0, 0, 96, 28, 7, s); });
}

void BuildProfileDialog(SkinSet& set) {
    const Bitmap& bg = DetailBackground(set, "profile/profile_bg.bmp", [](cairo_t* cr) {
        // A rail behind the five profile numbers.
        cairo_new_path(cr);
        Chamfer(cr, 64, 100, 312, 54, 0, 10, 0, 10);
        Source(cr, 0x0c0d10, 0.9);
        cairo_fill(cr);
        Source(cr, pal::kAccent, 0.8);
        cairo_rectangle(cr, 74, 150, 292, 1.5);
        cairo_fill(cr);
    });
    AddPair(set, "profile/profile_02_18.bmp", "profile/profile_01_18.bmp", bg, 357, 21, 22, 20, kKeyGrey,
            [](cairo_t* cr, State s) { CloseButton(cr, 22, 20, s); });
    AddApplyCancel(set, bg, "profile");
    for (int i = 0; i < 5; ++i) {
        char hot[48], normal[48];
        std::snprintf(hot, sizeof hot, "profile/profile_02_%02d.bmp", i);
        std::snprintf(normal, sizeof normal, "profile/profile_01_%02d.bmp", i);
        const std::string digit(1, char('1' + i));
        AddPair(set, hot, normal, bg, 80 + 60 * i, 109, 40, 36, kKeyGrey, [digit](cairo_t* cr, State s) {
            Plate(cr, 0, 0, 40, 36, 8, s);
            StrokeLettering(cr, digit, 20.5, 18, 17, 2.6, s == State::Hot ? 0xffffff : 0xa9b1bc, 0.12,
                            s == State::Hot ? 0.9 : 0.0);
        });
    }
    set.Add("right/right_b_01_05.bmp", TitleMark());
}

void BuildDpiDialog(SkinSet& set) {
    const Bitmap& bg = DetailBackground(set, "dpi/dpi_bg.bmp", [](cairo_t* cr) {
        // Number box for the button number, and the two option rows.
        Well(cr, 103, 45, 24, 22, 3);
        for (int y : {104, 145}) {
            cairo_new_path(cr);
            Chamfer(cr, 44, y, 330, 32, 0, 8, 0, 8);
            Source(cr, 0x0c0d10, 0.8);
            cairo_fill(cr);
        }
    });
    AddPair(set, "dpi/dpi_02_04.bmp", "dpi/dpi_01_04.bmp", bg, 357, 21, 22, 20, kKeyGrey,
            [](cairo_t* cr, State s) { CloseButton(cr, 22, 20, s); });
    AddApplyCancel(set, bg, "dpi");
    // The option mark: drawn on the option rows' colour.
    set.Add("dpi/dpi_02_12.bmp", DrawOver(20, 20, kKeyGrey, 0x0e1013, [](cairo_t* cr) { RadioMark(cr, 20, 20, State::Hot); }));
    set.Add("dpi/dpi_01_12.bmp", DrawOver(20, 20, kKeyGrey, 0x0e1013, [](cairo_t* cr) { RadioMark(cr, 20, 20, State::Normal); }));
}

void BuildMessageDialog(SkinSet& set) {
    constexpr int W = 276, H = 136;
    const Bitmap& bg = set.Add("info/info_bg.bmp", DrawWindow(W, H, kKeyGrey, [&](cairo_t* cr) {
        DialogFrame(cr, W, H, 22);
        Tick(cr, 24, 34, 2.5, 50);  // beside the text, centred on its area
        Source(cr, pal::kRim);
        cairo_rectangle(cr, 24, 94, W - 48, 1);
        cairo_fill(cr);
    }));
    auto plate = [](cairo_t* cr, State s) { Plate(cr, 0, 0, 56, 24, 6, s); };
    // OK: hot 03, normal 04; Yes and No: hot 01, normal 02.
    set.Add("info/info_03_13.bmp", DrawControl(bg, 112, 100, 56, 24, kKeyGrey, [&](cairo_t* cr) { plate(cr, State::Hot); }));
    set.Add("info/info_04_13.bmp", DrawControl(bg, 112, 100, 56, 24, kKeyGrey, [&](cairo_t* cr) { plate(cr, State::Normal); }));
    AddPair(set, "info/info_01_11.bmp", "info/info_02_11.bmp", bg, 77, 100, 56, 24, kKeyGrey, plate);
    AddPair(set, "info/info_01_13.bmp", "info/info_02_13.bmp", bg, 146, 100, 56, 24, kKeyGrey, plate);
}

// The function menu fades in with the whole window translucent before its
// key colour applies, so its picture is a full rectangle without key pixels.
void BuildFunctionMenu(SkinSet& set) {
    constexpr int W = 170, H = 224;
    set.Add("function/function_demo.bmp", DrawWindow(W, H, kKeyGrey, [&](cairo_t* cr) {
        cairo_rectangle(cr, 0, 0, W, H);
        Source(cr, pal::kEdge);
        cairo_fill(cr);
        cairo_new_path(cr);
        Chamfer(cr, 1.5, 1.5, W - 3, H - 3, 10, 0, 10, 0);
        LinearV(cr, 0, H, pal::kBodyHi, 0x0f1114);
        cairo_fill_preserve(cr);
        Source(cr, pal::kRim);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        Tick(cr, 14, 4, 60, 2);
        Tick(cr, 1.5, 14, 2, H - 40.0);
        // One row per item at 17-pixel pitch, with hairlines between.
        Source(cr, pal::kRim, 0.6);
        for (int k = 1; k <= 11; ++k) {
            const double y = 17.0 * (k + 1) - 0.5;
            cairo_move_to(cr, 10, y);
            cairo_line_to(cr, W - 10, y);
        }
        cairo_stroke(cr);
        for (int k = 0; k < 11; ++k) {
            Source(cr, pal::kSteel, 0.8);
            cairo_rectangle(cr, 6, 17.0 * (k + 1) + 7, 2, 2);
            cairo_fill(cr);
        }
    }));
}

}  // namespace

void BuildDialogs(SkinSet& set) {
    BuildFunctionMenu(set);
    BuildProfileDialog(set);
    BuildDpiDialog(set);
    BuildMessageDialog(set);
    BuildSettings(set);
    BuildLoadSave(set);
}

}  // namespace skin
