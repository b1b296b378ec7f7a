#include "tests/support/RegistryObstacle.h"

#include <windows.h>

namespace quorvel::test {

bool PlaceObstacle(const std::string& path) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr,
                          REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                          KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const wchar_t target[] = L"\\Registry\\Machine\\Software\\Classes\\QuorvelTestNowhere\\Gone";
    const LONG set =
        ::RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                         reinterpret_cast<const BYTE*>(target),
                         static_cast<DWORD>(sizeof target - sizeof(wchar_t)));
    ::RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

void RemoveObstacle(const std::string& path) {
    HKEY link = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), REG_OPTION_OPEN_LINK,
                        KEY_QUERY_VALUE | DELETE, &link) != ERROR_SUCCESS)
        return;
    DWORD type = 0;
    if (::RegQueryValueExA(link, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
            ERROR_SUCCESS &&
        type == REG_LINK)
        ::RegDeleteKeyA(link, "");
    ::RegCloseKey(link);
}

void RemoveRegistration() {
    for (const char* spot :
         {"Quorvel\\Shell\\Open\\Command", "Quorvel\\DefaultIcon", "Quorvel\\Shell", "Quorvel", ".nfo"})
        RemoveObstacle(spot);
    for (const char* key : {"Quorvel", ".nfo"}) {
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string("SOFTWARE\\Classes\\") + key).c_str());
    }
}

} // namespace quorvel::test
