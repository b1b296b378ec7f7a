#include "appearance/modGeneral.h"
#include "appearance/modTransparency.h"

#include <gtest/gtest.h>

using namespace quorvel;

namespace {

class LayeringTest : public ::testing::Test {
protected:
    void SetUp() override {
        hwnd_ = ::CreateWindowExA(0, "STATIC", "layering", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                  200, 100, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override { ::DestroyWindow(hwnd_); }

    LONG ExStyle() const { return ::GetWindowLongA(hwnd_, GWL_EXSTYLE); }
    BYTE Alpha() const {
        BYTE alpha = 0;
        DWORD flags = 0;
        COLORREF key = 0;
        EXPECT_TRUE(::GetLayeredWindowAttributes(hwnd_, &key, &alpha, &flags));
        EXPECT_TRUE(flags & LWA_ALPHA);
        return alpha;
    }

    HWND hwnd_ = nullptr;
};

} // namespace

TEST_F(LayeringTest, LevelsWithinRangeAreApplied) {
    EXPECT_EQ(SetTransparency(hwnd_, 128), 0);
    EXPECT_TRUE(ExStyle() & WS_EX_LAYERED);
    EXPECT_EQ(Alpha(), 128);
    EXPECT_EQ(SetTransparency(hwnd_, 0), 0);
    EXPECT_EQ(Alpha(), 0);
    // Opaque again, but the window stays layered.
    EXPECT_EQ(SetTransparency(hwnd_, 255), 0);
    EXPECT_EQ(Alpha(), 255);
    EXPECT_TRUE(ExStyle() & WS_EX_LAYERED);
}

TEST_F(LayeringTest, LevelsOutsideRangeChangeNothing) {
    const LONG before = ExStyle();
    EXPECT_EQ(SetTransparency(hwnd_, 256), 1);
    EXPECT_EQ(SetTransparency(hwnd_, -1), 1);
    EXPECT_EQ(SetTransparency(hwnd_, 300), 1);
    EXPECT_EQ(ExStyle(), before);
    EXPECT_FALSE(ExStyle() & WS_EX_LAYERED);

    ASSERT_EQ(SetTransparency(hwnd_, 100), 0);
    EXPECT_EQ(SetTransparency(hwnd_, 256), 1);
    EXPECT_EQ(Alpha(), 100);
}

TEST_F(LayeringTest, OtherStyleBitsStay) {
    ::SetWindowLongA(hwnd_, GWL_EXSTYLE, ExStyle() | WS_EX_TOOLWINDOW);
    ASSERT_EQ(SetTransparency(hwnd_, 200), 0);
    EXPECT_TRUE(ExStyle() & WS_EX_TOOLWINDOW);
}

TEST_F(LayeringTest, TopMostOnAndOff) {
    SetTopMost(hwnd_, false); // harmless on a window that never was topmost
    EXPECT_FALSE(ExStyle() & WS_EX_TOPMOST);
    SetTopMost(hwnd_, true);
    SetTopMost(hwnd_, true);
    EXPECT_TRUE(ExStyle() & WS_EX_TOPMOST);
    SetTopMost(hwnd_, false);
    EXPECT_FALSE(ExStyle() & WS_EX_TOPMOST);
}
