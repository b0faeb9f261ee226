// The two side panels: their background frame series, the bar frames of
// the right panel and the thumbs of the left one. Both panels sit behind
// the main window, so their frames show them coming out from under it.
#include "assets/skin/skin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace skin {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string Frame(const char* pattern, int n) {
    char name[96];
    std::snprintf(name, sizeof name, pattern, n);
    return name;
}

double EaseOut(double t) { return 1 - (1 - t) * (1 - t) * (1 - t); }

// A panel's plate: its outline filled with the dark gradient and a faint
// hatch, and a double rim. Leaves the outline as the clip, saved; the caller
// draws its accents and restores.
void PanelPlate(cairo_t* cr, void (*outline)(cairo_t*), int w, int h) {
    cairo_new_path(cr);
    outline(cr);
    LinearV(cr, 0, h, 0x1a1d23, 0x0f1114);
    cairo_fill(cr);
    cairo_save(cr);
    outline(cr);
    cairo_clip(cr);
    Hatch(cr, 0, 0, w, h, 5, 0xffffff, 0.018);
    outline(cr);
    Source(cr, pal::kRim);
    cairo_set_line_width(cr, 7);
    cairo_stroke(cr);
    outline(cr);
    Source(cr, 0x0e1013);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
}

// ---- Right panel: wheel lines and double-click time -------------------

constexpr int kRW = layout::kRightPanelW, kRH = layout::kRightPanelH;
// The dial of the main window, in panel coordinates: the panel unfolds from it.
constexpr double kOriginX = layout::kDialX - layout::kRightPanelX;
constexpr double kOriginY = layout::kDialY - layout::kRightPanelY;
constexpr int kBarW = 45, kBarH = 40, kDownH = 22;

void RightOutline(cairo_t* cr) {
    Poly(cr, {{20, 0}, {214, 0}, {270, 56}, {270, 200}, {176, 294}, {150, 320}, {4, 320}, {4, 40}});
}

void DrawRightPanel(cairo_t* cr) {
    PanelPlate(cr, RightOutline, kRW, kRH);
    // Accent on the outer chamfers.
    Source(cr, pal::kAccent);
    cairo_set_line_width(cr, 6);
    Poly(cr, {{170, 0}, {214, 0}, {270, 56}, {270, 96}}, false);
    cairo_stroke(cr);
    Poly(cr, {{240, 230}, {176, 294}, {150, 320}, {110, 320}}, false);
    cairo_stroke(cr);
    // Rings round the dial echo the main window's pod.
    for (int i = 0; i < 3; ++i) {
        cairo_arc(cr, kOriginX, kOriginY, layout::kPodR + 10 + 9 * i, -kPi * 0.2, kPi * 0.7);
        Source(cr, i == 0 ? pal::kAccent : pal::kRim, i == 0 ? 0.9 : 0.8);
        cairo_set_line_width(cr, i == 0 ? 2 : 1);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    // Group wells behind the bars, with their icons.
    // Captions are written right of the bars, so the icons stand clear of them.
    auto group = [&](double x, double y, double iconX, double iconY, Icon icon) {
        cairo_new_path(cr);
        Chamfer(cr, x - 4, y - 4, kBarW + 8, kBarH + kDownH + 22, 6, 0, 6, 0);
        Source(cr, 0x0b0c0f, 0.9);
        cairo_fill(cr);
        Tick(cr, x - 4, y - 4, 2, kBarH + kDownH + 22.0);
        DrawIcon(cr, icon, iconX, iconY, 18, pal::kSteel, 1.4);
    };
    group(102, 146, 246, 170, Icon::DoubleClick);
    group(14, 216, 150, 252, Icon::Wheel);
}

// A level bar: ramp of `count` bars, the first `lit` of them in the accent.
void DrawBar(cairo_t* cr, int count, int lit, State s) {
    const bool hot = s == State::Hot;
    cairo_new_path(cr);
    Chamfer(cr, 0.5, 0.5, kBarW - 1, kBarH - 1, 6, 0, 6, 0);
    LinearV(cr, 0, kBarH, hot ? 0x2e1e16 : 0x1c2026, 0x0f1114);
    cairo_fill_preserve(cr);
    Source(cr, hot ? pal::kAccent : pal::kRim);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const double pitch = 39.0 / count, barW = pitch - 1;
    for (int i = 0; i < count; ++i) {
        const double x = 3 + pitch * i;
        const double h = 7 + 22.0 * i / (count - 1);
        const double y = kBarH - 5 - h;
        cairo_rectangle(cr, std::round(x), y, std::round(barW), h);
        if (i < lit) {
            Source(cr, i == lit - 1 ? pal::kAccentHi : pal::kAccent);
        } else {
            Source(cr, 0x2a2f37);
        }
        cairo_fill(cr);
    }
    // "More" mark in the free upper-left corner.
    DrawIcon(cr, Icon::ChevronUp, 10, 10, 9, hot ? 0xffffff : pal::kSteel, 1.6);
}

void DrawDown(cairo_t* cr, State s) {
    const bool hot = s == State::Hot;
    cairo_new_path(cr);
    Chamfer(cr, 0.5, 0.5, kBarW - 1, kDownH - 1, 0, 0, 6, 0);
    LinearV(cr, 0, kDownH, hot ? 0x3a2418 : 0x1c2026, hot ? 0x1b1310 : 0x0f1114);
    cairo_fill_preserve(cr);
    Source(cr, hot ? pal::kAccent : pal::kRim);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    DrawIcon(cr, Icon::ChevronDown, kBarW / 2.0, kDownH / 2.0, 12, hot ? 0xffffff : pal::kSteel, 2);
}

void BuildRightPanel(SkinSet& set) {
    Layer full(kRW, kRH);
    DrawRightPanel(full.cr());
    // The panel unfolds from the dial: a growing disc reveals it, its rim lit.
    const double reach = std::hypot(kRW - kOriginX, kRH - kOriginY);
    const Bitmap* last = nullptr;
    for (int f = 0; f < layout::kRightPanelFrames; ++f) {
        const double t = double(f) / (layout::kRightPanelFrames - 1);
        const double r = layout::kPodR - 4 + EaseOut(t) * (reach - layout::kPodR + 8);
        const Bitmap& b = set.Add(Frame("right/right_a/right_a%04d.bmp", f), DrawWindow(kRW, kRH, kKeyRightPanel, [&](cairo_t* cr) {
            if (f == 0) return;  // closed: nothing shows
            cairo_save(cr);
            cairo_arc(cr, kOriginX, kOriginY, r, 0, 2 * kPi);
            cairo_clip(cr);
            cairo_set_source_surface(cr, full.surface(), 0, 0);
            cairo_paint(cr);
            if (f < layout::kRightPanelFrames - 1) {
                RightOutline(cr);
                cairo_clip(cr);
                cairo_new_path(cr);
                cairo_arc(cr, kOriginX, kOriginY, r - 2, 0, 2 * kPi);
                GlowStroke(cr, pal::kAccent, 2, 5, 1.0 - 0.6 * t);
                Source(cr, pal::kAccentHi, 1.0 - 0.5 * t);
                cairo_set_line_width(cr, 2);
                cairo_stroke(cr);
            }
            cairo_restore(cr);
        }));
        last = &b;
    }
    const Bitmap& bg = *last;
    auto bars = [&](const char* hot, const char* normal, int x, int y, int count, int frames) {
        for (int level = 0; level < frames; ++level)
            AddPair(set, Frame(hot, level), Frame(normal, level), bg, x, y, kBarW, kBarH, kKeyRightButton,
                    [&](cairo_t* cr, State s) { DrawBar(cr, count, level + 1, s); });
    };
    bars("right/bar01_01/right_b_02_%04d.bmp", "right/bar01_01/right_b_01_%04d.bmp", 14, 216, 10, 10);
    bars("right/bar02_01/right_c_02_%04d.bmp", "right/bar02_01/right_c_01_%04d.bmp", 102, 146, 8, 8);
    // The sensitivity bar is never shown; it has the ten levels of its 1-10 range.
    bars("right/bar03_01/right_d_02_%04d.bmp", "right/bar03_01/right_d_01_%04d.bmp", 14, 216, 10, 10);
    AddPair(set, "right/bar01_02/right_b_03_0001.bmp", "right/bar01_02/right_b_01_0001.bmp", bg, 14, 262, kBarW, kDownH,
            kKeyRightButton, DrawDown);
    AddPair(set, "right/bar02_02/right_c_03_0001.bmp", "right/bar02_02/right_c_01_0001.bmp", bg, 102, 200, kBarW, kDownH,
            kKeyRightButton, DrawDown);
}

// ---- Left panel: pointer speed -----------------------------------------

constexpr int kLW = layout::kLeftPanelW, kLH = layout::kLeftPanelH;
// Top-left corners of the pointer-speed thumb, levels 0 to 9.
constexpr double kTrack[10][2] = {{46, 117}, {51, 107}, {59, 96}, {67, 85}, {74, 77},
                                  {82, 67},  {93, 58},  {102, 51}, {110, 45}, {124, 36}};
constexpr int kThumb = 20;

void LeftOutline(cairo_t* cr) {
    Poly(cr, {{6, 216}, {6, 150}, {28, 110}, {52, 76}, {86, 44}, {118, 20}, {140, 12}, {198, 12}, {198, 232}, {22, 232}});
}

// The track through the thumb centres, as a smooth curve.
void TrackPath(cairo_t* cr) {
    std::vector<std::pair<double, double>> p;
    for (const auto& t : kTrack) p.push_back({t[0] + kThumb / 2.0, t[1] + kThumb / 2.0});
    cairo_move_to(cr, p[0].first, p[0].second);
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        const auto& p0 = p[i ? i - 1 : 0];
        const auto& p1 = p[i];
        const auto& p2 = p[i + 1];
        const auto& p3 = p[std::min(i + 2, p.size() - 1)];
        cairo_curve_to(cr, p1.first + (p2.first - p0.first) / 6, p1.second + (p2.second - p0.second) / 6,
                       p2.first - (p3.first - p1.first) / 6, p2.second - (p3.second - p1.second) / 6, p2.first, p2.second);
    }
}

void DrawLeftPanel(cairo_t* cr) {
    PanelPlate(cr, LeftOutline, kLW, kLH);
    Source(cr, pal::kAccent);
    cairo_set_line_width(cr, 6);
    Poly(cr, {{6, 190}, {6, 150}, {28, 110}, {52, 76}, {86, 44}, {118, 20}, {140, 12}, {170, 12}}, false);
    cairo_stroke(cr);
    cairo_restore(cr);
    // The groove, lit more towards the fast end, and a tick per level.
    cairo_new_path(cr);
    TrackPath(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    Source(cr, 0x050607);
    cairo_set_line_width(cr, 12);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* speed = cairo_pattern_create_linear(56, 127, 134, 46);
    cairo_pattern_add_color_stop_rgba(speed, 0, 1.0, 0.38, 0.13, 0.15);
    cairo_pattern_add_color_stop_rgba(speed, 1, 1.0, 0.38, 0.13, 0.9);
    cairo_set_source(cr, speed);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_pattern_destroy(speed);
    for (int i = 0; i < 10; ++i) {
        // Ticks point away from the main window, growing with the level.
        const double cx = kTrack[i][0] + kThumb / 2.0, cy = kTrack[i][1] + kThumb / 2.0;
        const int j = std::min(i + 1, 9), k = std::max(i - 1, 0);
        double dx = kTrack[j][0] - kTrack[k][0], dy = kTrack[j][1] - kTrack[k][1];
        const double len = std::hypot(dx, dy);
        dx /= len;
        dy /= len;
        const double nx = dy, ny = -dx;  // outward normal (up and left)
        const double l0 = 9, l1 = 12 + i * 0.7;
        cairo_move_to(cr, cx + nx * l0, cy + ny * l0);
        cairo_line_to(cr, cx + nx * l1, cy + ny * l1);
        Source(cr, i == 9 ? pal::kAccent : pal::kSteel, i == 9 ? 1.0 : 0.55 + i * 0.04);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    // The caption's band.
    Source(cr, pal::kRim);
    cairo_rectangle(cr, 22, 154, 90, 1);
    cairo_fill(cr);
}

void BuildLeftPanel(SkinSet& set) {
    Layer full(kLW, kLH);
    DrawLeftPanel(full.cr());
    const Bitmap* last = nullptr;
    for (int f = 0; f < layout::kLeftPanelFrames; ++f) {
        const double t = double(f) / (layout::kLeftPanelFrames - 1);
        const double dx = (1 - EaseOut(t)) * 160;  // slides out from under the main window
        const Bitmap& b = set.Add(Frame("left/left_a/left_a%04d.bmp", f), DrawWindow(kLW, kLH, kKeyGrey, [&](cairo_t* cr) {
            if (f == 0) return;
            cairo_set_source_surface(cr, full.surface(), dx, 0);
            cairo_paint(cr);
            if (f < layout::kLeftPanelFrames - 1) {
                // A lit leading edge while moving.
                cairo_save(cr);
                cairo_translate(cr, dx, 0);
                Poly(cr, {{6, 216}, {6, 150}, {28, 110}, {52, 76}, {86, 44}, {118, 20}, {140, 12}}, false);
                GlowStroke(cr, pal::kAccent, 2, 5, 0.8);
                cairo_new_path(cr);
                cairo_restore(cr);
            }
        }));
        last = &b;
    }
    const Bitmap& bg = *last;
    // Thumbs: drawn over the groove's colour, key 0x7F7F7F.
    auto thumb = [](cairo_t* cr, State s) {
        const bool hot = s == State::Hot;
        const double c = kThumb / 2.0;
        cairo_new_path(cr);
        cairo_arc(cr, c, c, 8.5, 0, 2 * kPi);
        if (hot) GlowStroke(cr, pal::kAccent, 1, 1.5, 0.7);
        cairo_pattern_t* face = cairo_pattern_create_radial(c - 3, c - 3, 1, c, c, 8.5);
        cairo_pattern_add_color_stop_rgb(face, 0, 0.36, 0.39, 0.44);
        cairo_pattern_add_color_stop_rgb(face, 1, 0.09, 0.10, 0.12);
        cairo_set_source(cr, face);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(face);
        Source(cr, hot ? pal::kAccent : pal::kRimHi);
        cairo_set_line_width(cr, hot ? 2 : 1.2);
        cairo_stroke(cr);
        cairo_arc(cr, c, c, 2.6, 0, 2 * kPi);
        Source(cr, hot ? 0xffffff : pal::kAccent);
        cairo_fill(cr);
    };
    set.Add("left/left/left_02_02.bmp", DrawOver(kThumb, kThumb, kKeyDarkGrey, 0x050607, [&](cairo_t* cr) { thumb(cr, State::Hot); }));
    set.Add("left/left/left_02_03.bmp", DrawOver(kThumb, kThumb, kKeyDarkGrey, 0x050607, [&](cairo_t* cr) { thumb(cr, State::Normal); }));
    set.Add("left/left/left_b_01_01.bmp", DrawControl(bg, 80, 248, 16, 16, kKeyDarkGrey, [](cairo_t* cr) {
                cairo_new_path(cr);
                Chamfer(cr, 1.5, 1.5, 13, 13, 3, 0, 3, 0);
                Source(cr, 0x08090b);
                cairo_fill_preserve(cr);
                Source(cr, pal::kAccent);
                cairo_set_line_width(cr, 1.4);
                cairo_stroke(cr);
                DrawIcon(cr, Icon::Check, 8, 8, 11, 0xffffff, 1.8);
            }));
}

}  // namespace

void BuildPanels(SkinSet& set) {
    BuildRightPanel(set);
    BuildLeftPanel(set);
}

}  // namespace skin
