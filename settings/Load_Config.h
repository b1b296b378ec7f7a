#pragma once
// Bringing the main window to its saved state at start-up.
#include <windows.h>

#include "common/MainWindowParts.h"

namespace quorvel {

class SettingsStore;

// Reads every key of the settings file and applies them: colours,
// always-on-top, opacity (through the level text in `txtTransp`), the
// read-only state and the toggles' captions.
void Load_Config(SettingsStore& store, HWND window, HWND txtTransp, ToggleCaptions& captions,
                 TextBoxState& textBox);

} // namespace quorvel
