// NFO bytes and the text box's characters, both ways: the CP437 table, which
// encoding a file is read in, and the same bytes back on saving. The
// NfoText fuzz target checks any bytes.
#include "text/NfoText.h"

#include <gtest/gtest.h>

#include <set>

using namespace quorvel;
using namespace std::string_literals;

TEST(NfoText, Cp437MapsEveryByteToACharacterOfItsOwnAndBack) {
    std::set<char16_t> seen;
    for (int b = 0; b < 256; ++b) {
        const char16_t c = Cp437Character(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(c).second) << "byte " << b << " shares its character";
        EXPECT_EQ(Cp437Byte(c), b) << "byte " << b;
    }
    const std::pair<unsigned char, char16_t> known[] = {
        {0x01, u'☺'}, {0x09, u'\t'}, {0x0A, u'\n'}, {0x0D, u'\r'}, {0x1A, u'→'}, {0x1F, u'▼'},
        {0x41, u'A'}, {0x7F, u'⌂'},  {0x81, u'ü'},  {0xAD, u'¡'},  {0xB0, u'░'}, {0xC9, u'╔'},
        {0xCD, u'═'}, {0xDB, u'█'},  {0xE0, u'α'},  {0xFA, u'·'},  {0xFF, u'\u00A0'}};
    for (const auto& [b, c] : known)
        EXPECT_EQ(Cp437Character(b), c) << int(b);
    EXPECT_EQ(Cp437Byte(u'\x01'), 0x01) << "a pasted control character is its byte";
    EXPECT_EQ(Cp437Byte(u'€'), std::nullopt);
}

TEST(NfoText, EncodingIsReadFromTheMarkOrWellFormedUtf8) {
    const struct { std::string bytes; NfoEncoding encoding; } rows[] = {
        {"", NfoEncoding::Cp437},
        {"plain ASCII\r\n", NfoEncoding::Cp437},
        {"\xDB\xDB\xB2\xB1\xB0 \xC9\xCD\xBB f\x81r", NfoEncoding::Cp437}, // art, a German word
        {"\xC9\xCD\xBB", NfoEncoding::Cp437},
        {"f\xC3\xBCr \xE2\x95\x94\xE2\x95\x90\xE2\x95\x97", NfoEncoding::Utf8},
        {"\xF0\x9F\x98\x80", NfoEncoding::Utf8},
        {"ok \xE2\x95", NfoEncoding::Cp437}, // cut off (other malformed UTF-8: UnicodeTest)
        {"\xEF\xBB\xBFplain", NfoEncoding::Utf8WithMark},
        {"\xEF\xBB\xBF\xC9\xCD", NfoEncoding::Cp437}, // a mark, then no UTF-8
        {"\xFF\xFE" "a\0"s, NfoEncoding::Utf16Le},
        {"\xFE\xFF\0a"s, NfoEncoding::Utf16Be},
        {"\xFF\xFE" "a", NfoEncoding::Cp437},          // an odd length
    };
    for (const auto& row : rows)
        EXPECT_EQ(DetectEncoding(row.bytes), row.encoding) << testing::PrintToString(row.bytes);
}

TEST(NfoText, EveryByteAndEachEncodingSavesBackToItsBytes) {
    std::string everyByte; // but NUL, CR and LF, whose rules change the text
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            everyByte += static_cast<char>(b);
    everyByte += "\r\n";
    const std::u16string art = u"f\u00FCr \u2554\u2550\u2557 \u2588\u2591\r\n";
    const struct {
        std::string bytes;
        NfoEncoding encoding;
        std::u16string text; // empty: not checked
    } files[] = {
        {everyByte, NfoEncoding::Cp437, {}},
        {"f\x81r \xC9\xCD\xBB \xDB\xB0\r\n", NfoEncoding::Cp437, art},
        {"f\xC3\xBCr \xE2\x95\x94\xE2\x95\x90\xE2\x95\x97 \xE2\x96\x88\xE2\x96\x91\r\n",
         NfoEncoding::Utf8, art},
        {"\xEF\xBB\xBF" "a\xE2\x95\x90\r\n", NfoEncoding::Utf8WithMark, u"a\u2550\r\n"},
        {"\xFF\xFE" "a\0P%\r\0\n\0"s, NfoEncoding::Utf16Le, u"a\u2550\r\n"},
        {"\xFE\xFF\0a%P\0\r\0\n"s, NfoEncoding::Utf16Be, u"a\u2550\r\n"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(testing::PrintToString(file.bytes));
        const NfoText read = DecodeNfo(file.bytes);
        EXPECT_EQ(read.encoding, file.encoding);
        EXPECT_FALSE(read.nulShownAsBlank);
        if (!file.text.empty()) {
            EXPECT_TRUE(read.text == file.text);
        }
        const EncodedNfo saved = EncodeNfo(read.text, read.encoding);
        EXPECT_EQ(saved.unencodable, std::nullopt);
        EXPECT_EQ(saved.bytes, file.bytes);
    }
    // The line rule and the NUL rule hold in every encoding.
    const NfoText lines = DecodeNfo("\xFF\xFE" "a\0\r\0b\0\n\0\0\0"s);
    EXPECT_TRUE(lines.text == u"a\r\nb\n \r\n");
    EXPECT_TRUE(lines.nulShownAsBlank);
}

TEST(NfoText, ACharacterTheFileCannotHoldIsNamedWithItsLine) {
    const std::u16string typed = u"\u2554\u2550\r\nprice 5\u20AC\r\n";
    const EncodedNfo cp437 = EncodeNfo(typed, NfoEncoding::Cp437);
    ASSERT_EQ(cp437.unencodable, 11u);
    EXPECT_EQ(DescribeCharacter(typed, 11), "\"\xE2\x82\xAC\" (U+20AC)");
    EXPECT_EQ(LineOf(typed, 11), 2u);
    EXPECT_EQ(EncodeNfo(u"x\0"s, NfoEncoding::Cp437).unencodable, 1u);
    EXPECT_EQ(EncodeNfo(typed, NfoEncoding::Utf8).unencodable, std::nullopt);
    const std::u16string lone = u"ab\xD800";
    EXPECT_EQ(EncodeNfo(lone, NfoEncoding::Utf8).unencodable, 2u);
    EXPECT_EQ(DescribeCharacter(lone, 2), "U+D800");
    EXPECT_EQ(EncodeNfo(lone, NfoEncoding::Utf16Le).unencodable, std::nullopt);
    EXPECT_EQ(DescribeCharacter(u"\U0001F600", 0), "\"\xF0\x9F\x98\x80\" (U+1F600)");
}
