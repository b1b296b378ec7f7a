// The caption's path shortening for every width and any path: the result is
// the path itself when it fits, otherwise its head, "..." and a real tail
// that starts at the first backslash of the kept region.
#include "text/LongDirFix.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Input: Max as a 16-bit little-endian number, then the path.
    quorvel::fuzz::InputReader input(data, size);
    const auto max = static_cast<std::int16_t>(input.Word());
    const std::string path(input.Rest());
    const std::string original = path;

    const std::string shown = quorvel::LongDirFix(path, max);
    FUZZ_CHECK(path == original); // the argument is not changed

    const long long len = static_cast<long long>(path.size());
    if (len <= max) {
        FUZZ_CHECK(shown == path);
        return 0;
    }

    const std::size_t head = std::min<std::size_t>(path.size(), 3);
    FUZZ_CHECK(shown.size() >= head + 3);
    FUZZ_CHECK(shown.compare(0, head, path, 0, head) == 0);
    FUZZ_CHECK(shown.compare(head, 3, "...") == 0);
    const std::string tail = shown.substr(head + 3);

    // The tail is the end of the path and starts with a backslash.
    FUZZ_CHECK(tail.size() <= path.size());
    FUZZ_CHECK(path.compare(path.size() - tail.size(), tail.size(), tail) == 0);
    if (!tail.empty())
        FUZZ_CHECK(tail.front() == '\\');

    // The backslash is the first one in the last Max - 5 characters; with
    // none there, nothing of the end is kept.
    const long long region = static_cast<long long>(max) - 5;
    if (region > 0) {
        const auto from = static_cast<std::size_t>(len - std::min(region, len));
        const auto first = path.find('\\', from);
        if (first == std::string::npos)
            FUZZ_CHECK(tail.empty());
        else
            FUZZ_CHECK(tail.size() == path.size() - first);
    } else {
        FUZZ_CHECK(tail.empty());
    }

    // Never wider than Max + 1 characters, except that the head and "..."
    // are always there.
    FUZZ_CHECK(static_cast<long long>(shown.size()) <=
               std::max(static_cast<long long>(max) + 1, static_cast<long long>(head + 3)));
    // Shortening is stable: the shown text fits the same width again.
    if (max >= 5 && max < INT16_MAX)
        FUZZ_CHECK(quorvel::LongDirFix(shown, static_cast<std::int16_t>(max + 1)) == shown);
    return 0;
}
