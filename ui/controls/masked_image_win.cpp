#include "ui/controls/masked_image_win.h"

#include <vector>

namespace controls {

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    return bmi;
}

namespace {

HBITMAP NewDib(int width, int height, const std::vector<DWORD>& pixels) {
    BITMAPINFO bmi = TopDown32(width, height);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp) CopyMemory(bits, pixels.data(), pixels.size() * sizeof(DWORD));
    return bmp;
}

// Bytes in a row of a 1-bit DIB: whole 32-bit words.
size_t MaskStride(int width) { return (static_cast<size_t>(width) + 31) / 32 * 4; }

bool MaskBit(const BYTE* rows, size_t stride, int x, int y) {
    return (rows[y * stride + x / 8] >> (7 - x % 8)) & 1;
}

// A 1-bit top-down DIB, black where a pixel is opaque and white where it is
// see-through: a 32-bit mask would cost as much memory as the image itself
// (for the logo's 45 frames alone, 1.9 MB more).
HBITMAP NewMask(int width, int height, const std::vector<bool>& seeThrough) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } bmi{};
    bmi.header = TopDown32(width, height).bmiHeader;
    bmi.header.biBitCount = 1;
    bmi.colours[1] = {255, 255, 255, 0};
    void* bits = nullptr;
    HBITMAP bmp =
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bmi), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp) return nullptr;
    const size_t stride = MaskStride(width);
    auto* rows = static_cast<BYTE*>(bits);
    ZeroMemory(rows, stride * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (seeThrough[static_cast<size_t>(y) * width + x]) rows[y * stride + x / 8] |= 0x80 >> (x % 8);
    return bmp;
}

}  // namespace

bool MaskedImage::Create(HBITMAP source, COLORREF key, bool keyed) {
    Reset();
    if (!source) return true;
    BITMAP info{};
    if (!GetObjectA(source, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;
    const int w = info.bmWidth, h = info.bmHeight;
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
    BITMAPINFO bmi = TopDown32(w, h);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, source, 0, h, pixels.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != h) return false;

    // DIB pixels are 0x00RRGGBB; a colour value is 0x00BBGGRR.
    const DWORD keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    std::vector<bool> seeThrough(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const DWORD p = pixels[i] & 0xFFFFFF;
        seeThrough[i] = keyed && p == keyPixel;
        pixels[i] = seeThrough[i] ? 0 : p;
    }
    colour_ = NewDib(w, h, pixels);
    mask_ = NewMask(w, h, seeThrough);
    if (!colour_ || !mask_) {
        Reset();
        return false;
    }
    width_ = w;
    height_ = h;
    return true;
}

void MaskedImage::Reset() {
    for (HBITMAP* b : {&colour_, &mask_, &shape_}) {
        if (*b) DeleteObject(*b);
        *b = nullptr;
    }
    width_ = height_ = 0;
}

void MaskedImage::Draw(HDC dc, int x, int y) const {
    if (!valid()) return;
    // A 1-bit source takes the destination's text and background colours
    // for its 0 and 1 bits where its own colour table is not used: the same
    // black and white either way.
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0)), back = SetBkColor(dc, RGB(255, 255, 255));
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, mask_);
    BitBlt(dc, x, y, width_, height_, mem, 0, 0, SRCAND);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    SelectObject(mem, colour_);
    BitBlt(dc, x, y, width_, height_, mem, 0, 0, SRCPAINT);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void MaskedImage::DrawDisabled(HDC dc, int x, int y) const {
    if (!valid()) return;
    if (!shape_) {
        DIBSECTION colour{}, mask{};
        if (!GetObjectA(colour_, sizeof colour, &colour) || !GetObjectA(mask_, sizeof mask, &mask)) return;
        const auto* c = static_cast<const DWORD*>(colour.dsBm.bmBits);
        const auto* m = static_cast<const BYTE*>(mask.dsBm.bmBits);
        const size_t stride = MaskStride(width_);
        std::vector<DWORD> shape(static_cast<size_t>(width_) * height_);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const size_t i = static_cast<size_t>(y) * width_ + x;
                shape[i] = MaskBit(m, stride, x, y) ? 0xFFFFFF : c[i];
            }
        shape_ = NewDib(width_, height_, shape);
    }
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(shape_), 0, x, y, width_, height_,
               DST_BITMAP | DSS_DISABLED);
}

}  // namespace controls
