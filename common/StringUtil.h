#pragma once
#include <string>
#include <string_view>

namespace quorvel {

// Blanks (0x20) only, as the settings and registry texts use them.
std::string TrimBlanks(std::string_view text);
std::string TrimTrailingBlanks(std::string_view text);

// ASCII-only case folding: the bytes of other characters (UTF-8) stay as
// they are.
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

// Parts of a Windows path: the folder with its final backslash (empty when
// the path names none), the name after it, and a name without the part from
// its last dot on.
std::string FolderOf(std::string_view path);
std::string FileNameOf(std::string_view path);
std::string WithoutExtension(std::string_view name);

// Replaces every occurrence of `from` (non-empty) by `to`, left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

} // namespace quorvel
