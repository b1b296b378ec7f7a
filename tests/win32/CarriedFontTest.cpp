// The carried CP437 fonts, loaded from this program's copy of the resources
// and drawn by GDI: every pixel of every character must be the Terminus cell
// the font was made from. The build writes those cells beside the programs
// (tools/mkttf.py --cells).
#include "app/resource.h"
#include "appearance/CarriedFont.h"
#include "tests/support/Cp437Cells.h"

#include <gtest/gtest.h>

#include <iterator>

using namespace quorvel;
using namespace quorvel::test;

TEST(CarriedFont, DrawsEveryCp437CellPixelForPixelInEverySize) {
    const std::vector<Cells> sizes = ReadCells();
    ASSERT_EQ(sizes.size(), std::size(kCarriedCellHeights)) << "quorvel-cp437-cells.txt beside the test";
    // The characters from the system's own table; 0x00 stays U+0000, no
    // character of the font, so it draws the font's .notdef box.
    const std::wstring text = Cp437Text();
    const UniqueHdc dc(::CreateCompatibleDC(nullptr));
    for (const Cells& c : sizes) {
        const UniqueFontResource carried = LoadCarriedFont(::GetModuleHandleW(nullptr), IDR_NFO_FONT_12, c.height);
        const UniqueHfont font = CreateCarriedNfoFont(c.height);
        ASSERT_TRUE(carried && font) << c.height << " px";
        // A 16 x 16 grid of cells, 32-bit pixels, first row at the top.
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, 16 * c.width, -16 * c.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const UniqueHbitmap dib(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ASSERT_TRUE(dib && bits);
        const SelectGuard selectDib(dc.get(), dib.get()), selectFont(dc.get(), font.get());
        TEXTMETRICW tm{};
        ASSERT_TRUE(::GetTextMetricsW(dc.get(), &tm));
        EXPECT_EQ(std::vector({tm.tmHeight, tm.tmAscent, tm.tmAveCharWidth, tm.tmMaxCharWidth}),
                  std::vector<LONG>({c.height, c.ascent, c.width, c.width}));
        const RECT all{0, 0, 16 * c.width, 16 * c.height};
        ::ExtTextOutW(dc.get(), 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
        for (int row = 0; row < 16; ++row)
            ::ExtTextOutW(dc.get(), 0, row * c.height, 0, nullptr, text.data() + 16 * row, 16, nullptr);
        ::GdiFlush();

        const auto* pixels = static_cast<const DWORD*>(bits);
        bool clean = true; // only black and white: no grey smoothing
        const auto dark = [&](int x, int y) {
            const DWORD p = pixels[y * 16 * c.width + x] & 0xFFFFFF;
            clean = clean && (p == 0 || p == 0xFFFFFF);
            return p == 0;
        };
        int wrong = 0;
        for (int b = 0; b < 256; ++b) {
            const auto drawn = DrawnCell(dark, b % 16 * c.width, b / 16 * c.height, c);
            if (drawn != c.rows[b] && wrong++ == 0)
                ADD_FAILURE() << c.height << " px, byte 0x" << std::hex << b << ": expected "
                              << Picture(c.rows[b], c.width) << ", drew " << Picture(drawn, c.width);
        }
        EXPECT_TRUE(clean) << "grey pixels at " << c.height << " px";
        EXPECT_EQ(wrong, 0) << "cells drawn wrong at " << c.height << " px";
    }
    // Neither Wine's stand-in for "Terminal" nor the carried font draws a
    // CP437 character given as Unicode like its byte: the system's font is
    // never taken for one that does.
    EXPECT_FALSE(DrawsUnicodeAsCp437(CreateSystemNfoFont(6, 96).get()));
    const UniqueFontResource carried = LoadCarriedFont(::GetModuleHandleW(nullptr), IDR_NFO_FONT_12, 12);
    EXPECT_FALSE(DrawsUnicodeAsCp437(CreateCarriedNfoFont(12).get()));
}
