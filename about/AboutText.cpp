#include "about/AboutText.h"

#include "common/StringUtil.h"

namespace quorvel {

std::string AboutTitleLine(std::string_view fileDescription, std::uint16_t major,
                           std::uint16_t revision) {
    std::string line(fileDescription);
    line += " v";
    line += std::to_string(major);
    line += ".";
    line += std::to_string(revision);
    return line;
}

std::string AboutCopyrightText(std::string_view legalCopyright) {
    // The version resource cannot hold a line break, so the text carries the
    // two characters backslash and n where the line is to break.
    const std::string broken = ReplaceAll(legalCopyright, "\\n", "\r\n");
    return ReplaceAll(broken, "(c)", "\xC2\xA9");
}

std::string AboutMailTarget(std::string_view address, std::string_view titleLine) {
    std::string target = "mailto:";
    target += address;
    target += "?subject=";
    target += "I have question on ";
    target += titleLine;
    return target;
}

std::string KeptRegistryText(std::string_view buffer, std::size_t size) {
    if (size > buffer.size())
        size = buffer.size();
    if (size == 0)
        return {};
    if (buffer[size - 1] == '\0')
        --size;
    return std::string(buffer.substr(0, size));
}

std::string DwordRegistryText(std::string_view before, std::string_view kept) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "&h";
    text += before;
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        const unsigned code = static_cast<unsigned char>(*it);
        if (code >= 16)
            text += kDigits[code >> 4];
        text += kDigits[code & 0xF];
    }
    return text;
}

} // namespace quorvel
