#include "about/OwnVersion.h"

#include "common/Files.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace quorvel {

namespace {

std::string VersionString(const std::vector<char>& data, const std::string& prefix,
                          const char* name) {
    char* text = nullptr;
    UINT length = 0;
    const std::string path = prefix + name;
    if (!::VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
        !text)
        return {};
    return std::string(text, ::strnlen(text, length));
}

} // namespace

OwnVersion ReadOwnVersion(HINSTANCE instance) {
    OwnVersion version;
    const std::string path = ModuleFileName(instance);
    DWORD ignored = 0;
    const DWORD size = path.empty() ? 0 : ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0)
        return version;
    std::vector<char> data(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, data.data()))
        return version;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
        length >= sizeof *fixed) {
        version.major = HIWORD(fixed->dwFileVersionMS);
        version.revision = LOWORD(fixed->dwFileVersionLS);
    }

    // The strings live in the block of the first language listed.
    char prefix[64] = "\\StringFileInfo\\040904E4\\";
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    if (::VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                         reinterpret_cast<void**>(&translation), &length) &&
        translation && length >= sizeof *translation)
        std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04x%04x\\",
                      static_cast<unsigned>(translation->language),
                      static_cast<unsigned>(translation->codePage));
    version.description = VersionString(data, prefix, "FileDescription");
    version.copyright = VersionString(data, prefix, "LegalCopyright");
    return version;
}

} // namespace quorvel
