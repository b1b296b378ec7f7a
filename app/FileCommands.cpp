// File > Open NFO and Save NFO, and the caption that names the file shown.
#include "app/frmMain.h"

#include "app/resource.h"
#include "common/Files.h"
#include "common/Menus.h"
#include "common/NumberFormat.h"
#include "common/Unicode.h"
#include "text/LongDirFix.h"
#include "text/TextFile.h"

#include <commdlg.h>
#include <ole2.h>

namespace quorvel {

void frmMain::ShowFileInCaption() {
    // As many characters as the window is wide in twips / 150, rounded
    // halves to even, as a 16-bit number.
    const std::int16_t max = RoundToInt16(WidthTw() / 150).value_or(INT16_MAX);
    // After the file's name, the encoding of a file that is not code page 437.
    const std::string tag =
        encoding_ == NfoEncoding::Cp437 ? "" : " [" + std::string(EncodingName(encoding_)) + "]";
    const std::string caption = productTitle_ + " - " + LongDirFix(currentFile_, max) + tag;
    ::SetWindowTextW(hwnd_, Wide(caption).c_str());
}

// What Save must know of the last load.
void frmMain::NoteLoad(LoadOutcome outcome) {
    textHasNulBytes_ = outcome == LoadOutcome::LoadedNulBytesShownAsBlanks;
    // A path that does not exist may still be created by a Save.
    fileUnread_ = outcome == LoadOutcome::Failed && PathExists(currentFile_);
}

void frmMain::mnuOpen_Click() {
    // The text goes before the dialog opens, chosen file or not, and Save's
    // target with it: however the dialog ends without a file (Cancel, or a
    // failure of its own), a Save cannot write the emptied text over the
    // file shown before.
    ::SetWindowTextW(txtnfo_, L"");
    currentFile_.clear();
    encoding_ = NfoEncoding::Cp437;
    textHasNulBytes_ = false;
    fileUnread_ = false;

    static constexpr wchar_t kFilter[] = L"NFO Files [*.nfo]\0*.nfo\0All Files [*.*]\0*.*\0";
    std::wstring file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd_;
    ofn.hInstance = instance_;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    // The dialog uses the shell, which wants OLE on this thread: started at
    // the first Open, not with the program, and kept until the program ends.
    static const HRESULT ole = ::OleInitialize(nullptr);
    static_cast<void>(ole);
    if (!::GetOpenFileNameW(&ofn))
        return;
    currentFile_ = Utf8(file.c_str());
    if (currentFile_.empty())
        return;
    NoteLoad(LoadText(txtnfo_, currentFile_, encoding_));
    ShowFileInCaption();
}

void frmMain::mnuExit_Click() {
    // Ends at once: the close handler does not run, so the placement stored
    // last time stays.
    ::DestroyWindow(hwnd_);
}

void frmMain::mnuSave_Click() {
    // Save is a command of the writable mode only.
    if (!IsMenuItemEnabled(menu(), IDM_mnuSave))
        return;
    if (textHasNulBytes_) {
        ::MessageBoxW(hwnd_,
                      L"This file holds NUL bytes, which the text box shows as blanks. Saving "
                      L"would change them, so the file was not saved.",
                      L"Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (fileUnread_) {
        ::MessageBoxW(hwnd_,
                      L"This file could not be read when it was opened, so the text box does not "
                      L"hold its text. Saving would replace it, so the file was not saved.",
                      L"Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    SaveText(txtnfo_, currentFile_, encoding_);
}

} // namespace quorvel
