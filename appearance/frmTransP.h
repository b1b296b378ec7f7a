#pragma once
// The transparency dialog: the user picks how opaque the main window is, in
// per cent, and Save Settings applies the level and keeps it in the settings
// file. While the dialog is open the main window takes no input.
#include <windows.h>

#include "common/MainWindowParts.h"
#include "common/ToolDialog.h"

#include <functional>
#include <memory>
#include <string>

namespace quorvel {

class frmTransP : public ToolDialog {
  public:
    static constexpr char kClassName[] = "Quorvel.frmTransP";
    static constexpr char kCaption[] = "  Transparency Settings";
    // Control identifiers (none of them IDOK or IDCANCEL, which the keyboard
    // interface sends on its own).
    static constexpr int kSlider = 101;
    static constexpr int kLblTransp = 102;
    static constexpr int kCmdSave = 103;
    static constexpr UINT_PTR kTmrPerc = 1;
    // The slider's range, in per cent.
    static constexpr int kMinPercent = 30;
    static constexpr int kMaxPercent = 100;

    // What the dialog works on: the main window, whose opacity it sets and
    // which it disables while open; the main window's hidden box that holds
    // the level as text; and a settings store of the dialog's own, made when
    // it loads.
    struct Params {
        HWND mainWindow = nullptr;
        HWND txtTransp = nullptr;
        std::function<std::unique_ptr<SettingsWriter>()> openSettings;
    };

    // Loads the dialog hidden, running its Form_Load. The dialog owns itself
    // and ends with its window. Null when it could not be created.
    static frmTransP* Load(HINSTANCE instance, Params params);

    // Puts the dialog's outer top-left corner at this screen point.
    void MoveTo(POINT topLeft);
    // Shows the dialog modeless; it has no owner window.
    void Show();
    // Sets the slider to the level in the main window's box, in per cent
    // (level / 2.55, halves to even), kept within the slider's range. Text
    // that is no number leaves the slider where it is.
    void SetSliderFromLevel();

  private:
    explicit frmTransP(Params params);

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept override;
    void CreateControls(HINSTANCE instance);
    int SliderValue() const;

    void Form_Load();
    void Form_Unload();
    void tmrPerc_Timer();
    void cmdSave_Click();
    // Runs Form_Unload and destroys the window, once.
    void Unload();
    // Gives the main window its input back and leaves the topmost band.
    void ReleaseMainWindow();

    Params params_;
    // The control that had the focus when the dialog was last deactivated.
    HWND lastFocus_ = nullptr;

    std::unique_ptr<SettingsWriter> settings_;
    std::string savedText_;
    // The slider value in per cent as text, when the dialog opened or last
    // saved: a different slider value is an unsaved change.
    std::string openingValue_;

    bool unloading_ = false;
};

// Preferences > Set TransParency Level: opens the dialog over the main
// window's top-left corner. Returns the dialog's window (null when none
// could be made); while it is open, a second call brings it forward.
HWND mnuTransP_Click(HINSTANCE instance, HWND openDialog, frmTransP::Params params);

} // namespace quorvel
