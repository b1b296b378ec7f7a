// Single values of the real registry, as the window placement keeps them;
// their writing is tested with the placement itself.
#include "common/Registry.h"

#include <gtest/gtest.h>

#include <string>

using namespace quorvel;

namespace {

const char kTest[] = "Software\\Brenmoor\\QuorvelTest";
const std::string kKey = std::string(kTest) + "\\Deeper\\Main";

class RegistryTest : public ::testing::Test {
protected:
    RegistryTest() { ::RegDeleteTreeA(HKEY_CURRENT_USER, kTest); }
    ~RegistryTest() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kTest); }
};

} // namespace

TEST_F(RegistryTest, TextAndFourByteNumbersAreReadAnythingElseGivesTheDefault) {
    const struct {
        DWORD type;
        std::string bytes;
        RegValue read;
    } rows[] = {
        {REG_SZ, std::string("a b  \0", 6), std::string("a b  ")}, // blanks in it survive
        {REG_SZ, "12", std::string("12")},                          // stored without its NUL
        {REG_DWORD, std::string("\x38\xFB\xFF\xFF", 4), -1224},
        {REG_DWORD, "\x05\x00", 7}, // no number of four bytes
        {REG_BINARY, "\x01\x02\x03\x04", 7},
    };
    for (const auto& row : rows) {
        ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, kKey.c_str(), "MainLeft", row.type,
                                    row.bytes.data(), static_cast<DWORD>(row.bytes.size())),
                  ERROR_SUCCESS);
        EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "MainLeft", 7), row.read) << row.type;
    }
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kKey, "None", 7), RegValue(7));
}
