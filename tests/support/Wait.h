#pragma once
// Waiting for a condition with a deadline, never for a fixed time.
#include <windows.h>

#include <functional>

namespace quorvel::test {

// True once `condition` holds, false after `timeoutMs`; WaitUntil also
// processes this thread's messages, the quiet one (for helper threads) not.
inline bool WaitUntilQuiet(const std::function<bool()>& condition, DWORD timeoutMs = 10000, bool pump = false) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (MSG msg;;) {
        while (pump && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::TranslateMessage(&msg), ::DispatchMessageW(&msg);
        if (condition())
            return true;
        if (::GetTickCount64() >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, pump ? QS_ALLINPUT : 0);
    }
}

inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
    return WaitUntilQuiet(condition, timeoutMs, true);
}

} // namespace quorvel::test
