#pragma once
// Shows the wait cursor for as long as the object lives: around work that
// keeps the window from answering for a while (a large file read or
// written, the settings file rewritten), so the user sees that the program
// is busy rather than hung.
#include <windows.h>

namespace quorvel {

class WaitCursor {
public:
    // 32514 is IDC_WAIT, whose macro is the 8-bit form.
    WaitCursor() : old_(::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)))) {}
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { ::SetCursor(old_); }

private:
    HCURSOR old_;
};

} // namespace quorvel
