#pragma once
#include <string>
#include <string_view>

namespace quorvel {

// The text box form of a file's lines: a line ends at CR or at CR LF, a lone
// LF stays inside its line, and every line, the last one included, is
// followed by CR LF. An empty file gives an empty text. Linear in the size.
// For the bytes of a one-byte file and for the characters of a decoded one.
std::string NormalizeLines(std::string_view fileBytes);
std::u16string NormalizeLines(std::u16string_view fileText);

// The same for text the caller gives up: text that already has that form
// (every CR followed by LF, ending in CR LF) comes back without a copy.
std::string TakeNormalizedLines(std::string&& fileBytes);
std::u16string TakeNormalizedLines(std::u16string&& fileText);

} // namespace quorvel
