// The main window on the screen: it comes back where it was closed, kept in
// twips at any DPI, and draws NFO art as art. NfoArtTest runs a second time
// in a plain prefix (QUORVEL_TEST_FONT=carried), where the program's own
// font must draw.
#include "app/resource.h"
#include "appearance/CarriedFont.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

class PlacementTest : public ::testing::Test {
  protected:
    using Box = std::array<long, 4>; // left, top, width, height
    using Values = std::vector<std::optional<std::int32_t>>;
    static Box BoxOf(RECT r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }
    static long Px(double twips, int dpi = 96) { return std::lround(twips * dpi / 1440.0); }
    // The left or top of `size` pixels centred on `screen` pixels, halved in twips.
    static long Centred(int screen, int size) { return Px(std::trunc((screen - size) * 7.5)); }

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
    // Starts the program, has `act` change its window, closes it; what is stored.
    Values CloseAfter(const std::function<void(ProgramUnderTest&)>& act,
                      const char* name = "Quorvel.exe") {
        ProgramUnderTest program(name);
        EXPECT_TRUE(program.Start("") && program.WaitMainWindow()) << program.Why();
        act(program);
        program.Close();
        EXPECT_TRUE(program.WaitExit());
        return Stored();
    }
    static void MoveTo(ProgramUnderTest& program, int left, int top, int width, int height) {
        ::SetWindowPos(program.mainWindow(), nullptr, left, top, width, height, SWP_NOZORDER);
        WaitUntilQuiet([&] { return program.WindowRect().left == left; });
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
        {"restored, rounded to pixels", {1508, 907, 9007, 6008}, {101, 60, 600, 401}},
        {"zero-zero: centred as designed", {0, 0, 7500, 5250}, {cx, cy, 500, 350}},
        {"off the screen: centred as it is",
         {-30000, 900, 7500, 5250},
         {Centred(screenW, 500), Centred(screenH, 350), 500, 350}},
    };
    for (const auto& row : rows) {
        placement_.Clear();
        if (!row.stored.empty())
            Store(row.stored);
        ProgramUnderTest program;
        ASSERT_TRUE(program.Start("") && program.WaitMainWindow()) << program.Why();
        EXPECT_EQ(BoxOf(program.WindowRect()), row.expected) << row.what;
        EXPECT_EQ(Stored(), row.stored.empty() ? Values(4) : row.stored)
            << "start-up stores nothing";
    }
}

TEST_F(PlacementTest, ClosingNormalStoresItMaximisedKeepsTheStoredOne) {
    Store({300, 450, 7000, 5000});
    EXPECT_EQ(CloseAfter([](ProgramUnderTest& program) {
                  ::PostMessageA(program.mainWindow(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
                  WaitUntilQuiet([&] { return ::IsZoomed(program.mainWindow()); });
              }),
              (Values{300, 450, 7000, 5000}));
    const Values moved = {-1200, 600, 9000, 6300};
    EXPECT_EQ(CloseAfter([](ProgramUnderTest& program) { MoveTo(program, -80, 40, 600, 420); }),
              moved);
    // A copy under another name keeps its own placement.
    PlacementKey other("Viewer2");
    CloseAfter([](ProgramUnderTest& program) { MoveTo(program, 10, 20, 600, 420); }, "Viewer2.exe");
    EXPECT_EQ(other.GetDword("MainTop"), 300);
    EXPECT_EQ(Stored(), moved);
}

// The outer size is its design in twips at the DPI the program starts with;
// the placement is stored rounded, halves to even (at 100 DPI a pixel is
// 14.4 twips, at 192 DPI 7.5).
TEST_F(PlacementTest, SizeAndStoredPlacementFollowTheDpi) {
    constexpr char kKey[] = "Control Panel\\Desktop", kValue[] = "LogPixels";
    DWORD prefixDpi = 96, size = sizeof prefixDpi;
    ::RegGetValueA(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &prefixDpi, &size);
    for (DWORD dpi : {100, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        placement_.Clear();
        ::RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, 4);
        const Values stored = CloseAfter([&](ProgramUnderTest& program) {
            ::RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &prefixDpi, 4);
            const Box outer = BoxOf(program.WindowRect());
            EXPECT_EQ((Box{Px(8355, dpi), Px(6855, dpi)}), (Box{outer[2], outer[3]}));
            MoveTo(program, 7, 33, 601, 403);
        });
        Values expected;
        for (int pixels : {7, 33, 601, 403})
            expected.push_back(static_cast<std::int32_t>(std::nearbyint(pixels * 1440.0 / dpi)));
        EXPECT_EQ(stored, expected);
    }
}

namespace {

// The dark pixels of each row of the window's client area on the screen.
std::vector<std::vector<int>> Photograph(HWND hwnd) {
    RECT rc{};
    POINT origin{0, 0};
    ::GetClientRect(hwnd, &rc);
    ::ClientToScreen(hwnd, &origin);
    const WindowDC screen(nullptr);
    HDC mem = ::CreateCompatibleDC(screen.get());
    UniqueHbitmap bitmap(::CreateCompatibleBitmap(screen.get(), rc.right, rc.bottom));
    const HGDIOBJ old = ::SelectObject(mem, bitmap.get());
    ::BitBlt(mem, 0, 0, rc.right, rc.bottom, screen.get(), origin.x, origin.y, SRCCOPY);
    ::SelectObject(mem, old);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, rc.right, -rc.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<RGBQUAD> bits(static_cast<std::size_t>(rc.right * rc.bottom));
    ::GetDIBits(mem, bitmap.get(), 0, static_cast<UINT>(rc.bottom), bits.data(), &bi,
                DIB_RGB_COLORS);
    ::DeleteDC(mem);
    std::vector<std::vector<int>> rows(static_cast<std::size_t>(rc.bottom));
    for (int i = 0; i < rc.right * rc.bottom; ++i)
        if (bits[i].rgbRed + bits[i].rgbGreen + bits[i].rgbBlue < 3 * 128)
            rows[i / rc.right].push_back(i % rc.right);
    return rows;
}

// Whether the first two lines, 30 x 0xDB and 0xC9, 28 x 0xCD, 0xBB, draw as
// a solid band and, below it, two rows dark along the line.
bool DrawnAsArt(const std::vector<std::vector<int>>& rows) {
    std::size_t top = 0, end = 0;
    while (top < rows.size() && rows[top].empty())
        ++top;
    for (end = top; end < rows.size() && !rows[end].empty();)
        ++end;
    if (end == top || rows[top].back() - rows[top].front() < 30 * 4)
        return false;
    const std::size_t width = rows[top].back() - rows[top].front() + 1;
    for (std::size_t y = top; y < end; ++y)
        if (rows[y].size() * 10 < width * 9)
            return false;
    std::vector<std::size_t> bars;
    for (std::size_t y = end; y < end + end - top && y < rows.size(); ++y) {
        std::size_t run = 0, longest = 0;
        for (std::size_t i = 1; i < rows[y].size(); ++i)
            longest = std::max(longest, run = rows[y][i] == rows[y][i - 1] + 1 ? run + 1 : 0);
        if (longest * 10 >= width * 8)
            bars.push_back(y);
    }
    return bars.size() == 2 && bars[1] - bars[0] >= 2;
}

} // namespace

TEST(NfoArtTest, BlocksAndDoubleLinesDrawAsArtNotLetters) {
    // The font this prefix gives the program: its own Terminal, or the carried one.
    const char* font = std::getenv("QUORVEL_TEST_FONT");
    const UniqueHfont terminal = CreateNfoFont(kSystemNfoFace, 6, ScreenDpi());
    EXPECT_EQ(ChooseNfoFont(::GetOEMCP(), DescribeRealizedFont(terminal.get())),
              font && std::string(font) == "carried" ? NfoFontSource::Carried
                                                     : NfoFontSource::System);
    PlacementKey placement;
    ProgramUnderTest program;
    WriteFileBytes(program / "art.nfo",
                   std::string(30, '\xDB') + "\r\n\xC9" + std::string(28, '\xCD') + "\xBB\r\n");
    ASSERT_TRUE(program.Start(program / "art.nfo") && program.WaitMainWindow()) << program.Why();
    EXPECT_TRUE(WaitUntil([&] { return DrawnAsArt(Photograph(program.textBox())); }));
}
