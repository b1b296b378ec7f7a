#pragma once
// The file the program is asked to open: the whole argument string of its
// command line. Portable, so the rule is checked on any machine.
#include <string>
#include <string_view>

namespace quorvel {

// Everything after the program's own name (quoted or not), with the blanks
// and tabs that separate it removed; quotes and inner blanks stay.
std::string ArgumentString(std::string_view commandLine);

} // namespace quorvel
