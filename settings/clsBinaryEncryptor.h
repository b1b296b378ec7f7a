#pragma once
// Scrambles or unscrambles a whole file with a password, byte by byte. The
// settings file is kept scrambled with it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#ifdef _WIN32
// Windows' headers name their own file-encryption calls EncryptFile and
// DecryptFile through macros; this class's members carry the same names.
#include <windows.h>
#undef EncryptFile
#undef DecryptFile
#endif

namespace quorvel {

class clsBinaryEncryptor {
public:
    using ByteArray = std::vector<std::uint8_t>;
    // Raised after every 500th byte with the 1-based index of the byte just
    // done and the file's length.
    using ProgressEvent = std::function<void(std::int32_t Progress, std::int32_t ProgressMax)>;

    // Writes every byte of `WriteData` from the file's first byte on,
    // creating the file when missing and cutting it to the data's length.
    // Throws std::runtime_error on failure.
    void SaveBinaryArray(const std::string& FileName, const ByteArray& WriteData);
    // The whole file. Throws std::runtime_error when it cannot be read, or is
    // empty: there is nothing to scramble then.
    ByteArray ReadBinaryArray(const std::string& FileName);

    // True on success. On failure nothing was written, except when the
    // destination itself failed part-way.
    bool EncryptFile(const std::string& Source, const std::string& Destination,
                     const std::u16string& Password);
    bool DecryptFile(const std::string& Source, const std::string& Destination,
                     const std::u16string& Password);

    ProgressEvent EncryptProgress;
    ProgressEvent DecryptProgress;
    // Lets the user interface process its pending messages; called just
    // before each progress event.
    std::function<void()> DoEvents;

    // The key byte for 1-based position `i`: the low 8 bits of the password
    // character at index (i mod length) + 1, XOR 0x11.
    static std::uint8_t KeyByte(const std::u16string& Password, std::int64_t i);

private:
    bool Transform(const std::string& Source, const std::string& Destination,
                   const std::u16string& Password, bool encrypt);
};

} // namespace quorvel
