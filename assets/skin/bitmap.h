// Pictures of the skin: cairo layers drawn with alpha, flattened into 24-bit
// bitmaps whose see-through pixels hold the window's key colour exactly.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace skin {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// A Win32 colour value (0x00BBGGRR), as the program passes key colours.
constexpr Rgb FromColorRef(uint32_t c) {
    return {uint8_t(c & 0xFF), uint8_t((c >> 8) & 0xFF), uint8_t((c >> 16) & 0xFF)};
}
// A web-style colour (0xRRGGBB), as the palette is written.
constexpr Rgb FromHex(uint32_t c) {
    return {uint8_t((c >> 16) & 0xFF), uint8_t((c >> 8) & 0xFF), uint8_t(c & 0xFF)};
}

// The window key colours, as Win32 colour values.
constexpr uint32_t kKeyGrey = 0x808080;        // most windows and buttons
constexpr uint32_t kKeyDarkGrey = 0x7F7F7F;    // Apply, Abandon, logo, left-panel buttons
constexpr uint32_t kKeyRightPanel = 0x7FFF00;  // right panel window
constexpr uint32_t kKeyRightButton = 0x80FF00; // right panel buttons

// A finished picture: every pixel either opaque or exactly the key colour.
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int w, int h, uint32_t key);

    int width() const { return w_; }
    int height() const { return h_; }
    uint32_t key() const { return key_; }
    bool IsKey(int x, int y) const { return keyed_[Index(x, y)] != 0; }
    // The colour shown at a pixel; the key colour for see-through pixels.
    Rgb At(int x, int y) const;
    void Set(int x, int y, Rgb c);
    void SetKey(int x, int y);

private:
    size_t Index(int x, int y) const { return size_t(y) * size_t(w_) + size_t(x); }
    int w_ = 0, h_ = 0;
    uint32_t key_ = kKeyGrey;
    std::vector<Rgb> px_;
    std::vector<uint8_t> keyed_;
};

// What lies under a control's picture: a crop of its window's background,
// or a plain colour. Anti-aliased edges are blended against it.
struct Under {
    const Bitmap* parent = nullptr;
    int x = 0, y = 0;  // the picture's position in the parent
    Rgb colour{};      // used outside the parent and where the parent is see-through
    Rgb At(int px, int py) const;
};

// An ARGB drawing surface with its cairo context.
class Layer {
public:
    Layer(int w, int h);
    ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return w_; }
    int height() const { return h_; }
    // Draws another layer onto this one at (x, y) with the given opacity.
    void Paint(const Layer& other, double x = 0, double y = 0, double alpha = 1.0);

private:
    int w_, h_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Pixels whose alpha does not exceed this stay see-through; every other
// pixel becomes opaque, blended against what lies under it.
constexpr int kAlphaThreshold = 6;

Bitmap Flatten(const Layer& layer, const Under& under, uint32_t key);

// Distance within which a colour counts as the key colour: a visible pixel
// that close would be see-through on some displays or look like a fringe.
constexpr int kKeyTolerance = 8;
bool NearKey(Rgb c, uint32_t key);

// 24-bit uncompressed bottom-up BMP.
std::vector<uint8_t> EncodeBmp(const Bitmap& bmp);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace skin
