#pragma once
// The names of the program's own working copies beside a file: the prefix,
// then the process id and a sequence number, each as eight lower-case hex
// digits, between dots, and ".tmp" ("~qv.000004d2.0000002a.tmp"). A shape
// no person types, so that copies a crash or a kill left behind can be
// removed without ever touching a file of the user's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

std::string OwnTempName(std::string_view prefix, std::uint32_t processId, std::uint32_t sequence);

// The process id in a name of exactly that shape with this prefix; nothing
// for any other name.
std::optional<std::uint32_t> OwnTempNameProcess(std::string_view name, std::string_view prefix);

} // namespace quorvel
