// The program icon: the emblem on a dark hexagonal badge, in 16, 32, 48
// and 256 pixels, written as one .ico file of 32-bit images.
#include "assets/skin/program_icon.h"

#include "assets/skin/paint.h"

#include <algorithm>
#include <cmath>

namespace skin {

namespace {

constexpr double kPi = 3.14159265358979323846;

void Hexagon(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < 6; ++i) {
        const double a = kPi / 3 * i + kPi / 6;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void DrawIconImage(cairo_t* cr, int size) {
    const double s = size, c = s / 2;
    const double line = std::max(1.0, s / 14);
    // The rim's miter at the hexagon's points reaches 0.58 line widths out.
    const double r = s * 0.5 - line * 0.62;
    cairo_new_path(cr);
    Hexagon(cr, c, c, r);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, s, s);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.16, 0.18, 0.21);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.05, 0.055, 0.065);
    cairo_set_source(cr, face);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(face);
    Source(cr, pal::kAccent);
    cairo_set_line_width(cr, line);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_stroke(cr);
    // The K mark, bold enough to read at 16 pixels.
    const double u = s / 22.0;
    cairo_new_path(cr);
    Poly(cr, {{c - 5.2 * u, c - 6.2 * u}, {c - 1.9 * u, c - 6.2 * u}, {c - 1.9 * u, c + 6.2 * u}, {c - 5.2 * u, c + 6.2 * u}});
    Poly(cr, {{c - 1.2 * u, c - 0.2 * u}, {c + 2.8 * u, c - 6.2 * u}, {c + 6.4 * u, c - 6.2 * u}, {c + 2.2 * u, c + 0.2 * u}, {c + 0.8 * u, c + 1.2 * u}});
    Poly(cr, {{c + 0.1 * u, c + 1.9 * u}, {c + 1.9 * u, c + 0.7 * u}, {c + 6.4 * u, c + 6.2 * u}, {c + 2.8 * u, c + 6.2 * u}});
    Source(cr, pal::kText);
    cairo_fill(cr);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One icon image: BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask.
std::vector<uint8_t> IconImage(int size) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    DrawIconImage(cr, size);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);

    std::vector<uint8_t> out;
    const int maskRow = ((size + 31) / 32) * 4;
    Put32(out, 40);
    Put32(out, uint32_t(size));
    Put32(out, uint32_t(size * 2));  // colour and mask halves
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, uint32_t(size * size * 4 + maskRow * size));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    std::vector<uint8_t> mask(size_t(maskRow) * size_t(size), 0);
    for (int y = size - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < size; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            // Cairo keeps premultiplied colour; icons want it straight.
            auto straight = [a](uint32_t v) { return a ? uint8_t(std::min<uint32_t>(255, v * 255 / a)) : uint8_t(0); };
            out.push_back(straight(p & 0xFF));
            out.push_back(straight((p >> 8) & 0xFF));
            out.push_back(straight((p >> 16) & 0xFF));
            out.push_back(uint8_t(a));
            if (a == 0) mask[size_t(size - 1 - y) * size_t(maskRow) + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        }
    }
    out.insert(out.end(), mask.begin(), mask.end());
    cairo_surface_destroy(surface);
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeProgramIcon() {
    const int sizes[] = {16, 32, 48, 256};
    std::vector<std::vector<uint8_t>> images;
    for (int s : sizes) images.push_back(IconImage(s));
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, uint16_t(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(sizes[i] >= 256 ? 0 : sizes[i]));  // 0 means 256
        out.push_back(uint8_t(sizes[i] >= 256 ? 0 : sizes[i]));
        out.push_back(0);  // no palette
        out.push_back(0);
        Put16(out, 1);   // planes
        Put16(out, 32);  // bits per pixel
        Put32(out, uint32_t(images[i].size()));
        Put32(out, offset);
        offset += uint32_t(images[i].size());
    }
    for (const auto& img : images) out.insert(out.end(), img.begin(), img.end());
    return out;
}

}  // namespace skin
