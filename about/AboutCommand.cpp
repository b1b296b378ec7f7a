// The About command: always-on-top goes off, and stays off, before the
// About box opens.
#include "app/frmMain.h"

#include "about/frmAbout.h"
#include "app/MenuCaption.h"
#include "app/resource.h"
#include "appearance/modGeneral.h"

namespace quorvel {

void frmMain::mnuAbout_Click() {
    settingsValue_ = "0";
    WriteSetting("ALWAYSONTOP");
    SetMenuCaption(menu_, IDM_mnuOnTop, "Set Always On Top (False)");
    SetTopMost(hwnd_, false);

    frmAbout about(instance_);
    about.Show(hwnd_);
}

} // namespace quorvel
