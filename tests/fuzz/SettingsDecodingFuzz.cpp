// config.bin as it may be found on disk: any bytes, unscrambled in place
// with the settings password as a read or write of a setting does, then the
// key values taken out of the plain text as the settings reader trims them.
// The profile parsing itself is Windows' own; what is portable is the
// cipher step and the trimming of a value.
#include "common/StringUtil.h"
#include "settings/clsBinaryEncryptor.h"
#include "tests/fuzz/FuzzSupport.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using quorvel::clsBinaryEncryptor;
using quorvel::fuzz::Bytes;
using quorvel::fuzz::Exists;
using quorvel::fuzz::ReadFile;
using quorvel::fuzz::Remove;
using quorvel::fuzz::ScratchFolder;
using quorvel::fuzz::WriteFile;

// The settings password "©KWZ". The program keeps it in a header of its
// Windows side; the native tier stays free of that header.
const std::u16string kSettingsPassword = u"\u00A9KWZ";

// Its key bytes for file offsets 0, 1, 2, 3, 4, ...: 'K', 'W', 'Z' and '©'
// (0xA9) each XOR 0x11, over and over.
constexpr std::array<std::uint8_t, 4> kKeyByOffset = {0x5A, 0x46, 0x4B, 0xB8};

// A value as the settings reader keeps it: blanks (and only blanks) around
// it removed, checked against the value it came from.
void CheckTrimmedValue(std::string_view value) {
    const std::string kept = quorvel::TrimBlanks(value);
    std::size_t first = 0;
    while (first < value.size() && value[first] == ' ')
        ++first;
    std::size_t end = value.size();
    while (end > first && value[end - 1] == ' ')
        --end;
    FUZZ_CHECK(kept == value.substr(first, end - first));
    if (!kept.empty())
        FUZZ_CHECK(kept.front() != ' ' && kept.back() != ' ');
    FUZZ_CHECK(quorvel::TrimBlanks(kept) == kept);
}

// Every "key=value" line of the plain text, lines ended by CR LF, CR or LF.
void CheckValuesOf(const Bytes& plain) {
    const std::string_view text(reinterpret_cast<const char*>(plain.data()), plain.size());
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (const auto equals = line.find('='); equals != std::string_view::npos)
            CheckTrimmedValue(line.substr(equals + 1));
        start = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    const std::string settings = folder.File("config.bin");
    const Bytes disk(data, data + size);
    clsBinaryEncryptor cipher;

    // No settings file yet (the first start): nothing is made.
    Remove(settings);
    FUZZ_CHECK(!cipher.DecryptFile(settings, settings, kSettingsPassword));
    FUZZ_CHECK(!Exists(settings));

    WriteFile(settings, disk);
    const bool unscrambled = cipher.DecryptFile(settings, settings, kSettingsPassword);
    if (disk.empty()) {
        // A 0-byte file behaves like a missing one and stays 0 bytes.
        FUZZ_CHECK(!unscrambled);
        FUZZ_CHECK(ReadFile(settings).empty());
        FUZZ_CHECK(!cipher.EncryptFile(settings, settings, kSettingsPassword));
        FUZZ_CHECK(ReadFile(settings).empty());
        return 0;
    }
    FUZZ_CHECK(unscrambled);

    const Bytes plain = ReadFile(settings);
    FUZZ_CHECK(plain.size() == disk.size());
    for (std::size_t p = 0; p < disk.size(); ++p) {
        const std::uint8_t key = kKeyByOffset[p % kKeyByOffset.size()];
        FUZZ_CHECK(static_cast<std::uint8_t>(plain[p] + key) == disk[p]);
        // No key byte is 0, so a plain file written by hand never reads as
        // itself: every byte changes.
        FUZZ_CHECK(plain[p] != disk[p]);
    }
    CheckValuesOf(plain);

    // Scrambling again after the read gives back the very bytes found.
    FUZZ_CHECK(cipher.EncryptFile(settings, settings, kSettingsPassword));
    FUZZ_CHECK(ReadFile(settings) == disk);

    // The same bytes as the plain text a profile write left: scrambled in
    // place, then read back unchanged.
    CheckValuesOf(disk);
    FUZZ_CHECK(cipher.EncryptFile(settings, settings, kSettingsPassword));
    const Bytes stored = ReadFile(settings);
    FUZZ_CHECK(stored.size() == disk.size());
    for (std::size_t p = 0; p < disk.size(); ++p)
        FUZZ_CHECK(stored[p] ==
                   static_cast<std::uint8_t>(disk[p] + kKeyByOffset[p % kKeyByOffset.size()]));
    FUZZ_CHECK(cipher.DecryptFile(settings, settings, kSettingsPassword));
    FUZZ_CHECK(ReadFile(settings) == disk);
    return 0;
}
