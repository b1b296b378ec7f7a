// The CP437 font the program carries, loaded from this test program's own
// copy of the resource, and the choice made in the prepared prefix, whose
// system Terminal is a CP437 raster font. How its glyphs draw is checked on
// the screen by the end-to-end NfoArtTest.
#include "app/resource.h"
#include "appearance/CarriedFont.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace quorvel;

namespace {

const char* const kResource = MAKEINTRESOURCEA(IDR_NFO_FONT);

int CharacterHeight(HFONT font) {
    const WindowDC screen(nullptr);
    const SelectGuard select(screen.get(), font);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(screen.get(), &tm);
    return tm.tmHeight - tm.tmInternalLeading;
}

} // namespace

TEST(CarriedFont, LoadsFromTheProgramAsARasterOemFontInEverySize) {
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
