#include "app/TextLines.h"

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

} // namespace quorvel
