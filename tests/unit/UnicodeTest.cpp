// UTF-8 <-> UTF-16 as names and texts cross to Windows' calls: every UTF-16
// string round-trips, lone surrogates included; malformed UTF-8 is refused
// by the strict reader.
#include "common/Unicode.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(Unicode, NamesRoundTripAndMalformedBytesAreNoCharacter) {
    const std::u16string names[] = {u"", u"C:\\a.nfo", u"Z:\\Ω\\Мой файл.nfo", u"\u00E9\u4E2D",
                                    u"\U0001F600.nfo", u"lone \xD800 and \xDC00 surrogates",
                                    std::u16string(1, u'\xDBFF')};
    for (const auto& name : names)
        EXPECT_TRUE(Utf16FromUtf8(Utf8FromUtf16(name)) == name);
    EXPECT_EQ(Utf8FromUtf16(u"Ω\U0001F600"), "\xCE\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8Length("\xCE\xA9\xF0\x9F\x98\x80" "a"), 3u);

    const struct { const char* bytes; bool character; } rows[] = {
        {"\x7F", true},          {"\xC3\xA9", true},     {"\xE2\x95\x94", true},
        {"\xF4\x8F\xBF\xBF", true}, {"\xC0\xAF", false}, // overlong '/'
        {"\xE0\x80\xAF", false}, {"\xF0\x80\x80\xAF", false},
        {"\xED\xA0\x80", false}, // a surrogate
        {"\xF4\x90\x80\x80", false}, {"\x80", false},     {"\xC3", false}, // cut off
        {"\xE2\x95", false},     {"\xC3\x28", false},    {"\xFE", false},
    };
    for (const auto& row : rows) {
        std::size_t i = 0;
        const std::string_view bytes(row.bytes);
        const auto c = NextUtf8(bytes, i);
        EXPECT_EQ(c.has_value(), row.character) << testing::PrintToString(row.bytes);
        EXPECT_EQ(i, row.character ? bytes.size() : 0u);
    }
    EXPECT_TRUE(Utf16FromUtf8("a\xC0\xAF" "b") == u"a\uFFFD\uFFFDb");
}
