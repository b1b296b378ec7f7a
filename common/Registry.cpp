#include "common/Registry.h"

#include "common/Handles.h"
#include "common/StringUtil.h"
#include "common/Unicode.h"

#include <cstring>

namespace quorvel {

std::string CutAtNull(const std::string& text) {
    const auto nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}

std::string RegistryData::Text() const {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return Utf8FromUtf16(units);
}

std::optional<RegistryData> QueryRegistryValue(HKEY root, const std::string& subKey,
                                               const std::string& valueName, REGSAM access,
                                               DWORD capacity) {
    UniqueHkey key;
    if (::RegOpenKeyExW(root, Wide(subKey).c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring name = Wide(valueName);
    RegistryData data;
    DWORD size = capacity;
    if (size == 0 && ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &data.type, nullptr,
                                        &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.bytes.assign(size, '\0');
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &data.type,
                           reinterpret_cast<BYTE*>(data.bytes.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.bytes.resize(size);
    return data;
}

RegValue ReadRegValue(HKEY root, const std::string& subKey, const std::string& valueName,
                      const RegValue& defaultValue) {
    const auto data = QueryRegistryValue(root, subKey, valueName, KEY_QUERY_VALUE);
    if (!data)
        return defaultValue;
    if (data->type == REG_SZ) {
        // Read into one blank more than the value's size: the blanks left
        // behind its terminating NUL are trimmed, blanks inside it survive.
        return CutAtNull(TrimTrailingBlanks(data->Text() + ' '));
    }
    if (data->type == REG_DWORD && data->bytes.size() == sizeof(DWORD)) {
        std::int32_t value = 0;
        std::memcpy(&value, data->bytes.data(), sizeof value);
        return value;
    }
    return defaultValue;
}

std::int32_t WriteRegDword(HKEY root, const std::string& subKey, const std::string& valueName,
                           std::int32_t value) {
    UniqueHkey key;
    const LONG created =
        ::RegCreateKeyExW(root, Wide(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    if (created != ERROR_SUCCESS)
        return static_cast<std::int32_t>(created);
    const DWORD data = static_cast<DWORD>(value);
    return static_cast<std::int32_t>(::RegSetValueExW(key.get(), Wide(valueName).c_str(), 0,
                                                      REG_DWORD,
                                                      reinterpret_cast<const BYTE*>(&data),
                                                      sizeof data));
}

} // namespace quorvel
