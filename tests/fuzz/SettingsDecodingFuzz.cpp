// config.bin as it may be found on disk: any bytes, unscrambled in place as a
// read of a setting does, and scrambled again as a write does.
#include "settings/clsBinaryEncryptor.h"
#include "tests/fuzz/FuzzSupport.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The settings password "©KWZ" and its key bytes for file offsets 0, 1, 2,
// 3, 4, ..., worked out by hand: 'K', 'W', 'Z', 0xA9 each XOR 0x11, repeated,
// each added to a byte modulo 256 ("[INIT]" scrambles to B5 8F 99 01 AE A3).
const std::u16string kSettingsPassword = u"\u00A9KWZ";
constexpr std::uint8_t kKeyByOffset[4] = {0x5A, 0x46, 0x4B, 0xB8};

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string settings = (std::filesystem::temp_directory_path() /
                                         ("quorvel-fuzz-" + std::to_string(::getpid()))).string();
    const std::string disk(reinterpret_cast<const char*>(data), size);
    quorvel::clsBinaryEncryptor cipher;

    // No settings file yet (the first start): nothing is made.
    FUZZ_CHECK(!cipher.DecryptFile(settings, settings, kSettingsPassword));
    FUZZ_CHECK(!std::filesystem::exists(settings));

    // A 0-byte file behaves like a missing one and stays 0 bytes; any other
    // unscrambles byte by byte, a cut-off file included.
    FUZZ_CHECK((std::ofstream(settings, std::ios::binary) << disk).good());
    FUZZ_CHECK(cipher.DecryptFile(settings, settings, kSettingsPassword) == !disk.empty());
    const std::string plain = Read(settings);
    FUZZ_CHECK(plain.size() == disk.size());
    for (std::size_t p = 0; p < disk.size(); ++p)
        FUZZ_CHECK(static_cast<char>(plain[p] + kKeyByOffset[p % 4]) == disk[p]);

    // Scrambling again after the read gives back the very bytes found.
    FUZZ_CHECK(cipher.EncryptFile(settings, settings, kSettingsPassword) == !disk.empty());
    FUZZ_CHECK(Read(settings) == disk);
    std::filesystem::remove(settings);
    return 0;
}
