// The system's Terminal draws the NFO art only where it is the raster OEM
// font of code page 437; anywhere else the carried CP437 font does.
#include "appearance/NfoFont.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(NfoFont, SystemTerminalOnlyWhereItShowsCodePage437) {
    const RealizedFont terminal{"Terminal", 255, false};
    const struct {
        unsigned oemCodePage;
        RealizedFont realized;
        bool system;
    } rows[] = {
        {437, terminal, true},          {437, {"TERMINAL", 255, false}, true},
        {850, terminal, false},         {437, {"Terminal", 255, true}, false}, // TrueType
        {437, {"Terminal", 0, false}, false}, {437, {"Terminal2", 255, false}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ChooseNfoFont(row.oemCodePage, row.realized) == NfoFontSource::System, row.system)
            << row.oemCodePage << " " << row.realized.face << " " << row.realized.charSet;
}
