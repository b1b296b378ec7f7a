// The main window's side of the settings file: reading and writing single
// keys, and bringing the window to its saved state at start-up.
#include "app/frmMain.h"

#include "app/MenuCaption.h"
#include "app/TextFile.h"
#include "app/resource.h"
#include "appearance/modGeneral.h"
#include "appearance/modTransparency.h"
#include "common/NumberFormat.h"
#include "settings/SettingsFile.h"
#include "settings/clsBinaryEncryptor.h"

namespace quorvel {

void frmMain::SaveBPD(const void*, const std::string& strFileName, const std::string& KeySection,
                      const std::string& KeyKey, const std::string& KeyValue) {
    // A failed write is not reported: the window keeps its new state.
    WriteProfileKey(strFileName, KeySection, KeyKey, KeyValue);
}

void frmMain::LoadBPD(const void*, const std::string& strFileName, const std::string& KeySection,
                      const std::string& KeyKey) {
    // A missing key gives the file's own path, which is never a number; a
    // key with nothing after "=" leaves the settings value as it was.
    ReadProfileKey(strFileName, KeySection, KeyKey, strFileName, settingsValue_);
}

void frmMain::ReadSetting(const std::string& plainPath, const char* key) {
    // Read from the private plain copy; a missing key still gives the
    // settings file's own path.
    ReadProfileKey(plainPath, kSettingsSection, key, settingsPath_, settingsValue_);
}

void frmMain::WriteSetting(const std::string& key) {
    UpdateSettingsFile(*encryptor_, settingsPath_, [&](const std::string& plainPath) {
        return WriteProfileKey(plainPath, kSettingsSection, key, settingsValue_);
    });
}

namespace {

// "Equal to n" for a setting held as text: text that is not a number never
// equals anything.
bool HolderEquals(const std::string& holder, double n) {
    const auto value = ParseDouble(holder);
    return value && *value == n;
}

} // namespace

void frmMain::Load_Config() {
    RemoveAbandonedSettingsCopies(settingsPath_);
    ReadSettingsFile(*encryptor_, settingsPath_, [&](const std::string& plainPath) {
        ReadSetting(plainPath, "ALWAYSONTOP");
        alwaysOnTopHolder_ = settingsValue_;
        ReadSetting(plainPath, "TRANSPATENCY");
        ::SetWindowTextA(txtTransp_, settingsValue_.c_str());
        ReadSetting(plainPath, "FGCOLOR");
        foreColorHolder_ = settingsValue_;
        ReadSetting(plainPath, "BGCOLOR");
        backColorHolder_ = settingsValue_;
        ReadSetting(plainPath, "ADDFILEASS");
        fileAssHolder_ = settingsValue_;
        ReadSetting(plainPath, "ADDURLPROT");
        urlProtHolder_ = settingsValue_;
        ReadSetting(plainPath, "MAKEWRITE");
        makeWriteHolder_ = settingsValue_;
        ReadSetting(plainPath, "ForeColor");
        if (const auto c = ParseInt32(settingsValue_))
            SetForeColor(static_cast<std::uint32_t>(*c));
        ReadSetting(plainPath, "BackColor");
        if (const auto c = ParseInt32(settingsValue_))
            SetBackColor(static_cast<std::uint32_t>(*c));
    });

    const auto onTop = ParseDouble(alwaysOnTopHolder_);
    if (onTop && *onTop == 1) {
        SetTopMost(hwnd_, true);
        SetMenuCaption(menu_, IDM_mnuOnTop, "Set Always On Top (True)");
    } else if (!onTop || *onTop == 0) {
        SetMenuCaption(menu_, IDM_mnuOnTop, "Set Always On Top (False)");
    }

    if (const auto level = ParseInt16(GetWindowTextAll(txtTransp_)))
        SetTransparency(hwnd_, *level);

    // The upper-case keys come from a hand-edited file and win.
    if (const auto c = ParseInt32(foreColorHolder_))
        SetForeColor(static_cast<std::uint32_t>(*c));
    if (const auto c = ParseInt32(backColorHolder_))
        SetBackColor(static_cast<std::uint32_t>(*c));

    if (HolderEquals(fileAssHolder_, 0))
        SetMenuCaption(menu_, IDM_mnuAss, "Remove File Association");
    if (HolderEquals(urlProtHolder_, 0))
        SetMenuCaption(menu_, IDM_mnuUrl, "Remove URL Protocol");

    if (HolderEquals(makeWriteHolder_, 0)) {
        SetMenuCaption(menu_, IDM_mnuMakeWrite, "Make Read-Only");
        SetLocked(false);
    } else {
        SetMenuCaption(menu_, IDM_mnuMakeWrite, "Make Writable");
        SetLocked(true);
    }
}

} // namespace quorvel
