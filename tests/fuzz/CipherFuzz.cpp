// The file cipher with hostile bytes and passwords, on real files: every
// scrambled byte follows the key rule, unscrambling restores the file
// exactly, only the low byte of a password character counts, and a call
// that cannot work changes no file.
#include "settings/clsBinaryEncryptor.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using quorvel::clsBinaryEncryptor;
using quorvel::fuzz::Bytes;
using quorvel::fuzz::Exists;
using quorvel::fuzz::ReadFile;
using quorvel::fuzz::Remove;
using quorvel::fuzz::ScratchFolder;
using quorvel::fuzz::WriteFile;

// The key byte of 1-based position i, written out the long way: the
// password character after the (i mod L)-th, low byte, XOR 17.
std::uint8_t ExpectedKey(const std::u16string& password, std::size_t i) {
    const char16_t c = password[i % password.size()];
    return static_cast<std::uint8_t>((static_cast<unsigned>(c) % 256u) ^ 17u);
}

// What the listeners of one call saw: the message processing (0) and each
// progress event, as its position.
struct Events {
    std::vector<std::int64_t> seen;
    std::int32_t maxSeen = -1;
};

void Listen(clsBinaryEncryptor& cipher, Events& events) {
    cipher.DoEvents = [&events] { events.seen.push_back(0); };
    const auto progress = [&events](std::int32_t progressAt, std::int32_t progressMax) {
        events.seen.push_back(progressAt);
        events.maxSeen = progressMax;
    };
    cipher.EncryptProgress = progress;
    cipher.DecryptProgress = progress;
}

// After every 500th byte: first the message processing, then the event.
void CheckEvents(const Events& events, std::size_t n) {
    const std::size_t steps = n / 500;
    FUZZ_CHECK(events.seen.size() == 2 * steps);
    for (std::size_t s = 0; s < steps; ++s) {
        FUZZ_CHECK(events.seen[2 * s] == 0);
        FUZZ_CHECK(events.seen[2 * s + 1] == static_cast<std::int64_t>(500 * (s + 1)));
    }
    if (steps > 0)
        FUZZ_CHECK(events.maxSeen == static_cast<std::int32_t>(n));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    const std::string source = folder.File("source.bin");
    const std::string scrambled = folder.File("scrambled.bin");
    const std::string restored = folder.File("restored.bin");
    const std::string other = folder.File("other.bin");

    // Input: one choice byte (bits 0-2 the password length, bit 3 in place,
    // bit 4 a longer destination already there, bits 5-7 the high byte for
    // the low-byte rule), the password as 16-bit little-endian units, then
    // the file.
    quorvel::fuzz::InputReader input(data, size);
    const std::uint8_t choice = input.Byte();
    const std::size_t passwordLength = choice & 7u;
    const bool inPlace = (choice & 8u) != 0;
    const bool longerDestination = (choice & 16u) != 0;
    std::u16string password;
    for (std::size_t i = 0; i < passwordLength; ++i)
        password.push_back(static_cast<char16_t>(input.Word()));
    const std::string_view rest = input.Rest();
    const Bytes plain(rest.begin(), rest.end());

    for (const auto& f : {source, scrambled, restored, other})
        Remove(f);
    WriteFile(source, plain);
    const std::string& destination = inPlace ? source : scrambled;
    // A destination that is already there and longer than the result.
    Bytes oldDestination;
    if (!inPlace && longerDestination) {
        oldDestination.assign(plain.size() + 7, 0x5A);
        WriteFile(destination, oldDestination);
    }

    clsBinaryEncryptor cipher;
    Events events;
    Listen(cipher, events);
    const bool ok = cipher.EncryptFile(source, destination, password);

    if (plain.empty() || password.empty()) {
        // Nothing to scramble, or no key: the call fails and writes nothing.
        FUZZ_CHECK(!ok);
        FUZZ_CHECK(ReadFile(source) == plain);
        if (!inPlace && longerDestination)
            FUZZ_CHECK(ReadFile(destination) == oldDestination);
        else if (!inPlace)
            FUZZ_CHECK(!Exists(destination));
        FUZZ_CHECK(events.seen.empty());
        FUZZ_CHECK(!cipher.DecryptFile(source, restored, password));
        FUZZ_CHECK(!Exists(restored));
        return 0;
    }

    FUZZ_CHECK(ok);
    CheckEvents(events, plain.size());
    const Bytes out = ReadFile(destination);
    FUZZ_CHECK(out.size() == plain.size()); // same length, no header
    for (std::size_t p = 0; p < plain.size(); ++p) {
        const std::uint8_t key = ExpectedKey(password, p + 1);
        FUZZ_CHECK(clsBinaryEncryptor::KeyByte(password, static_cast<std::int64_t>(p + 1)) == key);
        FUZZ_CHECK(out[p] == static_cast<std::uint8_t>(plain[p] + key));
    }
    if (!inPlace)
        FUZZ_CHECK(ReadFile(source) == plain); // the source is only read

    // Unscrambling with the same password gives the file back exactly.
    events = {};
    FUZZ_CHECK(cipher.DecryptFile(destination, restored, password));
    CheckEvents(events, plain.size());
    FUZZ_CHECK(ReadFile(restored) == plain);

    // Only the low byte of each password character counts.
    const auto high = static_cast<std::uint8_t>((choice & 0xE0u) | 1u);
    std::u16string widened = password;
    for (char16_t& c : widened)
        c = static_cast<char16_t>(c ^ (high << 8));
    WriteFile(other, plain);
    FUZZ_CHECK(cipher.EncryptFile(other, other, widened));
    FUZZ_CHECK(ReadFile(other) == out);

    // The other way round: any bytes unscramble, and scramble back to
    // themselves, in place as the settings file is treated.
    WriteFile(other, plain);
    FUZZ_CHECK(cipher.DecryptFile(other, other, password));
    const Bytes unscrambled = ReadFile(other);
    FUZZ_CHECK(unscrambled.size() == plain.size());
    for (std::size_t p = 0; p < plain.size(); ++p)
        FUZZ_CHECK(static_cast<std::uint8_t>(unscrambled[p] + ExpectedKey(password, p + 1)) ==
                   plain[p]);
    FUZZ_CHECK(cipher.EncryptFile(other, other, password));
    FUZZ_CHECK(ReadFile(other) == plain);

    // The key rule holds far beyond any file length too.
    const std::int64_t far = (std::int64_t{1} << 40) + static_cast<std::int64_t>(plain.size());
    FUZZ_CHECK(clsBinaryEncryptor::KeyByte(password, far) ==
               ExpectedKey(password, static_cast<std::size_t>(far % static_cast<std::int64_t>(password.size()))));
    return 0;
}
