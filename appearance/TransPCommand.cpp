// Placeholder until the transparency dialog lands.
#include "app/frmMain.h"
namespace quorvel {
void frmMain::mnuTransP_Click() {}
} // namespace quorvel
