#include "text/TextLines.h"

#include <utility>

namespace quorvel {

std::string NormalizeLines(std::string_view bytes) {
    std::string out;
    // Every CR may grow by one LF, and the last line may gain CR LF.
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    std::size_t lineStart = 0;
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (bytes[i] != '\r')
            continue;
        out.append(bytes.substr(lineStart, i - lineStart));
        out.append("\r\n");
        if (i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        lineStart = i + 1;
    }
    if (lineStart < n) {
        out.append(bytes.substr(lineStart));
        out.append("\r\n");
    }
    return out;
}

std::string TakeNormalizedLines(std::string&& bytes) {
    const std::size_t n = bytes.size();
    bool normal = n == 0 || (n >= 2 && bytes[n - 2] == '\r' && bytes[n - 1] == '\n');
    for (std::size_t i = bytes.find('\r'); normal && i != std::string::npos; i = bytes.find('\r', i + 1))
        normal = i + 1 < n && bytes[i + 1] == '\n';
    if (normal)
        return std::move(bytes);
    return NormalizeLines(std::string_view(bytes));
}

} // namespace quorvel
