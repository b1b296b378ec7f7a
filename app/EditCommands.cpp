// Placeholder until the edit commands land.
#include "app/frmMain.h"
namespace quorvel {
void frmMain::mnuUndo_Click() {}
void frmMain::mnuCut_Click() {}
void frmMain::mnuCopy_Click() {}
void frmMain::mnuPaste_Click() {}
void frmMain::mnuDelete_Click() {}
void frmMain::mnuGoto_Click() {}
void frmMain::mnuSelAll_Click() {}
void frmMain::mnuNow_Click() {}
} // namespace quorvel
