#pragma once
// What every fuzz target shares: a property check that stops the run, a way
// to cut one input into several texts, and a private scratch folder for the
// targets that work on real files.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <unistd.h>

// A broken property aborts: libFuzzer then keeps the input as a crash, and
// the corpus replay fails its test. A macro, so the message names the
// condition as written.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

namespace quorvel::fuzz {

// Hands out the input piece by piece: single bytes for choices, and texts
// that end at the next NUL byte (Windows strings cannot hold one anyway).
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size)
        : text_(reinterpret_cast<const char*>(data), size) {}

    bool empty() const { return pos_ >= text_.size(); }

    std::uint8_t Byte() {
        return empty() ? std::uint8_t{0} : static_cast<std::uint8_t>(text_[pos_++]);
    }
    std::uint16_t Word() {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }
    std::string_view Text() {
        const std::size_t start = pos_ < text_.size() ? pos_ : text_.size();
        std::size_t end = text_.find('\0', start);
        if (end == std::string_view::npos)
            end = text_.size();
        pos_ = end + 1;
        return text_.substr(start, end - start);
    }
    std::string_view Rest() {
        const std::size_t start = pos_ < text_.size() ? pos_ : text_.size();
        pos_ = text_.size();
        return text_.substr(start);
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

using Bytes = std::vector<std::uint8_t>;

// A folder of this process's own under the temporary folder, removed with
// everything in it when the process ends normally.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quorvel-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    std::string File(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    FUZZ_CHECK(out.good());
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    FUZZ_CHECK(in.good());
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline bool Exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

inline void Remove(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

} // namespace quorvel::fuzz
