#include "about/OwnVersion.h"

#include "common/Files.h"
#include "common/Unicode.h"

#include <cwchar>
#include <string>
#include <vector>

namespace quorvel {

namespace {

std::string VersionString(const std::vector<char>& data, const std::wstring& prefix,
                          const wchar_t* name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring path = prefix + name;
    if (!::VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
        !text)
        return {};
    return Utf8(std::wstring_view(text, ::wcsnlen(text, length)));
}

} // namespace

OwnVersion ReadOwnVersion(HINSTANCE instance) {
    OwnVersion version;
    const std::wstring path = Wide(ModuleFileName(instance));
    DWORD ignored = 0;
    const DWORD size = path.empty() ? 0 : ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return version;
    std::vector<char> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        return version;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
        length >= sizeof *fixed) {
        version.major = HIWORD(fixed->dwFileVersionMS);
        version.revision = LOWORD(fixed->dwFileVersionLS);
    }

    // The strings live in the block of the first language listed.
    wchar_t prefix[64] = L"\\StringFileInfo\\040904E4\\";
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    if (::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                         reinterpret_cast<void**>(&translation), &length) &&
        translation && length >= sizeof *translation)
        std::swprintf(prefix, 64, L"\\StringFileInfo\\%04x%04x\\",
                      static_cast<unsigned>(translation->language),
                      static_cast<unsigned>(translation->codePage));
    version.description = VersionString(data, prefix, L"FileDescription");
    version.copyright = VersionString(data, prefix, L"LegalCopyright");
    return version;
}

} // namespace quorvel
