#pragma once
// What a running process holds, measured from outside it: kernel handles,
// GDI objects, windows and committed memory.
#include <windows.h>

#include <cstddef>
#include <string>

namespace quorvel::test {

struct ProcessResources {
    int kernelHandles = -1;
    int matchingKeys = 0;   // registry keys among them whose path ends in `keysNamed`
    int gdiObjects = -1;
    int deviceContexts = 0; // among them, where the GDI table is read
    int userObjects = -1;
    std::size_t committedBytes = 0; // private
};

// Handles: the values that can be duplicated out of the process. GDI and
// USER: GetGuiResources where it works; under Wine, where it reports
// nothing, the process's GDI handle table and its windows.
ProcessResources MeasureProcess(HANDLE process, DWORD pid, const std::wstring& keysNamed = {});
std::string Describe(const ProcessResources& r);

} // namespace quorvel::test
