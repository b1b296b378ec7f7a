#include "tests/support/TestFiles.h"

#include "settings/SettingsFile.h"
#include "settings/clsBinaryEncryptor.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quorvel::test {

TempFolder::TempFolder(const std::string& hint) {
    static std::atomic<int> counter{0};
    char base[MAX_PATH + 1] = {};
    ::GetTempPathA(sizeof base, base);
    for (int attempt = 0; attempt < 1000 && path_.empty(); ++attempt) {
        const std::string candidate = std::string(base) + "qv-" + hint + "-" +
                                      std::to_string(::GetCurrentProcessId()) + "-" +
                                      std::to_string(counter++);
        if (::CreateDirectoryA(candidate.c_str(), nullptr))
            path_ = candidate;
    }
    if (path_.empty())
        throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& path) {
    if (path.empty())
        return;
    for (const std::string& name : ListFolder(path)) {
        const std::string full = path + "\\" + name;
        const DWORD attributes = ::GetFileAttributesA(full.c_str());
        ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            RemoveTree(full);
        else
            ::DeleteFileA(full.c_str());
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryA(path.c_str());
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd{};
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &fd);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileA(find, &fd)) {
        const std::string name = fd.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

namespace {
// Adds (sign 1) or takes away (sign -1) the settings key, byte by byte.
std::string Shift(std::string bytes, int sign) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int key = clsBinaryEncryptor::KeyByte(kSettingsPassword, std::int64_t(i) + 1);
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) + sign * key);
    }
    return bytes;
}
} // namespace

std::string UnscrambleSettings(const std::string& path) { return Shift(ReadFileBytes(path), -1); }

void WriteScrambledSettings(const std::string& path, const std::string& plain) {
    WriteFileBytes(path, Shift(plain, 1));
}

std::string TestProgramFolder() {
    char path[MAX_PATH * 4] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string full(path, n);
    return full.substr(0, full.find_last_of('\\'));
}

} // namespace quorvel::test
