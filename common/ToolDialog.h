#pragma once
// What the program's small tool dialogs have in common: a fixed tool window
// whose client area and controls are laid out in twips at the display's DPI,
// in the dialogs' Verdana font, and an object that lives exactly as long as
// its window.
#include <windows.h>

#include "common/Handles.h"
#include "common/Twips.h"
#include "common/Window.h"

#include <span>

namespace quorvel {

class ToolDialog : public WindowBase {
  protected:
    enum class Position { ScreenOrigin, ScreenCentre };

    ToolDialog() = default;

    // Registers the class on first use and creates the window for this
    // object: no sizing border, no minimise or maximise button, no taskbar
    // button, the client area given in twips. False when the window could
    // not be created; the caller still owns the object then, otherwise the
    // window owns it from here on and deletes it when it ends.
    bool CreateToolWindow(HINSTANCE instance, const char* className, const char* caption,
                          double clientWidthTw, double clientHeightTw, Position position);
    // Makes the dialogs' font and the controls of the table; for WM_CREATE.
    void CreateDialogControls(HINSTANCE instance, std::span<const ControlSpec> controls);
    HWND Control(int id) const { return ::GetDlgItem(hwnd_, id); }
    // The answer to DM_GETDEFID: Enter presses the button that has the
    // focus, as in Windows' own dialogs, and no other.
    static LRESULT FocusedDefaultButton(HWND button, int id);

  private:
    void OnWindowGone() noexcept override;

    UniqueHfont font_;
    Dpi dpi_;
    // While CreateWindowEx runs, a failed creation leaves freeing the object
    // to the caller.
    bool creating_ = false;
};

} // namespace quorvel
