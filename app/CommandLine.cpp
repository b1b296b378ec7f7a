#include "app/CommandLine.h"

namespace quorvel {

std::string ArgumentString(std::string_view commandLine) {
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    if (n > 0 && commandLine[0] == '"') {
        // The quoted program name ends at the next quote, or with the line.
        i = commandLine.find('"', 1);
        i = i == std::string_view::npos ? n : i + 1;
    } else {
        while (i < n && commandLine[i] != ' ' && commandLine[i] != '\t')
            ++i;
    }
    while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t'))
        ++i;
    return std::string(commandLine.substr(i));
}

} // namespace quorvel
