// The main window comes back where it was closed, kept in twips at any DPI;
// a first start centres it.
#include "app/frmGotoLine.h"
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// Left, top, width and height.
using Box = std::array<long, 4>;
Box BoxOf(const RECT& rc) {
    return {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

int Px(double twips, int dpi = 96) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}
// The left or top of `size` pixels centred on `screen` pixels, halved in twips.
int Centred(int screen, int size) {
    return Px(std::trunc((screen - size) * 15 / 2.0));
}

class PlacementTest : public ::testing::Test {
  protected:
    using Values = std::vector<std::optional<std::int32_t>>;
    void Store(const Values& values) {
        for (std::size_t i = 0; i < 4; ++i)
            placement_.SetDword(kNames[i], *values[i]);
    }
    Values Stored() const {
        Values values;
        for (const char* name : kNames)
            values.push_back(placement_.GetDword(name));
        return values;
    }
    // Starts the program, has `act` change its window, closes it; what is
    // stored then.
    Values CloseAfter(const std::function<void(HWND)>& act, const char* name = "Quorvel.exe") {
        ProgramUnderTest program(name);
        EXPECT_TRUE(program.Start("") && program.WaitMainWindow());
        act(program.mainWindow());
        program.Close();
        EXPECT_TRUE(program.WaitExit());
        return Stored();
    }
    static void MoveTo(HWND main, int left, int top, int width, int height) {
        ::SetWindowPos(main, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT rc{};
        WaitUntilQuiet([&] { return ::GetWindowRect(main, &rc) && rc.left == left; });
    }

    static constexpr const char* kNames[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    PlacementKey placement_;
};

} // namespace

TEST_F(PlacementTest, StartUpPlacesTheWindowFromTheStoredTwips) {
    ASSERT_EQ(ScreenDpi(), 96);
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
    const SIZE design = DesignedWindowSize();
    const long cx = Centred(screenW, design.cx), cy = Centred(screenH, design.cy);
    const struct {
        const char* what;
        Values stored;
        Box expected;
    } rows[] = {
        {"first start: centred as designed, then sized", {}, {cx, cy, Px(8355), Px(6855)}},
        {"restored", {1500, 900, 9000, 6000}, {100, 60, 600, 400}},
        {"rounded to pixels", {1508, 907, 9007, 6008}, {101, 60, 600, 401}},
        {"zero-zero: centred as designed", {0, 0, 7500, 5250}, {cx, cy, 500, 350}},
        {"partly on the screen: kept", {-1200, 600, 7500, 5250}, {-80, 40, 500, 350}},
        {"off the screen: centred as it is",
         {-30000, 900, 7500, 5250},
         {Centred(screenW, 500), Centred(screenH, 350), 500, 350}},
    };
    for (const auto& row : rows) {
        placement_.Clear();
        if (!row.stored.empty())
            Store(row.stored);
        ProgramUnderTest program;
        ASSERT_TRUE(program.Start("") && program.WaitMainWindow());
        EXPECT_EQ(BoxOf(program.WindowRect()), row.expected) << row.what;
        EXPECT_EQ(placement_.GetDword("MainLeft").has_value(), !row.stored.empty())
            << "start-up stores nothing";
    }
}

TEST_F(PlacementTest, ClosingNormalStoresItMaximisedOrMinimisedKeepsTheStoredOne) {
    for (const WPARAM state : {SC_MAXIMIZE, SC_MINIMIZE}) {
        Store({300, 450, 7000, 5000});
        EXPECT_EQ(CloseAfter([&](HWND main) {
                      ::PostMessageA(main, WM_SYSCOMMAND, state, 0);
                      WaitUntilQuiet([&] { return ::IsZoomed(main) || ::IsIconic(main); });
                  }),
                  (Values{300, 450, 7000, 5000}));
    }
    EXPECT_EQ(CloseAfter([](HWND main) { MoveTo(main, -80, 40, 600, 420); }),
              (Values{-1200, 600, 9000, 6300}));
    // A copy under another name keeps its own placement.
    PlacementKey other("Viewer2");
    CloseAfter([](HWND main) { MoveTo(main, 10, 20, 600, 420); }, "Viewer2.exe");
    EXPECT_EQ(other.GetDword("MainTop"), 300);
    EXPECT_EQ(Stored(), (Values{-1200, 600, 9000, 6300}));
}

// Every size is its design in twips at the DPI the program starts with; at
// 100 DPI a pixel is 14.4 twips, and the placement is stored rounded, halves
// to even.
TEST(HiDpiTest, SizesAndStoredPlacementFollowTheDpi) {
    constexpr char kKey[] = "Control Panel\\Desktop", kValue[] = "LogPixels";
    DWORD old = 0, size = sizeof old;
    const bool had =
        !::RegGetValueA(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &old, &size);
    const auto setDpi = [&](const DWORD* dpi) {
        if (dpi)
            ::RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, dpi, sizeof *dpi);
        else
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, kValue);
    };
    PlacementKey placement;
    for (const DWORD dpi : {96, 100, 120, 144, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        setDpi(&dpi);
        placement.Clear();
        ProgramUnderTest program;
        const bool started = program.Start("") && program.WaitMainWindow();
        setDpi(had ? &old : nullptr);
        ASSERT_TRUE(started);
        const Box outer = BoxOf(program.WindowRect());
        EXPECT_EQ((Box{Px(8355, dpi), Px(6855, dpi)}), (Box{outer[2], outer[3]}));
        program.Command(IDM_mnuGoto);
        HWND dialog = nullptr;
        WaitUntilQuiet(
            [&] { return dialog = FindProcessWindow(program.pid(), frmGotoLine::kClassName); });
        RECT client{}, button{};
        ::GetClientRect(dialog, &client);
        ::GetWindowRect(::GetDlgItem(dialog, frmGotoLine::kCmdGoto), &button);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&button), 2);
        EXPECT_EQ((Box{0, 0, Px(2760, dpi), Px(1080, dpi)}), BoxOf(client));
        EXPECT_EQ((Box{Px(1695, dpi), Px(615, dpi), Px(900, dpi), Px(345, dpi)}), BoxOf(button));
        ::SendMessageA(dialog, WM_CLOSE, 0, 0);
        ::SetWindowPos(program.mainWindow(), nullptr, 7, 33, 601, 403, SWP_NOZORDER);
        program.Close();
        ASSERT_TRUE(program.WaitExit());
        for (const auto& [name, pixels] :
             {std::pair{"MainLeft", 7}, {"MainTop", 33}, {"MainWidth", 601}, {"MainHeight", 403}})
            EXPECT_EQ(placement.GetDword(name), std::nearbyint(pixels * 1440.0 / dpi)) << name;
    }
}
