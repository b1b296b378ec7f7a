#include "app/frmGotoLine.h"

#include "app/TextFile.h"
#include "appearance/modGeneral.h"
#include "common/NumberFormat.h"

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

namespace quorvel {

namespace {

// The dialog's client area, in twips.
constexpr double kClientWidthTw = 2760;
constexpr double kClientHeightTw = 1080;
constexpr double kFontPoints = 6.75;

// A fixed tool window: no sizing border, no minimise or maximise button and
// no taskbar button.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;

constexpr UINT_PTR kLineNrSubclass = 1;

// Shift state of a key event: 1 Shift, 2 Ctrl, 4 Alt.
std::int16_t ShiftState() {
    std::int16_t shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0)
        shift |= 1;
    if (::GetKeyState(VK_CONTROL) < 0)
        shift |= 2;
    if (::GetKeyState(VK_MENU) < 0)
        shift |= 4;
    return shift;
}

} // namespace

bool frmGotoLine::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExA(instance, kClassName, &wc))
        return true;
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExA(&wc) != 0;
}

HWND frmGotoLine::Show(HINSTANCE instance, HWND txtnfo) {
    if (!RegisterWindowClass(instance))
        return nullptr;
    std::unique_ptr<frmGotoLine> form(new frmGotoLine(txtnfo));
    form->dpi_ = SystemDpi();

    RECT rc{0, 0, TwipsToPixels(kClientWidthTw, form->dpi_.x),
            TwipsToPixels(kClientHeightTw, form->dpi_.y)};
    ::AdjustWindowRectEx(&rc, kStyle, FALSE, kExStyle);
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    form->creating_ = true;
    const HWND hwnd = ::CreateWindowExA(kExStyle, kClassName, kCaption, kStyle, left, top, width,
                                        height, nullptr, nullptr, instance, form.get());
    if (!hwnd)
        return nullptr;
    frmGotoLine* self = form.release(); // the window owns it from here on
    self->creating_ = false;

    try {
        self->Form_Load();
    } catch (...) {
        // A failing step of the load leaves a usable dialog.
    }
    ::ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

HWND frmGotoLine::CreateControl(HINSTANCE instance, const char* className, const char* text,
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

void frmGotoLine::CreateControls(HINSTANCE instance) {
    LOGFONTA lf{};
    lf.lfHeight = PointsToFontHeight(kFontPoints, dpi_.y);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Verdana", LF_FACESIZE);
    font_.reset(::CreateFontIndirectA(&lf));
    ::SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    // Created in tab order, which is also the sibling order: the entry box
    // lies on top of the bottom of the info label it overlaps.
    txtLineNr_ = CreateControl(instance, "EDIT", "", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
                               WS_EX_CLIENTEDGE, kTxtLineNr, 105, 285, 2475, 270);
    cmdGoto_ = CreateControl(instance, "BUTTON", "Goto...", WS_TABSTOP | BS_PUSHBUTTON, 0, kCmdGoto,
                             1695, 615, 900, 345);
    lblInfo_ = CreateControl(instance, "STATIC", "Enter the Line Number below:", SS_LEFT, 0,
                             kLblInfo, 105, 105, 2505, 270);
    lblCount_ = CreateControl(instance, "STATIC", "Lines Count:", SS_LEFT, 0, kLblCount, 105, 675,
                              1560, 195);
    ::SetWindowSubclass(txtLineNr_, LineNrProc, kLineNrSubclass, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK frmGotoLine::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    frmGotoLine* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<frmGotoLine*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<frmGotoLine*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
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

LRESULT frmGotoLine::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (msg) {
        case WM_CREATE:
            CreateControls(reinterpret_cast<CREATESTRUCTA*>(lParam)->hInstance);
            return 0;
        case WM_SETFOCUS:
            Form_GotFocus();
            return 0;
        case WM_COMMAND:
            // Enter and Esc of the keyboard interface arrive as IDOK and
            // IDCANCEL; the dialog has no such buttons.
            if (LOWORD(wParam) == kCmdGoto && HIWORD(wParam) == BN_CLICKED) {
                cmdGoto_Click(); // may end the dialog: nothing may follow
                return 0;
            }
            return 0;
        case DM_GETDEFID:
            // Enter presses the button that has the focus, as in Windows'
            // own dialogs.
            if (::GetFocus() == cmdGoto_)
                return MAKELRESULT(kCmdGoto, DC_HASDEFID);
            return 0;
        case WM_DESTROY:
            ::RemoveWindowSubclass(txtLineNr_, LineNrProc, kLineNrSubclass);
            return 0;
        default:
            break;
        }
    } catch (...) {
        // Nothing may escape into the message loop.
    }
    return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK frmGotoLine::LineNrProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR selfPtr) {
    auto* self = reinterpret_cast<frmGotoLine*>(selfPtr);
    switch (msg) {
    case WM_GETDLGCODE:
        // Enter belongs to the box: the dialog's keyboard interface must not
        // turn it into a press of some other button.
        if (lParam) {
            const auto* m = reinterpret_cast<const MSG*>(lParam);
            if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN)
                return ::DefSubclassProc(hwnd, msg, wParam, lParam) | DLGC_WANTALLKEYS;
        }
        break;
    case WM_KEYDOWN: {
        const bool enter = wParam == VK_RETURN;
        self->txtLineNr_KeyDown(static_cast<std::int16_t>(wParam), ShiftState());
        if (enter)
            return 0; // the dialog, and this box, may be gone now
        break;
    }
    case WM_CHAR:
        // Enter's character has no place in a one-line box.
        if (wParam == '\r')
            return 0;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

void frmGotoLine::Form_Load() {
    SetTopMost(hwnd_, true);
    // Taken once: a text changed while the dialog is open keeps the count
    // shown.
    const LRESULT count = ::SendMessageA(txtnfo_, EM_GETLINECOUNT, 0, 0);
    const std::string caption = "Line(s) Count: " + std::to_string(count);
    ::SetWindowTextA(lblCount_, caption.c_str());
}

void frmGotoLine::Form_GotFocus() {
    ::SetFocus(txtLineNr_);
}

void frmGotoLine::txtLineNr_KeyDown(std::int16_t KeyCode, std::int16_t) {
    if (KeyCode == 13)
        cmdGoto_Click();
}

void frmGotoLine::ShowInvalidLineNumber() {
    ::MessageBoxA(hwnd_, "Invalid Line Number!", "Error", MB_OK | MB_ICONINFORMATION);
}

void frmGotoLine::cmdGoto_Click() {
    const std::string text = GetWindowTextAll(txtLineNr_);
    if (text.empty()) {
        ShowInvalidLineNumber();
        return;
    }
    // Zero-based, halves to even. Text that is not a number, a number beyond
    // 32 bits and entries below 0 name no line either.
    const std::optional<double> number = ParseDouble(text);
    const std::optional<std::int32_t> line =
        number ? RoundToInt32(*number - 1) : std::optional<std::int32_t>();
    if (!line || *line < -1) {
        ShowInvalidLineNumber();
        return;
    }
    // -1 asks for the start of the line holding the caret.
    const LRESULT start =
        ::SendMessageA(txtnfo_, EM_LINEINDEX, static_cast<WPARAM>(static_cast<INT_PTR>(*line)), 0);
    if (start == -1) {
        ShowInvalidLineNumber();
        return;
    }
    ::SendMessageA(txtnfo_, EM_SETSEL, static_cast<WPARAM>(start), start);
    ::SendMessageA(txtnfo_, EM_SCROLLCARET, 0, 0);
    ::DestroyWindow(hwnd_);
}

} // namespace quorvel
