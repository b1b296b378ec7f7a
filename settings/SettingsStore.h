#pragma once
// The settings store of one window: its own cipher, the settings path, and
// the settings value through which every read and write of a key passes.
// The main window keeps one for its lifetime; the transparency dialog makes
// its own while it is open.
#include "common/MainWindowParts.h"
#include "settings/clsBinaryEncryptor.h"

#include <functional>
#include <string>

namespace quorvel {

class SettingsStore final : public SettingsWriter {
public:
    explicit SettingsStore(const std::string& programFolder);

    // The program folder followed by "\config.bin".
    const std::string& path() const { return path_; }
    // The settings value: what the last read gave, or the last value written.
    const std::string& value() const { return value_; }

    // Sets the settings value and stores it under `key` at once, the file
    // unscrambled and scrambled again around the profile write (SaveBPD);
    // while another running copy holds the settings file, soon after.
    void Write(const std::string& key, const std::string& value) override;

    // Runs `read` while an unscrambled copy of the settings file stands in
    // for it, so that LoadBPD on the settings path reads the plain keys.
    void ReadAll(const std::function<void()>& read);

    // Reads one key into the settings value: a missing key gives the
    // settings file's own path (never a number), a key with nothing after
    // "=" leaves the value as it was. `TheForm` is unused.
    void LoadBPD(const void* TheForm, const std::string& strFileName, const std::string& KeySection,
                 const std::string& KeyKey);

private:
    // The file that holds the plain keys of `strFileName` at the moment.
    const std::string& PlainFileOf(const std::string& strFileName) const;

    clsBinaryEncryptor encryptor_;
    std::string path_;
    std::string value_;
    std::string plainCopy_; // while a read is under way
};

} // namespace quorvel
