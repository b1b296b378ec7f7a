#include "text/NfoText.h"

#include "common/Unicode.h"
#include "text/TextLines.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

namespace quorvel {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::uint16_t kNoByte = 0xFFFF;

// Every UTF-16 unit's CP437 byte, for saving large texts at the speed of a
// copy; built once.
const std::array<std::uint16_t, 0x10000>& ByteTable() {
    static const auto table = [] {
        auto t = std::make_unique<std::array<std::uint16_t, 0x10000>>();
        t->fill(kNoByte);
        for (int b = 0; b < 256; ++b)
            (*t)[Cp437Character(static_cast<unsigned char>(b))] = static_cast<std::uint16_t>(b);
        // A control character typed or pasted is the byte it stands for.
        for (int b = 1; b < 0x20; ++b)
            (*t)[static_cast<std::size_t>(b)] = static_cast<std::uint16_t>(b);
        (*t)[0x7F] = 0x7F;
        return t;
    }();
    return *table;
}

bool IsWellFormedUtf8(std::string_view bytes, bool& beyondAscii) {
    beyondAscii = false;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        if (!NextUtf8(bytes, i))
            return false;
        beyondAscii = true;
    }
    return true;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
        const auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
        text[i] = static_cast<char16_t>(hi << 8 | lo);
    }
    return text;
}

} // namespace

std::optional<unsigned char> Cp437Byte(char16_t c) {
    const std::uint16_t b = ByteTable()[c];
    return b == kNoByte ? std::nullopt : std::optional<unsigned char>(static_cast<unsigned char>(b));
}

NfoEncoding DetectEncoding(std::string_view bytes) {
    bool beyondAscii = false;
    // A mark counts only where the rest is that encoding, so that any file
    // read comes back as it was.
    if (StartsWith(bytes, kUtf8Mark))
        return IsWellFormedUtf8(bytes.substr(3), beyondAscii) ? NfoEncoding::Utf8WithMark
                                                              : NfoEncoding::Cp437;
    if ((StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) && bytes.size() % 2 == 0)
        return bytes[0] == '\xFF' ? NfoEncoding::Utf16Le : NfoEncoding::Utf16Be;
    return IsWellFormedUtf8(bytes, beyondAscii) && beyondAscii ? NfoEncoding::Utf8
                                                               : NfoEncoding::Cp437;
}

const char* EncodingName(NfoEncoding encoding) {
    switch (encoding) {
    case NfoEncoding::Cp437:
        return "code page 437";
    case NfoEncoding::Utf8:
    case NfoEncoding::Utf8WithMark:
        return "UTF-8";
    case NfoEncoding::Utf16Le:
    case NfoEncoding::Utf16Be:
        break;
    }
    return "UTF-16";
}

NfoText DecodeNfo(std::string_view bytes) {
    NfoText out;
    out.encoding = DetectEncoding(bytes);
    std::u16string text;
    switch (out.encoding) {
    case NfoEncoding::Cp437:
        text.resize(bytes.size());
        std::transform(bytes.begin(), bytes.end(), text.begin(),
                       [](char b) { return Cp437Character(static_cast<unsigned char>(b)); });
        break;
    case NfoEncoding::Utf8:
        text = Utf16FromUtf8(bytes);
        break;
    case NfoEncoding::Utf8WithMark:
        text = Utf16FromUtf8(bytes.substr(kUtf8Mark.size()));
        break;
    case NfoEncoding::Utf16Le:
    case NfoEncoding::Utf16Be:
        text = DecodeUtf16(bytes.substr(2), out.encoding == NfoEncoding::Utf16Be);
        break;
    }
    out.text = TakeNormalizedLines(std::move(text));
    // A text box ends its text at the first NUL; show the rest of the file
    // rather than silently dropping it.
    for (char16_t& c : out.text) {
        if (c == u'\0') {
            c = u' ';
            out.nulShownAsBlank = true;
        }
    }
    return out;
}

EncodedNfo EncodeNfo(std::u16string_view text, NfoEncoding encoding) {
    EncodedNfo out;
    switch (encoding) {
    case NfoEncoding::Cp437: {
        const auto& table = ByteTable();
        out.bytes.resize(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::uint16_t b = table[text[i]];
            if (b == kNoByte || text[i] == u'\0') {
                out.unencodable = i;
                out.bytes.clear();
                return out;
            }
            out.bytes[i] = static_cast<char>(b);
        }
        return out;
    }
    case NfoEncoding::Utf8:
    case NfoEncoding::Utf8WithMark:
        // A lone surrogate (only pasted text has one) has no UTF-8 form.
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char16_t c = text[i];
            const bool high = c >= 0xD800 && c < 0xDC00, low = c >= 0xDC00 && c < 0xE000;
            if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
                ++i;
            } else if (high || low) {
                out.unencodable = i;
                return out;
            }
        }
        out.bytes = encoding == NfoEncoding::Utf8WithMark ? std::string(kUtf8Mark) : std::string();
        out.bytes += Utf8FromUtf16(text);
        return out;
    case NfoEncoding::Utf16Le:
    case NfoEncoding::Utf16Be: {
        const bool bigEndian = encoding == NfoEncoding::Utf16Be;
        out.bytes.resize(2 + 2 * text.size());
        out.bytes[0] = bigEndian ? '\xFE' : '\xFF';
        out.bytes[1] = bigEndian ? '\xFF' : '\xFE';
        for (std::size_t i = 0; i < text.size(); ++i) {
            out.bytes[2 + 2 * i + (bigEndian ? 0 : 1)] = static_cast<char>(text[i] >> 8);
            out.bytes[2 + 2 * i + (bigEndian ? 1 : 0)] = static_cast<char>(text[i] & 0xFF);
        }
        return out;
    }
    }
    return out;
}

std::string DescribeCharacter(std::u16string_view text, std::size_t index) {
    std::size_t length = 1;
    char32_t code = text[index];
    if (code >= 0xD800 && code < 0xDC00 && index + 1 < text.size() && text[index + 1] >= 0xDC00 &&
        text[index + 1] < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (text[index + 1] - 0xDC00u);
        length = 2;
    }
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(code));
    // A character with no picture of its own (a control or a lone surrogate)
    // is named by its number alone.
    const bool drawable = code >= 0x20 && (code < 0xD800 || code >= 0xE000) && code != 0x7F;
    return drawable ? "\"" + Utf8FromUtf16(text.substr(index, length)) + "\" (" + number + ")"
                    : std::string(number);
}

std::size_t LineOf(std::u16string_view text, std::size_t index) {
    // In the box every line ends in CR LF: a CR is a line's end.
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(index), u'\r'));
}

} // namespace quorvel
