#include "app/TextFile.h"

#include "app/TextLines.h"
#include "common/FileReplace.h"
#include "common/Handles.h"
#include "common/TempFiles.h"
#include "common/WaitCursor.h"

#include <algorithm>
#include <utility>

namespace quorvel {

namespace {

void ShowError(HWND control, const char* text) {
    HWND owner = control ? ::GetAncestor(control, GA_ROOT) : nullptr;
    ::MessageBoxA(owner, text, "Error", MB_OK | MB_ICONINFORMATION);
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    UniqueHfile file(::CreateFileA(path.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    constexpr long long kLimit = 0x7FFFFFF0LL;
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > kLimit)
        return false;
    // Read straight into the buffer, and on to the real end: the file may
    // have grown or shrunk since its size was taken.
    bytes.resize(static_cast<std::size_t>(size.QuadPart) + 1);
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (bytes.size() >= static_cast<std::size_t>(kLimit))
                return false;
            bytes.resize(std::min<std::size_t>(bytes.size() * 2, static_cast<std::size_t>(kLimit)));
        }
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - have, 1u << 24));
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

std::string FolderOf(const std::string& fullPath) {
    const auto slash = fullPath.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : fullPath.substr(0, slash + 1);
}

// A new file beside the one being saved, under a name of its own, that the
// system deletes when it is closed: a save cut short by a crash or a kill
// leaves nothing in the user's folder. `marked` tells whether the deletion
// could be arranged (the copy must then be kept explicitly).
UniqueHfile CreateUnfinishedCopy(const std::string& folder, std::string& path, bool& marked) {
    UniqueHfile file = CreateOwnTempFile(folder, "~qv", GENERIC_WRITE | DELETE, path);
    if (file) {
        FILE_DISPOSITION_INFO deleteOnClose{TRUE};
        marked = ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &deleteOnClose,
                                              sizeof deleteOnClose) != FALSE;
    }
    return file;
}

} // namespace

std::string GetWindowTextAll(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

LoadOutcome ReadTextFile(HWND owner, const std::string& File, std::string& text) {
    WaitCursor wait;
    std::string bytes;
    if (File.empty() || !ReadWholeFile(File, bytes)) {
        ShowError(owner, "File Not Found");
        return LoadOutcome::Failed;
    }
    text = TakeNormalizedLines(std::move(bytes));
    // A text box ends its text at the first NUL; show the rest of the file
    // rather than silently dropping it.
    const bool hadNul = text.find('\0') != std::string::npos;
    if (hadNul)
        std::replace(text.begin(), text.end(), '\0', ' ');
    return hadNul ? LoadOutcome::LoadedNulBytesShownAsBlanks : LoadOutcome::Loaded;
}

LoadOutcome LoadText(HWND Lst, const std::string& File) {
    std::string text;
    const LoadOutcome outcome = ReadTextFile(Lst, File, text);
    if (outcome != LoadOutcome::Failed) {
        WaitCursor wait;
        ::SetWindowTextA(Lst, text.c_str());
    }
    return outcome;
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes) {
    if (path.empty())
        return false;
    char full[MAX_PATH * 4] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(sizeof full), full, nullptr);
    if (n == 0 || n >= sizeof full)
        return false;
    const std::string target(full, n);
    const std::string folder = FolderOf(target);

    // Copies of saves a crash or a kill cut short, in the rare case the
    // system could not remove them itself; this program saves one file at a
    // time, so none of its own is in use now.
    RemoveAbandonedTempFiles(folder, "~qv", true);
    std::string temp;
    bool ok = false;
    {
        bool marked = false;
        UniqueHfile file = CreateUnfinishedCopy(folder, temp, marked);
        if (file) {
            ok = true;
            std::size_t done = 0;
            while (ok && done < bytes.size()) {
                const DWORD part =
                    static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
                DWORD written = 0;
                ok = ::WriteFile(file.get(), bytes.data() + done, part, &written, nullptr) &&
                     written == part;
                done += written;
            }
            ok = ok && ::FlushFileBuffers(file.get());
            // Whole on disk: from here on the copy is kept.
            FILE_DISPOSITION_INFO keep{FALSE};
            ok = ok && (!marked || ::SetFileInformationByHandle(file.get(), FileDispositionInfo,
                                                                 &keep, sizeof keep));
        }
    }
    ok = ok && MoveIntoPlace(temp, target);
    if (!ok && !temp.empty())
        ::DeleteFileA(temp.c_str());
    return ok;
}

bool SaveText(HWND Lst, const std::string& File) {
    WaitCursor wait;
    if (File.empty() || !ReplaceFileContents(File, GetWindowTextAll(Lst))) {
        ShowError(Lst, "Unknown Error, Cannot Save File!");
        return false;
    }
    return true;
}

} // namespace quorvel
