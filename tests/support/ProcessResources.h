#pragma once
// What a running process holds: kernel handles, GDI objects, windows and
// committed memory, measured from outside the process.
#include <windows.h>

#include <cstddef>
#include <string>

namespace quorvel::test {

struct ProcessResources {
    // Open kernel handles. GetProcessHandleCount where it works; where it
    // reports nothing (Wine), every handle value that can be duplicated out
    // of the process is counted.
    int kernelHandles = -1;
    // Of those, the registry keys whose path ends in `keysNamed` (when
    // asked for): lets a caller tell a known leak of a system library from
    // the program's own handles.
    int matchingKeys = 0;
    // Live GDI objects. GetGuiResources where it works; where it reports 0
    // (Wine), the used entries of the process's GDI handle table.
    int gdiObjects = -1;
    // Windows of the process, top-level, child and message-only. USER
    // objects per GetGuiResources where that works, else this count.
    int userObjects = -1;
    // Private committed memory in bytes.
    std::size_t committedBytes = 0;
    // How each figure was taken, for the report.
    std::string method;
};

ProcessResources MeasureProcess(HANDLE process, DWORD pid, const std::wstring& keysNamed = {});
std::string Describe(const ProcessResources& r);

} // namespace quorvel::test
