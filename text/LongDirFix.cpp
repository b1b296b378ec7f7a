#include "text/LongDirFix.h"

#include <vector>

namespace quorvel {

std::string LongDirFix(const std::string& TargetString, std::int16_t Max) {
    // Positions below are 1-based characters, as the caption rule counts
    // them; the path is UTF-8, where a character may take several bytes.
    std::vector<std::size_t> starts; // the byte where each character starts
    for (std::size_t i = 0; i < TargetString.size(); ++i)
        if ((static_cast<unsigned char>(TargetString[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    const long long len = static_cast<long long>(starts.size());
    if (len <= Max)
        return TargetString;
    const auto byteOf = [&](long long pos) { // of 1-based position `pos`, or the end
        return pos <= len ? starts[static_cast<std::size_t>(pos - 1)] : TargetString.size();
    };
    const long long m = static_cast<long long>(Max) - 6;
    long long found = len + 1;
    for (long long pos = len - m; pos <= len; ++pos) {
        if (pos >= 1 && TargetString[byteOf(pos)] == '\\') {
            found = pos;
            break;
        }
    }
    std::string result = TargetString.substr(0, byteOf(4));
    result += "...";
    if (found <= len)
        result += TargetString.substr(byteOf(found));
    return result;
}

} // namespace quorvel
