// Any bytes read as an NFO and saved back: the lines are the file's, the
// text is in the text box's form, saving never fails for want of a
// character, the file comes back byte for byte after the line-end rule,
// and reading what was saved changes nothing.
#include "tests/fuzz/FuzzSupport.h"
#include "text/NfoText.h"
#include "text/TextLines.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The line rule on the raw bytes: each line, lone LFs and NULs included,
    // as in the file, each ended by CR LF (a CR alone or before its LF), the
    // last line too.
    std::string lines;
    for (std::size_t i = 0; i < size; ++i) {
        const bool end = bytes[i] == '\r';
        lines += end ? std::string_view("\r\n") : bytes.substr(i, 1);
        i += end && i + 1 < size && bytes[i + 1] == '\n';
    }
    if (!lines.empty() && !lines.ends_with("\r\n"))
        lines += "\r\n";
    FUZZ_CHECK(NormalizeLines(bytes) == lines);
    FUZZ_CHECK(TakeNormalizedLines(std::string(bytes)) == lines);

    const NfoText read = DecodeNfo(bytes);
    FUZZ_CHECK(TakeNormalizedLines(std::u16string(read.text)) == read.text);
    FUZZ_CHECK(std::find(read.text.begin(), read.text.end(), u'\0') == read.text.end());

    const EncodedNfo saved = EncodeNfo(read.text, read.encoding);
    FUZZ_CHECK(!saved.unencodable);
    // Without NUL bytes, what is saved is the file after the line-end rule,
    // its mark kept.
    const bool utf16 = read.encoding == NfoEncoding::Utf16Le || read.encoding == NfoEncoding::Utf16Be;
    const std::size_t mark = utf16 ? 2 : read.encoding == NfoEncoding::Utf8WithMark ? 3 : 0;
    FUZZ_CHECK(saved.bytes.substr(0, mark) == bytes.substr(0, mark));
    if (!read.nulShownAsBlank && utf16)
        FUZZ_CHECK(saved.bytes.size() == 2 + 2 * read.text.size());
    else if (!read.nulShownAsBlank)
        FUZZ_CHECK(saved.bytes.substr(mark) == NormalizeLines(bytes.substr(mark)));
    // Only a code page 437 file that begins with the two bytes of a UTF-16
    // mark can be read otherwise once saved: when a line end it gains makes
    // its length even. Its bytes are still those written.
    const NfoText again = DecodeNfo(saved.bytes);
    const bool markLike = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
    FUZZ_CHECK(again.encoding == read.encoding || (read.encoding == NfoEncoding::Cp437 && markLike));
    FUZZ_CHECK(again.encoding != read.encoding || again.text == read.text);
    return 0;
}
