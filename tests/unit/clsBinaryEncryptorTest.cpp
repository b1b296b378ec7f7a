// The settings cipher on real files. What holds for any file content (byte
// by byte keying, round trips) is checked by the SettingsDecoding fuzz target.
#include "settings/clsBinaryEncryptor.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using quorvel::clsBinaryEncryptor;

namespace {

const std::u16string kPassword = u"\u00A9KWZ";
const fs::path kDir = fs::temp_directory_path() / ("qv-cipher-" + std::to_string(::getpid()));
const std::string kFile = (kDir / "config.bin").string();

void Write(const std::string& data) {
    fs::create_directories(kDir);
    std::ofstream(kFile, std::ios::binary) << data;
}
std::string Read() {
    std::ifstream in(kFile, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(Cipher, SettingsHeaderScramblesToItsWorkedOutBytes) {
    // Worked by hand: the key bytes are 'K' ^ 0x11 = 5A, 'W' ^ 0x11 = 46,
    // 'Z' ^ 0x11 = 4B, 0xA9 ^ 0x11 = B8, again from the fifth byte on, each
    // added to a byte modulo 256: '[' 5B + 5A = B5, 'I' 49 + 46 = 8F,
    // 'N' 4E + 4B = 99, 'I' 49 + B8 = 101 -> 01, 'T' 54 + 5A = AE, ']' 5D + 46 = A3.
    Write("[INIT]");
    const std::string longer = (kDir / "longer").string(); // a longer file is cut
    std::ofstream(longer, std::ios::binary) << std::string(100, '\xEE');
    clsBinaryEncryptor cipher;
    ASSERT_TRUE(cipher.EncryptFile(kFile, longer, kPassword));
    fs::rename(longer, kFile);
    EXPECT_EQ(Read(), "\xB5\x8F\x99\x01\xAE\xA3");
    fs::remove_all(kDir);
}
