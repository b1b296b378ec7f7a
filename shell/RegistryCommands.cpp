// Placeholder until shell registration lands.
#include "app/frmMain.h"
namespace quorvel {
void frmMain::mnuAss_Click() {}
void frmMain::mnuUrl_Click() {}
} // namespace quorvel
