#pragma once
// The program's main window: one big text box, the menu bar and the hidden
// box that holds the translucency level. It is the program: it wires each
// menu command to the routine that carries it out, handing that routine
// only the parts of the window it needs.
#include <windows.h>

#include "common/ControlsContext.h"
#include "common/Handles.h"
#include "common/MainWindowParts.h"
#include "common/Twips.h"
#include "common/Window.h"
#include "text/TextFile.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quorvel {

class SettingsStore;

inline constexpr char kFrmMainClass[] = "Quorvel.frmMain";

// Where the program runs from and what it was asked to open. Only WinMain
// reads these from the process, so tests can start the window anywhere.
struct StartupArgs {
    std::string programFolder;   // no trailing backslash
    std::string programFileName; // e.g. "Quorvel.exe"
    std::string commandLine;     // the whole argument string, unchanged
};

StartupArgs StartupArgsFromProcess();

class frmMain final : public WindowBase, public ToggleCaptions, public TextBoxState {
public:
    frmMain();
    ~frmMain() override;

    // Creates the window, runs the start-up sequence and shows it.
    bool Create(HINSTANCE instance, const StartupArgs& args, int showCommand);
    // The program ends when this window goes; tests keep their own loop.
    void SetQuitOnDestroy(bool quit) { quitOnDestroy_ = quit; }
    // Accelerators of the main window and keyboard handling of its
    // modeless dialogs; true when the message was used up.
    bool PreTranslateMessage(MSG& msg);

    HWND txtnfo() const { return txtnfo_; }
    HWND txtTransp() const { return txtTransp_; }
    HMENU menu() const { return ::GetMenu(hwnd_); }
    HFONT font() const { return font_.get(); }
    const std::string& currentFile() const { return currentFile_; }
    const std::string& programFolder() const { return args_.programFolder; }
    const std::string& settingsPath() const;
    // The placement key: "Software\Brenmoor\", the program file's name
    // without its extension, "\Main".
    std::string placementKey() const;
    // The modeless dialogs while they are open (null otherwise).
    HWND gotoLineWindow() const { return ::IsWindow(gotoLineDlg_) ? gotoLineDlg_ : nullptr; }
    HWND transPWindow() const { return ::IsWindow(transPDlg_) ? transPDlg_ : nullptr; }

    // The toggles' captions and the text box's look and lock.
    std::string Caption(Toggle toggle) const override;
    void SetCaption(Toggle toggle, const std::string& caption) override;
    std::uint32_t ForeColor() const override { return foreColor_; }
    std::uint32_t BackColor() const override { return backColor_; }
    bool SetForeColor(std::uint32_t color) override;
    bool SetBackColor(std::uint32_t color) override;
    void SetLocked(bool locked) override;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept override;
    void OnWindowGone() noexcept override;
    static LRESULT TextBoxHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, void* self);
    bool OnCommand(UINT id) noexcept;
    HBRUSH OnCtlColor(HDC dc) noexcept;
    void CreateControls();

    // Start-up, layout, close.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void txtnfo_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);

    // The placement (Placement.cpp): restored at start-up, kept at close.
    void ApplyPlacement();
    void StorePlacement();
    double LeftTw() const;
    double TopTw() const;
    double WidthTw() const;
    double HeightTw() const;

    // File and Edit commands (FileCommands.cpp, EditCommands.cpp).
    void ShowFileInCaption();
    void NoteLoad(LoadOutcome outcome);
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuUndo_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuDelete_Click();
    void mnuGoto_Click();
    void mnuSelAll_Click();
    void mnuNow_Click();

    // The running program's folder, "\" and file name without its extension.
    std::string ProgramPath() const;

    HINSTANCE instance_ = nullptr;
    HWND txtnfo_ = nullptr;
    HWND txtTransp_ = nullptr;
    UniqueHaccel accel_;
    // The carried CP437 font while the text box may use it (empty where
    // the system's Terminal is used); it outlives font_.
    UniqueFontResource carriedFont_;
    UniqueHfont font_;
    UniqueHbrush backBrush_;
    std::uint32_t foreColor_ = 0x80000008; // the system's window text colour
    std::uint32_t backColor_ = 0x00FFFFFF;
    Dpi dpi_;
    bool quitOnDestroy_ = false;

    StartupArgs args_;
    std::string productTitle_;
    std::string currentFile_;
    // The encoding the shown file was read in, and Save writes.
    NfoEncoding encoding_ = NfoEncoding::Cp437;
    // The text box shows a file whose NUL bytes it cannot hold; saving it
    // back would change the file, so Save refuses.
    bool textHasNulBytes_ = false;
    // The Save target exists but its text is not in the text box (its load
    // failed): a Save would put other text in place of the user's file.
    bool fileUnread_ = false;
    // The window's settings store: its cipher, the settings path and the
    // settings value.
    std::unique_ptr<SettingsStore> settings_;

    // Version 6 of the common controls for all the program opens later.
    ControlsContext controls_;

    // Modeless dialogs; each window owns its own object and frees it when
    // it is destroyed.
    HWND gotoLineDlg_ = nullptr;
    HWND transPDlg_ = nullptr;
};

} // namespace quorvel
