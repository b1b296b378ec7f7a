#include "common/Window.h"

#include "common/Unicode.h"

#include <algorithm>

namespace quorvel {

std::string GetWindowTextAll(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return Utf8(text);
}

void SetWindowTextUtf8(HWND hwnd, std::string_view text) {
    ::SetWindowTextW(hwnd, Wide(text).c_str());
}

namespace {

// What a hooked control keeps in its window properties.
constexpr wchar_t kHookProp[] = L"Quorvel.Hook";
constexpr wchar_t kSelfProp[] = L"Quorvel.HookSelf";
constexpr wchar_t kOwnProcProp[] = L"Quorvel.OwnProc";

LRESULT CALLBACK HookedProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto hook = reinterpret_cast<ControlHook>(::GetPropW(control, kHookProp));
    void* self = ::GetPropW(control, kSelfProp);
    if (msg == WM_NCDESTROY) {
        // The control ends: its own procedure back, and nothing left behind.
        const auto own = reinterpret_cast<WNDPROC>(::GetPropW(control, kOwnProcProp));
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        for (const wchar_t* prop : {kHookProp, kSelfProp, kOwnProcProp})
            ::RemovePropW(control, prop);
        return ::CallWindowProcW(own, control, msg, wParam, lParam);
    }
    return hook ? hook(control, msg, wParam, lParam, self)
                : CallControlProc(control, msg, wParam, lParam);
}

// The system's arrow cursor (IDC_ARROW, whose macro is the 8-bit form).
const LPCWSTR kArrowCursor = MAKEINTRESOURCEW(32512);

} // namespace

void HookControl(HWND control, ControlHook hook, void* self) {
    ::SetPropW(control, kHookProp, reinterpret_cast<HANDLE>(hook));
    ::SetPropW(control, kSelfProp, self);
    // The Unicode form: the hook and the control's own procedure get the
    // messages as UTF-16, whatever form the control was made in.
    const LONG_PTR own =
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookedProc));
    ::SetPropW(control, kOwnProcProp, reinterpret_cast<HANDLE>(own));
}

LRESULT CallControlProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto own = reinterpret_cast<WNDPROC>(::GetPropW(control, kOwnProcProp));
    return own ? ::CallWindowProcW(own, control, msg, wParam, lParam)
               : ::DefWindowProcW(control, msg, wParam, lParam);
}

void CreateControls(HWND parent, HINSTANCE instance, const Dpi& dpi, HFONT font,
                    std::span<const ControlSpec> controls, DWORD extraStyle) {
    for (const ControlSpec& c : controls) {
        const HWND control = ::CreateWindowExW(
            c.exStyle, Wide(c.className).c_str(), Wide(c.text).c_str(),
            WS_CHILD | WS_VISIBLE | extraStyle | c.style, TwipsToPixels(c.left, dpi.x),
            TwipsToPixels(c.top, dpi.y), TwipsToPixels(c.width, dpi.x),
            TwipsToPixels(c.height, dpi.y), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        if (control && font)
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

bool WindowBase::RegisterClassOnce(HINSTANCE instance, const char* className, UINT style,
                                   HICON icon, HICON smallIcon) {
    const std::wstring name = Wide(className);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExW(instance, name.c_str(), &wc))
        return true;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = ::LoadCursorW(nullptr, kArrowCursor);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name.c_str();
    return ::RegisterClassExW(&wc) != 0;
}

HWND WindowBase::CreateWindowFor(HINSTANCE instance, DWORD exStyle, const char* className,
                                 const char* caption, DWORD style, const RECT& rc, HMENU menu) {
    return ::CreateWindowExW(exStyle, Wide(className).c_str(), Wide(caption).c_str(), style,
                             rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, nullptr,
                             menu, instance, this);
}

LRESULT CALLBACK WindowBase::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowBase* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    const LRESULT result = self->HandleMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnWindowGone();
    }
    return result;
}

} // namespace quorvel
