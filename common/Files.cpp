#include "common/Files.h"

#include "common/Handles.h"
#include "common/StringUtil.h"
#include "common/TempFiles.h"

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

// Puts the finished copy in the place of `target` in one step.
bool MoveIntoPlace(const std::string& copy, const std::string& target) {
    const DWORD attributes = ::GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    return ::MoveFileExA(copy.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 4] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(sizeof full), full, nullptr);
    return (n == 0 || n >= sizeof full) ? path : std::string(full, n);
}

std::string ModuleFileName(HMODULE module) {
    char path[MAX_PATH * 4] = {};
    const DWORD n = ::GetModuleFileNameA(module, path, static_cast<DWORD>(sizeof path));
    return std::string(path, n < sizeof path ? n : 0);
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    UniqueHfile file(::CreateFileA(path.c_str(), GENERIC_READ,
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
    const std::string target = FullPath(path);
    const std::string folder = FolderOf(target);

    // Copies of replacements a crash or a kill cut short, in the rare case
    // the system could not remove them itself; this program replaces one
    // file at a time, so none of its own is in use now.
    RemoveAbandonedTempFiles(folder, "~qv", true);
    std::string copy;
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
    ok = ok && MoveIntoPlace(copy, target);
    if (!ok && !copy.empty())
        ::DeleteFileA(copy.c_str());
    return ok;
}

} // namespace quorvel
