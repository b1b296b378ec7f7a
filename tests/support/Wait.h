#pragma once
// Waiting for a condition with a deadline, never for a fixed time.
#include <windows.h>

#include <functional>

namespace quorvel::test {

// Polls `condition` until it holds or `timeoutMs` passes, processing this
// thread's window messages meanwhile. True when the condition held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The same without touching this thread's messages (for helper threads).
bool WaitUntilQuiet(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

} // namespace quorvel::test
