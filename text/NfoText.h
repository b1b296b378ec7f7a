#pragma once
// An NFO file's bytes and the text box's characters, both ways, with the
// program's own tables: never through the system's code pages. Portable.
//
// A file that starts with a UTF-8 or UTF-16 byte-order mark, or has none but
// is well-formed UTF-8 with at least one character beyond ASCII, is read in
// that encoding; any other file is code page 437, each byte one character:
// 0x20-0x7E as ASCII, 0x80-0xFF as their CP437 letters, lines and blocks,
// 0x01-0x1F and 0x7F as the CP437 pictures (☺ ... ▼, ⌂), TAB, CR and LF as
// themselves. A UTF-16 mark counts only in a file of even length. A 0x1A at
// the very end, the DOS end-of-file mark, shows as →
// like any other: the file saves back unchanged. CP437 art (runs of
// 0xB0-0xDF) is never well-formed UTF-8.
#include "common/Cp437.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

enum class NfoEncoding { Cp437, Utf8, Utf8WithMark, Utf16Le, Utf16Be };

// The byte of a character in code page 437; nothing for characters it has
// not. The control characters 0x01-0x1F and 0x7F are taken as well as
// their pictures.
std::optional<unsigned char> Cp437Byte(char16_t c);

NfoEncoding DetectEncoding(std::string_view bytes);
// "code page 437", "UTF-8" or "UTF-16", as the user is told.
const char* EncodingName(NfoEncoding encoding);

struct NfoText {
    std::u16string text; // the text box's form: lines as TextLines makes them
    NfoEncoding encoding = NfoEncoding::Cp437;
    // NUL characters, which a text box cannot hold, shown as blanks: the
    // text no longer matches the file.
    bool nulShownAsBlank = false;
};

// The text of a file's bytes, in the encoding they are detected to have.
NfoText DecodeNfo(std::string_view bytes);

// The bytes of the text box's text in the file's encoding (with its mark),
// or, when a character has no place in it, where that is.
struct EncodedNfo {
    std::string bytes;
    std::optional<std::size_t> unencodable; // the offending character's index
};
EncodedNfo EncodeNfo(std::u16string_view text, NfoEncoding encoding);

// How a character is named to the user: itself and its code point
// ("€ (U+20AC)"), as UTF-8 text; `text` at `index` (a surrogate pair
// counts once).
std::string DescribeCharacter(std::u16string_view text, std::size_t index);
// The 1-based line of the character at `index`, lines ending in CR LF as
// the box has them.
std::size_t LineOf(std::u16string_view text, std::size_t index);

} // namespace quorvel
