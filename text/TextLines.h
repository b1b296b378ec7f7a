#pragma once
#include <string>
#include <string_view>

namespace quorvel {

// The text box form of a file's bytes: a line ends at CR or at CR LF, a lone
// LF stays inside its line, and every line, the last one included, is
// followed by CR LF. An empty file gives an empty text. Linear in the size.
std::string NormalizeLines(std::string_view fileBytes);

// The same for bytes the caller gives up: a file that already has that form
// (every CR followed by LF, ending in CR LF) comes back without a copy.
std::string TakeNormalizedLines(std::string&& fileBytes);

} // namespace quorvel
