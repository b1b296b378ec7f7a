#pragma once
// Shows the wait cursor for as long as the object lives: around work that
// keeps the window from answering for a while (a large file read or
// written, the settings file rewritten), so the user sees that the program
// is busy rather than hung.
#include <windows.h>

namespace quorvel {

class WaitCursor {
public:
    WaitCursor() : old_(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { ::SetCursor(old_); }

private:
    HCURSOR old_;
};

} // namespace quorvel
