#pragma once
// The pictures the carried CP437 fonts must draw: the Terminus cells the
// build writes beside the test programs (tools/mkttf.py --cells), and the
// CP437 characters from the system's own table, to check drawn pixels with.
#include <windows.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace quorvel::test {

struct Cells {
    int height = 0, width = 0, ascent = 0;
    std::array<std::vector<unsigned>, 256> rows; // per byte, MSB = left pixel
};

// Every size, smallest first; empty when the file is missing or damaged.
inline std::vector<Cells> ReadCells() {
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::ifstream in(std::filesystem::path(exe).replace_filename("quorvel-cp437-cells.txt"));
    std::string magic, version, word;
    std::vector<Cells> sizes;
    if (!(in >> magic >> version) || magic != "quorvel-cp437-cells" || version != "1")
        return sizes;
    while (in >> word && word == "size") {
        Cells& c = sizes.emplace_back();
        in >> std::dec >> c.height >> c.width >> c.ascent >> std::hex;
        for (unsigned b = 0; b < 256; ++b) {
            unsigned byte = 0;
            c.rows[b].resize(static_cast<std::size_t>(c.height));
            if (!(in >> byte) || byte != b)
                return {};
            for (unsigned& row : c.rows[b])
                in >> row;
        }
    }
    return in.fail() && !in.eof() ? std::vector<Cells>{} : sizes;
}

// The cell's rows of dark pixels at (left, top) of a picture.
inline std::vector<unsigned> DrawnCell(const std::function<bool(int x, int y)>& dark, int left, int top,
                                       const Cells& c) {
    std::vector<unsigned> rows(static_cast<std::size_t>(c.height));
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            rows[std::size_t(y)] = rows[std::size_t(y)] << 1 | dark(left + x, top + y);
    return rows;
}

inline std::string Picture(const std::vector<unsigned>& rows, int width) {
    std::string s;
    for (const unsigned bits : rows) {
        for (int x = width - 1; x >= 0; --x)
            s += (bits >> x & 1) ? '#' : '.';
        s += ' ';
    }
    return s;
}

// The characters of the 256 bytes in the system's CP437 table, the
// pictures of 0x01-0x1F and 0x7F included.
inline std::wstring Cp437Text() {
    char bytes[256];
    for (int b = 0; b < 256; ++b)
        bytes[b] = static_cast<char>(b);
    std::wstring text(256, L'\0');
    ::MultiByteToWideChar(437, MB_USEGLYPHCHARS, bytes, 256, text.data(), 256);
    return text;
}

// The text box's form of code page 437 bytes: each byte's character, TAB,
// CR and LF as themselves.
inline std::wstring Cp437Wide(const std::string& bytes) {
    const std::wstring table = Cp437Text();
    std::wstring text;
    for (const char b : bytes)
        text += b == '\t' || b == '\r' || b == '\n' ? wchar_t(b) : table[static_cast<unsigned char>(b)];
    return text;
}

} // namespace quorvel::test
