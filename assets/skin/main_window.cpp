// The main window: its background with the mouse seen from above, its
// buttons, the seven connecting lines and the logo frames.
#include "assets/skin/skin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace skin {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Where each of the seven lines starts (beside its label) and where it ends
// (on its button of the mouse), with the line image's top-left corner.
struct LinePath {
    int x, y;                // image position in the main window
    double sx, sy;           // start, at the label
    double kx, ky;           // elbow
    double ex, ey;           // end, on the button
};
constexpr LinePath kLines[7] = {
    {147, 131, 152, 218, 168, 218, 214, 160},  // left main button
    {163, 169, 167, 245, 190, 245, 284, 184},  // right main button
    {181, 188, 187, 268, 208, 268, 250, 197},  // wheel
    {274, 138, 395, 141, 372, 141, 323, 155},  // side module, first button
    {306, 151, 393, 175, 368, 175, 324, 171},  // second
    {318, 165, 387, 206, 364, 206, 325, 187},  // third
    {318, 183, 373, 235, 352, 235, 325, 203},  // fourth
};
// Label rectangles (position, width; height 20).
struct LabelBox { int x, y, w; };
constexpr LabelBox kLabels[7] = {{5, 208, 150}, {12, 235, 156}, {30, 258, 158}, {396, 131, 165},
                                  {394, 165, 164}, {388, 196, 160}, {374, 225, 162}};

// The logo: 105 x 104 at (220, 434), key 0x7F7F7F.
constexpr int kLogoX = 220, kLogoY = 434, kLogoW = 105, kLogoH = 104;
constexpr double kLogoCx = 52.5, kLogoCy = 52, kLogoR = 46;

void MouseOutline(cairo_t* cr) {
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 250, 110);
    cairo_curve_to(cr, 214, 110, 194, 118, 188, 146);
    cairo_curve_to(cr, 182, 171, 186, 196, 184, 221);
    cairo_curve_to(cr, 182, 258, 205, 296, 250, 296);
    cairo_curve_to(cr, 295, 296, 318, 258, 316, 221);
    cairo_curve_to(cr, 314, 196, 318, 171, 312, 146);
    cairo_curve_to(cr, 306, 118, 286, 110, 250, 110);
    cairo_close_path(cr);
}

// The two main buttons: everything in front of this curve.
void ButtonLine(cairo_t* cr) {
    cairo_move_to(cr, 176, 194);
    cairo_curve_to(cr, 205, 208, 232, 208, 250, 204);
    cairo_curve_to(cr, 268, 208, 295, 208, 324, 194);
}

void DrawMouse(cairo_t* cr) {
    // Pedestal light and shadow.
    cairo_save(cr);
    cairo_translate(cr, 250, 214);
    cairo_scale(cr, 1.0, 0.95);
    cairo_pattern_t* glow = cairo_pattern_create_radial(0, 0, 40, 0, 0, 135);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.38, 0.13, 0.16);
    cairo_pattern_add_color_stop_rgba(glow, 1, 1.0, 0.38, 0.13, 0.0);
    cairo_set_source(cr, glow);
    cairo_arc(cr, 0, 0, 135, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    cairo_restore(cr);
    cairo_new_path(cr);
    MouseOutline(cr);
    Shadow(cr, 7, 9, 0.55);
    cairo_new_path(cr);

    // Shell: lit from the upper left.
    MouseOutline(cr);
    cairo_pattern_t* shell = cairo_pattern_create_linear(184, 110, 316, 296);
    cairo_pattern_add_color_stop_rgb(shell, 0, 0.19, 0.21, 0.25);
    cairo_pattern_add_color_stop_rgb(shell, 0.45, 0.10, 0.11, 0.13);
    cairo_pattern_add_color_stop_rgb(shell, 1, 0.05, 0.055, 0.065);
    cairo_set_source(cr, shell);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shell);
    cairo_save(cr);
    cairo_clip(cr);

    // Main buttons: a lighter face in front of the button line.
    cairo_new_path(cr);
    ButtonLine(cr);
    cairo_line_to(cr, 330, 100);
    cairo_line_to(cr, 170, 100);
    cairo_close_path(cr);
    LinearV(cr, 110, 206, 0x2a2f38, 0x15181d);
    cairo_fill(cr);
    // Seams: the button line and the centre channel.
    cairo_set_line_width(cr, 2.2);
    Source(cr, 0x050607);
    ButtonLine(cr);
    cairo_stroke(cr);
    cairo_rectangle(cr, 243, 105, 14, 101);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    Source(cr, pal::kRimHi, 0.5);
    cairo_move_to(cr, 178, 197.5);
    cairo_curve_to(cr, 205, 210.5, 232, 210.5, 250, 206.5);
    cairo_stroke(cr);
    // Accent light strips along both button edges.
    for (int side = -1; side <= 1; side += 2) {
        cairo_save(cr);
        cairo_translate(cr, 250, 0);
        cairo_scale(cr, side, 1);
        cairo_move_to(cr, -38, 118);
        cairo_curve_to(cr, -55, 124, -60, 150, -61, 186);
        GlowStroke(cr, pal::kAccent, 1.6, 4, 0.9);
        Source(cr, pal::kAccentHi);
        cairo_set_line_width(cr, 1.3);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    // Wheel well, wheel and its ribs.
    Chamfer(cr, 244, 134, 12, 66, 4);
    Source(cr, 0x020203);
    cairo_fill(cr);
    Chamfer(cr, 245.5, 141, 9, 46, 3);
    GlowStroke(cr, pal::kAccent, 1, 3, 0.7);
    LinearV(cr, 141, 187, 0x4a525e, 0x1d2127);
    cairo_fill(cr);
    Source(cr, 0x0a0b0d, 0.9);
    cairo_set_line_width(cr, 1);
    for (double y = 143.5; y < 186; y += 3) {
        cairo_move_to(cr, 246, y);
        cairo_line_to(cr, 254, y);
    }
    cairo_stroke(cr);
    // Palm: vents and the emblem.
    Source(cr, 0x050607, 0.9);
    cairo_set_line_width(cr, 1.6);
    for (int i = 0; i < 4; ++i) {
        const double y = 226 + i * 6;
        Poly(cr, {{232, y + 4}, {250, y - 2}, {268, y + 4}}, false);
    }
    cairo_stroke(cr);
    Emblem(cr, 250, 266, 11, 0.6);
    // Grip texture on the left flank.
    Source(cr, 0x000000, 0.5);
    cairo_set_line_width(cr, 1);
    for (double y = 214; y < 262; y += 4) {
        cairo_move_to(cr, 182, y);
        cairo_line_to(cr, 192, y - 4);
    }
    cairo_stroke(cr);
    cairo_restore(cr);

    // Rim light on the outline.
    cairo_new_path(cr);
    MouseOutline(cr);
    cairo_set_line_width(cr, 1.2);
    Source(cr, pal::kRimHi, 0.7);
    cairo_stroke(cr);
    // Tail light.
    cairo_move_to(cr, 232, 292.5);
    cairo_curve_to(cr, 242, 294.5, 258, 294.5, 268, 292.5);
    GlowStroke(cr, pal::kAccent, 1.5, 4, 0.9);
    Source(cr, pal::kAccentHi);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);

    // Side module on the right flank: four buttons.
    Chamfer(cr, 309, 144, 18, 68, 5, 3, 5, 0);
    Source(cr, 0x0b0c0f);
    cairo_fill_preserve(cr);
    Source(cr, pal::kRim);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (int i = 0; i < 4; ++i) {
        const double y = 148 + 16 * i;
        Chamfer(cr, 311.5, y, 13, 13, 2, 4, 4, 2);
        LinearV(cr, y, y + 13, 0x353b46, 0x1a1d23);
        cairo_fill(cr);
        Tick(cr, 322.5, y + 3, 1.5, 7);
    }
}

void DrawLabelSlot(cairo_t* cr, const LabelBox& l, bool leftSide) {
    const double x = leftSide ? 0 : l.x - 4;
    const double w = leftSide ? l.x + l.w - 2 : layout::kMainW - x;
    cairo_new_path(cr);
    Chamfer(cr, x, l.y - 1, w, 22, leftSide ? 0 : 8, leftSide ? 8 : 0, leftSide ? 8 : 0, leftSide ? 0 : 8);
    LinearV(cr, l.y, l.y + 21, 0x0c0d10, 0x101216);
    cairo_fill(cr);
    // Accent tick at the end that the line leaves from.
    Tick(cr, leftSide ? l.x + l.w - 5 : l.x - 3, l.y + 5, 2, 10);
}

void DrawConfigPanel(cairo_t* cr) {
    cairo_new_path(cr);
    Chamfer(cr, 100, 298, 288, 78, 0, 10, 0, 10);
    LinearV(cr, 298, 376, 0x0d0e11, 0x090a0c);
    cairo_fill_preserve(cr);
    Source(cr, pal::kRim);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    Tick(cr, 100, 300, 2.5, 74);
    // Column rule and row hairlines.
    Source(cr, pal::kRim, 0.9);
    cairo_move_to(cr, 214.5, 303);
    cairo_line_to(cr, 214.5, 371);
    cairo_stroke(cr);
    Source(cr, pal::kRim, 0.55);
    for (double y : {318.5, 334.5, 351.5}) {
        cairo_move_to(cr, 106, y);
        cairo_line_to(cr, 380, y);
    }
    cairo_stroke(cr);
}

}  // namespace

void layout::MainBody(cairo_t* cr) {
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 124, 8);
    cairo_line_to(cr, 470, 8);
    cairo_line_to(cr, 562, 100);
    cairo_line_to(cr, 562, 246);
    cairo_line_to(cr, kDialX + kPodR * std::cos(-kPi / 4), kDialY + kPodR * std::sin(-kPi / 4));
    cairo_arc(cr, kDialX, kDialY, kPodR, -kPi / 4, kPi * 160 / 180);
    cairo_line_to(cr, 392, 368);
    cairo_line_to(cr, 392, 512);
    cairo_line_to(cr, 360, 544);
    cairo_line_to(cr, 184, 544);
    cairo_line_to(cr, 150, 510);
    cairo_line_to(cr, 150, 404);
    cairo_line_to(cr, 98, 378);
    cairo_line_to(cr, 98, 294);
    cairo_line_to(cr, 30, 294);
    cairo_line_to(cr, 0, 264);
    cairo_line_to(cr, 0, 202);
    cairo_line_to(cr, 36, 184);
    cairo_line_to(cr, 36, 100);
    cairo_close_path(cr);
}

namespace {

void DrawMainBackground(cairo_t* cr) {
    using namespace layout;
    // Body with its carbon hatch.
    cairo_new_path(cr);
    MainBody(cr);
    LinearV(cr, 0, kMainH, 0x1a1d23, 0x101215);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    Hatch(cr, 0, 0, kMainW, kMainH, 5, 0xffffff, 0.018);
    // Inner rim: a lighter band just inside the outline, dark at the very edge.
    cairo_new_path(cr);
    MainBody(cr);
    Source(cr, pal::kRim);
    cairo_set_line_width(cr, 7);
    cairo_stroke_preserve(cr);
    Source(cr, 0x0e1013);
    cairo_set_line_width(cr, 4);
    cairo_stroke_preserve(cr);
    cairo_new_path(cr);
    // Accent edges: the top bar, the chamfers and the pod.
    cairo_set_line_width(cr, 6);
    Source(cr, pal::kAccent);
    Poly(cr, {{160, 8}, {330, 8}}, false);
    cairo_stroke(cr);
    Poly(cr, {{36, 150}, {36, 100}, {80, 54}}, false);
    cairo_stroke(cr);
    Poly(cr, {{500, 38}, {562, 100}, {562, 122}}, false);
    cairo_stroke(cr);
    cairo_arc(cr, kDialX, kDialY, kPodR, kPi * 0.05, kPi * 0.75);
    cairo_stroke(cr);
    Poly(cr, {{392, 440}, {392, 512}, {376, 528}}, false);
    cairo_stroke(cr);
    cairo_restore(cr);

    // Header: a recessed banner behind the wordmark and the icon rail.
    cairo_new_path(cr);
    Poly(cr, {{150, 22}, {356, 22}, {340, 68}, {166, 68}});
    LinearV(cr, 22, 68, 0x08090b, 0x0f1114);
    cairo_fill_preserve(cr);
    Source(cr, pal::kRim);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    Source(cr, pal::kAccent, 0.9);
    cairo_set_line_width(cr, 2);
    Poly(cr, {{178, 64}, {328, 64}}, false);
    cairo_stroke(cr);
    // Icon rail along the top-right chamfer.
    cairo_new_path(cr);
    Poly(cr, {{412, 24}, {448, 24}, {462, 38}, {462, 100}, {426, 100}, {412, 86}});
    Source(cr, 0x0c0d10);
    cairo_fill_preserve(cr);
    Source(cr, pal::kRim);
    cairo_stroke(cr);

    // Panel seams.
    Source(cr, 0x050607, 0.9);
    cairo_set_line_width(cr, 2);
    Poly(cr, {{60, 110}, {120, 110}, {150, 80}}, false);
    Poly(cr, {{360, 80}, {400, 120}, {540, 120}}, false);
    cairo_stroke(cr);
    Source(cr, pal::kRimHi, 0.3);
    cairo_set_line_width(cr, 1);
    Poly(cr, {{60, 112}, {121, 112}, {151, 82}}, false);
    Poly(cr, {{360, 82}, {400, 122}, {540, 122}}, false);
    cairo_stroke(cr);

    // Vent grille under the left-panel toggle.
    for (int i = 0; i < 7; ++i) {
        const double x = 52 + 13 * i;
        cairo_new_path(cr);
        Poly(cr, {{x + 8, 170}, {x + 14, 170}, {x + 6, 194}, {x, 194}});
        Source(cr, 0x050607);
        cairo_fill(cr);
        Source(cr, pal::kRimHi, 0.4);
        cairo_set_line_width(cr, 1);
        Poly(cr, {{x + 0.5, 194.5}, {x + 6.5, 194.5}}, false);
        cairo_stroke(cr);
    }
    Tick(cr, 52, 199, 30, 1.5);

    // Label slots, the mouse, the configuration panel.
    for (int i = 0; i < 7; ++i) DrawLabelSlot(cr, kLabels[i], i < 3);
    DrawMouse(cr);
    DrawConfigPanel(cr);

    // The right toggle's pod.
    cairo_new_path(cr);
    cairo_arc(cr, kDialX, kDialY, kPodR - 2, 0, 2 * kPi);
    Source(cr, 0x0a0b0d);
    cairo_fill(cr);

    // Logo housing with the Apply and Abandon wings.
    cairo_new_path(cr);
    cairo_arc(cr, kLogoX + kLogoCx, kLogoY + kLogoCy, kLogoR + 8, 0, 2 * kPi);
    Source(cr, 0x0a0b0d);
    cairo_fill_preserve(cr);
    Source(cr, pal::kRim);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_arc(cr, kLogoX + kLogoCx, kLogoY + kLogoCy, kLogoR + 5, kPi * 0.15, kPi * 0.85);
    GlowStroke(cr, pal::kAccent, 1.5, 3, 0.7);
    Source(cr, pal::kAccent);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    Source(cr, pal::kRim);
    cairo_set_line_width(cr, 1);
    Poly(cr, {{160, 412.5}, {232, 412.5}}, false);
    Poly(cr, {{313, 410.5}, {386, 410.5}}, false);
    Poly(cr, {{160, 455.5}, {220, 455.5}}, false);
    Poly(cr, {{326, 453.5}, {386, 453.5}}, false);
    cairo_stroke(cr);
}

void DrawLine(cairo_t* cr, const LinePath& l) {
    cairo_translate(cr, -l.x, -l.y);
    cairo_new_path(cr);
    Poly(cr, {{l.sx, l.sy}, {l.kx, l.ky}, {l.ex, l.ey}}, false);
    GlowStroke(cr, pal::kAccent, 1.6, 3.5, 0.9);
    Source(cr, pal::kAccentHi);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    // Marker on the button: a ring with a bright core.
    cairo_arc(cr, l.ex, l.ey, 4.2, 0, 2 * kPi);
    Source(cr, pal::kAccent);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_arc(cr, l.ex, l.ey, 1.8, 0, 2 * kPi);
    Source(cr, 0xffffff);
    cairo_fill(cr);
    cairo_arc(cr, l.sx, l.sy, 2.2, 0, 2 * kPi);
    Source(cr, pal::kAccentHi);
    cairo_fill(cr);
}

// Logo frame: frame 0 is the rest state; 22 to 65 run one cycle of a
// light sweep over the sphere and a rotating ring of segments.
void DrawLogo(cairo_t* cr, int frame) {
    const double cx = kLogoCx, cy = kLogoCy, r = kLogoR;
    const bool rest = frame == 0;
    const double t = rest ? 0.0 : double(frame - 22) / 44.0;  // 0 .. <1
    const double pulse = rest ? 0.0 : 0.5 - 0.5 * std::cos(2 * kPi * t);

    // Sphere.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_pattern_t* sphere = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(sphere, 0, 0.22, 0.24, 0.28);
    cairo_pattern_add_color_stop_rgb(sphere, 0.6, 0.08, 0.09, 0.105);
    cairo_pattern_add_color_stop_rgb(sphere, 1, 0.03, 0.035, 0.04);
    cairo_set_source(cr, sphere);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(sphere);
    cairo_save(cr);
    cairo_clip(cr);
    // Light sweep: a bright band crossing the sphere once per cycle.
    if (!rest) {
        const double sx = -r * 1.4 + t * r * 4.8;
        cairo_pattern_t* band = cairo_pattern_create_linear(cx + sx - 18, cy - r, cx + sx + 18, cy + r);
        cairo_pattern_add_color_stop_rgba(band, 0, 1, 0.6, 0.35, 0);
        cairo_pattern_add_color_stop_rgba(band, 0.5, 1, 0.6, 0.35, 0.28);
        cairo_pattern_add_color_stop_rgba(band, 1, 1, 0.6, 0.35, 0);
        cairo_set_source(cr, band);
        cairo_paint(cr);
        cairo_pattern_destroy(band);
    }
    // Latitude lines give the sphere its turn.
    Source(cr, pal::kRimHi, 0.35);
    cairo_set_line_width(cr, 1);
    for (int i = 0; i < 4; ++i) {
        const double phase = std::fmod(i / 4.0 + t, 1.0);
        const double w = r * std::sin(phase * kPi);
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, std::max(0.02, w / r), 1);
        cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
        cairo_restore(cr);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    // Outer ring of twelve segments; a lit one chases round with a trail.
    const int segments = 12;
    const double head = t * segments;
    for (int i = 0; i < segments; ++i) {
        const double a0 = -kPi / 2 + 2 * kPi * i / segments + 0.06;
        const double a1 = a0 + 2 * kPi / segments - 0.12;
        double lit = 0.18;
        if (!rest) {
            double d = std::fmod(head - i + segments, double(segments));
            lit = std::max(0.18, 1.0 - d / 4.0);
        } else if (i % 3 == 0) {
            lit = 0.9;
        }
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, r - 3.5, a0, a1);
        if (lit > 0.5) GlowStroke(cr, pal::kAccent, 3, 2.5, lit * 0.8);
        Source(cr, pal::kAccent, lit);
        cairo_set_line_width(cr, 3.5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    Source(cr, pal::kRimHi);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    Emblem(cr, cx, cy, r * 0.52, 0.5 + 0.5 * pulse);
    // Specular highlight.
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, cx - r * 0.38, cy - r * 0.52);
    cairo_scale(cr, 1.0, 0.55);
    cairo_arc(cr, 0, 0, r * 0.3, 0, 2 * kPi);
    cairo_restore(cr);
    Source(cr, 0xffffff, 0.10);
    cairo_fill(cr);
}

// A round icon button of the top-right rail.
void RoundIcon(cairo_t* cr, double w, double h, Icon icon, State s) {
    const double r = std::min(w, h) / 2 - 0.5;
    const bool hot = s == State::Hot;
    cairo_new_path(cr);
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    if (hot) {
        LinearV(cr, 0, h, 0xff8040, 0xc8400f);
    } else {
        LinearV(cr, 0, h, 0x2a2f38, 0x16191e);
    }
    cairo_fill_preserve(cr);
    Source(cr, hot ? pal::kAccentHi : pal::kRimHi);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    DrawIcon(cr, icon, w / 2, h / 2, r * 1.5, hot ? 0xffffff : pal::kText, 1.6);
}

}  // namespace

void BuildMainWindow(SkinSet& set) {
    using namespace layout;
    const Bitmap& bg = set.Add("central/central_bg.bmp", DrawWindow(kMainW, kMainH, kKeyGrey, DrawMainBackground));

    // Top-right rail: About, close, Help.
    AddPair(set, "central/central_02_19.bmp", "central/central_01_19.bmp", bg, 419, 30, 21, 18, kKeyGrey,
            [](cairo_t* cr, State s) { RoundIcon(cr, 21, 18, Icon::Info, s); });
    AddPair(set, "central/central_02_20.bmp", "central/central_01_20.bmp", bg, 432, 51, 20, 16, kKeyGrey,
            [](cairo_t* cr, State s) { RoundIcon(cr, 20, 16, Icon::Close, s); });
    AddPair(set, "central/central_02_21.bmp", "central/central_01_21.bmp", bg, 434, 77, 20, 16, kKeyGrey,
            [](cairo_t* cr, State s) { RoundIcon(cr, 20, 16, Icon::Help, s); });

    // Web-site button: the wordmark.
    AddPair(set, "central/central_02_3.bmp", "central/central_01_3.bmp", bg, 190, 30, 126, 29, kKeyGrey,
            [](cairo_t* cr, State s) {
                const bool hot = s == State::Hot;
                StrokeLettering(cr, "KORELLE", 63, 14.5, 13, 2.4, hot ? 0xffffff : pal::kText, 0.18, hot ? 0.9 : 0.0);
                if (hot) {
                    Source(cr, pal::kAccent);
                    cairo_rectangle(cr, 8, 25, 110, 2);
                    cairo_fill(cr);
                }
            });

    // Left-panel toggle: a latch reaching out of the body's left edge.
    AddPair(set, "central/central_02_7.bmp", "central/central_01_7.bmp", bg, 23, 112, 93, 55, kKeyGrey,
            [](cairo_t* cr, State s) {
                const bool hot = s == State::Hot;
                cairo_new_path(cr);
                Chamfer(cr, 0.5, 8.5, 64, 38, 10, 0, 0, 10);
                if (hot) GlowStroke(cr, pal::kAccent, 1, 3, 0.7);
                LinearV(cr, 8, 47, hot ? 0x3a2418 : 0x22262d, hot ? 0x1b1310 : 0x121418);
                cairo_fill_preserve(cr);
                Source(cr, hot ? pal::kAccent : pal::kRim);
                cairo_set_line_width(cr, 1);
                cairo_stroke(cr);
                Tick(cr, 3, 17, 2, 21);
                DrawIcon(cr, Icon::ChevronLeft, 15, 27.5, 13, hot ? pal::kAccentHi : pal::kSteel, 2);
                DrawIcon(cr, Icon::Pointer, 38, 27.5, 22, hot ? 0xffffff : pal::kText, 1.5);
                // Speed strokes behind the pointer.
                Source(cr, hot ? pal::kAccent : pal::kSteel);
                cairo_set_line_width(cr, 1.5);
                Poly(cr, {{50, 22}, {58, 22}}, false);
                Poly(cr, {{52, 27.5}, {60, 27.5}}, false);
                Poly(cr, {{50, 33}, {58, 33}}, false);
                cairo_stroke(cr);
            });

    // Right-panel toggle: the dial from which the right panel unfolds.
    AddPair(set, "central/central_02_11.bmp", "central/central_01_11.bmp", bg, 409, 259, 117, 125, kKeyGrey,
            [](cairo_t* cr, State s) {
                const bool hot = s == State::Hot;
                const double cx = kDialX - 409, cy = kDialY - 259, r = kDialR;
                cairo_new_path(cr);
                cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
                cairo_pattern_t* face = cairo_pattern_create_radial(cx - 10, cy - 14, 4, cx, cy, r);
                cairo_pattern_add_color_stop_rgb(face, 0, hot ? 0.30 : 0.20, hot ? 0.18 : 0.22, hot ? 0.12 : 0.26);
                cairo_pattern_add_color_stop_rgb(face, 1, 0.05, 0.055, 0.065);
                cairo_set_source(cr, face);
                cairo_fill_preserve(cr);
                cairo_pattern_destroy(face);
                Source(cr, hot ? pal::kAccent : pal::kRimHi);
                cairo_set_line_width(cr, 1.5);
                cairo_stroke(cr);
                // Knurled tick ring; lit ticks on the hot (open) state.
                for (int i = 0; i < 36; ++i) {
                    const double a = 2 * kPi * i / 36;
                    const bool major = i % 3 == 0;
                    cairo_move_to(cr, cx + (r - 3) * std::cos(a), cy + (r - 3) * std::sin(a));
                    cairo_line_to(cr, cx + (r - (major ? 9 : 6)) * std::cos(a), cy + (r - (major ? 9 : 6)) * std::sin(a));
                }
                Source(cr, hot ? pal::kAccent : pal::kSteel, hot ? 1.0 : 0.7);
                cairo_set_line_width(cr, 1.2);
                cairo_stroke(cr);
                cairo_arc(cr, cx, cy, r - 13, 0, 2 * kPi);
                Source(cr, 0x08090b);
                cairo_fill_preserve(cr);
                Source(cr, pal::kRim);
                cairo_set_line_width(cr, 1);
                cairo_stroke(cr);
                DrawIcon(cr, Icon::Wheel, cx - 7, cy, 24, hot ? 0xffffff : pal::kText, 1.6);
                DrawIcon(cr, Icon::DoubleClick, cx + 8, cy - 1, 20, hot ? pal::kAccentHi : pal::kSteel, 1.5);
                // Pointer mark towards the panel.
                cairo_new_path(cr);
                Poly(cr, {{cx + r * 0.62, cy + r * 0.62}, {cx + r * 0.95, cy + r * 0.62}, {cx + r * 0.62, cy + r * 0.95}});
                Source(cr, hot ? pal::kAccent : pal::kSteel);
                cairo_fill(cr);
            });

    // Apply and Abandon plates (key 0x7F7F7F): text-free, the program writes the caption.
    AddPair(set, "central/apply_02.bmp", "central/apply_01.bmp", bg, 171, 417, 50, 33, kKeyDarkGrey,
            [](cairo_t* cr, State s) { Plate(cr, 0, 2, 50, 29, 7, s); });
    AddPair(set, "central/abandon_02.bmp", "central/abandon_01.bmp", bg, 335, 415, 56, 33, kKeyDarkGrey,
            [](cairo_t* cr, State s) {
                cairo_save(cr);
                cairo_translate(cr, 56, 0);
                cairo_scale(cr, -1, 1);  // mirrored: the accent notch sits on the outer corner
                Plate(cr, 0, 2, 56, 29, 7, s);
                cairo_restore(cr);
            });

    // The seven connecting lines: the same picture hot and normal.
    for (int i = 0; i < 7; ++i) {
        const LinePath& l = kLines[i];
        const int w = int(std::ceil(std::max(l.sx, l.ex) + 7)) - l.x;
        const int h = int(std::ceil(std::max(l.sy, l.ey) + 7)) - l.y;
        char name[32];
        std::snprintf(name, sizeof name, "line/%d%d.bmp", i, i);
        set.Add(name, DrawControl(bg, l.x, l.y, w, h, kKeyGrey, [&](cairo_t* cr) { DrawLine(cr, l); }));
    }

    // Logo frames 0 and 22 to 65.
    for (int f = 0; f <= 65; ++f) {
        if (f > 0 && f < 22) continue;
        char name[32];
        std::snprintf(name, sizeof name, "Logo/ball%04d.bmp", f);
        set.Add(name, DrawControl(bg, kLogoX, kLogoY, kLogoW, kLogoH, kKeyDarkGrey, [f](cairo_t* cr) { DrawLogo(cr, f); }));
    }
}

}  // namespace skin
