// The settings cipher on real files. What holds for any file content (byte
// by byte keying, round trips) is checked by the SettingsDecoding fuzz target.
#include "settings/clsBinaryEncryptor.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;
using quorvel::clsBinaryEncryptor;

namespace {

const std::u16string kPassword = u"\u00A9KWZ";

class CipherTest : public ::testing::Test {
protected:
    CipherTest() { fs::create_directories(dir_); }
    ~CipherTest() override { fs::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    static void Write(const std::string& path, const std::string& data) {
        std::ofstream(path, std::ios::binary) << data;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    const fs::path dir_ = fs::temp_directory_path() / ("qv-cipher-" + std::to_string(::getpid()));
    clsBinaryEncryptor cipher_;
};

} // namespace

TEST_F(CipherTest, SettingsHeaderScramblesToItsWorkedOutBytes) {
    // Worked by hand: the key bytes are 'K' ^ 0x11 = 5A, 'W' ^ 0x11 = 46,
    // 'Z' ^ 0x11 = 4B, 0xA9 ^ 0x11 = B8, again from the fifth byte on, each
    // added to a byte modulo 256: '[' 5B + 5A = B5, 'I' 49 + 46 = 8F,
    // 'N' 4E + 4B = 99, 'I' 49 + B8 = 101 -> 01, 'T' 54 + 5A = AE, ']' 5D + 46 = A3.
    Write(Path("plain"), "[INIT]");
    Write(Path("config.bin"), std::string(100, '\xEE')); // a longer file is cut
    ASSERT_TRUE(cipher_.EncryptFile(Path("plain"), Path("config.bin"), kPassword));
    EXPECT_EQ(Read(Path("config.bin")), "\xB5\x8F\x99\x01\xAE\xA3");
    ASSERT_TRUE(cipher_.DecryptFile(Path("config.bin"), Path("config.bin"), kPassword));
    EXPECT_EQ(Read(Path("config.bin")), "[INIT]");
}

TEST_F(CipherTest, OnlyTheLowByteOfEachPasswordCharacterCounts) {
    const struct {
        std::u16string password;
        bool unscrambles;
    } rows[] = {
        {u"\u01A9\u224B\u0157Z", true}, {u"\u00A9KWY", false}, {u"\u00A9", false},
        {u"KWZ\u00A9", false}, // the same characters in another order
    };
    for (const auto& row : rows) {
        Write(Path("config.bin"), "[INIT]\r\nFGCOLOR=255\r\n");
        ASSERT_TRUE(cipher_.EncryptFile(Path("config.bin"), Path("config.bin"), kPassword));
        ASSERT_TRUE(cipher_.DecryptFile(Path("config.bin"), Path("config.bin"), row.password));
        EXPECT_EQ(Read(Path("config.bin")) == "[INIT]\r\nFGCOLOR=255\r\n", row.unscrambles)
            << &row - rows;
    }
}

// A missing or empty file is the SettingsDecoding fuzz target's concern.
TEST_F(CipherTest, ABadPasswordOrDestinationFailsAndChangesNothing) {
    const std::string data = Path("data"), out = Path("out");
    Write(data, "12345");
    fs::create_directories(dir_ / "folder"); // a destination no file can take
    EXPECT_FALSE(cipher_.EncryptFile(data, out, u""));
    EXPECT_FALSE(cipher_.EncryptFile(data, out, std::u16string(32768, u'k')));
    EXPECT_FALSE(cipher_.EncryptFile(data, Path("folder"), kPassword));
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(Read(data), "12345");
    EXPECT_TRUE(cipher_.EncryptFile(data, out, std::u16string(32767, u'k'))); // the longest
}
