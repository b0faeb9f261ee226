// Bitmap files read ahead: each one reaches the window that asks for its
// path, once; a second ask reads the file again, and what was not asked for
// is freed at the end.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tests/test_support.h"
#include "ui/framework/dialog_win.h"

namespace {

// A black 24-bit BMP of this size.
void WriteBmp(const std::string& path, int width, int height) {
    const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u, pixels = row * static_cast<uint32_t>(height);
    std::vector<unsigned char> file(54 + pixels, 0);
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<uint32_t>(file.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, pixels, 4);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

// Read-ahead is once per program, so one case walks through it.
TEST(BitmapPrefetch, EachPathGetsItsOwnBitmapOnceAndTheRestIsReadAgain) {
    const test_support::TempDir folder;
    const std::string first = folder.file("first.bmp"), second = folder.file("second.bmp"),
                      untaken = folder.file("untaken.bmp"), missing = folder.file("missing.bmp");
    WriteBmp(first, 3, 5);
    WriteBmp(second, 7, 2);
    WriteBmp(untaken, 4, 4);

    PrefetchBitmapFiles({first, missing, second, untaken});
    // Asked out of order: the one of the path, not its neighbour's.
    HBITMAP secondBitmap = LoadBitmapFile(second);
    EXPECT_EQ(SizeOf(secondBitmap).cx, 7);
    EXPECT_EQ(SizeOf(secondBitmap).cy, 2);
    HBITMAP firstBitmap = LoadBitmapFile(first);
    EXPECT_EQ(SizeOf(firstBitmap).cx, 3);
    EXPECT_EQ(LoadBitmapFile(missing), nullptr);
    // Asked again: a bitmap of its own, which the first owner may delete.
    HBITMAP again = LoadBitmapFile(second);
    EXPECT_NE(again, secondBitmap);
    DeleteObject(secondBitmap);
    EXPECT_EQ(SizeOf(again).cx, 7);

    EndBitmapPrefetch();
    EXPECT_EQ(SizeOf(firstBitmap).cx, 3) << "freed at the end although taken";
    // After the end every ask reads the file.
    HBITMAP late = LoadBitmapFile(untaken);
    EXPECT_EQ(SizeOf(late).cx, 4);
    for (HBITMAP bitmap : {firstBitmap, again, late}) DeleteObject(bitmap);
}

}  // namespace
