#include "common/ToolDialog.h"

namespace quorvel {

namespace {

// A fixed tool window: no sizing border, no minimise or maximise button and
// no taskbar button.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;
constexpr double kFontPoints = 6.75;

bool RegisterWindowClass(HINSTANCE instance, const char* className, WNDPROC wndProc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExA(instance, className, &wc))
        return true;
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = wndProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    return ::RegisterClassExA(&wc) != 0;
}

} // namespace

bool ToolDialog::CreateToolWindow(HINSTANCE instance, const char* className, const char* caption,
                                  double clientWidthTw, double clientHeightTw, Position position) {
    if (!RegisterWindowClass(instance, className, WndProc))
        return false;
    dpi_ = SystemDpi();
    RECT rc{0, 0, TwipsToPixels(clientWidthTw, dpi_.x), TwipsToPixels(clientHeightTw, dpi_.y)};
    ::AdjustWindowRectEx(&rc, kStyle, FALSE, kExStyle);
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    int left = 0;
    int top = 0;
    if (position == Position::ScreenCentre) {
        left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }

    creating_ = true;
    const HWND hwnd = ::CreateWindowExA(kExStyle, className, caption, kStyle, left, top, width,
                                        height, nullptr, nullptr, instance, this);
    creating_ = false;
    return hwnd != nullptr;
}

void ToolDialog::CreateDialogFont() {
    LOGFONTA lf{};
    lf.lfHeight = PointsToFontHeight(kFontPoints, dpi_.y);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Verdana", LF_FACESIZE);
    font_.reset(::CreateFontIndirectA(&lf));
    ::SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

HWND ToolDialog::CreateControl(HINSTANCE instance, const char* className, const char* text,
                               DWORD style, DWORD exStyle, int id, double leftTw, double topTw,
                               double widthTw, double heightTw) {
    const HWND control =
        ::CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                          TwipsToPixels(leftTw, dpi_.x), TwipsToPixels(topTw, dpi_.y),
                          TwipsToPixels(widthTw, dpi_.x), TwipsToPixels(heightTw, dpi_.y), hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

LRESULT ToolDialog::FocusedDefaultButton(HWND button, int id) {
    if (::GetFocus() == button)
        return MAKELRESULT(id, DC_HASDEFID);
    return 0;
}

LRESULT CALLBACK ToolDialog::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ToolDialog* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<ToolDialog*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<ToolDialog*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    const LRESULT result = self->HandleMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        if (!self->creating_)
            delete self;
    }
    return result;
}

} // namespace quorvel
