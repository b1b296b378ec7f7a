#pragma once
// Registry writes that must fail: Wine lets every write to HKEY_LOCAL_MACHINE
// succeed, so a test puts a link to a missing key where a key would go.
#include <windows.h>

#include "common/Unicode.h"

#include <optional>
#include <string>

namespace quorvel::test {

// Places the obstacle at `path` under HKEY_CLASSES_ROOT; false on failure.
inline bool PlaceObstacle(const std::string& path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, Wide(path).c_str(), 0, nullptr,
                          REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr))
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
    if (!::RegOpenKeyExW(HKEY_CLASSES_ROOT, Wide(path).c_str(), REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE | DELETE,
                         &link) &&
        !::RegQueryValueExW(link, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) && type == REG_LINK)
        ::RegDeleteKeyW(link, L"");
    ::RegCloseKey(link);
}

// A text value under HKEY_CLASSES_ROOT as UTF-8, or nothing when there is
// none.
inline std::optional<std::string> ClassesRootText(const std::string& path, const char* name = "") {
    wchar_t data[2048] = {};
    DWORD size = sizeof data;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, Wide(path).c_str(), Wide(name).c_str(), RRF_RT_REG_SZ, nullptr, data, &size))
        return std::nullopt;
    return Utf8(data);
}

// Removes the obstacles and the whole ".nfo" / "Quorvel" registration.
inline void RemoveRegistration() {
    for (const char* spot :
         {"Quorvel\\Shell\\Open\\Command", "Quorvel\\DefaultIcon", "Quorvel\\Shell", "Quorvel", ".nfo"})
        RemoveObstacle(spot);
    for (const std::string key : {"Quorvel", ".nfo"}) {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, Wide(key).c_str());
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide("SOFTWARE\\Classes\\" + key).c_str());
    }
}

} // namespace quorvel::test
