#pragma once
// The scrambled settings file, config.bin: a profile file with one section,
// "INIT", kept scrambled on disk and unscrambled only on a private copy for
// the moment of a read or a write.
#include <functional>
#include <string>

namespace quorvel {

class clsBinaryEncryptor;

inline const std::u16string kSettingsPassword = u"\u00A9KWZ";
inline constexpr char kSettingsSection[] = "INIT";

// The program folder followed by "\config.bin".
std::string SettingsPathFor(const std::string& programFolder);

// How long a command waits for the lock another running copy holds before
// its key waits in the process instead (StoreSetting).
inline constexpr unsigned kSettingsLockMomentMs = 200;

enum class SettingsUpdate {
    Written,
    LockBusy, // another running copy held the lock all the while: nothing written
    Failed,   // the settings file could not be read or replaced: nothing written
};

// Writes keys: unscrambles a copy of the settings file, lets `write` change
// the plain copy, scrambles it and puts it in place of the settings file in
// one step. The settings file is never plain or half-written on disk; when
// its scrambled content cannot be read (locked or unreadable) nothing is
// written. Two running copies of the program take turns through a lock,
// waited for at most `lockWaitMs`: nothing is ever written without it.
SettingsUpdate UpdateSettingsFile(clsBinaryEncryptor& encryptor, const std::string& settingsPath,
                                  const std::function<bool(const std::string& plainPath)>& write,
                                  unsigned lockWaitMs = kSettingsLockMomentMs);

// Stores one key at once. While another running copy holds the lock for
// longer than a moment, the key waits in this process, with those that
// come meanwhile (each with its latest value, in order), and all are
// stored together as soon as the lock is free: a command never keeps the
// window waiting, and no setting is lost or written without the lock. A
// write that fails for another reason (a read-only file) is dropped.
void StoreSetting(const std::string& settingsPath, const std::string& key,
                  const std::string& value);

// Stores the keys that still wait, waiting for the lock at most `timeoutMs`
// (for the end of the program); true when none waits any more.
bool StoreWaitingSettings(unsigned timeoutMs);

// Reads keys: `read` gets the path of an unscrambled private copy (which may
// not exist when there are no settings). The settings file is not touched.
void ReadSettingsFile(clsBinaryEncryptor& encryptor, const std::string& settingsPath,
                      const std::function<void(const std::string& plainPath)>& read);

// The name of the mutex through which running copies of the program take
// turns with the settings file at `fullPath`.
std::string SettingsLockName(const std::string& fullPath);

// Deletes the private copies that a killed run of the program left beside
// the settings file (those of programs still running stay).
void RemoveAbandonedSettingsCopies(const std::string& settingsPath);

// One key of a profile file; false when the profile write failed.
bool SaveBPD(const std::string& strFileName, const std::string& KeySection,
             const std::string& KeyKey, const std::string& KeyValue);
// The value of one key, at most 499 characters, surrounding blanks removed,
// or `defaultText` when the key is missing. False, with `value` unchanged,
// when the key is present with an empty value.
bool ReadProfileKey(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultText, std::string& value);

} // namespace quorvel
