#include "shell/modFileAssociation.h"

#include "common/Files.h"
#include "common/Handles.h"
#include "common/StringUtil.h"
#include "common/Unicode.h"

#include <shlobj.h>

namespace quorvel {

namespace {

constexpr char kUrlProtocolValue[] = "URL Protocol";

// The predefined root keys are sign-extended 32-bit values.
HKEY RootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<std::int32_t>(root))));
}

void NotifyShell() noexcept {
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

} // namespace

bool SetStringValue(HKEY root, std::string subKey, std::string valueName, std::string data) {
    UniqueHkey key;
    LONG status = ::RegCreateKeyW(root, Wide(subKey).c_str(), key.put());
    if (status == ERROR_SUCCESS) {
        // The text as UTF-16 with one NUL, counted in the size in bytes.
        // Only a key that cannot be made or closed makes the write fail;
        // the value's own status is left alone.
        const std::wstring text = Wide(data);
        ::RegSetValueExW(key.get(), Wide(valueName).c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        status = ::RegCloseKey(key.release());
    }
    if (status != ERROR_SUCCESS)
        throw RegistrationError();
    return true;
}

bool CreateAssociation(const std::string& programId, const std::string& extension,
                       const std::string& programPath, bool withIcon) noexcept {
    try {
        const std::string path = programPath == kOwnProgramPath ? OwnProgramPath() : programPath;
        const AssociationNames names = BuildAssociationNames(extension, path);
        for (const AssociationRow& row : AssociationRows(programId, names, withIcon))
            SetStringValue(RootKey(row.root), row.subKey, "", row.data);
        NotifyShell();
        return true;
    } catch (...) {
        return false;
    }
}

void RemoveAssociation(const std::string& programId, const std::string& extensionKey) noexcept {
    try {
        for (const std::string& subKey : AssociationKeysToDelete(programId, extensionKey))
            ::RegDeleteKeyW(HKEY_CLASSES_ROOT, Wide(subKey).c_str());
    } catch (...) {
        // Only the key list's memory can fail here; the shell still hears.
    }
    NotifyShell();
}

void AddUrlProtocol(const std::string& programId) {
    SetStringValue(HKEY_CLASSES_ROOT, programId, kUrlProtocolValue, "");
    NotifyShell();
}

bool ResetAssociation(const std::string& programId, const std::string& extension,
                      const std::string& programPath) noexcept {
    try {
        RemoveAssociation(programId, ResetExtensionKey(extension));
        return CreateAssociation(programId, extension, programPath, true);
    } catch (...) {
        return false;
    }
}

void RemoveUrlProtocolMark(const std::string& programId) noexcept {
    UniqueHkey key;
    const std::wstring id = Wide(programId);
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, id.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        key.put()) != ERROR_SUCCESS)
        return;
    if (::RegDeleteValueW(key.get(), Wide(kUrlProtocolValue).c_str()) != ERROR_SUCCESS)
        return; // no mark: nothing changes for the shell
    DWORD subKeys = 0;
    DWORD values = 0;
    const bool empty =
        ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                           &values, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subKeys == 0 && values == 0;
    key.reset();
    // A key that held nothing but the mark was made for it alone.
    if (empty)
        ::RegDeleteKeyW(HKEY_CLASSES_ROOT, id.c_str());
    NotifyShell();
}

std::string OwnProgramPath() {
    const std::string full = ModuleFileName(nullptr);
    return FolderOf(full) + WithoutExtension(FileNameOf(full));
}

} // namespace quorvel
