// The About box's copyright line and the texts System Info makes of registry values.
#include "about/AboutText.h"

#include <gtest/gtest.h>

#include <string>

using namespace quorvel;
using namespace std::string_literals;

TEST(AboutCopyrightText, BackslashNBreaksTheLineAndLowerCaseCBecomesTheSign) {
    EXPECT_EQ(AboutCopyrightText("(c) 2026 Brenmoor.\\nFree."), "\xA9 2026 Brenmoor.\r\nFree.");
    // Exact and case-sensitive.
    EXPECT_EQ(AboutCopyrightText("(C) \\N ( c) a\nb"), "(C) \\N ( c) a\nb");
    EXPECT_EQ(AboutCopyrightText("\\\\n(c)(c)"), "\\\r\n\xA9\xA9");
}

TEST(KeptRegistryText, DropsTheLastByteOnlyWhenItIsTheNul) {
    EXPECT_EQ(KeptRegistryText("C:\\msinfo32.exe\0\0\0"s, 16), "C:\\msinfo32.exe");
    EXPECT_EQ(KeptRegistryText("abc\0"s, 3), "abc");    // stored without its NUL
    EXPECT_EQ(KeptRegistryText("a\0\0"s, 3), "a\0"s); // NULs before the last byte stay
    EXPECT_EQ(KeptRegistryText("\0"s, 1), "");
    EXPECT_EQ(KeptRegistryText("abc", 10), "abc"); // a size past the buffer is cut to it
}

TEST(DwordRegistryText, HexOfEachByteFromTheLastWithoutLeadingZerosAfterTheOldText) {
    EXPECT_EQ(DwordRegistryText("", "\x78\x56\x34\x12"s), "&h12345678");
    EXPECT_EQ(DwordRegistryText("", "\x05\0\0"s), "&h005");
    EXPECT_EQ(DwordRegistryText("old", "\x0A\xFF"s), "&holdFFA");
}
