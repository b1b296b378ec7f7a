#include "common/Window.h"

#include <algorithm>

namespace quorvel {

std::string GetWindowTextAll(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

namespace {

// What a hooked control keeps in its window properties.
constexpr char kHookProp[] = "Quorvel.Hook";
constexpr char kSelfProp[] = "Quorvel.HookSelf";
constexpr char kOwnProcProp[] = "Quorvel.OwnProc";

LRESULT CALLBACK HookedProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto hook = reinterpret_cast<ControlHook>(::GetPropA(control, kHookProp));
    void* self = ::GetPropA(control, kSelfProp);
    if (msg == WM_NCDESTROY) {
        // The control ends: its own procedure back, and nothing left behind.
        const auto own = reinterpret_cast<WNDPROC>(::GetPropA(control, kOwnProcProp));
        ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        for (const char* prop : {kHookProp, kSelfProp, kOwnProcProp})
            ::RemovePropA(control, prop);
        return ::CallWindowProcA(own, control, msg, wParam, lParam);
    }
    return hook ? hook(control, msg, wParam, lParam, self)
                : CallControlProc(control, msg, wParam, lParam);
}

} // namespace

void HookControl(HWND control, ControlHook hook, void* self) {
    ::SetPropA(control, kHookProp, reinterpret_cast<HANDLE>(hook));
    ::SetPropA(control, kSelfProp, self);
    const LONG_PTR own =
        ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookedProc));
    ::SetPropA(control, kOwnProcProp, reinterpret_cast<HANDLE>(own));
}

LRESULT CallControlProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto own = reinterpret_cast<WNDPROC>(::GetPropA(control, kOwnProcProp));
    return own ? ::CallWindowProcA(own, control, msg, wParam, lParam)
               : ::DefWindowProcA(control, msg, wParam, lParam);
}

void CreateControls(HWND parent, HINSTANCE instance, const Dpi& dpi, HFONT font,
                    std::span<const ControlSpec> controls, DWORD extraStyle) {
    for (const ControlSpec& c : controls) {
        const HWND control = ::CreateWindowExA(
            c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | extraStyle | c.style,
            TwipsToPixels(c.left, dpi.x), TwipsToPixels(c.top, dpi.y),
            TwipsToPixels(c.width, dpi.x), TwipsToPixels(c.height, dpi.y), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        if (control && font)
            ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

bool WindowBase::RegisterClassOnce(HINSTANCE instance, const char* className, UINT style,
                                   HICON icon, HICON smallIcon) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExA(instance, className, &wc))
        return true;
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    return ::RegisterClassExA(&wc) != 0;
}

HWND WindowBase::CreateWindowFor(HINSTANCE instance, DWORD exStyle, const char* className,
                                 const char* caption, DWORD style, const RECT& rc, HMENU menu) {
    return ::CreateWindowExA(exStyle, className, caption, style, rc.left, rc.top,
                             rc.right - rc.left, rc.bottom - rc.top, nullptr, menu, instance, this);
}

LRESULT CALLBACK WindowBase::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowBase* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    const LRESULT result = self->HandleMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnWindowGone();
    }
    return result;
}

} // namespace quorvel
