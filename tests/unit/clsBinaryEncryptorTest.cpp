// The settings cipher on real files. What holds for any file content (byte
// by byte keying, round trips) is checked by the SettingsDecoding fuzz target.
#include "settings/clsBinaryEncryptor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;
using quorvel::clsBinaryEncryptor;

namespace {

const std::u16string kPassword = u"\u00A9KWZ";

void Write(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class CipherTest : public ::testing::Test {
protected:
    CipherTest() { fs::create_directories(dir_); }
    ~CipherTest() override { fs::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }

    const fs::path dir_ = fs::temp_directory_path() /
        ("quorvel-cipher-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    clsBinaryEncryptor cipher_;
};

} // namespace

TEST_F(CipherTest, SettingsHeaderScramblesToItsWorkedOutBytes) {
    // Worked by hand: the key bytes are 'K' ^ 0x11 = 5A, 'W' ^ 0x11 = 46,
    // 'Z' ^ 0x11 = 4B, 0xA9 ^ 0x11 = B8, again from the fifth byte on, each
    // added to a byte modulo 256: '[' 5B + 5A = B5, 'I' 49 + 46 = 8F,
    // 'N' 4E + 4B = 99, 'I' 49 + B8 = 101 -> 01, 'T' 54 + 5A = AE, ']' 5D + 46 = A3.
    const std::string f = Path("config.bin");
    Write(f, "[INIT]");
    ASSERT_TRUE(cipher_.EncryptFile(f, f, kPassword));
    EXPECT_EQ(Read(f), "\xB5\x8F\x99\x01\xAE\xA3");
    ASSERT_TRUE(cipher_.DecryptFile(f, f, kPassword));
    EXPECT_EQ(Read(f), "[INIT]");
}

TEST_F(CipherTest, OnlyTheLowByteOfEachPasswordCharacterCounts) {
    const struct {
        std::u16string password;
        bool unscrambles;
    } rows[] = {
        {kPassword, true},
        {u"\u01A9\u224B\u0157Z", true}, // same low bytes
        {u"\u00A9KWY", false},
        {u"KWZ\u00A9", false}, // same characters, other order
        {u"\u00A9", false},
    };
    const std::string f = Path("config.bin");
    for (const auto& row : rows) {
        Write(f, "[INIT]\r\nFGCOLOR=255\r\n");
        ASSERT_TRUE(cipher_.EncryptFile(f, f, kPassword));
        ASSERT_TRUE(cipher_.DecryptFile(f, f, row.password));
        EXPECT_EQ(Read(f) == "[INIT]\r\nFGCOLOR=255\r\n", row.unscrambles) << &row - rows;
    }
}

TEST_F(CipherTest, FailuresCreateOrChangeNothing) {
    const std::string missing = Path("missing.bin");
    const std::string empty = Path("empty.bin");
    const std::string data = Path("data.bin");
    const std::string out = Path("out.bin");
    Write(empty, "");
    Write(data, "12345");
    fs::create_directories(dir_ / "folder.bin"); // a destination no file can take
    EXPECT_FALSE(cipher_.EncryptFile(missing, missing, kPassword));
    EXPECT_FALSE(cipher_.DecryptFile(missing, out, kPassword));
    EXPECT_FALSE(cipher_.EncryptFile(empty, empty, kPassword));
    EXPECT_FALSE(cipher_.DecryptFile(empty, out, kPassword));
    EXPECT_FALSE(cipher_.EncryptFile(data, out, u""));
    EXPECT_FALSE(cipher_.EncryptFile(data, out, std::u16string(32768, u'k')));
    EXPECT_FALSE(cipher_.EncryptFile(data, Path("folder.bin"), kPassword));
    EXPECT_FALSE(fs::exists(missing) || fs::exists(out));
    EXPECT_EQ(Read(empty), "");
    EXPECT_EQ(Read(data), "12345");
    // The longest password the cipher takes.
    EXPECT_TRUE(cipher_.EncryptFile(data, out, std::u16string(32767, u'k')));
}

TEST_F(CipherTest, ALongerDestinationIsCutToTheSource) {
    const std::string src = Path("src.bin");
    const std::string dst = Path("dst.bin");
    Write(src, std::string(37, ' '));
    Write(dst, std::string(100, '\xEE'));
    ASSERT_TRUE(cipher_.EncryptFile(src, dst, kPassword));
    ASSERT_TRUE(cipher_.DecryptFile(dst, dst, kPassword));
    EXPECT_EQ(Read(dst), std::string(37, ' '));
    EXPECT_EQ(Read(src), std::string(37, ' '));
}
