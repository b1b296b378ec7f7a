// Runs a fuzz target once on every file of a corpus folder (or on one file)
// and on the empty input, so the kept corpus is a set of regression cases
// under whatever sanitizers the build uses.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc != 2)
        return 2;
    std::vector<fs::path> files{argv[1]};
    if (fs::is_directory(files[0]))
        files.assign(fs::directory_iterator(files[0]), fs::directory_iterator());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return 1;
        // Exactly the input's size, so a read past its end is caught.
        const std::vector<std::uint8_t> input(std::istreambuf_iterator<char>(in), {});
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::printf("replayed %zu inputs and the empty one\n", files.size());
    // An empty corpus would pass without checking anything.
    return files.empty() ? 1 : 0;
}
