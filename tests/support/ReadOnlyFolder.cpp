#include "tests/support/ReadOnlyFolder.h"

#include "tests/support/Wait.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <utility>
#include <vector>

namespace quorvel::test {

namespace {

// Wine's own export: the host path of a Windows path.
std::string HostPath(const std::string& windowsPath) {
    using Fn = char*(CDECL*)(const wchar_t*);
    const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!fn)
        return {};
    std::wstring wide(windowsPath.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(
        CP_ACP, 0, windowsPath.data(), static_cast<int>(windowsPath.size()), wide.data(),
        static_cast<int>(wide.size()))));
    char* host = fn(wide.c_str());
    if (!host)
        return {};
    std::string result = host;
    ::HeapFree(::GetProcessHeap(), 0, host);
    return result;
}

// Runs a host program; Wine starts it without giving back a handle, so
// the caller waits for its effect instead.
bool RunHostProgram(const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    if (!::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return false;
    if (pi.hProcess) {
        ::WaitForSingleObject(pi.hProcess, 10000);
        ::CloseHandle(pi.hProcess);
    }
    if (pi.hThread)
        ::CloseHandle(pi.hThread);
    return true;
}

bool SetDacl(const std::string& folder, const char* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr))
        return false;
    const BOOL ok = ::SetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, sd);
    ::LocalFree(sd);
    return ok != FALSE;
}

} // namespace

bool FolderAcceptsNewFiles(const std::string& folder) {
    const std::string probe = folder + "\\~probe.tmp";
    HANDLE file = ::CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    ::DeleteFileA(probe.c_str());
    return true;
}

ReadOnlyFolder::ReadOnlyFolder(std::string folder)
    : folder_(std::move(folder)), unixPath_(HostPath(folder_)) {
    refuses_ = SetReadOnly(true);
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (refuses_)
        SetReadOnly(false);
}

bool ReadOnlyFolder::SetReadOnly(bool readOnly) {
    if (unixPath_.empty()) {
        // Windows: deny adding, changing and deleting to everyone.
        const char* sddl = readOnly ? "D:P(D;OICI;0x10056;;;WD)(A;OICI;FRFX;;;WD)"
                                    : "D:(A;OICI;FA;;;WD)";
        if (!SetDacl(folder_, sddl))
            return false;
    } else if (!RunHostProgram(std::string("Z:\\usr\\bin\\chattr ") + (readOnly ? "+i" : "-i") +
                               " \"" + unixPath_ + "\"")) {
        return false;
    }
    return WaitUntilQuiet([&] { return FolderAcceptsNewFiles(folder_) != readOnly; }, 10000);
}

} // namespace quorvel::test
