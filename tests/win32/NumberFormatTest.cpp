#include "common/NumberFormat.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(NumberFormat, IntegersRoundHalvesToEven) {
    EXPECT_EQ(ParseInt16("127.5"), std::optional<std::int16_t>(128));
    EXPECT_EQ(ParseInt16("126.5"), std::optional<std::int16_t>(126));
    EXPECT_EQ(ParseInt16("76.5"), std::optional<std::int16_t>(76));
    EXPECT_EQ(ParseInt16("-0.5"), std::optional<std::int16_t>(0));
    EXPECT_EQ(ParseInt32("2.5"), std::optional<std::int32_t>(2));
    EXPECT_EQ(ParseInt32("3.5"), std::optional<std::int32_t>(4));
    EXPECT_EQ(RoundToInt32(1.5), std::optional<std::int32_t>(2));
    EXPECT_EQ(RoundToInt32(0.5), std::optional<std::int32_t>(0));
    EXPECT_EQ(RoundToInt16(54.5), std::optional<std::int16_t>(54));
}

TEST(NumberFormat, SurroundingBlanksAreAllowed) {
    EXPECT_EQ(ParseInt32("  255 "), std::optional<std::int32_t>(255));
    EXPECT_EQ(ParseDouble(" 1.25"), std::optional<double>(1.25));
}

TEST(NumberFormat, TextThatIsNoNumberOrDoesNotFitFails) {
    EXPECT_FALSE(ParseDouble(""));
    EXPECT_FALSE(ParseDouble("abc"));
    EXPECT_FALSE(ParseDouble("C:\\Program Files\\Quorvel\\config.bin"));
    EXPECT_FALSE(ParseInt16("32768"));
    EXPECT_TRUE(ParseInt16("32767"));
    EXPECT_FALSE(ParseInt16("1e308"));
    EXPECT_TRUE(ParseDouble("1e308"));
    EXPECT_FALSE(ParseInt32("2147483648"));
    EXPECT_EQ(ParseInt32("-2147483648"), std::optional<std::int32_t>(-2147483647 - 1));
    EXPECT_FALSE(RoundToInt32(1e300));
}

TEST(NumberFormat, DoublesAsTextWithFifteenDigits) {
    EXPECT_EQ(FormatDouble(255), "255");
    EXPECT_EQ(FormatDouble(127.5), "127.5");
    EXPECT_EQ(FormatDouble(30 * 2.55), "76.5");
    EXPECT_EQ(FormatDouble(70 * 2.55), "178.5");
    EXPECT_EQ(FormatDouble(-3), "-3");
}

TEST(NumberFormat, AnsiTextRoundTripsThroughUtf16) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(AnsiFromWide(WideFromAnsi(all)), all);
    EXPECT_EQ(WideFromAnsi("\xA9KWZ"), std::wstring(L"\u00A9KWZ"));
}
