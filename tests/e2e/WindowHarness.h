#pragma once
// The real frmMain created inside the test process: menus, fonts and
// colours can be read here, which Wine does not allow across processes.
// Modal dialogs that a command opens are operated from a second thread.
#include <windows.h>

#include "app/frmMain.h"
#include "tests/support/TestFiles.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace quorvel::test {

// Waits on its own thread for a dialog of this process with `title`
// (class "#32770"), then runs `action` on it from that thread.
class DialogDriver {
public:
    DialogDriver(std::string title, std::function<void(HWND)> action, DWORD timeoutMs = 15000);
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;
    ~DialogDriver();
    // Call once the command that may show the dialog has returned (a modal
    // dialog is handled by then); true when the dialog was seen.
    bool Finish();
    const std::string& messageText() const { return messageText_; } // of a message box

private:
    std::string title_;
    std::function<void(HWND)> action_;
    std::string messageText_;
    std::atomic<bool> seen_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Common actions for a DialogDriver.
std::function<void(HWND)> ClickOk();
std::function<void(HWND)> ClickButton(int id);
std::function<void(HWND)> OpenFile(const std::string& path);
std::function<void(HWND)> CancelDialog();

class WindowUnderTest {
public:
    explicit WindowUnderTest(const std::string& exeName = "Quorvel.exe");
    ~WindowUnderTest();

    const std::string& folder() const { return folder_.path(); } // the program folder
    std::string operator/(const std::string& name) const { return folder_ / name; }

    bool Start(const std::string& commandLine = "");
    frmMain& frm() { return *frm_; }
    HWND hwnd() const { return frm_->hwnd(); }
    HWND txtnfo() const { return frm_->txtnfo(); }
    void Command(UINT id); // as a click on the menu item would
    std::string Caption() const;
    std::string Text() const;
    std::string MenuCaption(UINT id) const;
    std::pair<int, int> Selection() const; // of the text box: (start, end)
    bool MenuEnabled(UINT id) const;
    void Pump(); // processes pending messages of this thread

private:
    TempFolder folder_;
    std::string exeName_;
    std::unique_ptr<frmMain> frm_;
};

} // namespace quorvel::test
