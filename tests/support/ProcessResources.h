#pragma once
// What a running process holds, measured from outside it. Under Wine, where
// GetGuiResources and GetProcessHandleCount report nothing: the handles that
// can be duplicated out of it, the used entries of its GDI handle table, the
// windows it owns, its private committed memory.
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::test {

struct ProcessResources {
    int handles = 0, keysNamed = 0; // keysNamed: handles to keys with the path asked about
    int gdiObjects = -1, deviceContexts = 0, windows = 0;
    std::size_t committedBytes = 0;
};

// The object's path (kind 1) or type name (kind 2: "Key", "File", ...).
inline std::wstring ObjectText(HANDLE handle, int kind) {
    alignas(8) unsigned char buffer[4096] = {};
    const auto* text = reinterpret_cast<const UNICODE_STRING*>(buffer);
    if (NtQueryObject(handle, OBJECT_INFORMATION_CLASS(kind), buffer, sizeof buffer, nullptr) ||
        !text->Buffer)
        return {};
    return std::wstring(text->Buffer, text->Length / sizeof(wchar_t));
}

// The GDI table the process environment block points to: 65536 entries of
// 24 bytes, the object type at byte 14 (0: free, 1: a DC).
inline void CountGdiTable(HANDLE process, ProcessResources& r) {
    PROCESS_BASIC_INFORMATION info{};
    void* table = nullptr;
    std::vector<unsigned char> bytes(0x10000 * 24);
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, nullptr) ||
        !::ReadProcessMemory(process, reinterpret_cast<char*>(info.PebBaseAddress) + 0xF8, &table,
                             sizeof table, nullptr) ||
        !::ReadProcessMemory(process, table, bytes.data(), bytes.size(), nullptr))
        return;
    r.gdiObjects = 0;
    for (std::size_t i = 14; i < bytes.size(); i += 24) {
        r.gdiObjects += bytes[i] != 0;
        r.deviceContexts += bytes[i] == 1;
    }
}

inline ProcessResources MeasureProcess(HANDLE process, DWORD pid, const std::wstring& keysNamed) {
    ProcessResources r;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        HANDLE copy = nullptr;
        if (!::DuplicateHandle(process, reinterpret_cast<HANDLE>(value), ::GetCurrentProcess(),
                               &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
            continue;
        ++r.handles; // only keys are asked for their path: asking a pipe can block
        r.keysNamed += ObjectText(copy, 2) == L"Key" && ObjectText(copy, 1).ends_with(keysNamed);
        ::CloseHandle(copy);
    }
    CountGdiTable(process, r);
    // Top-level and child windows, then message-only ones.
    std::pair<DWORD, int> owned{pid, 0};
    const WNDENUMPROC count = [](HWND hwnd, LPARAM lParam) -> BOOL {
        auto& [wanted, n] = *reinterpret_cast<std::pair<DWORD, int>*>(lParam);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        n += owner == wanted;
        return TRUE;
    };
    ::EnumChildWindows(::GetDesktopWindow(), count, reinterpret_cast<LPARAM>(&owned));
    for (HWND w = nullptr; (w = ::FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr));)
        count(w, reinterpret_cast<LPARAM>(&owned));
    r.windows = owned.second;
    PROCESS_MEMORY_COUNTERS pmc{};
    if (::GetProcessMemoryInfo(process, &pmc, sizeof pmc))
        r.committedBytes = pmc.PagefileUsage;
    return r;
}

} // namespace quorvel::test
