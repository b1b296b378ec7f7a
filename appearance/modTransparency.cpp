#include "appearance/modTransparency.h"

namespace quorvel {

namespace {

using SetLayeredFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Looked up at run time: a user32 without it is a failure to report (code
// 2), not a program that cannot start.
SetLayeredFn LayeredAttributesEntry() {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetLayeredWindowAttributes")));
}

} // namespace

std::int32_t SetTransparency(HWND hwnd, std::int16_t level) {
    if (level < 0 || level > 255)
        return kTransparencyOutOfRange;
    bool failed = false;
    const LONG exStyle = ::GetWindowLongW(hwnd, GWL_EXSTYLE);
    ::SetWindowLongW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    if (const SetLayeredFn setLayered = LayeredAttributesEntry())
        setLayered(hwnd, 0, static_cast<BYTE>(level), LWA_ALPHA);
    else
        failed = true;
    return failed ? kTransparencySystemError : kTransparencyApplied;
}

} // namespace quorvel
