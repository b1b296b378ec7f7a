#include "text/LongDirFix.h"

namespace quorvel {

std::string LongDirFix(const std::string& TargetString, std::int16_t Max) {
    // Positions below are 1-based, as the caption rule counts them.
    const long long len = static_cast<long long>(TargetString.size());
    if (len <= Max)
        return TargetString;
    const long long m = static_cast<long long>(Max) - 6;
    long long found = len + 1;
    for (long long pos = len - m; pos <= len; ++pos) {
        if (pos >= 1 && TargetString[static_cast<std::size_t>(pos - 1)] == '\\') {
            found = pos;
            break;
        }
    }
    std::string result = TargetString.substr(0, 3);
    result += "...";
    if (found <= len)
        result += TargetString.substr(static_cast<std::size_t>(found - 1));
    return result;
}

} // namespace quorvel
