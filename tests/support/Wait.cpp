#include "tests/support/Wait.h"

namespace quorvel::test {

namespace {
bool Poll(const std::function<bool()>& condition, DWORD timeoutMs, bool pump) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (pump && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (condition())
            return true;
        if (::GetTickCount64() >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, pump ? QS_ALLINPUT : 0);
    }
}
} // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    return Poll(condition, timeoutMs, true);
}

bool WaitUntilQuiet(const std::function<bool()>& condition, DWORD timeoutMs) {
    return Poll(condition, timeoutMs, false);
}

} // namespace quorvel::test
