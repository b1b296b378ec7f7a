#pragma once
#include <string>
#include <string_view>

namespace quorvel {

// Blanks (0x20) only, as the settings and registry texts use them.
std::string TrimBlanks(std::string_view text);
std::string TrimTrailingBlanks(std::string_view text);

// ASCII-only case folding: file names and registry paths here are ASCII.
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

// Replaces every occurrence of `from` (non-empty) by `to`, left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

} // namespace quorvel
