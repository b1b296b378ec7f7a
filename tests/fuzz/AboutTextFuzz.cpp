// The About box's built texts for any version information and registry
// data: the copyright line keeps no backslash-n pair and no "(c)", and
// matches a plain left-to-right substitution; the title line reads back its
// numbers; the registry text rules keep exactly the bytes they should.
#include "about/AboutText.h"
#include "tests/fuzz/FuzzSupport.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

using namespace quorvel;

// One pass over the text, replacing each occurrence of `from` as it is met.
std::string Substituted(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.size() - i >= from.size() && text.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::size_t CountOf(std::string_view text, char c) {
    std::size_t n = 0;
    for (char x : text)
        n += x == c ? 1 : 0;
    return n;
}

void CheckCopyright(std::string_view legal) {
    const std::string shown = AboutCopyrightText(legal);
    FUZZ_CHECK(shown.find("\\n") == std::string::npos);
    FUZZ_CHECK(shown.find("(c)") == std::string::npos);
    const std::string broken = Substituted(legal, "\\n", "\r\n");
    FUZZ_CHECK(shown == Substituted(broken, "(c)", "\xA9"));
    // One CR more per backslash-n pair (same size), and one sign per "(c)"
    // replaced (two characters fewer).
    std::size_t pairs = 0;
    for (std::size_t i = 0; i + 1 < legal.size(); ++i)
        pairs += legal[i] == '\\' && legal[i + 1] == 'n' ? 1 : 0;
    FUZZ_CHECK(CountOf(shown, '\r') == CountOf(legal, '\r') + pairs);
    const std::size_t signs = CountOf(shown, '\xA9') - CountOf(legal, '\xA9');
    FUZZ_CHECK(shown.size() + 2 * signs == legal.size());
    // A text without either pair is shown as it is.
    if (legal.find("\\n") == std::string_view::npos && legal.find("(c)") == std::string_view::npos)
        FUZZ_CHECK(shown == legal);
}

void CheckTitle(std::string_view description, std::uint16_t major, std::uint16_t revision) {
    const std::string title = AboutTitleLine(description, major, revision);
    FUZZ_CHECK(title.compare(0, description.size(), description) == 0);
    std::string_view rest = std::string_view(title).substr(description.size());
    FUZZ_CHECK(rest.substr(0, 2) == " v");
    rest.remove_prefix(2);
    unsigned readMajor = 0;
    unsigned readRevision = 0;
    auto r = std::from_chars(rest.data(), rest.data() + rest.size(), readMajor);
    FUZZ_CHECK(r.ec == std::errc() && r.ptr != rest.data() && *r.ptr == '.');
    const char* const end = rest.data() + rest.size();
    r = std::from_chars(r.ptr + 1, end, readRevision);
    FUZZ_CHECK(r.ec == std::errc() && r.ptr == end);
    FUZZ_CHECK(readMajor == major && readRevision == revision);

    const std::string target = AboutMailTarget(description, title);
    const std::string head = "mailto:" + std::string(description) + "?subject=";
    FUZZ_CHECK(target.compare(0, head.size(), head) == 0);
    FUZZ_CHECK(target.size() >= title.size() &&
               target.compare(target.size() - title.size(), title.size(), title) == 0);
}

void CheckRegistryTexts(std::string_view buffer, std::size_t size, std::string_view before) {
    const std::string kept = KeptRegistryText(buffer, size);
    const std::size_t got = size < buffer.size() ? size : buffer.size();
    const bool endsInNul = got > 0 && buffer[got - 1] == '\0';
    FUZZ_CHECK(kept.size() == (endsInNul ? got - 1 : got));
    FUZZ_CHECK(buffer.compare(0, kept.size(), kept) == 0);

    // The digits of each byte from the last to the first, as printf makes
    // them: upper-case hexadecimal without leading zeros.
    std::string expected = "&h" + std::string(before);
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(static_cast<unsigned char>(*it)));
        expected += digits;
    }
    FUZZ_CHECK(DwordRegistryText(before, kept) == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Input: major version and revision (16-bit little-endian), the byte
    // count a registry read reported, the description and the text before
    // the digits each ended by a NUL, then the copyright text, which is
    // also the registry buffer.
    fuzz::InputReader input(data, size);
    const std::uint16_t major = input.Word();
    const std::uint16_t revision = input.Word();
    const std::size_t keptSize = input.Byte();
    const std::string_view description = input.Text();
    const std::string_view before = input.Text();
    const std::string_view rest = input.Rest();

    CheckCopyright(rest);
    CheckTitle(description, major, revision);
    // The registry buffer may hold NULs of its own: it is the rest as it is.
    CheckRegistryTexts(rest, keptSize, before);
    return 0;
}
