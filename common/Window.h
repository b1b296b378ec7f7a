#pragma once
// The object behind a window, and controls laid out in twips from a table.
// Every window and control here is a Unicode one: texts go in and come out
// as UTF-8 and reach the system as UTF-16.
#include <windows.h>

#include "common/Twips.h"

#include <span>
#include <string>
#include <string_view>

namespace quorvel {

// The text of a window, all of it, as UTF-8.
std::string GetWindowTextAll(HWND hwnd);
// Gives a window the UTF-8 text.
void SetWindowTextUtf8(HWND hwnd, std::string_view text);

// A procedure put in front of a control's own, for the control's object
// `self`; it hands on what it leaves alone with CallControlProc.
using ControlHook = LRESULT (*)(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, void* self);
// Puts `hook` in front of the control's procedure until the control ends.
void HookControl(HWND control, ControlHook hook, void* self);
// The control's own procedure, for the messages a hook hands on.
LRESULT CallControlProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam);

// One control of a form, placed in twips; class name and text are UTF-8.
struct ControlSpec {
    const char* className;
    const char* text;
    DWORD style;
    DWORD exStyle;
    int id;
    double left, top, width, height;
};

// Creates the controls of `parent` in the table's order, which is also the
// keyboard's, each visible, with `extraStyle`, placed at the display's DPI
// and in `font` (none: the system's).
void CreateControls(HWND parent, HINSTANCE instance, const Dpi& dpi, HFONT font,
                    std::span<const ControlSpec> controls, DWORD extraStyle = 0);

// A window whose messages go to its object: the object is stored with the
// window at WM_NCCREATE, found again for every message, and told when the
// window is gone.
class WindowBase {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    HWND hwnd() const { return hwnd_; }

protected:
    WindowBase() = default;
    virtual ~WindowBase() = default;

    // Registers `className` (ASCII) for windows of this kind, once per
    // process.
    static bool RegisterClassOnce(HINSTANCE instance, const char* className, UINT style,
                                  HICON icon = nullptr, HICON smallIcon = nullptr);
    // Creates the window with this object behind it; the caption is UTF-8.
    HWND CreateWindowFor(HINSTANCE instance, DWORD exStyle, const char* className,
                         const char* caption, DWORD style, const RECT& rc, HMENU menu);

    // Every message of the window; what it leaves alone goes on to
    // DefWindowProcW (the window is a Unicode one, its caption UTF-16).
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept = 0;
    // After WM_NCDESTROY: the window is gone, and the object may end itself.
    virtual void OnWindowGone() noexcept {}

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

} // namespace quorvel
