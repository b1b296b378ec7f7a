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

// Writes one key: unscrambles a copy of the settings file, lets `write`
// change the plain copy, scrambles it and puts it in place of the settings
// file in one step. The settings file is never plain or half-written on
// disk; when its scrambled content cannot be read (locked or unreadable)
// nothing is written. Two running copies of the program take turns.
// Returns whether the settings file was replaced.
bool UpdateSettingsFile(clsBinaryEncryptor& encryptor, const std::string& settingsPath,
                        const std::function<bool(const std::string& plainPath)>& write);

// Reads keys: `read` gets the path of an unscrambled private copy (which may
// not exist when there are no settings). The settings file is not touched.
void ReadSettingsFile(clsBinaryEncryptor& encryptor, const std::string& settingsPath,
                      const std::function<void(const std::string& plainPath)>& read);

// Deletes the private copies that a killed run of the program left beside
// the settings file (those of programs still running stay).
void RemoveAbandonedSettingsCopies(const std::string& settingsPath);

// One key of a profile file; false when the profile write failed.
bool WriteProfileKey(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value);
// The value of one key, at most 499 characters, surrounding blanks removed,
// or `defaultText` when the key is missing. False, with `value` unchanged,
// when the key is present with an empty value.
bool ReadProfileKey(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultText, std::string& value);

} // namespace quorvel
