#include "settings/SettingsFile.h"

#include "common/Files.h"
#include "common/Handles.h"
#include "common/StringUtil.h"
#include "common/TempFiles.h"
#include "common/Unicode.h"
#include "common/WaitCursor.h"
#include "settings/clsBinaryEncryptor.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <utility>
#include <vector>

namespace quorvel {

namespace {

// Two copies of the program share one settings file: each read-modify-
// replace holds a mutex named after the file.
class SettingsLock {
public:
    SettingsLock(const std::string& fullPath, DWORD waitMs) {
        mutex_.reset(::CreateMutexW(nullptr, FALSE, Wide(SettingsLockName(fullPath)).c_str()));
        if (mutex_) {
            // A copy that ended while holding it leaves it abandoned: free.
            const DWORD r = ::WaitForSingleObject(mutex_.get(), waitMs);
            owned_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
        }
    }
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;
    ~SettingsLock() {
        if (owned_)
            ::ReleaseMutex(mutex_.get());
    }
    bool owned() const { return owned_; }

private:
    UniqueKernelHandle mutex_;
    bool owned_ = false;
};

// A private copy beside the settings file that is gone again when the
// routine that made it ends.
class TempCopy {
public:
    explicit TempCopy(const std::string& folder) {
        // Created and closed at once: the cipher and the profile functions
        // open it by name.
        CreateOwnTempFile(folder, "~qc", GENERIC_WRITE, path_);
    }
    TempCopy(const TempCopy&) = delete;
    TempCopy& operator=(const TempCopy&) = delete;
    ~TempCopy() {
        if (!path_.empty()) {
            ForgetProfile();
            ::DeleteFileW(Wide(path_).c_str());
        }
    }
    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    // The profile functions keep files cached; drop ours so a later file of
    // the same name is read afresh.
    void ForgetProfile() const {
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, Wide(path_).c_str());
    }

private:
    std::string path_;
};

// The private copy lives beside the settings file or, where the program
// folder refuses new files, in the user's temporary folder; the settings
// file itself is then written in place.
std::unique_ptr<TempCopy> MakeTempCopy(const std::string& target) {
    auto temp = std::make_unique<TempCopy>(FolderOf(target));
    wchar_t tempFolder[MAX_PATH + 1] = {};
    const DWORD n = temp->ok() ? 0 : ::GetTempPathW(MAX_PATH + 1, tempFolder);
    if (n != 0 && n <= MAX_PATH)
        temp = std::make_unique<TempCopy>(Utf8(std::wstring_view(tempFolder, n)));
    return temp;
}

enum class CopyResult { Copied, Missing, Unreadable };

// Copies the settings file's bytes to `temp`, as they are.
CopyResult CopySettings(const std::string& from, const std::string& temp) {
    if (::CopyFileW(Wide(from).c_str(), Wide(temp).c_str(), FALSE))
        return CopyResult::Copied;
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return CopyResult::Missing;
    return CopyResult::Unreadable;
}

std::int64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

std::string SettingsLockName(const std::string& fullPath) {
    // FNV-1a of the path's UTF-8 bytes, ASCII letters in lower case.
    std::uint64_t hash = 1469598103934665603ull;
    for (char c : ToLowerAscii(fullPath)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof name, "Local\\Quorvel.config.%08lx%08lx",
                  static_cast<unsigned long>(hash >> 32),
                  static_cast<unsigned long>(hash & 0xFFFFFFFFu));
    return name;
}

void RemoveAbandonedSettingsCopies(const std::string& settingsPath) {
    // Another running copy of the program may be using its own copies.
    RemoveAbandonedTempFiles(FolderOf(FullPath(settingsPath)), "~qc", false);
}

std::string SettingsPathFor(const std::string& programFolder) {
    return programFolder + "\\config.bin";
}

bool SaveBPD(const std::string& strFileName, const std::string& KeySection,
             const std::string& KeyKey, const std::string& KeyValue) {
    // The file keeps its 8-bit form: a profile file without a byte-order
    // mark is written back as such.
    return ::WritePrivateProfileStringW(Wide(KeySection).c_str(), Wide(KeyKey).c_str(),
                                        Wide(KeyValue).c_str(), Wide(strFileName).c_str()) != 0;
}

bool ReadProfileKey(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultText, std::string& value) {
    wchar_t buffer[500] = {};
    const DWORD n = ::GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                               Wide(defaultText).c_str(), buffer, 500,
                                               Wide(file).c_str());
    if (n == 0)
        return false;
    value = TrimBlanks(Utf8(std::wstring_view(buffer, std::wcslen(buffer))));
    return true;
}

SettingsUpdate UpdateSettingsFile(clsBinaryEncryptor& encryptor, const std::string& settingsPath,
                                  const std::function<bool(const std::string& plainPath)>& write,
                                  unsigned lockWaitMs) {
    // Waiting for another copy of the program and rewriting the file can
    // take a moment.
    WaitCursor wait;
    const std::string target = FullPath(settingsPath);
    const SettingsLock lock(target, lockWaitMs);
    if (!lock.owned())
        return SettingsUpdate::LockBusy;
    const auto copy = MakeTempCopy(target);
    const TempCopy& temp = *copy;
    if (!temp.ok())
        return SettingsUpdate::Failed;

    switch (CopySettings(target, temp.path())) {
    case CopyResult::Copied:
        // An existing file that does not unscramble would get the new key
        // written into its scrambled bytes: keep it as it is instead.
        if (FileSize(temp.path()) > 0 &&
            !encryptor.DecryptFile(temp.path(), temp.path(), kSettingsPassword))
            return SettingsUpdate::Failed;
        break;
    case CopyResult::Missing:
        break; // the first setting creates the file
    case CopyResult::Unreadable:
        return SettingsUpdate::Failed;
    }

    const bool written = write(temp.path());
    temp.ForgetProfile();
    std::string scrambled;
    return written && encryptor.EncryptFile(temp.path(), temp.path(), kSettingsPassword) &&
                   ReadWholeFile(temp.path(), scrambled) && ReplaceFileContents(target, scrambled)
               ? SettingsUpdate::Written
               : SettingsUpdate::Failed;
}

namespace {

// Keys that wait for the lock another running copy holds, per settings
// file, each with its latest value, in the order they first came.
struct WaitingKeys {
    std::string settingsPath;
    std::vector<std::pair<std::string, std::string>> keys;
};

std::vector<WaitingKeys>& Waiting() {
    static std::vector<WaitingKeys> waiting;
    return waiting;
}

UINT_PTR retryTimer = 0;
constexpr UINT kRetryMs = 250;

void StoreWaiting(DWORD waitMs);

void CALLBACK RetryWaiting(HWND, UINT, UINT_PTR, DWORD) {
    StoreWaiting(0);
}

// Stores every waiting key of each file whose lock comes free within
// `waitMs`; the keys of the others wait on.
void StoreWaiting(DWORD waitMs) {
    auto& waiting = Waiting();
    std::erase_if(waiting, [&](const WaitingKeys& file) {
        clsBinaryEncryptor encryptor;
        const SettingsUpdate result = UpdateSettingsFile(
            encryptor, file.settingsPath,
            [&](const std::string& plainPath) {
                bool all = true;
                for (const auto& [key, value] : file.keys)
                    all = SaveBPD(plainPath, kSettingsSection, key, value) && all;
                return all;
            },
            waitMs);
        return result != SettingsUpdate::LockBusy;
    });
    // The timer asks again while keys wait, on this thread, between messages.
    if (waiting.empty() && retryTimer) {
        ::KillTimer(nullptr, retryTimer);
        retryTimer = 0;
    } else if (!waiting.empty() && !retryTimer) {
        retryTimer = ::SetTimer(nullptr, 0, kRetryMs, RetryWaiting);
    }
}

} // namespace

void StoreSetting(const std::string& settingsPath, const std::string& key,
                  const std::string& value) {
    auto& waiting = Waiting();
    const std::string target = FullPath(settingsPath);
    auto file = std::find_if(waiting.begin(), waiting.end(),
                             [&](const WaitingKeys& w) { return w.settingsPath == target; });
    if (file == waiting.end())
        file = waiting.insert(waiting.end(), WaitingKeys{target, {}});
    auto known = std::find_if(file->keys.begin(), file->keys.end(),
                              [&](const auto& k) { return ToLowerAscii(k.first) == ToLowerAscii(key); });
    if (known != file->keys.end())
        known->second = value;
    else
        file->keys.emplace_back(key, value);
    StoreWaiting(kSettingsLockMomentMs);
}

bool StoreWaitingSettings(unsigned timeoutMs) {
    if (!Waiting().empty())
        StoreWaiting(timeoutMs);
    return Waiting().empty();
}

namespace {

// Unscrambles a copy of the settings file at `copy` and hands it to `read`.
void ReadCopy(clsBinaryEncryptor& encryptor, const std::string& target, const std::string& copy,
              const std::function<void(const std::string& plainPath)>& read) {
    {
        // Writes replace the file in one step, so a copy made while another
        // running copy holds the lock still sees the old or the new file
        // (only a folder that refuses new files has it rewritten in place):
        // the start does not wait long for it.
        const SettingsLock lock(target, 2000);
        if (CopySettings(target, copy) != CopyResult::Copied)
            ::DeleteFileW(Wide(copy).c_str());
    }
    encryptor.DecryptFile(copy, copy, kSettingsPassword);
    read(copy);
}

} // namespace

void ReadSettingsFile(clsBinaryEncryptor& encryptor, const std::string& settingsPath,
                      const std::function<void(const std::string& plainPath)>& read) {
    const std::string target = FullPath(settingsPath);
    // No settings yet (the first start): every key reads as missing from the
    // settings path itself, with no private copy to make.
    if (::GetFileAttributesW(Wide(target).c_str()) == INVALID_FILE_ATTRIBUTES &&
        (::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_PATH_NOT_FOUND)) {
        read(target);
        return;
    }
    const auto temp = MakeTempCopy(target);
    if (temp->ok())
        ReadCopy(encryptor, target, temp->path(), read);
}

} // namespace quorvel
