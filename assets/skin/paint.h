// The skin's visual language: palette, plates, glows, the stroke lettering
// of digits and the wordmark, and the small icons the images carry.
#pragma once

#include <cairo.h>

#include <initializer_list>
#include <string_view>
#include <utility>

namespace skin {

// Palette (0xRRGGBB). The help pages share background, text and accent.
namespace pal {
constexpr uint32_t kEdge = 0x08090b;     // outermost dark: every window edge blends into it
constexpr uint32_t kBody = 0x121418;     // window body
constexpr uint32_t kBodyHi = 0x1a1d23;   // lit side of a body gradient
constexpr uint32_t kInset = 0x0b0c0f;    // recessed wells and fields
constexpr uint32_t kRim = 0x2c313a;      // plate rims and seams
constexpr uint32_t kRimHi = 0x454d5a;    // highlight edge
constexpr uint32_t kSteel = 0x6b7482;    // icon strokes at rest
constexpr uint32_t kText = 0xdce0e6;     // bright strokes
constexpr uint32_t kAccent = 0xff6020;   // the one accent colour
constexpr uint32_t kAccentHi = 0xff9a62; // accent highlight core
constexpr uint32_t kAccentDim = 0x7a2c0e;
}  // namespace pal

enum class State { Normal, Hot };

void Source(cairo_t* cr, uint32_t hex, double alpha = 1.0);
void LinearV(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom, double alpha = 1.0);

// Paths.
void Chamfer(cairo_t* cr, double x, double y, double w, double h, double tl, double tr, double br, double bl);
inline void Chamfer(cairo_t* cr, double x, double y, double w, double h, double c) { Chamfer(cr, x, y, w, h, c, c, c, c); }
void Poly(cairo_t* cr, std::initializer_list<std::pair<double, double>> pts, bool close = true);

// Strokes the current path (kept) as a soft glow of the given colour.
void GlowStroke(cairo_t* cr, uint32_t hex, double width, double spread, double strength);
// Fills the current path (kept) with a soft glow spreading outwards.
void GlowFill(cairo_t* cr, uint32_t hex, double spread, double strength);
// Diagonal hatching over the current clip, for the carbon-like body texture.
void Hatch(cairo_t* cr, double x, double y, double w, double h, double spacing, uint32_t hex, double alpha);
// A soft drop shadow under the current path (kept).
void Shadow(cairo_t* cr, double dy, double spread, double alpha);

// A button plate: chamfered, gradient face, rim; hot plates carry an accent
// rim and glow. Text-free: the program draws captions over it.
void Plate(cairo_t* cr, double x, double y, double w, double h, double chamfer, State s);
// A recessed well (list areas, text fields, slider grooves).
void Well(cairo_t* cr, double x, double y, double w, double h, double chamfer);
// A small accent tick: a short bright bar with glow.
void Tick(cairo_t* cr, double x, double y, double w, double h);

// Angular stroke lettering ("KORELLE", digits 0-9). Adds the strokes to the
// path at (x, y) top-left with the given cap height; italic leans right.
void Lettering(cairo_t* cr, std::string_view text, double x, double y, double height, double italic);
double LetteringWidth(std::string_view text, double height);
void StrokeLettering(cairo_t* cr, std::string_view text, double cx, double cy, double height, double width,
                     uint32_t hex, double italic, double glow);

// Icons centred at (cx, cy) within a square of side s, stroked in colour.
enum class Icon {
    Close, Help, Info, ChevronUp, ChevronDown, ChevronLeft, Plus, Minus, Check, Folder, Disk, Reset, Chip,
    Eye, Record, Pointer, Wheel, DoubleClick, Globe
};
void DrawIcon(cairo_t* cr, Icon icon, double cx, double cy, double s, uint32_t hex, double lineWidth);

// The brand emblem: a chamfered "K" mark in a ring, radius r.
void Emblem(cairo_t* cr, double cx, double cy, double r, double glow);

}  // namespace skin
