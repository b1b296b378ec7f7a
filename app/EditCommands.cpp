// The Edit menu: the text box's own editing operations, Select All, Insert
// Time and Date, and the go-to-line dialog.
#include "app/frmGotoLine.h"
#include "app/frmMain.h"
#include "common/NumberFormat.h"
#include "common/Unicode.h"

namespace quorvel {

// The text box does the work; while it is locked it refuses every change
// itself (Cut then only copies). Results are not examined.
void frmMain::mnuUndo_Click() {
    ::SendMessageW(txtnfo_, EM_UNDO, 0, 0);
}
void frmMain::mnuCut_Click() {
    ::SendMessageW(txtnfo_, WM_CUT, 0, 0);
}
void frmMain::mnuCopy_Click() {
    ::SendMessageW(txtnfo_, WM_COPY, 0, 0);
}
void frmMain::mnuPaste_Click() {
    ::SendMessageW(txtnfo_, WM_PASTE, 0, 0);
}
void frmMain::mnuDelete_Click() {
    ::SendMessageW(txtnfo_, WM_CLEAR, 0, 0);
}

void frmMain::mnuSelAll_Click() {
    // The focus stays where it is.
    const int length = ::GetWindowTextLengthW(txtnfo_);
    ::SendMessageW(txtnfo_, EM_SETSEL, 0, length);
}

void frmMain::mnuNow_Click() {
    // Inserted whether or not the text is locked: a locked box refuses only
    // the editing it is asked to do itself, and Save stays off while it is.
    const std::wstring now = Wide(CurrentGeneralDate());
    // Undoable like any other edit; the caret ends behind the new text.
    ::SendMessageW(txtnfo_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(now.c_str()));
}

void frmMain::mnuGoto_Click() {
    // A second Goto only brings the open dialog forward; its line count
    // stays as taken when it opened.
    if (HWND open = gotoLineWindow()) {
        ::SetWindowPos(open, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(open);
        return;
    }
    gotoLineDlg_ = frmGotoLine::Show(instance_, txtnfo_);
}

} // namespace quorvel
