#include "text/TextLines.h"

#include <utility>

namespace quorvel {

namespace {

template <typename Char>
std::basic_string<Char> Normalize(std::basic_string_view<Char> text) {
    std::basic_string<Char> out;
    // Every CR may grow by one LF, and the last line may gain CR LF.
    out.reserve(text.size() + text.size() / 16 + 2);
    std::size_t lineStart = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] != Char('\r'))
            continue;
        out.append(text.substr(lineStart, i - lineStart));
        out += Char('\r');
        out += Char('\n');
        if (i + 1 < n && text[i + 1] == Char('\n'))
            ++i;
        lineStart = i + 1;
    }
    if (lineStart < n) {
        out.append(text.substr(lineStart));
        out += Char('\r');
        out += Char('\n');
    }
    return out;
}

template <typename Char>
std::basic_string<Char> TakeNormalized(std::basic_string<Char>&& text) {
    const std::size_t n = text.size();
    bool normal = n == 0 || (n >= 2 && text[n - 2] == Char('\r') && text[n - 1] == Char('\n'));
    for (std::size_t i = text.find(Char('\r')); normal && i != std::basic_string<Char>::npos;
         i = text.find(Char('\r'), i + 1))
        normal = i + 1 < n && text[i + 1] == Char('\n');
    if (normal)
        return std::move(text);
    return Normalize(std::basic_string_view<Char>(text));
}

} // namespace

std::string NormalizeLines(std::string_view fileBytes) {
    return Normalize(fileBytes);
}
std::u16string NormalizeLines(std::u16string_view fileText) {
    return Normalize(fileText);
}
std::string TakeNormalizedLines(std::string&& fileBytes) {
    return TakeNormalized(std::move(fileBytes));
}
std::u16string TakeNormalizedLines(std::u16string&& fileText) {
    return TakeNormalized(std::move(fileText));
}

} // namespace quorvel
