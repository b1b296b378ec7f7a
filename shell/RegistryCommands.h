#pragma once
// File > Preferences > Registry Settings: the two toggles that register the
// program with the shell.
#include "common/MainWindowParts.h"

#include <string>

namespace quorvel {

// Add / Remove File Association for the program at `programPath` (its
// folder and file name without the extension).
void mnuAss_Click(ToggleCaptions& captions, SettingsWriter& settings,
                  const std::string& programPath);
// Add / Remove URL Protocol.
void mnuUrl_Click(ToggleCaptions& captions, SettingsWriter& settings,
                  const std::string& programPath);

} // namespace quorvel
