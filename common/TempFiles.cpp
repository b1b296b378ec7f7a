#include "common/TempFiles.h"

#include "common/TempNames.h"
#include "common/Unicode.h"

namespace quorvel {

UniqueHfile CreateOwnTempFile(const std::string& folder, const char* prefix, DWORD access,
                              std::string& path) {
    static LONG sequence = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string candidate =
            folder + OwnTempName(prefix, ::GetCurrentProcessId(),
                                 static_cast<std::uint32_t>(::InterlockedIncrement(&sequence)));
        // CREATE_NEW also proves the folder takes new files, which a name
        // alone does not.
        UniqueHfile file(::CreateFileW(Wide(candidate).c_str(), access, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            path = candidate;
            return file;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    path.clear();
    return UniqueHfile();
}

void RemoveAbandonedTempFiles(const std::string& folder, const char* prefix, bool includeOwn) {
    WIN32_FIND_DATAW fd{};
    const UniqueFind find(::FindFirstFileW(Wide(folder + prefix + ".*.*.tmp").c_str(), &fd));
    if (!find)
        return;
    do {
        // The pattern also finds look-alikes (and short 8.3 names): only a
        // name of exactly the copies' shape counts.
        const std::string name = Utf8(fd.cFileName);
        const auto pid = OwnTempNameProcess(name, prefix);
        if (!pid || (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        bool abandoned = *pid == ::GetCurrentProcessId() && includeOwn;
        if (*pid != ::GetCurrentProcessId()) {
            // A process we may not open is running all the same.
            UniqueKernelHandle owner(::OpenProcess(SYNCHRONIZE, FALSE, *pid));
            abandoned = owner ? ::WaitForSingleObject(owner.get(), 0) == WAIT_OBJECT_0
                              : ::GetLastError() == ERROR_INVALID_PARAMETER;
        }
        if (abandoned)
            ::DeleteFileW(Wide(folder + name).c_str());
    } while (::FindNextFileW(find.get(), &fd));
}

} // namespace quorvel
