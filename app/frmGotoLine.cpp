#include "app/frmGotoLine.h"

#include "appearance/modGeneral.h"
#include "common/NumberFormat.h"
#include "common/Window.h"


#include <memory>
#include <optional>
#include <string>

namespace quorvel {

namespace {

// The dialog's client area, in twips.
constexpr double kClientWidthTw = 2760;
constexpr double kClientHeightTw = 1080;


// In tab order, which is also the sibling order: the entry box lies on top
// of the bottom of the info label it overlaps.
constexpr ControlSpec kControls[] = {
    {"EDIT", "", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, frmGotoLine::kTxtLineNr,
     105, 285, 2475, 270},
    {"BUTTON", "Goto...", WS_TABSTOP | BS_PUSHBUTTON, 0, frmGotoLine::kCmdGoto, 1695, 615, 900,
     345},
    {"STATIC", "Enter the Line Number below:", SS_LEFT, 0, frmGotoLine::kLblInfo, 105, 105, 2505,
     270},
    {"STATIC", "Lines Count:", SS_LEFT, 0, frmGotoLine::kLblCount, 105, 675, 1560, 195},
};

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

HWND frmGotoLine::Show(HINSTANCE instance, HWND txtnfo) {
    std::unique_ptr<frmGotoLine> form(new frmGotoLine(txtnfo));
    if (!form->CreateToolWindow(instance, kClassName, kCaption, kClientWidthTw, kClientHeightTw,
                                Position::ScreenCentre))
        return nullptr;
    frmGotoLine* self = form.release(); // the window owns it from here on
    const HWND hwnd = self->hwnd_;

    try {
        self->Form_Load();
    } catch (...) {
        // A failing step of the load leaves a usable dialog.
    }
    ::ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

void frmGotoLine::CreateControls(HINSTANCE instance) {
    CreateDialogControls(instance, kControls);
    HookControl(Control(kTxtLineNr), LineNrHook, this);
}

LRESULT frmGotoLine::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (msg) {
        case WM_CREATE:
            CreateControls(reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance);
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
            return FocusedDefaultButton(Control(kCmdGoto), kCmdGoto);
        default:
            break;
        }
    } catch (...) {
        // Nothing may escape into the message loop.
    }
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT frmGotoLine::LineNrHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                void* selfPtr) {
    auto* self = static_cast<frmGotoLine*>(selfPtr);
    switch (msg) {
    case WM_GETDLGCODE:
        // Enter belongs to the box: the dialog's keyboard interface must not
        // turn it into a press of some other button.
        if (lParam) {
            const auto* m = reinterpret_cast<const MSG*>(lParam);
            if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN)
                return CallControlProc(hwnd, msg, wParam, lParam) | DLGC_WANTALLKEYS;
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
    return CallControlProc(hwnd, msg, wParam, lParam);
}

void frmGotoLine::Form_Load() {
    SetTopMost(hwnd_, true);
    // Taken once: a text changed while the dialog is open keeps the count
    // shown.
    const LRESULT count = ::SendMessageW(txtnfo_, EM_GETLINECOUNT, 0, 0);
    SetWindowTextUtf8(Control(kLblCount), "Line(s) Count: " + std::to_string(count));
}

void frmGotoLine::Form_GotFocus() {
    ::SetFocus(Control(kTxtLineNr));
}

void frmGotoLine::txtLineNr_KeyDown(std::int16_t KeyCode, std::int16_t) {
    if (KeyCode == 13)
        cmdGoto_Click();
}

void frmGotoLine::ShowInvalidLineNumber() {
    ::MessageBoxW(hwnd_, L"Invalid Line Number!", L"Error", MB_OK | MB_ICONINFORMATION);
}

void frmGotoLine::cmdGoto_Click() {
    const std::string text = GetWindowTextAll(Control(kTxtLineNr));
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
        ::SendMessageW(txtnfo_, EM_LINEINDEX, static_cast<WPARAM>(static_cast<INT_PTR>(*line)), 0);
    if (start == -1) {
        ShowInvalidLineNumber();
        return;
    }
    ::SendMessageW(txtnfo_, EM_SETSEL, static_cast<WPARAM>(start), start);
    ::SendMessageW(txtnfo_, EM_SCROLLCARET, 0, 0);
    ::DestroyWindow(hwnd_);
}

} // namespace quorvel
