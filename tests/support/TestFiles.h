#pragma once
// Real files in real temporary folders, for the Windows test tiers.
#include <windows.h>

#include "common/Handles.h"
#include "settings/SettingsFile.h"
#include "settings/clsBinaryEncryptor.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel::test {

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    if (!std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size())))
        throw std::runtime_error("cannot write " + path);
}

// Names in a folder, without "." and "..", sorted.
inline std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd{};
    const UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &fd));
    for (bool more = bool(find); more; more = ::FindNextFileA(find.get(), &fd))
        if (std::string(fd.cFileName) != "." && std::string(fd.cFileName) != "..")
            names.push_back(fd.cFileName);
    std::sort(names.begin(), names.end());
    return names;
}

inline void RemoveTree(const std::string& path) {
    for (const std::string& name : ListFolder(path)) {
        const std::string full = path + "\\" + name;
        ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileA(full.c_str()))
            RemoveTree(full);
    }
    ::RemoveDirectoryA(path.c_str());
}

// A fresh folder under the temporary folder, removed with everything in it
// when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& hint = "t") {
        static std::atomic<int> counter{0};
        char base[MAX_PATH + 1] = {};
        ::GetTempPathA(sizeof base, base);
        for (int attempt = 0; attempt < 1000; ++attempt) {
            path_ = std::string(base) + "qv-" + hint + "-" +
                    std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
            if (::CreateDirectoryA(path_.c_str(), nullptr))
                return;
        }
        throw std::runtime_error("cannot create a temporary folder");
    }
    TempFolder(const TempFolder&) = delete; // one owner removes the folder
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { RemoveTree(path_); }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Adds (sign 1) or takes away (sign -1) the settings key, byte by byte.
inline std::string ShiftBySettingsKey(std::string bytes, int sign) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(
            bytes[i] + sign * clsBinaryEncryptor::KeyByte(kSettingsPassword, std::int64_t(i) + 1));
    return bytes;
}

// The plain text of a scrambled settings file (empty when missing).
inline std::string UnscrambleSettings(const std::string& path) {
    return ShiftBySettingsKey(ReadFileBytes(path), -1);
}

// Writes `plain` scrambled, as the program stores its settings.
inline void WriteScrambledSettings(const std::string& path, const std::string& plain) {
    WriteFileBytes(path, ShiftBySettingsKey(plain, 1));
}

// The folder of the running test program (Quorvel.exe is built beside it).
inline std::string TestProgramFolder() {
    char path[MAX_PATH * 4] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, std::strrchr(path, '\\'));
}

} // namespace quorvel::test
