// config.bin as it may be found on disk: any bytes, unscrambled in place
// with the settings password as a read of a setting does, and scrambled
// again as a write does.
#include "settings/clsBinaryEncryptor.h"
#include "tests/fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The settings password "©KWZ". The program keeps it in a header of its
// Windows side; the native tier stays free of that header.
const std::u16string kSettingsPassword = u"\u00A9KWZ";

// Its key bytes for file offsets 0, 1, 2, 3, 4, ...: 'K', 'W', 'Z' and '©'
// (0xA9) each XOR 0x11, over and over.
constexpr std::uint8_t kKeyByOffset[4] = {0x5A, 0x46, 0x4B, 0xB8};

// A file of this process's own, removed when it ends.
struct ScratchFile {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("quorvel-fuzz-" + std::to_string(::getpid()) + ".bin"))
                           .string();
    ~ScratchFile() { std::filesystem::remove(path); }
};

void Write(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    FUZZ_CHECK(out.good());
}

Bytes Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    FUZZ_CHECK(in.good());
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch;
    const std::string& settings = scratch.path;
    const Bytes disk(data, data + size);
    quorvel::clsBinaryEncryptor cipher;

    // No settings file yet (the first start): nothing is made.
    std::filesystem::remove(settings);
    FUZZ_CHECK(!cipher.DecryptFile(settings, settings, kSettingsPassword));
    FUZZ_CHECK(!std::filesystem::exists(settings));

    // A 0-byte file behaves like a missing one and stays 0 bytes; any other
    // unscrambles byte by byte, a cut-off file included.
    Write(settings, disk);
    FUZZ_CHECK(cipher.DecryptFile(settings, settings, kSettingsPassword) == !disk.empty());
    const Bytes plain = Read(settings);
    FUZZ_CHECK(plain.size() == disk.size());
    for (std::size_t p = 0; p < disk.size(); ++p)
        FUZZ_CHECK(static_cast<std::uint8_t>(plain[p] + kKeyByOffset[p % 4]) == disk[p]);

    // Scrambling again after the read gives back the very bytes found.
    FUZZ_CHECK(cipher.EncryptFile(settings, settings, kSettingsPassword) == !disk.empty());
    FUZZ_CHECK(Read(settings) == disk);
    return 0;
}
