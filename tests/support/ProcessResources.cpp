#include "tests/support/ProcessResources.h"

#include <psapi.h>

#include <cstdint>
#include <vector>

namespace quorvel::test {

namespace {

struct Utf16Text {
    USHORT length; // bytes
    USHORT maximumLength;
    wchar_t* buffer;
};
using QueryObjectFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

// The object's type name ("Key", "File", ...) or its path (kind 1).
std::wstring ObjectText(QueryObjectFn query, HANDLE handle, int kind) {
    alignas(8) unsigned char buffer[4096] = {};
    ULONG length = 0;
    if (!query || query(handle, kind, buffer, sizeof buffer, &length) != 0)
        return {};
    const auto* text = reinterpret_cast<const Utf16Text*>(buffer);
    return text->buffer ? std::wstring(text->buffer, text->length / sizeof(wchar_t)) : std::wstring();
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Counts the handle values (multiples of 4; the program holds a few dozen)
// that can be duplicated out of the process, and among them the registry
// keys named `keysNamed`. Only keys are asked for their names: asking a
// pipe can block.
int CountDuplicableHandles(HANDLE process, const std::wstring& keysNamed, int& matchingKeys) {
    const auto query = reinterpret_cast<QueryObjectFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    int count = 0;
    matchingKeys = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        HANDLE copy = nullptr;
        if (::DuplicateHandle(process, reinterpret_cast<HANDLE>(value), ::GetCurrentProcess(), &copy,
                              0, FALSE, DUPLICATE_SAME_ACCESS)) {
            ++count;
            if (!keysNamed.empty() && ObjectText(query, copy, 2) == L"Key" &&
                EndsWith(ObjectText(query, copy, 1), keysNamed))
                ++matchingKeys;
            ::CloseHandle(copy);
        }
    }
    return count;
}

// Wine keeps each process's GDI objects in a table that the process
// environment block points to (as Windows does, with another entry layout):
// 65536 entries of 24 bytes, the object type at byte 14, 0 for a free entry.
int CountGdiTableEntries(HANDLE process) {
    struct BasicInformation {
        LONG_PTR exitStatus;
        void* pebBaseAddress;
        ULONG_PTR affinityMask;
        LONG_PTR basePriority;
        ULONG_PTR uniqueProcessId;
        ULONG_PTR parentProcessId;
    };
    using QueryFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    BasicInformation info{};
    if (!query || query(process, 0, &info, sizeof info, nullptr) != 0 || !info.pebBaseAddress)
        return -1;
#ifdef _WIN64
    constexpr std::size_t kTableOffset = 0xF8;
#else
    constexpr std::size_t kTableOffset = 0x94;
#endif
    void* table = nullptr;
    if (!::ReadProcessMemory(process, static_cast<char*>(info.pebBaseAddress) + kTableOffset, &table,
                             sizeof table, nullptr) ||
        !table)
        return -1;
    constexpr std::size_t kEntries = 0x10000;
    constexpr std::size_t kEntrySize = 24;
    constexpr std::size_t kTypeOffset = 14;
    std::vector<unsigned char> bytes(kEntries * kEntrySize);
    SIZE_T got = 0;
    if (!::ReadProcessMemory(process, table, bytes.data(), bytes.size(), &got) || got != bytes.size())
        return -1;
    int count = 0;
    for (std::size_t i = 0; i < kEntries; ++i)
        if (bytes[i * kEntrySize + kTypeOffset] != 0)
            ++count;
    return count;
}

struct WindowCount {
    DWORD pid;
    int count;
};

BOOL CALLBACK CountChild(HWND hwnd, LPARAM lParam) {
    auto* c = reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == c->pid)
        ++c->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lParam) {
    CountChild(hwnd, lParam);
    ::EnumChildWindows(hwnd, CountChild, lParam);
    return TRUE;
}

int CountWindows(DWORD pid) {
    WindowCount c{pid, 0};
    ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&c));
    for (HWND w = ::FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = ::FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr)) {
        CountChild(w, reinterpret_cast<LPARAM>(&c));
        ::EnumChildWindows(w, CountChild, reinterpret_cast<LPARAM>(&c));
    }
    return c.count;
}

} // namespace

ProcessResources MeasureProcess(HANDLE process, DWORD pid, const std::wstring& keysNamed) {
    ProcessResources r;
    DWORD handles = 0;
    const int scanned = CountDuplicableHandles(process, keysNamed, r.matchingKeys);
    if (::GetProcessHandleCount(process, &handles) && handles > 0) {
        r.kernelHandles = static_cast<int>(handles);
        r.method = "handles: GetProcessHandleCount; ";
    } else {
        r.kernelHandles = scanned;
        r.method = "handles: duplicable handle values; ";
    }
    const DWORD gdi = ::GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = ::GetGuiResources(process, GR_USEROBJECTS);
    if (gdi > 0) {
        r.gdiObjects = static_cast<int>(gdi);
        r.userObjects = static_cast<int>(user);
        r.method += "GDI and USER: GetGuiResources; ";
    } else {
        r.gdiObjects = CountGdiTableEntries(process);
        r.userObjects = CountWindows(pid);
        r.method += "GDI: used GDI handle table entries; USER: the process's windows; ";
    }
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (::GetProcessMemoryInfo(process, &pmc, sizeof pmc))
        r.committedBytes = pmc.PagefileUsage;
    r.method += "memory: committed private bytes";
    return r;
}

std::string Describe(const ProcessResources& r) {
    return "kernel handles " + std::to_string(r.kernelHandles) + " (" +
           std::to_string(r.matchingKeys) + " of the keys asked about), GDI objects " +
           std::to_string(r.gdiObjects) + ", USER objects " + std::to_string(r.userObjects) +
           ", committed " + std::to_string(r.committedBytes / 1024) + " KB";
}

} // namespace quorvel::test
