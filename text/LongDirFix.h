#pragma once
#include <cstdint>
#include <string>

namespace quorvel {

// Shortens a path (UTF-8) for the window caption: at most `Max` characters
// (not bytes) are shown unchanged; a longer path keeps its first three
// characters, "...", and the tail from the first backslash found in its last
// `Max` - 6 positions.
std::string LongDirFix(const std::string& TargetString, std::int16_t Max);

} // namespace quorvel
