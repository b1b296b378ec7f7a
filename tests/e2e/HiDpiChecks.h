#pragma once
// Layout checks shared by the HiDPI process tests and the in-process
// window checks they start: rectangles of child windows, which can be read
// from any process.
#include <windows.h>

#include <string>
#include <vector>

namespace quorvel::test {

// Set by the process test for the in-process checks it starts: the DPI
// that process must have been started with.
inline constexpr char kExpectedDpiVariable[] = "QUORVEL_TEST_DPI";

inline bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

inline std::string Describe(const RECT& rc) {
    return "(" + std::to_string(rc.left) + "," + std::to_string(rc.top) + ")-(" +
           std::to_string(rc.right) + "," + std::to_string(rc.bottom) + ")";
}

// A child window's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND child) {
    RECT rc{};
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Class, id and text of a control, for messages.
inline std::string ControlName(HWND control) {
    char cls[64] = {};
    ::GetClassNameA(control, cls, sizeof cls);
    char text[128] = {};
    ::GetWindowTextA(control, text, sizeof text);
    return std::string(cls) + " #" + std::to_string(::GetDlgCtrlID(control)) + " \"" + text + "\"";
}

// The visible child windows of `parent` that reach outside its client area,
// each with its rectangle; empty when every one lies inside.
inline std::vector<std::string> ChildrenOutside(HWND parent) {
    std::vector<std::string> outside;
    RECT client{};
    ::GetClientRect(parent, &client);
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child))
            continue;
        const RECT rc = RectInParent(child);
        if (rc.left < client.left || rc.top < client.top || rc.right > client.right ||
            rc.bottom > client.bottom)
            outside.push_back(ControlName(child) + " at " + Describe(rc) + " in " +
                              Describe(client));
    }
    return outside;
}

} // namespace quorvel::test
