// Runs a fuzz target on every file of a corpus folder (or on one file) and
// on the empty input: the kept corpus as regression cases.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files{argc == 2 ? argv[1] : ""};
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
    return files.empty() ? 1 : 0; // an empty corpus would check nothing
}
