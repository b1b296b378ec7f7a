// The system's Terminal draws the NFO art only where it is the raster OEM
// font of code page 437 and draws Unicode as CP437; anywhere else the
// carried CP437 font does, at the size a raster Terminal would have had.
#include "appearance/NfoFont.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(NfoFont, SystemTerminalOnlyWhereItShowsCodePage437) {
    const RealizedFont terminal{"Terminal", 255, false};
    const struct { unsigned oemCodePage; RealizedFont realized; bool drawsUnicodeAsCp437, system; } rows[] = {
        {437, terminal, true, true},         {437, {"TERMINAL", 255, false}, true, true},
        {437, terminal, false, false},       {850, terminal, true, false},
        {437, {"Terminal", 255, true}, true, false}, // TrueType
        {437, {"Terminal", 0, false}, true, false},  {437, {"Terminal2", 255, false}, true, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ChooseNfoFont(row.oemCodePage, row.realized, row.drawsUnicodeAsCp437) ==
                      NfoFontSource::System,
                  row.system)
            << row.oemCodePage << " " << row.realized.face << " " << row.realized.charSet << " "
            << row.drawsUnicodeAsCp437;
}

TEST(NfoFont, CarriedCellForTheDisplaysCharacterHeight) {
    // 6 pt at 96, 120, 144, 168, 192 and 288 DPI, and the ends.
    const std::pair<int, int> rows[] = {{8, 12},  {10, 16}, {12, 18}, {14, 22},
                                        {16, 24}, {24, 32}, {1, 12},  {9, 14}};
    for (const auto& [em, cell] : rows)
        EXPECT_EQ(CarriedCellHeight(em), cell) << em;
    EXPECT_EQ(CarriedFace(18), "Quorvel CP437 18");
}
