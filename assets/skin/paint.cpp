#include "assets/skin/paint.h"

#include <cmath>
#include <vector>

namespace skin {

namespace {

constexpr double kPi = 3.14159265358979323846;

void Rgb01(uint32_t hex, double& r, double& g, double& b) {
    r = ((hex >> 16) & 0xFF) / 255.0;
    g = ((hex >> 8) & 0xFF) / 255.0;
    b = (hex & 0xFF) / 255.0;
}

using Stroke = std::vector<std::pair<double, double>>;
struct Glyph {
    char c;
    std::vector<Stroke> strokes;
};

// Glyphs on a 4 x 6 grid, y downwards; chamfered corners give the angular look.
const std::vector<Glyph>& Glyphs() {
    static const std::vector<Glyph> glyphs = {
        {'K', {{{0, 0}, {0, 6}}, {{3.8, 0}, {0.9, 2.9}, {0.9, 3.1}, {3.8, 6}}, {{0, 3}, {0.9, 3}}}},
        {'O', {{{0.9, 0}, {3.1, 0}, {4, 0.9}, {4, 5.1}, {3.1, 6}, {0.9, 6}, {0, 5.1}, {0, 0.9}, {0.9, 0}}}},
        {'R', {{{0, 6}, {0, 0}, {3.1, 0}, {4, 0.9}, {4, 2.2}, {3.1, 3.1}, {0, 3.1}}, {{1.9, 3.1}, {4, 6}}}},
        {'E', {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}}},
        {'L', {{{0, 0}, {0, 6}, {4, 6}}}},
        {'0', {{{0.9, 0}, {3.1, 0}, {4, 0.9}, {4, 5.1}, {3.1, 6}, {0.9, 6}, {0, 5.1}, {0, 0.9}, {0.9, 0}}, {{3.4, 1.2}, {0.6, 4.8}}}},
        {'1', {{{0.7, 1.4}, {2.3, 0}, {2.3, 6}}, {{0.7, 6}, {3.9, 6}}}},
        {'2', {{{0, 1}, {1, 0}, {3.1, 0}, {4, 0.9}, {4, 2.3}, {0, 5.2}, {0, 6}, {4, 6}}}},
        {'3', {{{0, 0}, {3.1, 0}, {4, 0.9}, {4, 2.1}, {3.1, 3}, {1.2, 3}}, {{3.1, 3}, {4, 3.9}, {4, 5.1}, {3.1, 6}, {0, 6}}}},
        {'4', {{{3, 6}, {3, 0}, {0, 4.1}, {0, 4.4}, {4, 4.4}}}},
        {'5', {{{4, 0}, {0, 0}, {0, 2.7}, {3.1, 2.7}, {4, 3.6}, {4, 5.1}, {3.1, 6}, {0, 6}}}},
        {'6', {{{3.6, 0}, {0.9, 0}, {0, 0.9}, {0, 5.1}, {0.9, 6}, {3.1, 6}, {4, 5.1}, {4, 3.6}, {3.1, 2.7}, {0, 2.7}}}},
        {'7', {{{0, 0}, {4, 0}, {4, 0.8}, {1.4, 6}}}},
        {'8', {{{0.9, 0}, {3.1, 0}, {4, 0.9}, {4, 2.1}, {3.1, 3}, {0.9, 3}, {0, 2.1}, {0, 0.9}, {0.9, 0}},
               {{0.9, 3}, {0, 3.9}, {0, 5.1}, {0.9, 6}, {3.1, 6}, {4, 5.1}, {4, 3.9}, {3.1, 3}}}},
        {'9', {{{0.4, 6}, {3.1, 6}, {4, 5.1}, {4, 0.9}, {3.1, 0}, {0.9, 0}, {0, 0.9}, {0, 2.4}, {0.9, 3.3}, {4, 3.3}}}},
    };
    return glyphs;
}

const Glyph* FindGlyph(char c) {
    for (const Glyph& g : Glyphs())
        if (g.c == c) return &g;
    return nullptr;
}

constexpr double kAdvance = 5.6;  // glyph width 4 plus spacing, grid units

}  // namespace

void Source(cairo_t* cr, uint32_t hex, double alpha) {
    double r, g, b;
    Rgb01(hex, r, g, b);
    cairo_set_source_rgba(cr, r, g, b, alpha);
}

void LinearV(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    double r, g, b;
    Rgb01(top, r, g, b);
    cairo_pattern_add_color_stop_rgba(p, 0, r, g, b, alpha);
    Rgb01(bottom, r, g, b);
    cairo_pattern_add_color_stop_rgba(p, 1, r, g, b, alpha);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void Chamfer(cairo_t* cr, double x, double y, double w, double h, double tl, double tr, double br, double bl) {
    cairo_new_sub_path(cr);
    cairo_move_to(cr, x + tl, y);
    cairo_line_to(cr, x + w - tr, y);
    cairo_line_to(cr, x + w, y + tr);
    cairo_line_to(cr, x + w, y + h - br);
    cairo_line_to(cr, x + w - br, y + h);
    cairo_line_to(cr, x + bl, y + h);
    cairo_line_to(cr, x, y + h - bl);
    cairo_line_to(cr, x, y + tl);
    cairo_close_path(cr);
}

void Poly(cairo_t* cr, std::initializer_list<std::pair<double, double>> pts, bool close) {
    bool first = true;
    for (const auto& [x, y] : pts) {
        if (first) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
        first = false;
    }
    if (close) cairo_close_path(cr);
}

void GlowStroke(cairo_t* cr, uint32_t hex, double width, double spread, double strength) {
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const int steps = 6;
    for (int i = steps; i >= 1; --i) {
        const double t = double(i) / steps;
        Source(cr, hex, strength * (1.0 - t) * 0.35 + 0.02 * strength);
        cairo_set_line_width(cr, width + spread * 2 * t);
        cairo_stroke_preserve(cr);
    }
    cairo_restore(cr);
}

void GlowFill(cairo_t* cr, uint32_t hex, double spread, double strength) {
    GlowStroke(cr, hex, 0.5, spread, strength);
    cairo_save(cr);
    Source(cr, hex, strength * 0.35);
    cairo_fill_preserve(cr);
    cairo_restore(cr);
}

void Hatch(cairo_t* cr, double x, double y, double w, double h, double spacing, uint32_t hex, double alpha) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    Source(cr, hex, alpha);
    cairo_set_line_width(cr, 1.0);
    for (double d = -h; d < w + h; d += spacing) {
        cairo_move_to(cr, x + d, y + h);
        cairo_line_to(cr, x + d + h, y);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void Shadow(cairo_t* cr, double dy, double spread, double alpha) {
    cairo_save(cr);
    cairo_translate(cr, 0, dy);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const int steps = 5;
    for (int i = steps; i >= 1; --i) {
        Source(cr, 0x000000, alpha / steps);
        cairo_set_line_width(cr, spread * 2 * double(i) / steps);
        cairo_stroke_preserve(cr);
    }
    Source(cr, 0x000000, alpha);
    cairo_fill_preserve(cr);
    cairo_restore(cr);
}

void Plate(cairo_t* cr, double x, double y, double w, double h, double c, State s) {
    const bool hot = s == State::Hot;
    cairo_save(cr);
    cairo_new_path(cr);
    Chamfer(cr, x + 0.5, y + 0.5, w - 1, h - 1, c, 0, c, 0);
    if (hot) GlowStroke(cr, pal::kAccent, 1, 2.5, 0.6);
    LinearV(cr, y, y + h, hot ? 0x3a2418 : 0x20242b, hot ? 0x1b1310 : 0x121418);
    cairo_fill_preserve(cr);
    Source(cr, hot ? pal::kAccent : pal::kRim);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // Top highlight and the accent notch on the leading corner.
    Source(cr, hot ? pal::kAccentHi : pal::kRimHi, hot ? 0.55 : 0.5);
    cairo_move_to(cr, x + c + 1.5, y + 1.5);
    cairo_line_to(cr, x + w - 2.5, y + 1.5);
    cairo_stroke(cr);
    Source(cr, pal::kAccent, hot ? 1.0 : 0.85);
    Poly(cr, {{x + 1.2, y + c + 1.5}, {x + c + 1.5, y + 1.2}, {x + c + 4.5, y + 1.2}, {x + 1.2, y + c + 4.5}});
    cairo_fill(cr);
    cairo_restore(cr);
}

void Well(cairo_t* cr, double x, double y, double w, double h, double c) {
    cairo_save(cr);
    cairo_new_path(cr);
    Chamfer(cr, x + 0.5, y + 0.5, w - 1, h - 1, c);
    LinearV(cr, y, y + h, 0x07080a, 0x0e1013);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    Source(cr, 0x000000, 0.8);
    cairo_stroke(cr);
    // Lit lower edge: the well reads as cut into the body.
    Source(cr, pal::kRimHi, 0.45);
    cairo_move_to(cr, x + c, y + h - 0.5);
    cairo_line_to(cr, x + w - c, y + h - 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void Tick(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, w, h);
    GlowFill(cr, pal::kAccent, 2.5, 0.5);
    Source(cr, pal::kAccent);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Lettering(cairo_t* cr, std::string_view text, double x, double y, double height, double italic) {
    const double u = height / 6.0;
    double pen = x;
    for (char ch : text) {
        if (const Glyph* g = FindGlyph(ch)) {
            for (const Stroke& s : g->strokes) {
                bool first = true;
                for (const auto& [gx, gy] : s) {
                    const double px = pen + gx * u + (6 - gy) * u * italic;
                    const double py = y + gy * u;
                    if (first) cairo_move_to(cr, px, py);
                    else cairo_line_to(cr, px, py);
                    first = false;
                }
            }
        }
        pen += kAdvance * u;
    }
}

double LetteringWidth(std::string_view text, double height) {
    if (text.empty()) return 0;
    const double u = height / 6.0;
    return (double(text.size() - 1) * kAdvance + 4) * u;
}

void StrokeLettering(cairo_t* cr, std::string_view text, double cx, double cy, double height, double width,
                     uint32_t hex, double italic, double glow) {
    cairo_save(cr);
    cairo_new_path(cr);
    const double w = LetteringWidth(text, height) + height * italic;
    Lettering(cr, text, cx - w / 2, cy - height / 2, height, italic);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    if (glow > 0) GlowStroke(cr, pal::kAccent, width, width * 1.5 + 1, glow);
    Source(cr, hex);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawIcon(cairo_t* cr, Icon icon, double cx, double cy, double s, uint32_t hex, double lw) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, s / 20.0, s / 20.0);  // icons are drawn on a 20-unit square
    cairo_set_line_width(cr, lw * 20.0 / s);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    Source(cr, hex);
    auto stroke = [&] { cairo_stroke(cr); };
    switch (icon) {
    case Icon::Close:
        Poly(cr, {{-5, -5}, {5, 5}}, false);
        Poly(cr, {{5, -5}, {-5, 5}}, false);
        stroke();
        break;
    case Icon::Help:
        cairo_arc(cr, 0, -3.2, 4.2, kPi * 1.05, kPi * 2.25);
        cairo_line_to(cr, 0, 1.6);
        cairo_line_to(cr, 0, 3);
        stroke();
        cairo_arc(cr, 0, 6.4, 1.3, 0, 2 * kPi);
        cairo_fill(cr);
        break;
    case Icon::Info:
        cairo_arc(cr, 0, -6, 1.4, 0, 2 * kPi);
        cairo_fill(cr);
        Poly(cr, {{-2.2, -2}, {0, -2}, {0, 6.5}}, false);
        Poly(cr, {{-2.6, 6.5}, {2.6, 6.5}}, false);
        stroke();
        break;
    case Icon::ChevronUp:
        Poly(cr, {{-6, 3}, {0, -3}, {6, 3}}, false);
        stroke();
        break;
    case Icon::ChevronDown:
        Poly(cr, {{-6, -3}, {0, 3}, {6, -3}}, false);
        stroke();
        break;
    case Icon::ChevronLeft:
        Poly(cr, {{3, -6}, {-3, 0}, {3, 6}}, false);
        stroke();
        break;
    case Icon::Plus:
        Poly(cr, {{-5, 0}, {5, 0}}, false);
        Poly(cr, {{0, -5}, {0, 5}}, false);
        stroke();
        break;
    case Icon::Minus:
        Poly(cr, {{-5, 0}, {5, 0}}, false);
        stroke();
        break;
    case Icon::Check:
        Poly(cr, {{-6, 0.5}, {-2, 4.5}, {6, -4.5}}, false);
        stroke();
        break;
    case Icon::Folder:
        Poly(cr, {{-8, 6}, {-8, -6}, {-3, -6}, {-1, -4}, {6, -4}, {6, -1}});
        stroke();
        Poly(cr, {{-8, 6}, {-5, -1}, {9, -1}, {6, 6}});
        stroke();
        break;
    case Icon::Disk:
        Poly(cr, {{-7, -7}, {4, -7}, {7, -4}, {7, 7}, {-7, 7}});
        stroke();
        Poly(cr, {{-4, -7}, {-4, -2}, {3, -2}, {3, -7}}, false);
        stroke();
        cairo_rectangle(cr, -4, 2, 8, 5);
        stroke();
        break;
    case Icon::Reset:
        cairo_arc(cr, 0, 0, 6.5, -kPi * 0.35, kPi * 1.5);
        stroke();
        Poly(cr, {{-1.5, -9.5}, {1.5, -6.5}, {-1.5, -3.5}}, false);
        stroke();
        break;
    case Icon::Chip:
        cairo_rectangle(cr, -5.5, -5.5, 11, 11);
        stroke();
        for (int i = -1; i <= 1; ++i) {
            Poly(cr, {{i * 3.5, -5.5}, {i * 3.5, -8.5}}, false);
            Poly(cr, {{i * 3.5, 5.5}, {i * 3.5, 8.5}}, false);
            Poly(cr, {{-5.5, i * 3.5}, {-8.5, i * 3.5}}, false);
            Poly(cr, {{5.5, i * 3.5}, {8.5, i * 3.5}}, false);
        }
        stroke();
        Poly(cr, {{0, 3}, {0, -3}}, false);
        Poly(cr, {{-2.5, -0.5}, {0, -3}, {2.5, -0.5}}, false);
        stroke();
        break;
    case Icon::Eye:
        cairo_move_to(cr, -9, 0);
        cairo_curve_to(cr, -4, -7, 4, -7, 9, 0);
        cairo_curve_to(cr, 4, 7, -4, 7, -9, 0);
        stroke();
        cairo_arc(cr, 0, 0, 2.6, 0, 2 * kPi);
        cairo_fill(cr);
        break;
    case Icon::Record:
        cairo_arc(cr, 0, 0, 8, 0, 2 * kPi);
        stroke();
        cairo_arc(cr, 0, 0, 4.5, 0, 2 * kPi);
        cairo_fill(cr);
        break;
    case Icon::Pointer:
        Poly(cr, {{-5, -8}, {-5, 6}, {-1.5, 2.6}, {1.2, 8}, {3.4, 7}, {0.8, 1.6}, {5.5, 1.4}});
        stroke();
        break;
    case Icon::Wheel:
        cairo_move_to(cr, -3.5, -4);
        cairo_arc(cr, 0, -4, 3.5, kPi, 2 * kPi);
        cairo_line_to(cr, 3.5, 4);
        cairo_arc(cr, 0, 4, 3.5, 0, kPi);
        cairo_close_path(cr);
        stroke();
        for (int i = -1; i <= 1; ++i) Poly(cr, {{-1.6, i * 2.8}, {1.6, i * 2.8}}, false);
        stroke();
        break;
    case Icon::DoubleClick:
        cairo_arc(cr, -2, -2, 3, 0, 2 * kPi);
        stroke();
        cairo_arc(cr, -2, -2, 7, -kPi * 0.9, -kPi * 0.1);
        stroke();
        Poly(cr, {{0, 0}, {0, 10}, {2.6, 7.4}, {4.6, 11}, {6.2, 10.2}, {4.2, 6.6}, {7.8, 6.4}});
        stroke();
        break;
    case Icon::Globe:
        cairo_arc(cr, 0, 0, 8, 0, 2 * kPi);
        stroke();
        cairo_save(cr);
        cairo_scale(cr, 0.45, 1);
        cairo_arc(cr, 0, 0, 8, 0, 2 * kPi);
        cairo_restore(cr);
        stroke();
        Poly(cr, {{-8, 0}, {8, 0}}, false);
        stroke();
        break;
    }
    cairo_restore(cr);
}

void Emblem(cairo_t* cr, double cx, double cy, double r, double glow) {
    cairo_save(cr);
    cairo_new_path(cr);
    // Hexagonal ring, flat top.
    for (int i = 0; i < 6; ++i) {
        const double a = kPi / 3 * i + kPi / 6;
        if (i == 0) cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    if (glow > 0) GlowStroke(cr, pal::kAccent, r * 0.12, r * 0.25, glow);
    Source(cr, pal::kAccent);
    cairo_set_line_width(cr, r * 0.12);
    cairo_stroke(cr);
    // The K mark: a stem and two blades.
    const double u = r / 10.0;
    Poly(cr, {{cx - 4.2 * u, cy - 5.2 * u}, {cx - 1.6 * u, cy - 5.2 * u}, {cx - 1.6 * u, cy + 5.2 * u}, {cx - 4.2 * u, cy + 5.2 * u}});
    Poly(cr, {{cx - 0.8 * u, cy - 0.4 * u}, {cx + 2.6 * u, cy - 5.2 * u}, {cx + 5.6 * u, cy - 5.2 * u}, {cx + 2.0 * u, cy - 0.0 * u}, {cx + 0.8 * u, cy + 0.8 * u}});
    Poly(cr, {{cx + 0.2 * u, cy + 1.6 * u}, {cx + 1.6 * u, cy + 0.6 * u}, {cx + 5.6 * u, cy + 5.2 * u}, {cx + 2.6 * u, cy + 5.2 * u}});
    Source(cr, pal::kText);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace skin
