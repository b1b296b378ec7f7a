#pragma once
#include <string>

namespace quorvel {

// Puts the finished file `temp` in the place of `target` in one step. A
// read-only target or a folder is never replaced. False on failure, with
// both files left as they were.
bool MoveIntoPlace(const std::string& temp, const std::string& target);

} // namespace quorvel
