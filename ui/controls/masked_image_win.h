// A bitmap drawn with a key colour made see-through: the control keeps its
// own copy as a colour image (key pixels black) and a 1-bit mask (key pixels
// white), drawn with AND for the mask and OR for the colour image.
#pragma once

#include <windows.h>

namespace controls {

// The header of a top-down 32-bit DIB of that size.
BITMAPINFO TopDown32(int width, int height);

class MaskedImage {
public:
    MaskedImage() = default;
    ~MaskedImage() { Reset(); }
    MaskedImage(const MaskedImage&) = delete;
    MaskedImage& operator=(const MaskedImage&) = delete;

    // Copies the source (which stays the caller's). Without keyed, no pixel is
    // see-through. A null source leaves the image empty; false when a source
    // could not be read.
    bool Create(HBITMAP source, COLORREF key, bool keyed = true);
    void Reset();

    bool valid() const { return colour_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

    void Draw(HDC dc, int x, int y) const;
    // The system's disabled look of the image's opaque pixels.
    void DrawDisabled(HDC dc, int x, int y) const;

private:
    HBITMAP colour_ = nullptr;
    HBITMAP mask_ = nullptr;
    // Opaque pixels as they are, key pixels white: made from the other two
    // when the disabled look is first drawn (few images ever are).
    mutable HBITMAP shape_ = nullptr;
    int width_ = 0, height_ = 0;
};

}  // namespace controls
