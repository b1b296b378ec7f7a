#pragma once
// The texts of the About box that are built from other texts: the title
// line, the copyright line, the mail link, and the text the registry reader
// makes of the tool locations it finds. Free of Windows so they can be
// checked on any machine.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

// The file description, " v", the major version, "." and the revision (the
// fourth part of the version): "Quorvel v3.172" for 3.0.0.172.
std::string AboutTitleLine(std::string_view fileDescription, std::uint16_t major,
                           std::uint16_t revision);

// The copyright text as shown: every backslash-n pair becomes a line break
// (CR LF), then every "(c)" the copyright sign (U+00A9, in UTF-8). Both
// replacements are exact and case-sensitive.
std::string AboutCopyrightText(std::string_view legalCopyright);

// The mail link's target: "mailto:", the address, "?subject=" and the
// question about the title line, passed on without escaping.
std::string AboutMailTarget(std::string_view address, std::string_view titleLine);

// What a registry read keeps of the `size` bytes it got in `buffer`: all of
// them, or one less when the last one is the string's NUL.
std::string KeptRegistryText(std::string_view buffer, std::size_t size);

// The text made of REG_DWORD data: the digits are appended to what the
// value text held before, and "&h" is put in front of it all. The digits are
// the hexadecimal code of each kept byte without leading zeros, from the
// last byte to the first.
std::string DwordRegistryText(std::string_view before, std::string_view kept);

} // namespace quorvel
