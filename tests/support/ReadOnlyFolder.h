#pragma once
// A folder in which no file can be created, changed, renamed or deleted, as
// a program folder under "Program Files" is for a user without rights.
#include <windows.h>

#include "tests/support/TestFiles.h"
#include "tests/support/Wait.h"

namespace quorvel::test {

// The host path of a Windows path.
inline std::string HostPath(const std::string& windowsPath) {
    using Fn = char*(CDECL*)(const wchar_t*);
    const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* host = fn ? fn(Wide(windowsPath).c_str()) : nullptr;
    const std::string result = host ? host : "";
    ::HeapFree(::GetProcessHeap(), 0, host);
    return result;
}

// Runs a host shell command to its end; false when it failed. Wine gives
// back no handle of a host program: its end shows by a marker file.
inline bool RunOnHost(const std::string& command) {
    const TempFolder markers("host");
    const std::wstring marker = Wide(markers / "done");
    std::wstring commandLine = Wide("Z:\\bin\\sh -c \"" + command + " && touch '" +
                                    HostPath(markers / "done") + "'\"");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    const UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    return WaitUntilQuiet([&] { return ::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

// Wine checks no access lists on files and the tests run as root: the host
// makes the folder immutable (chattr +i) until the object goes.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::string folder)
        : folder_(std::move(folder)), refuses_(SetReadOnly(true)) {}
    ~ReadOnlyFolder() {
        if (refuses_)
            SetReadOnly(false);
    }
    bool refusesWrites() const { return refuses_; } // found by trying

private:
    // No probe before chattr has run: it could be caught in the folder.
    bool SetReadOnly(bool readOnly) {
        const std::wstring probe = Wide(folder_ + "\\~probe.tmp");
        return RunOnHost(std::string("/usr/bin/chattr ") + (readOnly ? "+i '" : "-i '") +
                         HostPath(folder_) + "'") &&
               WaitUntilQuiet([&] {
                   const bool made = bool(UniqueHfile(::CreateFileW(
                       probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
                   ::DeleteFileW(probe.c_str());
                   return made != readOnly;
               });
    }

    std::string folder_;
    bool refuses_ = false;
};

} // namespace quorvel::test
