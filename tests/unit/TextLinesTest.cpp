#include "text/TextLines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using quorvel::NormalizeLines;
using namespace std::string_literals;

TEST(NormalizeLines, EveryLineEndsInCrLf) {
    EXPECT_EQ(NormalizeLines(""), "");
    EXPECT_EQ(NormalizeLines("a\r\nb\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(NormalizeLines("a\r\nb"), "a\r\nb\r\n");
    EXPECT_EQ(NormalizeLines("\r\n"), "\r\n");
    EXPECT_EQ(NormalizeLines("\r\n\r\n"), "\r\n\r\n");
}

TEST(NormalizeLines, LoneCrEndsALineAndGainsLf) {
    EXPECT_EQ(NormalizeLines("a\rb\r"), "a\r\nb\r\n");
    EXPECT_EQ(NormalizeLines("a\r\r\nb"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(NormalizeLines("\r"), "\r\n");
    EXPECT_EQ(NormalizeLines("\r\r"), "\r\n\r\n");
}

TEST(NormalizeLines, LoneLfStaysInsideItsLine) {
    EXPECT_EQ(NormalizeLines("a\nb\nc\n"), "a\nb\nc\n\r\n");
    EXPECT_EQ(NormalizeLines("\n"), "\n\r\n");
    EXPECT_EQ(NormalizeLines("a\n\rb"), "a\n\r\nb\r\n");
}

TEST(NormalizeLines, EveryByteValueSurvives) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all.push_back(static_cast<char>(b));
    EXPECT_EQ(NormalizeLines(all + "\r\n"), all + "\r\n");
    EXPECT_EQ(NormalizeLines("x\0y"s), "x\0y\r\n"s);
}

TEST(NormalizeLines, LoadedTextIsAFixedPoint) {
    // Loading what a load produced, and saving it back, changes nothing.
    std::mt19937 rng(1234);
    const char alphabet[] = {'\r', '\n', 'a', ' ', '\xDB', '\xB0', '\0'};
    for (int round = 0; round < 500; ++round) {
        std::string bytes;
        const int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i)
            bytes.push_back(alphabet[rng() % sizeof alphabet]);
        const std::string once = NormalizeLines(bytes);
        EXPECT_EQ(NormalizeLines(once), once) << "round " << round;
        if (!once.empty()) {
            EXPECT_EQ(once.substr(once.size() - 2), "\r\n");
        }
    }
}

TEST(NormalizeLines, LargeInputIsLinear) {
    // 8 MB of short lines: a quadratic reader would take minutes here.
    std::string line(78, '\xDB');
    line += "\r\n";
    std::string big;
    big.reserve(line.size() * 100000);
    for (int i = 0; i < 100000; ++i)
        big += line;
    const std::string text = NormalizeLines(big);
    EXPECT_EQ(text.size(), big.size());
    EXPECT_EQ(text, big);
}

TEST(NormalizeLines, HandedOverBytesGiveTheSameText) {
    for (const std::string& bytes : {""s, "a\r\n"s, "a\r\nb"s, "a\rb\r\n"s, "a\n"s, "\r"s, "\r\n\r"s,
                                    "x\r\ny\r\n"s, "\r\n"s, "a\r\n\n"s}) {
        std::string copy = bytes;
        EXPECT_EQ(quorvel::TakeNormalizedLines(std::move(copy)), NormalizeLines(bytes)) << bytes;
    }
}
