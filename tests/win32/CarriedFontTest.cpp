// The CP437 font the program carries, loaded from this test program's own
// copy of the resource, and the choice made in the prepared prefix, whose
// system Terminal is a CP437 raster font.
#include "app/resource.h"
#include "appearance/CarriedFont.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorvel;

namespace {

const char* const kResource = MAKEINTRESOURCEA(IDR_NFO_FONT);

// The dark pixels of each row of `text` drawn black on white in `font`, one
// string per row ('#' dark, '.' light).
std::vector<std::string> Draw(HFONT font, const std::string& text) {
    const WindowDC screen(nullptr);
    HDC dc = ::CreateCompatibleDC(screen.get());
    UniqueHbitmap bitmap(::CreateCompatibleBitmap(screen.get(), 64, 64));
    std::vector<std::string> rows;
    {
        const SelectGuard selectBitmap(dc, bitmap.get());
        const SelectGuard selectFont(dc, font);
        RECT all{0, 0, 64, 64};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkMode(dc, TRANSPARENT);
        ::TextOutA(dc, 0, 0, text.data(), static_cast<int>(text.size()));
        SIZE extent{};
        ::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &extent);
        for (int y = 0; y < extent.cy && y < 64; ++y) {
            std::string row;
            for (int x = 0; x < extent.cx && x < 64; ++x)
                row += GetRValue(::GetPixel(dc, x, y)) < 128 ? '#' : '.';
            rows.push_back(row);
        }
    }
    ::DeleteDC(dc);
    return rows;
}

int CharacterHeight(HFONT font) {
    const WindowDC screen(nullptr);
    const SelectGuard select(screen.get(), font);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(screen.get(), &tm);
    return tm.tmHeight - tm.tmInternalLeading;
}

} // namespace

TEST(CarriedFont, LoadsFromTheProgramAndDrawsCodePage437) {
    UniqueFontResource carried = LoadCarriedFont(::GetModuleHandleA(nullptr), kResource);
    ASSERT_TRUE(carried);
    // 6 pt at 96, 144 and 192 DPI: the 12, 18 and 24 pixel cuts.
    for (const auto& [dpi, height] : {std::pair{96, 8}, {144, 12}, {192, 16}}) {
        UniqueHfont font = CreateNfoFont(kCarriedNfoFace, 6, dpi);
        const RealizedFont got = DescribeRealizedFont(font.get());
        EXPECT_TRUE(IsOemRasterFace(got, kCarriedNfoFace))
            << got.face << ", character set " << got.charSet << ", scalable " << got.scalable;
        EXPECT_EQ(CharacterHeight(font.get()), height) << dpi << " DPI";
    }
    UniqueHfont font = CreateNfoFont(kCarriedNfoFace, 6, 96);
    // 0xDB is a full block: every pixel of its 6 x 12 cell dark.
    const std::vector<std::string> block = Draw(font.get(), "\xDB");
    EXPECT_EQ(block, std::vector<std::string>(12, "######"));
    // 0xCD is a double bar: exactly two rows dark from edge to edge.
    int barRows = 0;
    for (const std::string& row : Draw(font.get(), "\xCD\xCD"))
        barRows += row.find('.') == std::string::npos;
    EXPECT_EQ(barRows, 2);
}

TEST(CarriedFont, MissingResourceLoadsNothing) {
    EXPECT_FALSE(LoadCarriedFont(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_NFO_FONT + 1)));
    // Resources of a module that holds no such font.
    EXPECT_FALSE(LoadCarriedFont(::GetModuleHandleA("kernel32.dll"), kResource));
}

// This prefix has a CP437 Terminal raster font: nothing is loaded.
TEST(CarriedFont, SystemTerminalKeptWhereItDrawsCodePage437) {
    ASSERT_EQ(::GetOEMCP(), 437u);
    const NfoFont chosen = ChooseTextBoxFont(::GetModuleHandleA(nullptr), kResource, 6, 96);
    EXPECT_FALSE(chosen.carried);
    const RealizedFont got = DescribeRealizedFont(chosen.font.get());
    EXPECT_TRUE(IsOemRasterFace(got, kSystemNfoFace)) << got.face;
}
