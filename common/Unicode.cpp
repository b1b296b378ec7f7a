#include "common/Unicode.h"

namespace quorvel {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

unsigned char Byte(std::string_view s, std::size_t k) {
    return static_cast<unsigned char>(s[k]);
}

// A lone surrogate's own three bytes (ED A0..BF 80..BF), as names keep it.
bool IsSurrogateForm(std::string_view s, std::size_t i) {
    return i + 2 < s.size() && Byte(s, i) == 0xED && Byte(s, i + 1) >= 0xA0 &&
           Byte(s, i + 1) <= 0xBF && (Byte(s, i + 2) & 0xC0) == 0x80;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::optional<char32_t> NextUtf8(std::string_view s, std::size_t& i) {
    const unsigned char lead = Byte(s, i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    const std::size_t extra = lead >= 0xF0 && lead <= 0xF4   ? 3
                              : lead >= 0xE0 && lead <= 0xEF ? 2
                              : lead >= 0xC2 && lead <= 0xDF ? 1
                                                             : 0;
    if (extra == 0 || i + extra >= s.size())
        return std::nullopt;
    char32_t c = lead & (0x7Fu >> (extra + 1));
    for (std::size_t k = 1; k <= extra; ++k) {
        if ((Byte(s, i + k) & 0xC0) != 0x80)
            return std::nullopt;
        c = c << 6 | (Byte(s, i + k) & 0x3Fu);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF name no character.
    const char32_t least = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        return std::nullopt;
    i += extra + 1;
    return c;
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = kReplacement;
        if (const auto next = NextUtf8(utf8, i)) {
            c = *next;
        } else if (IsSurrogateForm(utf8, i)) {
            c = (char32_t(Byte(utf8, i) & 0x0F) << 12) | (char32_t(Byte(utf8, i + 1) & 0x3F) << 6) |
                (Byte(utf8, i + 2) & 0x3Fu);
            i += 3;
        } else {
            ++i;
        }
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t u = utf16[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] < 0xE000) {
            AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, u); // a lone surrogate keeps its own three bytes
        }
    }
    return out;
}

std::size_t Utf8Length(std::string_view utf8) {
    // Every byte but a continuation byte starts a character.
    std::size_t n = 0;
    for (const char c : utf8)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

} // namespace quorvel
