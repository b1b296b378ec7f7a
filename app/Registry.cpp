#include "app/Registry.h"

#include "common/Handles.h"
#include "common/StringUtil.h"

#include <vector>

namespace quorvel {

std::string CutAtNull(const std::string& text) {
    const auto nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}

RegValue ReadRegValue(HKEY root, const std::string& subKey, const std::string& valueName,
                      const RegValue& defaultValue) {
    RegValue result = defaultValue;
    UniqueHkey key;
    if (::RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return result;

    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return result;

    if (type == REG_SZ) {
        // One blank more than the value's size: the blanks left behind its
        // terminating NUL are trimmed, blanks inside the value survive.
        std::string buffer(static_cast<std::size_t>(size) + 1, ' ');
        DWORD got = size;
        if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(buffer.data()), &got) == ERROR_SUCCESS)
            result = CutAtNull(TrimTrailingBlanks(buffer));
    } else if (type == REG_DWORD) {
        DWORD value = 0;
        DWORD got = sizeof value;
        if (::RegQueryValueExA(key.get(), valueName.c_str(), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&value), &got) == ERROR_SUCCESS &&
            got == sizeof value)
            result = static_cast<std::int32_t>(value);
    }
    return result;
}

std::int32_t WriteRegDword(HKEY root, const std::string& subKey, const std::string& valueName,
                           std::int32_t value) {
    UniqueHkey key;
    const LONG created =
        ::RegCreateKeyExA(root, subKey.c_str(), 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    if (created != ERROR_SUCCESS)
        return static_cast<std::int32_t>(created);
    const DWORD data = static_cast<DWORD>(value);
    return static_cast<std::int32_t>(::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_DWORD,
                                                      reinterpret_cast<const BYTE*>(&data),
                                                      sizeof data));
}

} // namespace quorvel
