// Single values of the real registry, as the window placement keeps them;
// their writing is tested with the placement itself.
#include "common/Registry.h"
#include "common/Unicode.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(RegistryTest, TextAndFourByteNumbersAreReadAnythingElseGivesTheDefault) {
    const wchar_t kTest[] = L"Software\\Brenmoor\\QuorvelTest";
    const std::string kKey = "Software\\Brenmoor\\QuorvelTest\\Deeper\\Main";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTest);
    const struct { DWORD type; std::string bytes; RegValue read; } rows[] = {
        // Text rows give the value's text, stored as UTF-16.
        {REG_SZ, std::string("a b  \0", 6), std::string("a b  ")}, // blanks in it survive
        {REG_SZ, "12", std::string("12")},                          // stored without its NUL
        {REG_SZ, "\xCE\xA9 \xD0\x96", std::string("\xCE\xA9 \xD0\x96")}, // beyond code page 1252
        {REG_DWORD, std::string("\x38\xFB\xFF\xFF", 4), -1224},
        {REG_DWORD, "\x05\x00", 7}, // no number of four bytes
        {REG_BINARY, "\x01\x02\x03\x04", 7},
    };
    for (const auto& row : rows) {
        const std::wstring text = Wide(row.bytes);
        const std::string bytes = row.type != REG_SZ ? row.bytes
                                  : std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
        ASSERT_FALSE(::RegSetKeyValueW(HKEY_CURRENT_USER, Wide(kKey).c_str(), L"MainLeft", row.type,
                                       bytes.data(), DWORD(bytes.size())));
        EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "MainLeft", 7), row.read) << row.type;
    }
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "None", 7), RegValue(7));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTest);
}
