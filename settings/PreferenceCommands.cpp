// Colour, always-on-top and read-only commands: each applies its change to
// the window at once and stores it at once.
#include "app/frmMain.h"

#include "app/MenuCaption.h"
#include "app/resource.h"
#include "appearance/modGeneral.h"

#include <commdlg.h>

#include <string>

namespace quorvel {

bool frmMain::PickColor(std::uint32_t current, std::uint32_t& chosen) {
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = hwnd_;
    // The dialog opens on the colour being changed.
    cc.rgbResult = (current & 0x80000000u) ? ::GetSysColor(static_cast<int>(current & 0xFFu))
                                           : static_cast<COLORREF>(current);
    cc.lpCustColors = customColors_;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    // Cancel is a failure of the dialog: the command changes nothing.
    if (!::ChooseColorA(&cc))
        return false;
    dialogColor_ = cc.rgbResult;
    chosen = static_cast<std::uint32_t>(cc.rgbResult & 0x00FFFFFFu);
    return true;
}

void frmMain::mnuFC_Click() {
    std::uint32_t color = 0;
    if (!PickColor(foreColor_, color) || !SetForeColor(color))
        return;
    settingsValue_ = std::to_string(static_cast<std::int32_t>(foreColor_));
    WriteSetting("ForeColor");
}

void frmMain::mnuBC_Click() {
    std::uint32_t color = 0;
    if (!PickColor(backColor_, color) || !SetBackColor(color))
        return;
    settingsValue_ = std::to_string(static_cast<std::int32_t>(backColor_));
    WriteSetting("BackColor");
}

void frmMain::mnuOnTop_Click() {
    const std::string caption = GetMenuCaption(menu_, IDM_mnuOnTop);
    bool topMost = false;
    if (caption == "Set Always On Top (True)") {
        settingsValue_ = "0";
        WriteSetting("ALWAYSONTOP");
        SetMenuCaption(menu_, IDM_mnuOnTop, "Set Always On Top (False)");
        topMost = false;
    } else if (caption == "Set Always On Top (False)") {
        settingsValue_ = "1";
        WriteSetting("ALWAYSONTOP");
        SetMenuCaption(menu_, IDM_mnuOnTop, "Set Always On Top (True)");
        topMost = true;
    } else {
        return;
    }
    SetTopMost(hwnd_, topMost);
}

void frmMain::mnuMakeWrite_Click() {
    const std::string caption = GetMenuCaption(menu_, IDM_mnuMakeWrite);
    if (caption == "Make Writable") {
        SetMenuCaption(menu_, IDM_mnuMakeWrite, "Make Read-Only");
        SetLocked(false);
        settingsValue_ = "0";
        WriteSetting("MAKEWRITE");
    } else if (caption == "Make Read-Only") {
        SetMenuCaption(menu_, IDM_mnuMakeWrite, "Make Writable");
        SetLocked(true);
        settingsValue_ = "1";
        WriteSetting("MAKEWRITE");
    }
}

} // namespace quorvel
