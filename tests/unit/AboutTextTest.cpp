#include "about/AboutText.h"

#include <gtest/gtest.h>

#include <string>

using namespace quorvel;
using namespace std::string_literals;

TEST(AboutTitleLine, UsesTheRevisionNotTheMinorVersion) {
    EXPECT_EQ(AboutTitleLine("Quorvel", 3, 172), "Quorvel v3.172");
    EXPECT_EQ(AboutTitleLine("Quorvel", 0, 0), "Quorvel v0.0");
    EXPECT_EQ(AboutTitleLine("", 65535, 65535), " v65535.65535");
}

TEST(AboutCopyrightText, BackslashNBreaksTheLineAndLowerCaseCBecomesTheSign) {
    EXPECT_EQ(AboutCopyrightText("(c) 2026 Brenmoor.\\nQuorvel is free to use and share."),
              "\xA9 2026 Brenmoor.\r\nQuorvel is free to use and share.");
    EXPECT_EQ(AboutCopyrightText("a\\nb\\nc"), "a\r\nb\r\nc");
    EXPECT_EQ(AboutCopyrightText("(c)(c)"), "\xA9\xA9");
}

TEST(AboutCopyrightText, ExactAndCaseSensitive) {
    EXPECT_EQ(AboutCopyrightText("(C) 2026"), "(C) 2026");
    EXPECT_EQ(AboutCopyrightText("\\N and ( c)"), "\\N and ( c)");
    // A real line break is left alone; only the two characters count.
    EXPECT_EQ(AboutCopyrightText("a\nb"), "a\nb");
    EXPECT_EQ(AboutCopyrightText(""), "");
}

TEST(AboutCopyrightText, LineBreaksAreMadeBeforeTheSign) {
    // "(\nc)" is no "(c)" until the line break is in; then it is not one.
    EXPECT_EQ(AboutCopyrightText("(\\nc)"), "(\r\nc)");
    // A backslash before "n" that is part of "\\n" still counts once.
    EXPECT_EQ(AboutCopyrightText("\\\\n"), "\\\r\n");
}

TEST(AboutMailTarget, SubjectIsTheQuestionAboutTheTitleUnescaped) {
    EXPECT_EQ(AboutMailTarget("support@quorvel.example", "Quorvel v3.172"),
              "mailto:support@quorvel.example?subject=I have question on Quorvel v3.172");
    EXPECT_EQ(AboutMailTarget("a@b", "x&y=z"), "mailto:a@b?subject=I have question on x&y=z");
}

TEST(KeptRegistryText, DropsTheLastByteOnlyWhenItIsTheNul) {
    const std::string buffer = "C:\\Tools\\msinfo32.exe\0\0\0\0"s;
    EXPECT_EQ(KeptRegistryText(buffer, 22), "C:\\Tools\\msinfo32.exe");
    // Stored without its NUL: every byte counts.
    EXPECT_EQ(KeptRegistryText("abc\0"s, 3), "abc");
    EXPECT_EQ(KeptRegistryText("ab\0\0"s, 3), "ab");
    EXPECT_EQ(KeptRegistryText("\0"s, 1), "");
    EXPECT_EQ(KeptRegistryText("abc", 0), "");
    // A size past the buffer is cut to the buffer.
    EXPECT_EQ(KeptRegistryText("abc", 10), "abc");
}

TEST(KeptRegistryText, KeepsNulsBeforeTheLastByte) {
    EXPECT_EQ(KeptRegistryText("a\0b\0"s, 4), "a\0b"s);
    EXPECT_EQ(KeptRegistryText("a\0\0\0"s, 3), "a\0"s);
}

TEST(DwordRegistryText, HexOfEachKeptByteFromTheLastWithoutLeadingZeros) {
    // 0x12345678 stored little-endian: the last byte is no NUL, all four count.
    EXPECT_EQ(DwordRegistryText("", KeptRegistryText("\x78\x56\x34\x12"s, 4)), "&h12345678");
    // 5: the fourth byte is NUL and goes; the zero bytes give one digit each.
    EXPECT_EQ(DwordRegistryText("", KeptRegistryText("\x05\0\0\0"s, 4)), "&h005");
    EXPECT_EQ(DwordRegistryText("", "\x0A\x0B"s), "&hBA");
    EXPECT_EQ(DwordRegistryText("", "\xFF"s), "&hFF");
    EXPECT_EQ(DwordRegistryText("", ""), "&h");
}

TEST(DwordRegistryText, TheDigitsFollowWhatTheTextHeldBefore) {
    EXPECT_EQ(DwordRegistryText("old", "\x01\x02"s), "&hold21");
}
