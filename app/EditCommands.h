#pragma once
// The text that Insert Time and Date puts into the text box.
#include <windows.h>
#include <wtypes.h>

#include <string>

namespace quorvel {

// An OLE date as the user's locale writes a general date: short date, a
// blank and long time; the date alone when the time is exactly midnight.
std::string FormatGeneralDate(DATE date);

// The current local date and time (whole seconds) in that form.
std::string CurrentGeneralDate();

} // namespace quorvel
