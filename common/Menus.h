#pragma once
// Menu captions as the commands see them: the text before the tab that
// separates the shortcut, as UTF-8. The toggle commands keep their state in
// these.
#include <windows.h>
#include <string>

namespace quorvel {

std::string GetMenuCaption(HMENU menu, UINT id);
// Replaces the caption, keeping the shortcut text after the tab.
void SetMenuCaption(HMENU menu, UINT id, const std::string& caption);
bool IsMenuItemEnabled(HMENU menu, UINT id);
void SetMenuItemEnabled(HMENU menu, UINT id, bool enabled);

} // namespace quorvel
