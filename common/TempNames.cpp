#include "common/TempNames.h"

namespace quorvel {

namespace {

constexpr char kDigits[] = "0123456789abcdef";
constexpr std::string_view kSuffix = ".tmp";

void AppendHex(std::string& out, std::uint32_t value) {
    for (int shift = 28; shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xF];
}

// Eight lower-case hex digits, exactly.
std::optional<std::uint32_t> ParseHex(std::string_view digits) {
    if (digits.size() != 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
        const std::string_view all(kDigits, 16);
        const auto digit = all.find(c);
        if (digit == std::string_view::npos)
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

} // namespace

std::string OwnTempName(std::string_view prefix, std::uint32_t processId, std::uint32_t sequence) {
    std::string name(prefix);
    name += '.';
    AppendHex(name, processId);
    name += '.';
    AppendHex(name, sequence);
    name += kSuffix;
    return name;
}

std::optional<std::uint32_t> OwnTempNameProcess(std::string_view name, std::string_view prefix) {
    // prefix "." 8 digits "." 8 digits ".tmp", checked in full.
    if (name.size() != prefix.size() + 1 + 8 + 1 + 8 + kSuffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(kSuffix))
        return std::nullopt;
    const std::string_view numbers = name.substr(prefix.size(), 18);
    if (numbers[0] != '.' || numbers[9] != '.' || !ParseHex(numbers.substr(10, 8)))
        return std::nullopt;
    return ParseHex(numbers.substr(1, 8));
}

} // namespace quorvel
