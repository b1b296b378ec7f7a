// The line reader on any bytes: the text box form must be well formed, lose
// or add nothing but line ends, and load back unchanged.
#include "text/TextLines.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The bytes without their line ends: every CR goes, and an LF right after a
// CR goes with it. A lone LF is an ordinary byte of its line.
std::string WithoutLineEnds(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return out;
}

std::size_t Count(std::string_view text, char c) {
    std::size_t n = 0;
    for (char x : text)
        n += x == c ? 1 : 0;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = quorvel::NormalizeLines(bytes);

    FUZZ_CHECK(text.empty() == bytes.empty());
    if (!text.empty())
        FUZZ_CHECK(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);

    // Every CR of the text is the start of a CR LF.
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\r')
            FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == '\n');

    // One line per CR of the file, and one more when the last line has no
    // terminator; every line is followed by exactly one CR LF.
    const bool unterminated = !bytes.empty() && bytes.back() != '\r' &&
                              !(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n");
    const std::size_t lines = Count(bytes, '\r') + (unterminated ? 1 : 0);
    FUZZ_CHECK(Count(text, '\r') == lines);

    // The size grows by one LF per lone CR and by CR LF for an unterminated
    // last line.
    std::size_t loneCr = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\r' && !(i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            ++loneCr;
    FUZZ_CHECK(text.size() == bytes.size() + loneCr + (unterminated ? 2 : 0));

    // The lines themselves, lone LFs and NULs included, are the file's.
    FUZZ_CHECK(WithoutLineEnds(text) == WithoutLineEnds(bytes));

    // Saving the text and loading it again changes nothing.
    FUZZ_CHECK(quorvel::NormalizeLines(text) == text);
    return 0;
}
