#pragma once
// Real files in real temporary folders, for the Windows test tiers. Paths
// are UTF-8 and reach the system as UTF-16, as the program's own do.
#include <windows.h>

#include "common/Handles.h"
#include "common/Unicode.h"
#include "settings/SettingsFile.h"
#include "settings/clsBinaryEncryptor.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>

namespace quorvel::test {

// Every byte of the file (empty when it cannot be read).
inline std::string ReadFileBytes(const std::string& path) {
    const UniqueHfile file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char chunk[1 << 16];
    for (DWORD got = 0; file && ::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got;)
        bytes.append(chunk, got);
    return bytes;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    const UniqueHfile file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

// Names in a folder, without "." and "..", sorted.
inline std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW fd{};
    const UniqueFind find(::FindFirstFileW(Wide(folder + "\\*").c_str(), &fd));
    for (bool more = bool(find); more; more = ::FindNextFileW(find.get(), &fd))
        if (const std::string name = Utf8(fd.cFileName); name != "." && name != "..")
            names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

inline void RemoveTree(const std::string& path) {
    for (const std::string& name : ListFolder(path)) {
        const std::wstring full = Wide(path + "\\" + name);
        ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileW(full.c_str()))
            RemoveTree(path + "\\" + name);
    }
    ::RemoveDirectoryW(Wide(path).c_str());
}

// A fresh folder under the temporary folder, removed with everything in it
// when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& hint = "t") {
        static std::atomic<int> counter{0};
        wchar_t base[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, base);
        for (int attempt = 0; attempt < 1000; ++attempt) {
            path_ = Utf8(base) + "qv-" + hint + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(counter++);
            if (::CreateDirectoryW(Wide(path_).c_str(), nullptr))
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
        bytes[i] = char(bytes[i] + sign * clsBinaryEncryptor::KeyByte(kSettingsPassword, std::int64_t(i) + 1));
    return bytes;
}

// The plain text of a scrambled settings file (empty when missing), and
// plain text written scrambled, as the program stores its settings.
inline std::string UnscrambleSettings(const std::string& path) { return ShiftBySettingsKey(ReadFileBytes(path), -1); }
inline void WriteScrambledSettings(const std::string& path, const std::string& plain) {
    WriteFileBytes(path, ShiftBySettingsKey(plain, 1));
}

// The folder of the running test program (Quorvel.exe is built beside it).
inline std::string TestProgramFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    const std::string full = Utf8(path);
    return full.substr(0, full.rfind('\\'));
}

} // namespace quorvel::test
