#pragma once
// Registry writes that must fail: Wine lets every write to HKEY_LOCAL_MACHINE
// succeed, so a test puts a link to a missing key where a key would go.
#include <windows.h>

#include <optional>
#include <string>

namespace quorvel::test {

// Places the obstacle at `path` under HKEY_CLASSES_ROOT; false on failure.
inline bool PlaceObstacle(const std::string& path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr,
                          REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr))
        return false;
    const wchar_t target[] = L"\\Registry\\Machine\\Software\\Classes\\QuorvelTestNowhere\\Gone";
    const LONG set = ::RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                                      reinterpret_cast<const BYTE*>(target), sizeof target - 2);
    ::RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

// Removes an obstacle placed there (nothing else).
inline void RemoveObstacle(const std::string& path) {
    HKEY link = nullptr;
    DWORD type = 0;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), REG_OPTION_OPEN_LINK,
                        KEY_QUERY_VALUE | DELETE, &link) != ERROR_SUCCESS)
        return;
    if (::RegQueryValueExA(link, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
            ERROR_SUCCESS &&
        type == REG_LINK)
        ::RegDeleteKeyA(link, "");
    ::RegCloseKey(link);
}

// A text value under HKEY_CLASSES_ROOT, or nothing when there is none.
inline std::optional<std::string> ClassesRootText(const std::string& path, const char* name = "") {
    char data[2048] = {};
    DWORD size = sizeof data;
    return ::RegGetValueA(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data,
                          &size) == ERROR_SUCCESS
               ? std::optional<std::string>(data)
               : std::nullopt;
}

// Removes the obstacles and the whole ".nfo" / "Quorvel" registration.
inline void RemoveRegistration() {
    for (const char* spot : {"Quorvel\\Shell\\Open\\Command", "Quorvel\\DefaultIcon",
                             "Quorvel\\Shell", "Quorvel", ".nfo"})
        RemoveObstacle(spot);
    for (const std::string key : {"Quorvel", ".nfo"}) {
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Classes\\" + key).c_str());
    }
}

} // namespace quorvel::test
