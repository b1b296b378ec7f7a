#include "appearance/NfoFont.h"

#include <gtest/gtest.h>

#include <string>

using quorvel::ChooseNfoFont;
using quorvel::IsOemRasterFace;
using quorvel::NfoFontSource;
using quorvel::RealizedFont;

namespace quorvel {
// Failures name the font, not its number.
void PrintTo(NfoFontSource source, std::ostream* out) {
    *out << (source == NfoFontSource::System ? "System" : "Carried");
}
} // namespace quorvel

namespace {

const RealizedFont kWindowsTerminal{"Terminal", 255, false};

struct Row {
    const char* what;
    unsigned oemCodePage;
    RealizedFont realized;
    NfoFontSource want;
};

const Row kRows[] = {
    {"Windows with OEM code page 437", 437, kWindowsTerminal, NfoFontSource::System},
    {"face name in other letter case", 437, {"TERMINAL", 255, false}, NfoFontSource::System},
    {"Wine without a Terminal font", 437, {"Liberation Mono", 0, true}, NfoFontSource::Carried},
    {"a TrueType face named Terminal", 437, {"Terminal", 255, true}, NfoFontSource::Carried},
    {"a Terminal in the ANSI set", 437, {"Terminal", 0, false}, NfoFontSource::Carried},
    {"another OEM raster face", 437, {"Fixedsys", 255, false}, NfoFontSource::Carried},
    {"a longer face name", 437, {"Terminal2", 255, false}, NfoFontSource::Carried},
    {"a shorter face name", 437, {"Termina", 255, false}, NfoFontSource::Carried},
    {"no font at all", 437, {"", 0, false}, NfoFontSource::Carried},
};

// The system's Terminal holds its own code page's glyphs there, however
// right the font looks to the device context.
const unsigned kOtherOemCodePages[] = {850, 852, 855, 857, 858, 860, 861, 862, 863, 865,
                                       866, 737, 775, 869, 720, 932, 936, 949, 950, 0};

} // namespace

TEST(NfoFont, SystemTerminalOnlyWhereItShowsCodePage437) {
    for (const Row& row : kRows)
        EXPECT_EQ(ChooseNfoFont(row.oemCodePage, row.realized), row.want) << row.what;
    for (const unsigned cp : kOtherOemCodePages)
        EXPECT_EQ(ChooseNfoFont(cp, kWindowsTerminal), NfoFontSource::Carried) << "OEM " << cp;
}

TEST(NfoFont, CarriedFaceCountsOnlyAsTheRasterOemFontOfItsName) {
    EXPECT_TRUE(IsOemRasterFace({quorvel::kCarriedNfoFace, 255, false}, quorvel::kCarriedNfoFace));
    EXPECT_FALSE(IsOemRasterFace(kWindowsTerminal, quorvel::kCarriedNfoFace));
    EXPECT_FALSE(IsOemRasterFace({quorvel::kCarriedNfoFace, 255, true}, quorvel::kCarriedNfoFace));
}
