#pragma once
// Colour, always-on-top and read-only commands: each applies its change to
// the main window at once and stores it at once.
#include <windows.h>

#include "common/MainWindowParts.h"

namespace quorvel {

// Set ForeColor and Set BackColor: the colour dialog, owned by `owner`.
void mnuFC_Click(HWND owner, TextBoxState& textBox, SettingsWriter& settings);
void mnuBC_Click(HWND owner, TextBoxState& textBox, SettingsWriter& settings);
// Set Always On Top: `window` goes into the topmost band or out of it.
void mnuOnTop_Click(HWND window, ToggleCaptions& captions, SettingsWriter& settings);
// Make Writable / Make Read-Only.
void mnuMakeWrite_Click(ToggleCaptions& captions, TextBoxState& textBox, SettingsWriter& settings);

} // namespace quorvel
