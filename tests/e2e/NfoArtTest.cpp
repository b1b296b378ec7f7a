// NFO art as the program draws it, read back from the screen: a row of full
// blocks is a solid band and a double-line box top is two bars with corners,
// not letters. Run in the prepared prefix (the system's Terminal) and, by a
// second test entry, in a plain prefix without any font of ours
// (QUORVEL_TEST_FONT=carried), where the program draws with the font it carries.
#include "appearance/CarriedFont.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// The window's client area as it is on the screen: true = dark pixel.
struct Picture {
    int width = 0, height = 0;
    std::vector<bool> dark;
    bool at(int x, int y) const { return dark[static_cast<std::size_t>(y * width + x)]; }
    // The longest run of dark pixels in row y between x0 and x1.
    int run(int y, int x0, int x1) const {
        int n = 0, longest = 0;
        for (int x = x0; x <= x1; ++x)
            longest = std::max(longest, n = at(x, y) ? n + 1 : 0);
        return longest;
    }
};

Picture Photograph(HWND hwnd) {
    Picture p;
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
    p.width = rc.right;
    p.height = rc.bottom;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(4 * p.width * p.height));
    ::GetDIBits(mem, bitmap.get(), 0, static_cast<UINT>(p.height), bits.data(), &bi,
                DIB_RGB_COLORS);
    for (std::size_t i = 0; i < bits.size(); i += 4)
        p.dark.push_back(bits[i] + bits[i + 1] + bits[i + 2] < 3 * 128);
    ::DeleteDC(mem);
    return p;
}

// What is wrong with the first two lines, 30 x 0xDB and 0xC9, 28 x 0xCD,
// 0xBB ("" when both draw as art).
std::string ArtProblems(const Picture& p) {
    int top = 0;
    while (top < p.height && p.run(top, 0, p.width - 1) == 0)
        ++top;
    if (top == p.height)
        return "nothing drawn";
    int bottom = top, left = p.width, right = -1, count = 0;
    while (bottom + 1 < p.height && p.run(bottom + 1, 0, p.width - 1) > 0)
        ++bottom;
    for (int y = top; y <= bottom; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                ++count;
            }
    const int width = right - left + 1, height = bottom - top + 1;
    if (count * 10 < width * height * 9 || width < 30 * 4)
        return "full blocks: " + std::to_string(count) + " dark of " +
               std::to_string(width * height);
    // The next line: rows dark across the line are the bars of 0xCD.
    std::vector<int> bars;
    for (int y = bottom + 1; y <= bottom + height && y < p.height; ++y)
        if (p.run(y, left, right) * 10 >= width * 8)
            bars.push_back(y);
    if (bars.size() != 2 || bars[1] - bars[0] < 2)
        return "double line: " + std::to_string(bars.size()) + " rows across the line";
    // Below the bars only the corners' two downward strokes each are dark.
    std::vector<int> strokes;
    for (int x = left; x <= right && bars[1] + 2 < p.height; ++x)
        if (p.at(x, bars[1] + 1) && p.at(x, bars[1] + 2))
            strokes.push_back(x);
    const int cell = width / 30;
    if (strokes.size() != 4 || strokes[1] >= left + 2 * cell || strokes[2] <= right - 2 * cell)
        return "corners: " + std::to_string(strokes.size()) + " strokes below the bars";
    return "";
}

} // namespace

TEST(NfoArtTest, BlocksAndDoubleLinesDrawAsArtNotLetters) {
    // The font this prefix gives the program: its own Terminal, or the carried one.
    const char* expected = std::getenv("QUORVEL_TEST_FONT");
    const bool carried = expected && std::string(expected) == "carried";
    const UniqueHfont terminal = CreateNfoFont(kSystemNfoFace, 6, ScreenDpi());
    EXPECT_EQ(ChooseNfoFont(::GetOEMCP(), DescribeRealizedFont(terminal.get())),
              carried ? NfoFontSource::Carried : NfoFontSource::System);

    PlacementKey placement;
    ProgramUnderTest program;
    const std::string sample = ReadFileBytes(TestProgramFolder() + "\\quorvel.nfo");
    ASSERT_FALSE(sample.empty());
    WriteFileBytes(program / "art.nfo", std::string(30, '\xDB') + "\r\n\xC9" +
                                            std::string(28, '\xCD') + "\xBB\r\n" + sample);
    ASSERT_TRUE(program.Start(program / "art.nfo"));
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    std::string problems = "not photographed";
    WaitUntil([&] { return (problems = ArtProblems(Photograph(program.textBox()))).empty(); });
    EXPECT_EQ(problems, "");
}
