// Which font draws the NFO art: the system's Terminal only where it is the
// raster OEM font of code page 437, else the carried CP437 font.
#include "appearance/NfoFont.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(NfoFont, SystemTerminalOnlyWhereItShowsCodePage437) {
    const RealizedFont terminal{"Terminal", 255, false};
    const struct {
        const char* what;
        unsigned oemCodePage;
        RealizedFont realized;
        bool system;
    } rows[] = {
        {"Windows with OEM code page 437", 437, terminal, true},
        {"face name in other letter case", 437, {"TERMINAL", 255, false}, true},
        {"another OEM code page", 850, terminal, false},
        {"no OEM code page", 0, terminal, false},
        {"Wine without a Terminal font", 437, {"Liberation Mono", 0, true}, false},
        {"a TrueType face named Terminal", 437, {"Terminal", 255, true}, false},
        {"a Terminal in the ANSI set", 437, {"Terminal", 0, false}, false},
        {"a longer face name", 437, {"Terminal2", 255, false}, false},
        {"a shorter face name", 437, {"Termina", 255, false}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ChooseNfoFont(row.oemCodePage, row.realized) == NfoFontSource::System, row.system)
            << row.what;
    EXPECT_TRUE(IsOemRasterFace({kCarriedNfoFace, 255, false}, kCarriedNfoFace));
    EXPECT_FALSE(IsOemRasterFace(terminal, kCarriedNfoFace));
}
