// The line reader on any bytes: the text box form must be well formed, lose
// or add nothing but line ends, and load back unchanged.
#include "text/TextLines.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

namespace {

// The bytes without their line ends: every CR goes, and an LF right after a
// CR goes with it. A lone LF is an ordinary byte of its line.
std::string WithoutLineEnds(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            out.push_back(text[i]);
        else if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = quorvel::NormalizeLines(bytes);

    // Every CR of the text starts a CR LF, and an empty file alone gives no text.
    FUZZ_CHECK(text.empty() == bytes.empty());
    FUZZ_CHECK(text.empty() || text.compare(text.size() - 2, 2, "\r\n") == 0);
    for (std::size_t i = 0; i < text.size(); ++i)
        FUZZ_CHECK(text[i] != '\r' || (i + 1 < text.size() && text[i + 1] == '\n'));

    // One line per CR of the file, and one more when the last line has no
    // terminator.
    const bool unterminated = !bytes.empty() && bytes.back() != '\r' &&
                              !(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n");
    const auto crs = [](std::string_view s) { return std::count(s.begin(), s.end(), '\r'); };
    FUZZ_CHECK(crs(text) == crs(bytes) + (unterminated ? 1 : 0));

    // The lines themselves, lone LFs and NULs included, are the file's.
    FUZZ_CHECK(WithoutLineEnds(text) == WithoutLineEnds(bytes));

    // Loading the saved text changes nothing; bytes handed over give the same.
    FUZZ_CHECK(quorvel::NormalizeLines(text) == text);
    FUZZ_CHECK(quorvel::TakeNormalizedLines(std::string(bytes)) == text);
    return 0;
}
