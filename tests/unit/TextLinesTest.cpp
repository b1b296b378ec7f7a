// Each line end the reader knows; the NfoText fuzz target checks any bytes.
#include "text/TextLines.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

TEST(NormalizeLines, EachLineEndGivesCrLf) {
    const struct { std::string file, text; } rows[] = {
        {"", ""},
        {"a\r\nb\r\n", "a\r\nb\r\n"},           // kept as it is
        {"a\r\nb", "a\r\nb\r\n"},               // the last line gains CR LF
        {"a\rb\r", "a\r\nb\r\n"},               // a lone CR ends a line
        {"a\r\r\nb", "a\r\n\r\nb\r\n"},         // an empty line between
        {"a\nb\n", "a\nb\n\r\n"},               // a lone LF stays in its line
        {"a\n\rb", "a\n\r\nb\r\n"},             // LF CR is no line end pair
        {"x\0\xDB\r\n"s, "x\0\xDB\r\n"s},       // any other byte survives
    };
    for (const auto& row : rows) {
        EXPECT_EQ(quorvel::NormalizeLines(row.file), row.text) << row.file;
        EXPECT_EQ(quorvel::TakeNormalizedLines(std::string(row.file)), row.text) << row.file;
    }
}
