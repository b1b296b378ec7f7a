#pragma once
// The real frmMain in the test process, where menus, fonts and colours can
// be read; modal dialogs it opens are operated from a second thread.
#include <windows.h>

#include "app/MessageLoop.h"
#include "app/frmMain.h"
#include "common/Menus.h"
#include "tests/e2e/ProgramHarness.h"

#include <atomic>
#include <functional>
#include <future>
#include <memory>

namespace quorvel::test {

// Waits on its own thread for a dialog of this process with `title`
// (class "#32770"), then runs `action` on it from that thread.
class DialogDriver {
public:
    DialogDriver(std::string title, std::function<void(HWND)> action, DWORD timeoutMs = 15000)
        : done_(std::async(std::launch::async, [=, this] {
              const DWORD pid = ::GetCurrentProcessId();
              HWND dialog = nullptr;
              WaitUntilQuiet([&] { return (dialog = FindProcessWindow(pid, "#32770", title.c_str())) || stop_; },
                             timeoutMs);
              if ((seen_ = dialog != nullptr)) {
                  messageText_ = MessageBoxText(dialog);
                  action(dialog);
              }
          })) {}
    // Once the command that may show it has returned: whether it was seen.
    bool Finish() {
        stop_ = true;
        done_.wait();
        return seen_;
    }
    const std::string& messageText() const { return messageText_; } // of a message box

private:
    std::string messageText_;
    std::atomic<bool> seen_{false}, stop_{false};
    std::future<void> done_; // last: it starts when the members above are made; waited for
};

class WindowUnderTest {
public:
    explicit WindowUnderTest(const std::string& exeName = "Quorvel.exe")
        : folder_("win"), exeName_(exeName), frm_(std::make_unique<frmMain>()) {}
    ~WindowUnderTest() { frm_.reset(), Pump(); }

    const std::string& folder() const { return folder_.path(); } // the program folder
    std::string operator/(const std::string& name) const { return folder_ / name; }

    bool Start(const std::string& commandLine = "") {
        const bool ok = frm_->Create(::GetModuleHandleW(nullptr), StartupArgs{folder_.path(), exeName_, commandLine},
                                     SW_SHOWNORMAL);
        Pump();
        return ok;
    }
    frmMain& frm() { return *frm_; }
    HWND hwnd() const { return frm_->hwnd(); }
    HWND txtnfo() const { return frm_->txtnfo(); }
    void Command(UINT id) { ::SendMessageW(hwnd(), WM_COMMAND, id, 0), Pump(); } // as a click
    // Runs `act`, pressing `button` on a box titled `title` if one shows;
    // the box's message, "" when none showed.
    std::string Answer(const char* title, int button, const std::function<void()>& act) {
        DialogDriver box(title, [button](HWND dialog) { PressButton(dialog, button); });
        act();
        Pump();
        box.Finish();
        return box.messageText();
    }
    // Open NFO with `path` typed into its dialog; false when none showed.
    bool OpenThroughDialog(const std::string& path) {
        DialogDriver open("Open", [path](HWND dialog) { ChooseFile(dialog, path); });
        Command(IDM_mnuOpen);
        return open.Finish();
    }
    std::string Caption() const { return WindowText(hwnd()); }
    std::string Text() const { return WindowText(txtnfo()); }
    bool Locked() const { return ReadOnly(txtnfo()); }
    void SetLocked(bool locked) { // through Make Writable / Read-Only
        if (Locked() != locked)
            Command(IDM_mnuMakeWrite);
    }
    std::string MenuCaption(UINT id) const { return GetMenuCaption(frm_->menu(), id); }
    bool MenuEnabled(UINT id) const { return IsMenuItemEnabled(frm_->menu(), id); }
    std::pair<int, int> Selection() const { // of the text box: (start, end), both below 65536
        const auto both = static_cast<DWORD>(::SendMessageW(txtnfo(), EM_GETSEL, 0, 0));
        return {LOWORD(both), HIWORD(both)};
    }
    void Select(int start, int end) { ::SendMessageW(txtnfo(), EM_SETSEL, start, end); }
    void Pump() { // processes pending messages of this thread
        for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            frm_ ? DispatchOne(*frm_, msg) : void(::DispatchMessageW(&msg));
    }

private:
    TempFolder folder_;
    std::string exeName_;
    std::unique_ptr<frmMain> frm_;
};

} // namespace quorvel::test
