// The About box texts that follow rules: the copyright line and what the
// registry reader makes of the values it finds.
#include "about/AboutText.h"

#include <gtest/gtest.h>

#include <string>

using namespace quorvel;
using namespace std::string_literals;

TEST(AboutCopyrightText, BackslashNBreaksTheLineThenLowerCaseCBecomesTheSign) {
    const struct {
        const char *resource, *shown;
    } rows[] = {
        {"(c) 2026 Brenmoor.\\nFree to share.", "\xA9 2026 Brenmoor.\r\nFree to share."},
        {"(C) \\N ( c) a\nb", "(C) \\N ( c) a\nb"}, // exact and case-sensitive
        {"(\\nc)", "(\r\nc)"},                        // the break comes first
        {"\\\\n(c)(c)", "\\\r\n\xA9\xA9"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AboutCopyrightText(row.resource), row.shown) << row.resource;
}

TEST(KeptRegistryText, DropsTheLastByteOnlyWhenItIsTheNul) {
    const struct {
        std::string buffer;
        std::size_t size;
        std::string kept;
    } rows[] = {
        {"C:\\msinfo32.exe\0\0\0"s, 16, "C:\\msinfo32.exe"},
        {"abc\0"s, 3, "abc"},    // stored without its NUL
        {"a\0b\0"s, 4, "a\0b"s}, // NULs before the last byte stay
        {"\0"s, 1, ""},
        {"abc", 0, ""},
        {"abc", 10, "abc"}, // a size past the buffer is cut to it
    };
    for (const auto& row : rows)
        EXPECT_EQ(KeptRegistryText(row.buffer, row.size), row.kept) << row.size;
}

TEST(DwordRegistryText, HexOfEachByteFromTheLastWithoutLeadingZeros) {
    EXPECT_EQ(DwordRegistryText("", "\x78\x56\x34\x12"s), "&h12345678");
    EXPECT_EQ(DwordRegistryText("", "\x05\0\0"s), "&h005");
    EXPECT_EQ(DwordRegistryText("", "\x0A\xFF"s), "&hFFA");
    EXPECT_EQ(DwordRegistryText("old", "\x01"s), "&hold1");
}
