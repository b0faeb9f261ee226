#include "ui/controls/masked_image_win.h"

#include <vector>

namespace controls {

namespace {

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

HBITMAP NewDib(int width, int height, const std::vector<DWORD>& pixels) {
    BITMAPINFO bmi = TopDown32(width, height);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp) CopyMemory(bits, pixels.data(), pixels.size() * sizeof(DWORD));
    return bmp;
}

void Blit(HDC dc, int x, int y, int w, int h, HBITMAP bmp, DWORD rop) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(dc, x, y, w, h, mem, 0, 0, rop);
    SelectObject(mem, old);
    DeleteDC(mem);
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
    std::vector<DWORD> mask(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const DWORD p = pixels[i] & 0xFFFFFF;
        const bool see_through = keyed && p == keyPixel;
        pixels[i] = see_through ? 0 : p;
        mask[i] = see_through ? 0xFFFFFF : 0;
    }
    colour_ = NewDib(w, h, pixels);
    mask_ = NewDib(w, h, mask);
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
    Blit(dc, x, y, width_, height_, mask_, SRCAND);
    Blit(dc, x, y, width_, height_, colour_, SRCPAINT);
}

void MaskedImage::DrawDisabled(HDC dc, int x, int y) const {
    if (!valid()) return;
    if (!shape_) {
        DIBSECTION colour{}, mask{};
        if (!GetObjectA(colour_, sizeof colour, &colour) || !GetObjectA(mask_, sizeof mask, &mask)) return;
        const auto* c = static_cast<const DWORD*>(colour.dsBm.bmBits);
        const auto* m = static_cast<const DWORD*>(mask.dsBm.bmBits);
        std::vector<DWORD> shape(static_cast<size_t>(width_) * height_);
        for (size_t i = 0; i < shape.size(); ++i) shape[i] = m[i] ? 0xFFFFFF : c[i];
        shape_ = NewDib(width_, height_, shape);
    }
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(shape_), 0, x, y, width_, height_,
               DST_BITMAP | DSS_DISABLED);
}

}  // namespace controls
