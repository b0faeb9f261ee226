// The skin's placing rule on real windows: a window's layout table puts each
// control at its point of the parent's client area, in the size the table
// gives, and a width or height below 1 keeps the control's own.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/framework/skin_win.h"

namespace {

enum : int { kFirst = 201, kSecond = 202, kThird = 203, kFourth = 204 };

class SkinPlace : public ::testing::Test {
protected:
    HWND parent = nullptr;

    void SetUp() override {
        // A parent with a border: client pixels differ from the screen's.
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_BORDER, 100, 80, 400, 300, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(parent, nullptr);
        for (int id : {kFirst, kSecond, kThird, kFourth})
            ASSERT_NE(CreateWindowExA(0, "BUTTON", "", WS_CHILD, 1, 2, 40, 20, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr),
                      nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }

    // The control's rectangle in the parent's client pixels.
    RECT At(int id) const {
        RECT r{};
        GetWindowRect(GetDlgItem(parent, id), &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

void ExpectRect(const RECT& r, int left, int top, int width, int height, const char* what) {
    EXPECT_EQ(r.left, left) << what;
    EXPECT_EQ(r.top, top) << what;
    EXPECT_EQ(r.right - r.left, width) << what;
    EXPECT_EQ(r.bottom - r.top, height) << what;
}

TEST_F(SkinPlace, ATablePlacesEachControlAndKeepsTheSizesItLeavesOpen) {
    constexpr skin::Spot layout[] = {
        {kFirst, 10, 20},           // its own size
        {kSecond, 30, 40, 100},     // wider, its own height
        {kThird, 50, 60, 0, 35},    // its own width, taller
        {kFourth, 70, 80, 15, -1},  // narrower, its own height
    };
    skin::Place(parent, layout);
    ExpectRect(At(kFirst), 10, 20, 40, 20, "first");
    ExpectRect(At(kSecond), 30, 40, 100, 20, "second");
    ExpectRect(At(kThird), 50, 60, 40, 35, "third");
    ExpectRect(At(kFourth), 70, 80, 15, 20, "fourth");
}

TEST_F(SkinPlace, OneSpotPlacesOnlyItsControl) {
    skin::Place(parent, skin::Spot{kSecond, 5, 6, 7, 8});
    ExpectRect(At(kSecond), 5, 6, 7, 8, "placed");
    ExpectRect(At(kFirst), 1, 2, 40, 20, "untouched");
}

}  // namespace
