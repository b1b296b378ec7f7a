// The wiring of the menu: each command id to the routine that carries it
// out. Commands of the main window itself are its members; the others live
// with their feature and get only the parts of the window they use.
#include "app/frmMain.h"

#include "about/frmAbout.h"
#include "app/resource.h"
#include "appearance/frmTransP.h"
#include "settings/PreferenceCommands.h"
#include "settings/SettingsStore.h"
#include "shell/RegistryCommands.h"

namespace quorvel {

bool frmMain::OnCommand(UINT id) noexcept {
    using Handler = void (*)(frmMain&);
    struct Command {
        UINT id;
        Handler run;
    };
    static constexpr Command kCommands[] = {
        {IDM_mnuOpen, [](frmMain& f) { f.mnuOpen_Click(); }},
        {IDM_mnuSave, [](frmMain& f) { f.mnuSave_Click(); }},
        {IDM_mnuExit, [](frmMain& f) { f.mnuExit_Click(); }},
        {IDM_mnuMakeWrite, [](frmMain& f) { mnuMakeWrite_Click(f, f, *f.settings_); }},
        {IDM_mnuFC, [](frmMain& f) { mnuFC_Click(f.hwnd_, f, *f.settings_); }},
        {IDM_mnuBC, [](frmMain& f) { mnuBC_Click(f.hwnd_, f, *f.settings_); }},
        {IDM_mnuOnTop, [](frmMain& f) { mnuOnTop_Click(f.hwnd_, f, *f.settings_); }},
        {IDM_mnuTransP,
         [](frmMain& f) {
             const std::string folder = f.args_.programFolder;
             f.transPDlg_ = mnuTransP_Click(
                 f.instance_, f.transPDlg_,
                 {f.hwnd_, f.txtTransp_,
                  [folder] { return std::make_unique<SettingsStore>(folder); }});
         }},
        {IDM_mnuAss, [](frmMain& f) { mnuAss_Click(f, *f.settings_, f.ProgramPath()); }},
        {IDM_mnuUrl, [](frmMain& f) { mnuUrl_Click(f, *f.settings_, f.ProgramPath()); }},
        {IDM_mnuUndo, [](frmMain& f) { f.mnuUndo_Click(); }},
        {IDM_mnuCut, [](frmMain& f) { f.mnuCut_Click(); }},
        {IDM_mnuCopy, [](frmMain& f) { f.mnuCopy_Click(); }},
        {IDM_mnuPaste, [](frmMain& f) { f.mnuPaste_Click(); }},
        {IDM_mnuDelete, [](frmMain& f) { f.mnuDelete_Click(); }},
        {IDM_mnuGoto, [](frmMain& f) { f.mnuGoto_Click(); }},
        {IDM_mnuSelAll, [](frmMain& f) { f.mnuSelAll_Click(); }},
        {IDM_mnuNow, [](frmMain& f) { f.mnuNow_Click(); }},
        {IDM_mnuAbout, [](frmMain& f) { mnuAbout_Click(f.instance_, f.hwnd_, f, *f.settings_); }},
    };
    for (const Command& c : kCommands) {
        if (c.id == id) {
            // Handlers report their own failures; nothing may escape into
            // the message loop.
            try {
                c.run(*this);
            } catch (...) {
            }
            return true;
        }
    }
    return false;
}

} // namespace quorvel
