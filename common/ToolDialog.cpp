#include "common/ToolDialog.h"

namespace quorvel {

namespace {

// A fixed tool window: no sizing border, no minimise or maximise button and
// no taskbar button.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;
constexpr double kFontPoints = 6.75;

} // namespace

bool ToolDialog::CreateToolWindow(HINSTANCE instance, const char* className, const char* caption,
                                  double clientWidthTw, double clientHeightTw, Position position) {
    if (!RegisterClassOnce(instance, className, 0))
        return false;
    dpi_ = SystemDpi();
    RECT rc{0, 0, TwipsToPixels(clientWidthTw, dpi_.x), TwipsToPixels(clientHeightTw, dpi_.y)};
    ::AdjustWindowRectEx(&rc, kStyle, FALSE, kExStyle);
    ::OffsetRect(&rc, -rc.left, -rc.top);
    if (position == Position::ScreenCentre)
        ::OffsetRect(&rc, (::GetSystemMetrics(SM_CXSCREEN) - rc.right) / 2,
                     (::GetSystemMetrics(SM_CYSCREEN) - rc.bottom) / 2);
    creating_ = true;
    const HWND hwnd = CreateWindowFor(instance, kExStyle, className, caption, kStyle, rc, nullptr);
    creating_ = false;
    return hwnd != nullptr;
}

void ToolDialog::CreateDialogControls(HINSTANCE instance, std::span<const ControlSpec> controls) {
    font_ = CreatePointFont("Verdana", kFontPoints, FW_NORMAL, false, dpi_.y);
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    // Siblings that overlap keep their own pixels.
    CreateControls(hwnd_, instance, dpi_, font_.get(), controls, WS_CLIPSIBLINGS);
}

LRESULT ToolDialog::FocusedDefaultButton(HWND button, int id) {
    if (::GetFocus() == button)
        return MAKELRESULT(id, DC_HASDEFID);
    return 0;
}

void ToolDialog::OnWindowGone() noexcept {
    if (!creating_)
        delete this;
}

} // namespace quorvel
