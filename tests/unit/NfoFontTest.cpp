// Which font draws the NFO art: the system's Terminal only where it is the
// raster OEM font of code page 437, else the carried CP437 font.
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
        {437, terminal, true},                        // Windows with OEM code page 437
        {437, {"TERMINAL", 255, false}, true},        // the face in another letter case
        {850, terminal, false},                       // another OEM code page
        {437, {"Liberation Mono", 0, true}, false},   // Wine without a Terminal font
        {437, {"Terminal", 255, true}, false},        // a TrueType face of that name
        {437, {"Terminal", 0, false}, false},         // a Terminal in the ANSI set
        {437, {"Terminal2", 255, false}, false},      // another face that starts alike
    };
    for (const auto& row : rows)
        EXPECT_EQ(ChooseNfoFont(row.oemCodePage, row.realized) == NfoFontSource::System, row.system)
            << row.oemCodePage << " " << row.realized.face << " " << row.realized.charSet;
}
