#include "common/Files.h"

#include "common/Handles.h"
#include "common/StringUtil.h"
#include "common/TempFiles.h"
#include "common/Unicode.h"

#include <algorithm>

namespace quorvel {

namespace {

// Single calls of ReadFile and WriteFile stay below this many bytes.
constexpr std::size_t kChunk = 1u << 24;

// A new file beside the one being replaced, under a name of its own, that
// the system deletes when it is closed: a replacement cut short by a crash
// or a kill leaves nothing in the user's folder. `marked` tells whether the
// deletion could be arranged (the copy must then be deleted explicitly).
UniqueHfile CreateUnfinishedCopy(const std::string& folder, std::string& path, bool& marked) {
    UniqueHfile file = CreateOwnTempFile(folder, "~qv", GENERIC_WRITE | DELETE, path);
    if (file) {
        FILE_DISPOSITION_INFO deleteOnClose{TRUE};
        marked = ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &deleteOnClose,
                                              sizeof deleteOnClose) != FALSE;
    }
    return file;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const DWORD part = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, part, &written, nullptr) || written != part)
            return false;
        done += written;
    }
    return true;
}

// What a save needs to know of the file it replaces.
struct Existing {
    bool exists = false;
    std::string path;   // the file itself, past any symbolic link
    DWORD attributes = 0;
    DWORD links = 1;
};

// A symbolic link is saved through: its target gets the bytes and the link
// stays. A file that is missing, or cannot be opened even to look at it,
// reports only what its path shows.
Existing Examine(const std::string& target) {
    Existing e;
    e.path = target;
    const std::wstring wide = Wide(target);
    e.attributes = ::GetFileAttributesW(wide.c_str());
    e.exists = e.attributes != INVALID_FILE_ATTRIBUTES;
    if (!e.exists || (e.attributes & FILE_ATTRIBUTE_DIRECTORY))
        return e;
    const UniqueHfile file(::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return e;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(file.get(), &info)) {
        e.attributes = info.dwFileAttributes;
        e.links = info.nNumberOfLinks;
    }
    std::wstring final(MAX_PATH, L'\0');
    const auto finalPath = [&] {
        return ::GetFinalPathNameByHandleW(file.get(), final.data(),
                                           static_cast<DWORD>(final.size()), 0);
    };
    DWORD n = finalPath();
    if (n >= final.size()) { // the size it needs
        final.assign(n, L'\0');
        n = finalPath();
    }
    if (n > 0 && n < final.size()) {
        std::string resolved = Utf8(std::wstring_view(final.data(), n));
        if (resolved.rfind(R"(\\?\UNC\)", 0) == 0)
            resolved = R"(\\)" + resolved.substr(8);
        else if (resolved.rfind(R"(\\?\)", 0) == 0)
            resolved = resolved.substr(4);
        e.path = resolved;
    }
    return e;
}

// Gives the copy the file's own access rules, where the file has rules of
// its own rather than only those its folder passes on.
void KeepSecurity(const std::string& from, const std::string& to) {
    const std::wstring source = Wide(from);
    DWORD size = 0;
    ::GetFileSecurityW(source.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    if (size == 0)
        return;
    std::string buffer(size, '\0');
    const auto sd = reinterpret_cast<PSECURITY_DESCRIPTOR>(buffer.data());
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetFileSecurityW(source.c_str(), DACL_SECURITY_INFORMATION, sd, size, &size) ||
        !::GetSecurityDescriptorControl(sd, &control, &revision) ||
        !::GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted) || !present || !dacl)
        return;
    bool own = (control & SE_DACL_PROTECTED) != 0;
    for (DWORD i = 0; !own && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        own = ::GetAce(dacl, i, &ace) &&
              !(static_cast<ACE_HEADER*>(ace)->AceFlags & INHERITED_ACE);
    }
    if (own)
        ::SetFileSecurityW(Wide(to).c_str(), DACL_SECURITY_INFORMATION, sd);
}

// Puts the finished copy in the place of the file in one step (a rename,
// which a kill cannot cut in half). The copy takes the file's attributes
// and its own access rules first, so the saved file keeps them.
bool MoveIntoPlace(const std::string& copy, const Existing& file) {
    if (file.exists) {
        constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        if (file.attributes & kKept)
            ::SetFileAttributesW(Wide(copy).c_str(), file.attributes & kKept);
        KeepSecurity(file.path, copy);
    }
    return ::MoveFileExW(Wide(copy).c_str(), Wide(file.path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Writes the bytes over the file itself, flushed, as a plain editor does:
// for a file whose folder refuses new files, or one with more names than
// one, which a replacement would split from its other names. A failure part
// way can leave the file half written; the caller has no safer way left.
bool OverwriteInPlace(const std::string& path, std::string_view bytes) {
    const UniqueHfile file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.get(), bytes) && ::SetEndOfFile(file.get()) &&
           ::FlushFileBuffers(file.get());
}

// Writes the bytes to a new file in `folder`, flushed; the copy's name goes
// to `copy`. False when the folder refuses the file or writing fails, with
// no copy left behind.
bool WriteFinishedCopy(const std::string& folder, std::string_view bytes, std::string& copy) {
    // Copies of replacements a crash or a kill cut short, in the rare case
    // the system could not remove them itself; this program replaces one
    // file at a time, so none of its own is in use now.
    RemoveAbandonedTempFiles(folder, "~qv", true);
    bool ok = false;
    {
        bool marked = false;
        UniqueHfile file = CreateUnfinishedCopy(folder, copy, marked);
        // Whole on disk: from here on the copy is kept.
        FILE_DISPOSITION_INFO keep{FALSE};
        ok = file && WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get()) &&
             (!marked || ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &keep,
                                                      sizeof keep));
    }
    if (!ok && !copy.empty())
        ::DeleteFileW(Wide(copy).c_str());
    return ok;
}

} // namespace

std::string FullPath(const std::string& path) {
    const std::wstring wide = Wide(path);
    std::wstring full(MAX_PATH, L'\0');
    const auto fullPath = [&] {
        return ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(),
                                  nullptr);
    };
    DWORD n = fullPath();
    if (n >= full.size()) { // the size it needs
        full.assign(n, L'\0');
        n = fullPath();
    }
    return (n == 0 || n >= full.size()) ? path : Utf8(std::wstring_view(full.data(), n));
}

std::string ModuleFileName(HMODULE module) {
    // A path that fills the buffer may have been cut: try a larger one, up
    // to the longest path Windows has.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::wstring path(size, L'\0');
        const DWORD n = ::GetModuleFileNameW(module, path.data(), size);
        if (n == 0)
            return {};
        if (n < size)
            return Utf8(std::wstring_view(path.data(), n));
    }
    return {};
}

bool PathExists(const std::string& path) {
    if (::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const DWORD error = ::GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
           error != ERROR_INVALID_NAME && error != ERROR_BAD_NETPATH;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    UniqueHfile file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    constexpr std::size_t kLimit = 0x7FFFFFF0u;
    if (!::GetFileSizeEx(file.get(), &size) || static_cast<unsigned long long>(size.QuadPart) > kLimit)
        return false;
    // Read straight into the buffer, and on to the real end: the file may
    // have grown or shrunk since its size was taken.
    bytes.resize(static_cast<std::size_t>(size.QuadPart) + 1);
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (bytes.size() >= kLimit)
                return false;
            bytes.resize(std::min(bytes.size() * 2, kLimit));
        }
        const DWORD want = static_cast<DWORD>(std::min(bytes.size() - have, kChunk));
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + have, want, &got, nullptr))
            return false;
        if (got == 0)
            break;
        have += got;
    }
    bytes.resize(have);
    return true;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    if (path.empty())
        return false;
    const Existing file = Examine(FullPath(path));
    if (file.exists && (file.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    if (file.exists && file.links > 1)
        return OverwriteInPlace(file.path, bytes);
    std::string copy;
    if (!WriteFinishedCopy(FolderOf(file.path), bytes, copy)) {
        // Only a folder that refuses the copy leaves the plain overwrite;
        // a failed write of the copy says the disk would fail that too.
        return file.exists && copy.empty() && OverwriteInPlace(file.path, bytes);
    }
    if (MoveIntoPlace(copy, file))
        return true;
    ::DeleteFileW(Wide(copy).c_str());
    return false;
}

} // namespace quorvel
