#pragma once
// The small go-to-line dialog: the user types a line number and the caret of
// the main window's text box jumps to the start of that line. Lines are the
// text box's own lines, wrapped pieces included.
#include <windows.h>

#include "common/ToolDialog.h"

#include <cstdint>

namespace quorvel {

class frmGotoLine : public ToolDialog {
  public:
    static constexpr char kClassName[] = "Quorvel.frmGotoLine";
    static constexpr char kCaption[] = "  Goto Line...";
    // Control identifiers (none of them IDOK or IDCANCEL, which the keyboard
    // interface sends on its own).
    static constexpr int kTxtLineNr = 101;
    static constexpr int kCmdGoto = 102;
    static constexpr int kLblInfo = 103;
    static constexpr int kLblCount = 104;

    // Loads the dialog for `txtnfo` and shows it modeless, without an owner,
    // so the main window stays usable. The dialog owns itself and ends with
    // its window. Null when it could not be created.
    static HWND Show(HINSTANCE instance, HWND txtnfo);

  private:
    explicit frmGotoLine(HWND txtnfo) : txtnfo_(txtnfo) {}

    static LRESULT LineNrHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, void* self);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept override;
    void CreateControls(HINSTANCE instance);

    void Form_Load();
    void Form_GotFocus();
    void cmdGoto_Click();
    void txtLineNr_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
    void ShowInvalidLineNumber();

    HWND txtnfo_ = nullptr;
};

} // namespace quorvel
