#include "appearance/frmTransP.h"

#include "appearance/modGeneral.h"
#include "appearance/modTransparency.h"
#include "common/NumberFormat.h"
#include "common/Window.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace quorvel {

namespace {

// The dialog's client area, in twips.
constexpr double kClientWidthTw = 3750;
constexpr double kClientHeightTw = 1005;
// Per cent to alpha level (0..255).
constexpr double kLevelPerPercent = 2.55;

// In sibling order, which is also the keyboard's order. The label overlaps
// the slider's right end by a pixel: it comes first, on top, so its text
// stays whole; it takes no focus, so the keyboard still goes from the
// slider to the button.
constexpr ControlSpec kControls[] = {
    {"STATIC", "100 %", SS_LEFT, 0, frmTransP::kLblTransp, 3075, 225, 525, 180},
    {TRACKBAR_CLASSA, "", WS_TABSTOP | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS, 0,
     frmTransP::kSlider, 105, 135, 2985, 390},
    {"BUTTON", "Save Settings", WS_TABSTOP | BS_PUSHBUTTON, 0, frmTransP::kCmdSave, 2370, 585,
     1275, 315},
};

} // namespace

frmTransP::frmTransP(Params params) : params_(std::move(params)) {}

frmTransP* frmTransP::Load(HINSTANCE instance, Params params) {
    // The slider is a common control; its class must be there.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);

    std::unique_ptr<frmTransP> form(new frmTransP(std::move(params)));
    if (!form->CreateToolWindow(instance, kClassName, kCaption, kClientWidthTw, kClientHeightTw,
                                Position::ScreenOrigin))
        return nullptr;
    frmTransP* self = form.release(); // the window owns it from here on
    try {
        self->Form_Load();
    } catch (...) {
        // A failing step of the load leaves a usable dialog.
    }
    return self;
}

void frmTransP::CreateControls(HINSTANCE instance) {
    CreateDialogControls(instance, kControls);
    const HWND slider = Control(kSlider);
    ::SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(kMinPercent, kMaxPercent));
    ::SendMessageW(slider, TBM_SETTICFREQ, 1, 0);
    ::SendMessageW(slider, TBM_SETLINESIZE, 0, 1);
    ::SendMessageW(slider, TBM_SETPAGESIZE, 0, 5);
    ::SendMessageW(slider, TBM_SETPOS, TRUE, kMinPercent);
    // The label follows the slider through this timer, from the start.
    ::SetTimer(hwnd_, kTmrPerc, 1, nullptr);
}

LRESULT frmTransP::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (msg) {
        case WM_CREATE:
            CreateControls(reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance);
            return 0;
        case WM_TIMER:
            if (wParam == kTmrPerc)
                tmrPerc_Timer();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd_, focus))
                    lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            ::SetFocus(lastFocus_ ? lastFocus_ : Control(kSlider));
            return 0;
        case WM_COMMAND:
            // Enter and Esc of the keyboard interface arrive as IDOK and
            // IDCANCEL; the dialog has no such buttons.
            if (LOWORD(wParam) == kCmdSave && HIWORD(wParam) == BN_CLICKED)
                cmdSave_Click(); // ends the dialog: nothing may follow
            return 0;
        case DM_GETDEFID:
            return FocusedDefaultButton(Control(kCmdSave), kCmdSave);
        case WM_CLOSE:
            Unload(); // ends the dialog: nothing may follow
            return 0;
        case WM_DESTROY:
            ::KillTimer(hwnd_, kTmrPerc);
            // Whatever ends the dialog, the main window must not stay
            // without input.
            if (::IsWindow(params_.mainWindow))
                ::EnableWindow(params_.mainWindow, TRUE);
            return 0;
        default:
            break;
        }
    } catch (...) {
        // Nothing may escape into the message loop.
    }
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

int frmTransP::SliderValue() const {
    return static_cast<int>(::SendMessageW(Control(kSlider), TBM_GETPOS, 0, 0));
}

void frmTransP::MoveTo(POINT topLeft) {
    ::SetWindowPos(hwnd_, nullptr, topLeft.x, topLeft.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmTransP::Show() {
    ::ShowWindow(hwnd_, SW_SHOW);
}

void frmTransP::SetSliderFromLevel() {
    const std::optional<double> level = ParseDouble(GetWindowTextAll(params_.txtTransp));
    if (!level)
        return;
    // A level written by something other than this dialog may lie outside
    // 76.5..255; the slider shows the nearest end of its range then.
    const double percent = std::clamp(*level / kLevelPerPercent, static_cast<double>(kMinPercent),
                                      static_cast<double>(kMaxPercent));
    if (const std::optional<std::int32_t> value = RoundToInt32(percent))
        ::SendMessageW(Control(kSlider), TBM_SETPOS, TRUE, *value);
}

void frmTransP::Form_Load() {
    // A settings store of the dialog's own: its own cipher and its own copy
    // of the settings path.
    if (params_.openSettings)
        settings_ = params_.openSettings();
    SetTopMost(hwnd_, true);
    SetSliderFromLevel();
    openingValue_ = std::to_string(SliderValue());
    ::EnableWindow(params_.mainWindow, FALSE);
}

void frmTransP::tmrPerc_Timer() {
    const std::string caption = std::to_string(SliderValue()) + "%";
    // Rewriting an unchanged caption every tick would only repaint it.
    const HWND label = Control(kLblTransp);
    if (GetWindowTextAll(label) != caption)
        SetWindowTextUtf8(label, caption);
}

void frmTransP::cmdSave_Click() {
    const int percent = SliderValue();
    openingValue_ = std::to_string(percent);

    // The level as text in the user's number format (50 % gives 127.5); the
    // window gets it rounded to a whole alpha value, halves to even.
    savedText_ = FormatDouble(percent * kLevelPerPercent);
    SetWindowTextUtf8(params_.txtTransp, savedText_);
    if (const std::optional<std::int16_t> level = ParseInt16(GetWindowTextAll(params_.txtTransp)))
        SetTransparency(params_.mainWindow, *level);

    // A failed write is not reported; the level stays applied.
    if (settings_)
        settings_->Write("TRANSPATENCY", savedText_);

    ReleaseMainWindow();
    Unload();
}

void frmTransP::ReleaseMainWindow() {
    ::EnableWindow(params_.mainWindow, TRUE);
    SetTopMost(hwnd_, false);
}

void frmTransP::Unload() {
    // The save handler unloads too, also when the question of Form_Unload
    // ran it: the dialog ends once.
    if (unloading_)
        return;
    unloading_ = true;
    Form_Unload();
    ::DestroyWindow(hwnd_);
}

void frmTransP::Form_Unload() {
    const std::optional<double> opening = ParseDouble(openingValue_);
    if (!opening || *opening != SliderValue()) {
        if (::MessageBoxW(hwnd_, L"Save Changes ?", L"Save Changes", MB_YESNO | MB_ICONQUESTION) ==
            IDYES) {
            cmdSave_Click(); // applies, stores and gives the main window back
            return;
        }
    }
    // The close is never cancelled; a changed value is dropped.
    ReleaseMainWindow();
}

HWND mnuTransP_Click(HINSTANCE instance, HWND openDialog, frmTransP::Params params) {
    // One dialog at a time; the main window is disabled while it is open,
    // so this is only reached by a command sent to it directly.
    if (openDialog && ::IsWindow(openDialog)) {
        ::SetWindowPos(openDialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(openDialog);
        return openDialog;
    }
    const HWND mainWindow = params.mainWindow;
    frmTransP* dialog = frmTransP::Load(instance, std::move(params));
    if (!dialog)
        return nullptr;
    RECT main{};
    ::GetWindowRect(mainWindow, &main);
    dialog->MoveTo(POINT{main.left, main.top});
    dialog->Show();
    dialog->SetSliderFromLevel();
    return dialog->hwnd();
}

} // namespace quorvel
