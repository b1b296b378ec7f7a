#include "settings/SettingsStore.h"

#include "settings/SettingsFile.h"

namespace quorvel {

namespace {

// Names the plain copy for as long as it exists.
class PlainCopyScope {
public:
    PlainCopyScope(std::string& slot, const std::string& path) : slot_(slot) { slot_ = path; }
    PlainCopyScope(const PlainCopyScope&) = delete;
    PlainCopyScope& operator=(const PlainCopyScope&) = delete;
    ~PlainCopyScope() { slot_.clear(); }

private:
    std::string& slot_;
};

} // namespace

SettingsStore::SettingsStore(const std::string& programFolder)
    : path_(SettingsPathFor(programFolder)) {}

const std::string& SettingsStore::PlainFileOf(const std::string& strFileName) const {
    return !plainCopy_.empty() && strFileName == path_ ? plainCopy_ : strFileName;
}

void SettingsStore::LoadBPD(const void*, const std::string& strFileName,
                            const std::string& KeySection, const std::string& KeyKey) {
    ReadProfileKey(PlainFileOf(strFileName), KeySection, KeyKey, strFileName, value_);
}

void SettingsStore::Write(const std::string& key, const std::string& value) {
    value_ = value;
    StoreSetting(path_, key, value_);
}

void SettingsStore::ReadAll(const std::function<void()>& read) {
    RemoveAbandonedSettingsCopies(path_);
    ReadSettingsFile(encryptor_, path_, [&](const std::string& plainPath) {
        const PlainCopyScope scope(plainCopy_, plainPath);
        read();
    });
}

} // namespace quorvel
