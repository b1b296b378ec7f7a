#include "common/Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

using namespace quorvel;

namespace {

const char kScratch[] = "Software\\Brenmoor\\QuorvelTest\\Scratch";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brenmoor\\QuorvelTest"); }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brenmoor\\QuorvelTest"); }

    static void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
    }
};

} // namespace

TEST_F(RegistryTest, MissingKeyOrValueGivesTheDefault) {
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "MainLeft", std::string("0")),
              RegValue(std::string("0")));
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "MainWidth", 8355), RegValue(8355));
    ASSERT_EQ(WriteRegDword(HKEY_CURRENT_USER, kScratch, "Other", 5), 0);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "MainHeight", 6855), RegValue(6855));
}

TEST_F(RegistryTest, TextValueIsReadAsText) {
    SetRaw("MainWidth", REG_SZ, "9000", 5);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "MainWidth", 8355),
              RegValue(std::string("9000")));
    // Blanks inside and at the end of the value survive; only the padding
    // behind the terminating NUL goes.
    SetRaw("Spaced", REG_SZ, "a b  ", 6);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "Spaced"), RegValue(std::string("a b  ")));
    // Stored without its NUL, and empty.
    SetRaw("NoNul", REG_SZ, "12", 2);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "NoNul"), RegValue(std::string("12")));
    SetRaw("Empty", REG_SZ, "", 0);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "Empty", 7), RegValue(std::string()));
}

TEST_F(RegistryTest, OtherTypesGiveTheDefault) {
    const unsigned char bytes[] = {1, 2, 3, 4};
    SetRaw("MainLeft", REG_BINARY, bytes, sizeof bytes);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "MainLeft", std::string("0")),
              RegValue(std::string("0")));
    SetRaw("Multi", REG_MULTI_SZ, "a\0b\0", 5);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "Multi", 1), RegValue(1));
    const unsigned long long q = 5;
    SetRaw("Qword", REG_QWORD, &q, sizeof q);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "Qword", 2), RegValue(2));
    // A DWORD value that is not four bytes long is no number.
    SetRaw("Short", REG_DWORD, bytes, 2);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "Short", 3), RegValue(3));
}

TEST_F(RegistryTest, NegativeEdgesSurviveAWriteAndARead) {
    for (const std::int32_t v : {-1200, -1, 0, 2147483647, -2147483647 - 1}) {
        ASSERT_EQ(WriteRegDword(HKEY_CURRENT_USER, kScratch, "MainLeft", v), 0);
        EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kScratch, "MainLeft", std::string("0")),
                  RegValue(v));
    }
}

TEST_F(RegistryTest, WriteCreatesTheWholeKeyPath) {
    const std::string deep = std::string(kScratch) + "\\Deeper\\Main";
    HKEY probe = nullptr;
    ASSERT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brenmoor\\QuorvelTest", 0, KEY_READ,
                              &probe),
              ERROR_SUCCESS);
    EXPECT_EQ(WriteRegDword(HKEY_CURRENT_USER, deep, "MainTop", 300), 0);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, deep, "MainTop", 0), RegValue(300));
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(::RegGetValueA(HKEY_CURRENT_USER, deep.c_str(), "MainTop", RRF_RT_ANY, &type, nullptr,
                             &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
}

TEST_F(RegistryTest, WriteFailureIsReturnedAsItsCode) {
    // A sub-key under a value-less root that cannot hold keys.
    EXPECT_NE(WriteRegDword(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000099)), "x", "y", 1), 0);
}

TEST(CutAtNull, StopsAtTheFirstNul) {
    using namespace std::string_literals;
    EXPECT_EQ(CutAtNull("abc"), "abc");
    EXPECT_EQ(CutAtNull("ab\0cd"s), "ab");
    EXPECT_EQ(CutAtNull("\0x"s), "");
    EXPECT_EQ(CutAtNull(""), "");
}
