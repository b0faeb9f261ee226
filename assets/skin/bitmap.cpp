#include "assets/skin/bitmap.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace skin {

Bitmap::Bitmap(int w, int h, uint32_t key)
    : w_(w), h_(h), key_(key), px_(size_t(w) * size_t(h)), keyed_(size_t(w) * size_t(h), 1) {}

Rgb Bitmap::At(int x, int y) const {
    return keyed_[Index(x, y)] ? FromColorRef(key_) : px_[Index(x, y)];
}

// A visible pixel never carries a colour within the tolerance of the key:
// it is pushed below the key on every channel where there is room.
void Bitmap::Set(int x, int y, Rgb c) {
    if (NearKey(c, key_)) {
        const Rgb k = FromColorRef(key_);
        auto away = [](uint8_t v, uint8_t kv) {
            return kv > kKeyTolerance ? uint8_t(std::min<int>(v, kv - kKeyTolerance - 1)) : v;
        };
        c = {away(c.r, k.r), away(c.g, k.g), away(c.b, k.b)};
    }
    px_[Index(x, y)] = c;
    keyed_[Index(x, y)] = 0;
}

void Bitmap::SetKey(int x, int y) { keyed_[Index(x, y)] = 1; }

bool NearKey(Rgb c, uint32_t key) {
    const Rgb k = FromColorRef(key);
    return std::abs(int(c.r) - k.r) <= kKeyTolerance && std::abs(int(c.g) - k.g) <= kKeyTolerance &&
           std::abs(int(c.b) - k.b) <= kKeyTolerance;
}

Rgb Under::At(int px, int py) const {
    const int x0 = x + px, y0 = y + py;
    if (parent && x0 >= 0 && y0 >= 0 && x0 < parent->width() && y0 < parent->height() &&
        !parent->IsKey(x0, y0))
        return parent->At(x0, y0);
    return colour;
}

Layer::Layer(int w, int h)
    : w_(w), h_(h), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h)),
      cr_(cairo_create(surface_)) {}

Layer::~Layer() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Layer::Paint(const Layer& other, double x, double y, double alpha) {
    cairo_save(cr_);
    cairo_set_source_surface(cr_, other.surface(), x, y);
    cairo_paint_with_alpha(cr_, alpha);
    cairo_restore(cr_);
}

Bitmap Flatten(const Layer& layer, const Under& under, uint32_t key) {
    cairo_surface_flush(layer.surface());
    const int w = layer.width(), h = layer.height();
    const int stride = cairo_image_surface_get_stride(layer.surface());
    const unsigned char* data = cairo_image_surface_get_data(layer.surface());
    Bitmap out(w, h, key);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < w; ++x) {
            const uint32_t p = row[x];  // premultiplied ARGB
            const int a = int(p >> 24);
            if (a <= kAlphaThreshold) continue;
            const Rgb u = under.At(x, y);
            auto mix = [a](int premul, int base) { return uint8_t(std::clamp(premul + base * (255 - a) / 255, 0, 255)); };
            out.Set(x, y, {mix(int((p >> 16) & 0xFF), u.r), mix(int((p >> 8) & 0xFF), u.g), mix(int(p & 0xFF), u.b)});
        }
    }
    return out;
}

std::vector<uint8_t> EncodeBmp(const Bitmap& bmp) {
    const int w = bmp.width(), h = bmp.height();
    const int rowBytes = (w * 3 + 3) & ~3;
    const uint32_t imageSize = uint32_t(rowBytes) * uint32_t(h);
    const uint32_t fileSize = 54 + imageSize;
    std::vector<uint8_t> out(fileSize, 0);
    auto put16 = [&](size_t at, uint32_t v) { out[at] = uint8_t(v); out[at + 1] = uint8_t(v >> 8); };
    auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, fileSize);
    put32(10, 54);           // pixel data offset
    put32(14, 40);           // BITMAPINFOHEADER
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));  // positive: bottom-up rows
    put16(26, 1);            // planes
    put16(28, 24);           // bits per pixel
    put32(30, 0);            // BI_RGB
    put32(34, imageSize);
    put32(38, 2835);         // 72 dpi
    put32(42, 2835);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = out.data() + 54 + size_t(h - 1 - y) * size_t(rowBytes);
        for (int x = 0; x < w; ++x) {
            const Rgb c = bmp.At(x, y);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
    return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::error_code ec;
    const std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    // Written beside the target and renamed, so no half-written file is left.
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out) return false;
    }
    std::filesystem::rename(tmp, p, ec);
    return !ec;
}

}  // namespace skin
