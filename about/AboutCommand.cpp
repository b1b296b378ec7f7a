// Placeholder until the About dialog lands.
#include "app/frmMain.h"
namespace quorvel {
void frmMain::mnuAbout_Click() {}
} // namespace quorvel
