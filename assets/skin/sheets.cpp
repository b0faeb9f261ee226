// Review pictures: the contact sheet of every file, and a preview of the
// main window with both panels open, composed as the program shows them.
#include "assets/skin/sheets.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace skin {

namespace {

// Copies a bitmap onto a cairo image surface; see-through pixels are
// either left untouched or painted as a checkerboard.
void Blit(cairo_surface_t* target, const Bitmap& bmp, int ox, int oy, bool checker) {
    cairo_surface_flush(target);
    const int tw = cairo_image_surface_get_width(target), th = cairo_image_surface_get_height(target);
    const int stride = cairo_image_surface_get_stride(target);
    unsigned char* data = cairo_image_surface_get_data(target);
    for (int y = 0; y < bmp.height(); ++y) {
        const int ty = oy + y;
        if (ty < 0 || ty >= th) continue;
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(ty) * size_t(stride));
        for (int x = 0; x < bmp.width(); ++x) {
            const int tx = ox + x;
            if (tx < 0 || tx >= tw) continue;
            if (bmp.IsKey(x, y)) {
                if (!checker) continue;
                const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
                row[tx] = dark ? 0xff9a9ea6u : 0xffc8ccd2u;
                continue;
            }
            const Rgb c = bmp.At(x, y);
            row[tx] = 0xff000000u | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b;
        }
    }
    cairo_surface_mark_dirty(target);
}

void Caption(cairo_t* cr, double x, double y, const std::string& text, uint32_t hex, double size) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    Source(cr, hex);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

}  // namespace

bool WriteContactSheet(const SkinSet& set, const std::string& path) {
    // Shelf packing in file order, each picture above its name.
    const int sheetW = 1800, pad = 10, nameH = 14;
    struct Place { const Entry* e; int x, y; };
    std::vector<Place> places;
    int x = pad, y = pad + 24, shelfH = 0;
    cairo_surface_t* probe = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* measure = cairo_create(probe);
    cairo_select_font_face(measure, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(measure, 9);
    for (const Entry& e : set.entries()) {
        cairo_text_extents_t ext;
        const std::string name = e.path + " 000x000";
        cairo_text_extents(measure, name.c_str(), &ext);
        const int w = std::max(e.bitmap.width(), int(ext.x_advance) + 4), h = e.bitmap.height() + nameH;
        if (x + w + pad > sheetW) {
            x = pad;
            y += shelfH + pad;
            shelfH = 0;
        }
        places.push_back({&e, x, y});
        x += w + pad;
        shelfH = std::max(shelfH, h);
    }
    cairo_destroy(measure);
    cairo_surface_destroy(probe);
    const int sheetH = y + shelfH + pad;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheetW, sheetH);
    cairo_t* cr = cairo_create(surface);
    Source(cr, 0x2a2d33);
    cairo_paint(cr);
    char title[96];
    std::snprintf(title, sizeof title, "Korelle skin: %zu files (checkerboard = key colour)", set.entries().size());
    Caption(cr, pad, 18, title, 0xffffff, 14);
    for (const Place& p : places) {
        Blit(surface, p.e->bitmap, p.x, p.y, true);
        char dims[32];
        std::snprintf(dims, sizeof dims, " %dx%d", p.e->bitmap.width(), p.e->bitmap.height());
        Caption(cr, p.x, p.y + p.e->bitmap.height() + 10, p.e->path + dims, 0xdce0e6, 9);
    }
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

bool WritePreview(const SkinSet& set, const std::string& path) {
    using namespace layout;
    const int w = 1320, h = 1260;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(surface);
    LinearV(cr, 0, h, 0x3d5a78, 0x1d2a38);  // a desktop behind the windows
    cairo_paint(cr);
    int ox = 0, oy = 0;  // the current window's corner on the preview
    auto at = [&](int x, int y) { ox = x; oy = y; };
    auto put = [&](const std::string& name, int x, int y) {
        if (const Bitmap* b = set.Find(name)) Blit(surface, *b, ox + x, oy + y, false);
    };
    auto text = [&](double x, double y, const char* s, uint32_t hex) { Caption(cr, ox + x, oy + y + 12, s, hex, 12); };
    auto gap = [](double x, const char* s) { (void)s; return x; };
    (void)gap;

    // Main window with both panels open; bottom to top: right panel, left panel, main.
    at(150 + kRightPanelX, 30 + kRightPanelY);
    put("right/right_a/right_a0060.bmp", 0, 0);
    put("right/bar01_01/right_b_01_0004.bmp", 14, 216);
    put("right/bar01_02/right_b_01_0001.bmp", 14, 262);
    put("right/bar02_01/right_c_02_0003.bmp", 102, 146);
    put("right/bar02_02/right_c_01_0001.bmp", 102, 200);
    text(62, 228, "Scroll", 0xffffff);
    text(62, 264, "Speed", 0xffffff);
    text(150, 158, "Double", 0xffffff);
    text(150, 202, "Click speed", 0xffffff);
    at(150 + kLeftPanelX, 30 + kLeftPanelY);
    put("left/left_a/left_a0017.bmp", 0, 0);
    put("left/left/left_02_03.bmp", 74, 77);
    text(25, 160, "WINDOW POINTER", 0xdce0e6);
    text(25, 175, "SPEED", 0xdce0e6);
    at(150, 30);
    put("central/central_bg.bmp", 0, 0);
    put("central/central_01_19.bmp", 419, 30);
    put("central/central_01_20.bmp", 432, 51);
    put("central/central_01_21.bmp", 434, 77);
    put("central/central_01_3.bmp", 190, 30);
    put("central/central_02_7.bmp", 23, 112);
    put("central/central_02_11.bmp", 409, 259);
    put("central/apply_01.bmp", 171, 417);
    put("central/abandon_02.bmp", 335, 415);
    put("Logo/ball0040.bmp", 220, 434);
    put("line/33.bmp", 274, 138);
    put("line/11.bmp", 163, 169);
    const char* names[7] = {"CLICK", "RIGHT BUTTON", "MIDDLE BUTTON", "BUTTON 4", "BUTTON 5", "SWITCH DPI", "SWITCH DPI"};
    const int lxy[7][2] = {{5, 208}, {12, 235}, {30, 258}, {396, 131}, {394, 165}, {388, 196}, {374, 225}};
    for (int i = 0; i < 7; ++i) text(lxy[i][0] + 4, lxy[i][1] + 2, names[i], i == 3 || i == 1 ? 0xffffff : 0xc0c0c0);
    text(105, 304, "CONFIG", 0xc0c0c0);
    text(105, 320, "POLLING", 0xc0c0c0);
    text(105, 336, "DPI", 0xc0c0c0);
    text(105, 354, "PROFILE", 0xc0c0c0);
    text(262, 302, "Save / Load", 0x00ffff);
    text(224, 320, "100 T/S  500 T/S  1000 T/S", 0xc0c0c0);
    text(222, 336, "800dpi  1600dpi  2000dpi", 0xc0c0c0);
    text(226, 354, "1    2    3    4    5", 0xc0c0c0);
    text(180, 425, "Apply", 0xc0c0c0);
    text(340, 423, "Abandon", 0x00ffff);

    // Function menu beside it.
    at(880, 30);
    put("function/function_demo.bmp", 0, 0);
    const char* items[11] = {"BUTTON OFF", "CLICK", "RIGHT BUTTON", "MIDDLE BUTTON", "BUTTON 4", "BUTTON 5",
                             "DOUBLE CLICK", "SWITCH DPI", "SELECT PROFILE", "MACRO", "SINGLE"};
    for (int k = 0; k < 11; ++k) text(12, 17 * (k + 1), items[k], k == 2 ? 0xffffff : 0xc0c0c0);

    // Message box, Yes/No.
    at(1060, 30);
    put("info/info_bg.bmp", 0, 0);
    text(90, 3, "System Message", 0xffffff);
    text(33, 50, "Settings changed. Apply them", 0xffffff);
    text(33, 66, "to the mouse?", 0xffffff);
    put("info/info_01_11.bmp", 77, 100);
    put("info/info_02_13.bmp", 146, 100);
    text(94, 104, "Yes", 0xffffff);
    text(165, 104, "No", 0xc0c0c0);

    // Advanced settings.
    at(880, 280);
    put("Setting/setting_bg.bmp", 0, 0);
    text(110, 22, "Advanced Configuration", 0xffffff);
    put("Setting/setting_01_04.bmp", 354, 21);
    const char* rowsText[4] = {"Load Configuration", "Save Configuration", "Reset to Default", "Update Firmware"};
    const int rows[4] = {47, 75, 104, 131};
    const char* rowImg[4] = {"Setting/setting_02_08.bmp", "Setting/setting_01_10.bmp", "Setting/setting_01_14.bmp",
                             "Setting/setting_01_16.bmp"};
    for (int i = 0; i < 4; ++i) {
        put(rowImg[i], 39, rows[i]);
        text(74, rows[i] + 4, rowsText[i], 0xffffff);
    }
    put("Setting/setting_01_20.bmp", 171, 176);
    text(187, 181, "OK", 0xffffff);

    // Load dialog.
    at(30, 700);
    put("load/load_bg.bmp", 0, 0);
    text(110, 10, "Load Configuration", 0xffffff);
    put("load/load_01_07.bmp", 74, 43);
    put("load/load_02_10.bmp", 74, 264);
    const char* files[5] = {"fps-night", "mmo-raid", "office", "rts-grid", "travel"};
    for (int i = 0; i < 5; ++i) text(80, 68 + 20 * i, files[i], i == 1 ? 0x00ffff : 0xffffff);
    text(50, 298, "Name", 0xc0c0c0);
    text(116, 300, "mmo-raid", 0xffffff);
    put("load/load_01_15.bmp", 68, 327);
    text(98, 331, "Load", 0xffffff);
    put("load/load_01_16.bmp", 145, 327);
    text(175, 331, "Cancel", 0xffffff);

    // Profile dialog and DPI dialog.
    at(380, 700);
    put("profile/profile_bg.bmp", 0, 0);
    put("right/right_b_01_05.bmp", 43, 48);
    text(62, 50, "Assign a profile number to the selected button", 0xffffff);
    put("profile/profile_01_18.bmp", 357, 21);
    for (int i = 0; i < 5; ++i) put(i == 2 ? "profile/profile_02_02.bmp" : "profile/profile_01_0" + std::to_string(i) + ".bmp", 80 + 60 * i, 109);
    put("profile/profile_02_19.bmp", 100, 178);
    put("profile/profile_01_21.bmp", 214, 178);
    text(130, 184, "Apply", 0x00ffff);
    text(240, 184, "Cancel", 0xc0c0c0);
    at(380, 950);
    put("dpi/dpi_bg.bmp", 0, 0);
    put("dpi/dpi_01_04.bmp", 357, 21);
    put("dpi/dpi_02_12.bmp", 30, 47);
    text(54, 49, "BUTTON", 0x818181);
    text(110, 49, "4", 0xffffff);
    put("right/right_b_01_05.bmp", 30, 87);
    text(48, 87, "SET DPI MODE", 0xffffff);
    put("right/right_b_01_05.bmp", 30, 129);
    text(48, 129, "OPTION", 0xffffff);
    const int ox3[3] = {57, 148, 245};
    const char* dpis[3] = {"800 DPI", "1600 DPI", "2000 DPI"};
    for (int i = 0; i < 3; ++i) {
        put(i == 1 ? "dpi/dpi_02_12.bmp" : "dpi/dpi_01_12.bmp", ox3[i], 111);
        text(ox3[i] + 26, 112, dpis[i], i == 1 ? 0xffffff : 0xc0c0c0);
    }
    put("dpi/dpi_01_12.bmp", 57, 152);
    text(83, 153, "DPI Up", 0xc0c0c0);
    put("dpi/dpi_01_12.bmp", 240, 152);
    text(266, 153, "DPI Down", 0xc0c0c0);
    put("dpi/dpi_01_19.bmp", 100, 178);
    put("dpi/dpi_01_21.bmp", 214, 178);
    text(130, 184, "Apply", 0xc0c0c0);
    text(240, 184, "Cancel", 0xc0c0c0);

    // Macro editor with its delay dialog slid out below.
    at(800, 770);
    put("tm/time_bg.bmp", 80, 50 + 146);
    at(800, 770);
    put("macro/macro_bg.bmp", 0, 0);
    text(170, 10, "Macro Setting", 0xffffff);
    put("macro/macro_01_24.bmp", 28, 76);
    text(56, 80, "View", 0xc0c0c0);
    put("macro/macro_02_15_01.bmp", 28, 109);
    text(56, 113, "Record", 0xffffff);
    put("macro/macro_02_10.bmp", 280, 76);
    text(304, 78, "Continue Click", 0xffffff);
    put("macro/macro_01_17.bmp", 280, 109);
    text(304, 111, "Toggle Click", 0xc0c0c0);
    put("macro/macro_01_20.bmp", 280, 146);
    text(304, 147, "Apply", 0xc0c0c0);
    put("macro/macro_01_23.bmp", 280, 169);
    text(304, 170, "Cancel", 0xc0c0c0);
    text(20, 149, "Remain", 0xffffff);
    text(99, 149, "26", 0xffffff);
    const char* events[6] = {"A v", "<tm>", "A ^", "<tm>", "Ctrl v", "<tm>"};
    int ex = 143;
    for (int i = 0; i < 6; ++i) {
        text(ex, 35, events[i], i == 1 ? 0x00ffff : 0x7a7a7a);
        ex += i % 2 ? 30 : 26;
    }
    at(880, 966);
    const int sx[3] = {49, 115, 183};
    const char* sl[3] = {"tm/Slide3.bmp", "tm/Slide2.bmp", "tm/Slide1.bmp"};
    const char* caps[3] = {"Min", "Sec", "1/100"};
    for (int i = 0; i < 3; ++i) {
        put(sl[i], sx[i], 38);
        put("tm/time_01_1.bmp", sx[i], 38 + (i == 1 ? 20 : i == 2 ? 45 : 55));
        text(sx[i], 20, caps[i], 0xc0c0c0);
    }
    text(20, 114, "Time", 0xc0c0c0);
    text(77, 114, "00", 0xffffff);
    text(110, 114, "01.23", 0xffffff);
    text(146, 114, "sec", 0xc0c0c0);

    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace skin
