#include "tests/support/ReadOnlyFolder.h"

#include "common/Handles.h"
#include "common/NumberFormat.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Wait.h"

#include <windows.h>

#include <sddl.h>

#include <utility>

namespace quorvel::test {

std::string HostPath(const std::string& windowsPath) {
    using Fn = char*(CDECL*)(const wchar_t*);
    const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* host = fn ? fn(WideFromAnsi(windowsPath).c_str()) : nullptr;
    const std::string result = host ? host : "";
    if (host)
        ::HeapFree(::GetProcessHeap(), 0, host);
    return result;
}

bool RunOnHost(const std::string& command) {
    // Wine gives back no handle of a host program: its end shows by a marker.
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(sizeof temp, temp);
    const std::string markerWin =
        std::string(temp) + "qv-host-" + std::to_string(::GetCurrentProcessId()) + ".done";
    const std::string marker = HostPath(markerWin);
    if (marker.empty())
        return false;
    ::DeleteFileA(markerWin.c_str());
    std::string commandLine = "Z:\\bin\\sh -c \"" + command + " && touch '" + marker + "'\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return false;
    UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    const bool done = WaitUntilQuiet([&] { return FileExists(markerWin); }, 10000);
    ::DeleteFileA(markerWin.c_str());
    return done;
}

ReadOnlyFolder::ReadOnlyFolder(std::string folder)
    : folder_(std::move(folder)), hostPath_(HostPath(folder_)), refuses_(SetReadOnly(true)) {}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (refuses_)
        SetReadOnly(false);
}

bool ReadOnlyFolder::SetReadOnly(bool readOnly) {
    if (!hostPath_.empty()) {
        // No probe before chattr has run: it could be caught in the folder.
        if (!RunOnHost(std::string("/usr/bin/chattr ") + (readOnly ? "+i '" : "-i '") + hostPath_ +
                       "'"))
            return false;
    } else {
        PSECURITY_DESCRIPTOR sd = nullptr; // deny adding, changing and deleting to everyone
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(
                readOnly ? "D:P(D;OICI;0x10056;;;WD)(A;OICI;FRFX;;;WD)" : "D:(A;OICI;FA;;;WD)",
                SDDL_REVISION_1, &sd, nullptr))
            return false;
        const BOOL set = ::SetFileSecurityA(folder_.c_str(), DACL_SECURITY_INFORMATION, sd);
        ::LocalFree(sd);
        if (!set)
            return false;
    }
    const std::string probe = folder_ + "\\~probe.tmp";
    return WaitUntilQuiet([&] {
        const bool made = static_cast<bool>(UniqueHfile(::CreateFileA(
            probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
        ::DeleteFileA(probe.c_str());
        return made != readOnly;
    });
}

} // namespace quorvel::test
