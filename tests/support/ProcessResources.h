#pragma once
// What a running process holds: kernel handles, GDI objects, windows and
// committed memory, measured from outside the process.
#include <windows.h>

#include <cstddef>
#include <string>

namespace quorvel::test {

// GetProcessHandleCount and GetGuiResources where they work; where they
// report nothing (Wine), the handle values that can be duplicated out of the
// process, the used entries of its GDI handle table, and its windows.
struct ProcessResources {
    int kernelHandles = -1;
    // Registry keys among them whose path ends in `keysNamed`: a known leak
    // of a system library, told apart from the program's own handles.
    int matchingKeys = 0;
    int gdiObjects = -1;
    // Device contexts among them (counted where the GDI table is read).
    // Under Wine each window DC it caches holds a DC, a region and a bitmap.
    int deviceContexts = 0;
    int userObjects = -1;
    std::size_t committedBytes = 0; // private
    std::string method;             // how the figures were taken
};

ProcessResources MeasureProcess(HANDLE process, DWORD pid, const std::wstring& keysNamed = {});
std::string Describe(const ProcessResources& r);

} // namespace quorvel::test
