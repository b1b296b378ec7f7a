// The main window comes back where it was closed; first start centres it.
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quorvel::test;

namespace {

int Px(double twips) { return static_cast<int>(std::lround(twips * ScreenDpi() / 1440.0)); }
std::int32_t Tw(int pixels) { return static_cast<std::int32_t>(std::lround(pixels * 1440.0 / ScreenDpi())); }

class PlacementTest : public ::testing::Test {
protected:
    HWND StartEmpty() {
        EXPECT_TRUE(program_.Start(""));
        return program_.WaitMainWindow();
    }
    void StorePlacement(int left, int top, int width, int height) {
        placement_.SetDword("MainLeft", left);
        placement_.SetDword("MainTop", top);
        placement_.SetDword("MainWidth", width);
        placement_.SetDword("MainHeight", height);
    }
    void ExpectStored(int left, int top, int width, int height) {
        EXPECT_EQ(placement_.GetDword("MainLeft"), left);
        EXPECT_EQ(placement_.GetDword("MainTop"), top);
        EXPECT_EQ(placement_.GetDword("MainWidth"), width);
        EXPECT_EQ(placement_.GetDword("MainHeight"), height);
    }

    PlacementKey placement_;
    ProgramUnderTest program_;
};

} // namespace

TEST_F(PlacementTest, FirstStartCentresTheDesignedWindowThenSizesIt) {
    ASSERT_NE(StartEmpty(), nullptr);
    const RECT rc = program_.WindowRect();
    const SIZE design = DesignedWindowSize();
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
    // Centred with the designed size, in twips, halved toward zero.
    const double leftTw = std::trunc(std::nearbyint(Tw(screenW) - design.cx * 1440.0 / ScreenDpi()) / 2);
    const double topTw = std::trunc(std::nearbyint(Tw(screenH) - design.cy * 1440.0 / ScreenDpi()) / 2);
    EXPECT_EQ(rc.left, Px(leftTw));
    EXPECT_EQ(rc.top, Px(topTw));
    EXPECT_EQ(rc.right - rc.left, Px(8355));
    EXPECT_EQ(rc.bottom - rc.top, Px(6855));
    EXPECT_FALSE(placement_.GetDword("MainLeft")) << "start-up stores nothing";
}

TEST_F(PlacementTest, StoredPlacementIsRestored) {
    StorePlacement(1500, 900, 9000, 6000);
    ASSERT_NE(StartEmpty(), nullptr);
    const RECT rc = program_.WindowRect();
    EXPECT_EQ(rc.left, Px(1500));
    EXPECT_EQ(rc.top, Px(900));
    EXPECT_EQ(rc.right - rc.left, Px(9000));
    EXPECT_EQ(rc.bottom - rc.top, Px(6000));
}

TEST_F(PlacementTest, TextWidthIsReadAsTextAndBinaryLeftAsDefault) {
    placement_.SetBinary("MainLeft", std::string("\x10\x20\x30\x40", 4));
    placement_.SetDword("MainTop", 600);
    placement_.SetString("MainWidth", "9000");
    ASSERT_NE(StartEmpty(), nullptr);
    const RECT rc = program_.WindowRect();
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, Px(600));
    EXPECT_EQ(rc.right - rc.left, Px(9000));
    EXPECT_EQ(rc.bottom - rc.top, Px(6855));
}

TEST_F(PlacementTest, StoredZeroZeroIsCentredLikeAFirstStart) {
    StorePlacement(0, 0, 7500, 5250);
    ASSERT_NE(StartEmpty(), nullptr);
    const RECT rc = program_.WindowRect();
    EXPECT_GT(rc.left, 0);
    EXPECT_GT(rc.top, 0);
    EXPECT_EQ(rc.right - rc.left, Px(7500));
}

TEST_F(PlacementTest, ClosingInTheNormalStateStoresThePlacement) {
    ASSERT_NE(StartEmpty(), nullptr);
    ::SetWindowPos(program_.mainWindow(), nullptr, -80, 40, 600, 420, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntilQuiet([&] { return program_.WindowRect().left == -80; }));
    program_.Close();
    ASSERT_TRUE(program_.WaitExit());
    ExpectStored(Tw(-80), Tw(40), Tw(600), Tw(420));

    // A negative edge comes back as it was.
    ProgramUnderTest again;
    ASSERT_TRUE(again.Start(""));
    ASSERT_NE(again.WaitMainWindow(), nullptr);
    EXPECT_EQ(again.WindowRect().left, -80);
    EXPECT_EQ(again.WindowRect().top, 40);
}

TEST_F(PlacementTest, ClosingMaximisedOrMinimisedKeepsTheStoredPlacement) {
    for (const WPARAM state : {SC_MAXIMIZE, SC_MINIMIZE}) {
        StorePlacement(300, 450, 7000, 5000);
        ProgramUnderTest program;
        ASSERT_TRUE(program.Start(""));
        ASSERT_NE(program.WaitMainWindow(), nullptr);
        ::PostMessageA(program.mainWindow(), WM_SYSCOMMAND, state, 0);
        ASSERT_TRUE(WaitUntilQuiet([&] {
            return state == SC_MAXIMIZE ? ::IsZoomed(program.mainWindow()) != FALSE
                                        : ::IsIconic(program.mainWindow()) != FALSE;
        }));
        program.Close();
        ASSERT_TRUE(program.WaitExit());
        ExpectStored(300, 450, 7000, 5000);
    }
}

TEST_F(PlacementTest, ExitAndF1KeepTheStoredPlacement) {
    StorePlacement(300, 450, 7000, 5000);
    ASSERT_NE(StartEmpty(), nullptr);
    ::SetWindowPos(program_.mainWindow(), nullptr, 10, 10, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    program_.Command(IDM_mnuExit);
    ASSERT_TRUE(program_.WaitExit());
    ExpectStored(300, 450, 7000, 5000);

    // F1 is Exit's shortcut.
    ProgramUnderTest second;
    ASSERT_TRUE(second.Start(""));
    ASSERT_NE(second.WaitMainWindow(), nullptr);
    ::SetWindowPos(second.mainWindow(), nullptr, 10, 10, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    ::PostMessageA(second.textBox(), WM_KEYDOWN, VK_F1, 0x003B0001);
    ASSERT_TRUE(second.WaitExit());
    ExpectStored(300, 450, 7000, 5000);
}

TEST_F(PlacementTest, ACopyUnderAnotherNameHasItsOwnPlacement) {
    StorePlacement(1500, 900, 9000, 6000);
    PlacementKey other("Viewer2");
    ProgramUnderTest copy("Viewer2.exe");
    ASSERT_TRUE(copy.Start(""));
    ASSERT_NE(copy.WaitMainWindow(), nullptr);
    EXPECT_EQ(copy.WindowRect().right - copy.WindowRect().left, Px(8355));
    copy.Close();
    ASSERT_TRUE(copy.WaitExit());
    EXPECT_TRUE(other.GetDword("MainWidth"));
    ExpectStored(1500, 900, 9000, 6000);
}
