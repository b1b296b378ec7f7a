#pragma once
// What the About box shows of the program's version information.
#include <windows.h>

#include <cstdint>
#include <string>

namespace quorvel {

struct OwnVersion {
    std::string description;     // the file description
    std::uint16_t major = 0;     // the first part of the file version
    std::uint16_t revision = 0;  // the fourth part
    std::string copyright;       // the legal copyright text
};

// Read from the version resource of `instance`'s file; empty parts when it
// has none.
OwnVersion ReadOwnVersion(HINSTANCE instance);

} // namespace quorvel
