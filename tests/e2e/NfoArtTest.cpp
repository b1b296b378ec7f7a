// NFO art read back from the screen: full blocks are a solid band and a
// double line two bars, not letters. A second entry runs this in a plain
// prefix (QUORVEL_TEST_FONT=carried), where the program's own font must draw.
#include "appearance/CarriedFont.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

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

// What is wrong with the first two lines, 30 x 0xDB and 0xC9, 28 x 0xCD, 0xBB.
std::string ArtProblems(const std::vector<std::vector<int>>& rows) {
    std::size_t top = 0, end = 0;
    while (top < rows.size() && rows[top].empty())
        ++top;
    for (end = top; end < rows.size() && !rows[end].empty();)
        ++end;
    if (end == top)
        return "nothing drawn";
    // Full blocks: each row of the band dark from end to end, 30 cells wide.
    const int left = rows[top].front(), right = rows[top].back(), width = right - left + 1;
    for (std::size_t y = top; y < end; ++y)
        if (rows[y].size() * 10 < width * 9u || width < 30 * 4)
            return "full blocks: " + std::to_string(rows[y].size()) + " of " +
                   std::to_string(width) + " dark";
    // The next line: two rows dark along the line are the bars of 0xCD.
    std::vector<std::size_t> bars;
    for (std::size_t y = end; y < end + end - top && y < rows.size(); ++y) {
        int run = 0, longest = 0;
        for (std::size_t i = 1; i < rows[y].size(); ++i)
            longest = std::max(longest, run = rows[y][i] == rows[y][i - 1] + 1 ? run + 1 : 0);
        if (longest * 10 >= width * 8)
            bars.push_back(y);
    }
    if (bars.size() != 2 || bars[1] - bars[0] < 2)
        return "double line: " + std::to_string(bars.size()) + " rows along the line";
    return "";
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
    const std::string sample = ReadFileBytes(TestProgramFolder() + "\\quorvel.nfo");
    ASSERT_FALSE(sample.empty());
    WriteFileBytes(program / "art.nfo", std::string(30, '\xDB') + "\r\n\xC9" +
                                            std::string(28, '\xCD') + "\xBB\r\n" + sample);
    ASSERT_TRUE(program.Start(program / "art.nfo") && program.WaitMainWindow());
    std::string problems;
    WaitUntil([&] { return (problems = ArtProblems(Photograph(program.textBox()))).empty(); });
    EXPECT_EQ(problems, "");
}
