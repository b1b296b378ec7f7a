#include "tests/support/ProcessResources.h"

#include <psapi.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace quorvel::test {

namespace {

using NtQueryFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

NtQueryFn NtQuery(const char* name) {
    return reinterpret_cast<NtQueryFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), name)));
}

// The object's path (kind 1) or type name (kind 2: "Key", "File", ...).
std::wstring ObjectText(HANDLE handle, int kind) {
    struct Utf16Text {
        USHORT length, maximumLength; // bytes
        wchar_t* buffer;
    };
    alignas(8) unsigned char buffer[4096] = {};
    const NtQueryFn query = NtQuery("NtQueryObject");
    if (!query || query(handle, kind, buffer, sizeof buffer, nullptr) != 0)
        return {};
    const auto* text = reinterpret_cast<const Utf16Text*>(buffer);
    return text->buffer ? std::wstring(text->buffer, text->length / sizeof(wchar_t)) : L"";
}

// Only keys are asked for their path: asking a pipe can block.
int CountHandles(HANDLE process, const std::wstring& keysNamed, int& matchingKeys) {
    int count = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        HANDLE copy = nullptr;
        if (!::DuplicateHandle(process, reinterpret_cast<HANDLE>(value), ::GetCurrentProcess(),
                               &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
            continue;
        ++count;
        if (!keysNamed.empty() && ObjectText(copy, 2) == L"Key")
            matchingKeys += static_cast<int>(ObjectText(copy, 1).ends_with(keysNamed));
        ::CloseHandle(copy);
    }
    return count;
}

// Wine's GDI table, which the process environment block points to: 65536
// entries of 24 bytes, the object type at byte 14 (0: free, 1: a DC).
int CountGdiTableEntries(HANDLE process, int& deviceContexts) {
    struct BasicInformation {
        LONG_PTR exitStatus;
        void* peb;
        ULONG_PTR affinityMask, basePriority, uniqueProcessId, parentProcessId;
    };
    constexpr std::size_t kTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    constexpr std::size_t kEntries = 0x10000, kEntrySize = 24, kTypeOffset = 14;
    const NtQueryFn query = NtQuery("NtQueryInformationProcess");
    BasicInformation info{};
    void* table = nullptr;
    std::vector<unsigned char> bytes(kEntries * kEntrySize);
    SIZE_T got = 0;
    if (!query || query(process, 0, &info, sizeof info, nullptr) != 0 || !info.peb ||
        !::ReadProcessMemory(process, static_cast<char*>(info.peb) + kTableOffset, &table,
                             sizeof table, nullptr) ||
        !table || !::ReadProcessMemory(process, table, bytes.data(), bytes.size(), &got) ||
        got != bytes.size())
        return -1;
    int count = 0;
    for (std::size_t i = 0; i < kEntries; ++i) {
        const unsigned char type = bytes[i * kEntrySize + kTypeOffset];
        count += static_cast<int>(type != 0);
        deviceContexts += static_cast<int>(type == 1);
    }
    return count;
}

using WindowCount = std::pair<DWORD, int>; // the process, its windows so far

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lParam) {
    auto& [process, count] = *reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    count += static_cast<int>(pid == process);
    return TRUE;
}

// Top-level, child and message-only windows of the process.
int CountWindows(DWORD pid) {
    WindowCount c{pid, 0};
    ::EnumChildWindows(::GetDesktopWindow(), CountWindow, reinterpret_cast<LPARAM>(&c));
    for (HWND w = ::FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = ::FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr))
        CountWindow(w, reinterpret_cast<LPARAM>(&c));
    return c.second;
}

} // namespace

ProcessResources MeasureProcess(HANDLE process, DWORD pid, const std::wstring& keysNamed) {
    ProcessResources r;
    r.kernelHandles = CountHandles(process, keysNamed, r.matchingKeys);
    r.gdiObjects = static_cast<int>(::GetGuiResources(process, GR_GDIOBJECTS));
    r.userObjects = static_cast<int>(::GetGuiResources(process, GR_USEROBJECTS));
    if (r.gdiObjects == 0) {
        r.gdiObjects = CountGdiTableEntries(process, r.deviceContexts);
        r.userObjects = CountWindows(pid);
    }
    PROCESS_MEMORY_COUNTERS pmc{};
    if (::GetProcessMemoryInfo(process, &pmc, sizeof pmc))
        r.committedBytes = pmc.PagefileUsage;
    return r;
}

std::string Describe(const ProcessResources& r) {
    return "kernel handles " + std::to_string(r.kernelHandles) + " (" +
           std::to_string(r.matchingKeys) + " of the keys asked about), GDI objects " +
           std::to_string(r.gdiObjects) + " (" + std::to_string(r.deviceContexts) +
           " device contexts), USER objects " + std::to_string(r.userObjects) + ", committed " +
           std::to_string(r.committedBytes / 1024) + " KB";
}

} // namespace quorvel::test
