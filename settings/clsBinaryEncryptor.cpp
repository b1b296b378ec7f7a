#include "settings/clsBinaryEncryptor.h"

#include "common/Unicode.h"

#include <cstdio>
#include <limits>
#include <memory>
#include <stdexcept>

namespace quorvel {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Names are UTF-8; Windows' C library would take a narrow name in the ANSI
// code page, so there the name goes as UTF-16.
UniqueFile OpenFile(const std::string& name, bool write) {
#ifdef _WIN32
    return UniqueFile(::_wfopen(Wide(name).c_str(), write ? L"wb" : L"rb"));
#else
    return UniqueFile(std::fopen(name.c_str(), write ? "wb" : "rb"));
#endif
}

constexpr std::int32_t kProgressStep = 500;

} // namespace

std::uint8_t clsBinaryEncryptor::KeyByte(const std::u16string& Password, std::int64_t i) {
    const auto length = static_cast<std::int64_t>(Password.size());
    const auto j = static_cast<std::size_t>(i % length);
    return static_cast<std::uint8_t>((Password[j] & 0xFF) ^ 0x11);
}

clsBinaryEncryptor::ByteArray clsBinaryEncryptor::ReadBinaryArray(const std::string& FileName) {
    UniqueFile file = OpenFile(FileName, false);
    if (!file)
        throw std::runtime_error("cannot open file for reading");
    ByteArray data;
    std::uint8_t chunk[1 << 14];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        data.insert(data.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            if (std::ferror(file.get()))
                throw std::runtime_error("cannot read file");
            break;
        }
        if (data.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            throw std::runtime_error("file too large");
    }
    // A 1-based array of no elements cannot exist.
    if (data.empty())
        throw std::runtime_error("empty file");
    return data;
}

void clsBinaryEncryptor::SaveBinaryArray(const std::string& FileName, const ByteArray& WriteData) {
    UniqueFile file = OpenFile(FileName, true);
    if (!file)
        throw std::runtime_error("cannot open file for writing");
    if (!WriteData.empty() &&
        std::fwrite(WriteData.data(), 1, WriteData.size(), file.get()) != WriteData.size())
        throw std::runtime_error("cannot write file");
    if (std::fflush(file.get()) != 0)
        throw std::runtime_error("cannot write file");
    if (std::fclose(file.release()) != 0)
        throw std::runtime_error("cannot close file");
}

bool clsBinaryEncryptor::Transform(const std::string& Source, const std::string& Destination,
                                   const std::u16string& Password, bool encrypt) {
    try {
        const ByteArray input = ReadBinaryArray(Source);
        // The length is a signed 16-bit number: an empty password would
        // divide by zero and a longer one overflow.
        if (Password.empty() || Password.size() > 32767)
            return false;
        ByteArray output(input.size());
        const auto& progress = encrypt ? EncryptProgress : DecryptProgress;
        const auto n = static_cast<std::int64_t>(input.size());
        for (std::int64_t i = 1; i <= n; ++i) {
            const std::uint8_t k = KeyByte(Password, i);
            const std::uint8_t a = input[static_cast<std::size_t>(i - 1)];
            output[static_cast<std::size_t>(i - 1)] =
                static_cast<std::uint8_t>(encrypt ? a + k : a - k);
            if (i % kProgressStep == 0) {
                if (DoEvents)
                    DoEvents();
                if (progress)
                    progress(static_cast<std::int32_t>(i), static_cast<std::int32_t>(n));
            }
        }
        SaveBinaryArray(Destination, output);
        return true;
    } catch (...) {
        return false;
    }
}

bool clsBinaryEncryptor::EncryptFile(const std::string& Source, const std::string& Destination,
                                     const std::u16string& Password) {
    return Transform(Source, Destination, Password, true);
}

bool clsBinaryEncryptor::DecryptFile(const std::string& Source, const std::string& Destination,
                                     const std::u16string& Password) {
    return Transform(Source, Destination, Password, false);
}

} // namespace quorvel
