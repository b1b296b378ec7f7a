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
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string candidate = std::string(base) + "qv-" + hint + "-" +
                                std::to_string(::GetCurrentProcessId()) + "-" +
                                std::to_string(counter++);
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& path) {
    if (path.empty())
        return;
    WIN32_FIND_DATAA fd{};
    HANDLE find = ::FindFirstFileA((path + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string full = path + "\\" + name;
            ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                ::DeleteFileA(full.c_str());
        } while (::FindNextFileA(find, &fd));
        ::FindClose(find);
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
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = fd.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(find, &fd));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string UnscrambleSettings(const std::string& path) {
    const std::string bytes = ReadFileBytes(path);
    std::string plain(bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        plain[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) -
                                     clsBinaryEncryptor::KeyByte(kSettingsPassword,
                                                                 static_cast<std::int64_t>(i + 1)));
    return plain;
}

void WriteScrambledSettings(const std::string& path, const std::string& plain) {
    std::string bytes(plain.size(), '\0');
    for (std::size_t i = 0; i < plain.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(plain[i]) +
                                     clsBinaryEncryptor::KeyByte(kSettingsPassword,
                                                                 static_cast<std::int64_t>(i + 1)));
    WriteFileBytes(path, bytes);
}

std::string TestProgramFolder() {
    char path[MAX_PATH * 4] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string full(path, n);
    return full.substr(0, full.find_last_of('\\'));
}

} // namespace quorvel::test
