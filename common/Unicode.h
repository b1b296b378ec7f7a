#pragma once
// UTF-16 <-> UTF-8, the program's own: paths and the program's texts are
// kept as UTF-8 and handed to the Unicode forms of Windows calls as UTF-16,
// never through the system's code pages. A lone surrogate (a name Windows
// allows) is kept as its own three bytes both ways (the form known as
// WTF-8), so every name round-trips. Portable.
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// The character at `i` of UTF-8 text, moving `i` past it; nothing, with `i`
// where it was, for bytes that start no well-formed sequence: a cut-off or
// overlong one, a surrogate, a value beyond U+10FFFF.
std::optional<char32_t> NextUtf8(std::string_view utf8, std::size_t& i);

// Bytes that start no character become U+FFFD.
std::u16string Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::u16string_view utf16);

// The number of characters (code points) of UTF-8 text.
std::size_t Utf8Length(std::string_view utf8);

#ifdef _WIN32
// The same for the wchar_t strings of Windows' calls (UTF-16 there).
inline std::wstring Wide(std::string_view utf8) {
    const std::u16string u = Utf16FromUtf8(utf8);
    return std::wstring(u.begin(), u.end());
}
inline std::string Utf8(std::wstring_view wide) {
    return Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}
#endif

} // namespace quorvel
