// The carried CP437 font, loaded from this program's copy of the resource.
#include "app/resource.h"
#include "appearance/CarriedFont.h"

#include <gtest/gtest.h>

#include <utility>

using namespace quorvel;

const char* const kResource = MAKEINTRESOURCEA(IDR_NFO_FONT);

TEST(CarriedFont, LoadsAsARasterOemFontInEverySize) {
    UniqueFontResource carried = LoadCarriedFont(::GetModuleHandleA(nullptr), kResource);
    ASSERT_TRUE(carried);
    // 6 pt at 96, 144 and 192 DPI: the 12, 18 and 24 pixel cuts.
    for (const auto& [dpi, height] : {std::pair{96, 8}, {144, 12}, {192, 16}}) {
        UniqueHfont font = CreateNfoFont(kCarriedNfoFace, 6, dpi);
        EXPECT_TRUE(IsOemRasterFace(DescribeRealizedFont(font.get()), kCarriedNfoFace)) << dpi;
        const WindowDC screen(nullptr);
        const SelectGuard select(screen.get(), font.get());
        TEXTMETRICA tm{};
        ::GetTextMetricsA(screen.get(), &tm);
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, height) << dpi << " DPI";
    }
    EXPECT_FALSE(LoadCarriedFont(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_NFO_FONT + 1)));
}
