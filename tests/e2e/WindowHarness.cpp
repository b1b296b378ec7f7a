#include "tests/e2e/WindowHarness.h"

#include "common/Menus.h"
#include "app/MessageLoop.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/Wait.h"

namespace quorvel::test {

DialogDriver::DialogDriver(std::string title, std::function<void(HWND)> action, DWORD timeoutMs)
    : title_(std::move(title)), action_(std::move(action)) {
    const DWORD pid = ::GetCurrentProcessId();
    thread_ = std::thread([this, pid, timeoutMs] {
        HWND dialog = nullptr;
        WaitUntilQuiet(
            [&] {
                return (dialog = FindProcessWindow(pid, "#32770", title_.c_str())) != nullptr ||
                       stop_;
            },
            timeoutMs);
        if (!dialog)
            return;
        seen_ = true;
        messageText_ = MessageBoxText(dialog);
        action_(dialog);
    });
}

DialogDriver::~DialogDriver() {
    if (thread_.joinable())
        thread_.join();
}

bool DialogDriver::Finish() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    return seen_;
}

std::function<void(HWND)> ClickOk() { return ClickButton(IDOK); }

std::function<void(HWND)> ClickButton(int id) {
    return [id](HWND dialog) { PressButton(dialog, id); };
}

std::function<void(HWND)> CancelDialog() { return ClickButton(IDCANCEL); }

std::function<void(HWND)> OpenFile(const std::string& path) {
    return [path](HWND dialog) {
        // The file name box of the Open dialog (cmb13), then OK.
        HWND name = nullptr;
        WaitUntilQuiet([&] { return (name = ::GetDlgItem(dialog, 0x47C)) != nullptr; }, 5000);
        HWND edit = ::FindWindowExA(name, nullptr, "Edit", nullptr);
        ::SendMessageA(edit ? edit : name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PressButton(dialog, IDOK);
    };
}

WindowUnderTest::WindowUnderTest(const std::string& exeName)
    : folder_("win"), exeName_(exeName), frm_(std::make_unique<frmMain>()) {}

WindowUnderTest::~WindowUnderTest() {
    frm_.reset();
    Pump();
}

bool WindowUnderTest::Start(const std::string& commandLine) {
    StartupArgs args{folder_.path(), exeName_, commandLine};
    const bool ok = frm_->Create(::GetModuleHandleA(nullptr), args, SW_SHOWNORMAL);
    Pump();
    return ok;
}

void WindowUnderTest::Command(UINT id) {
    ::SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
}

void WindowUnderTest::Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (frm_) {
            DispatchOne(*frm_, msg);
        } else {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

std::string WindowUnderTest::Caption() const { return WindowText(hwnd()); }
std::string WindowUnderTest::Text() const { return WindowText(txtnfo()); }
std::string WindowUnderTest::MenuCaption(UINT id) const { return GetMenuCaption(frm_->menu(), id); }
std::pair<int, int> WindowUnderTest::Selection() const {
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageA(txtnfo(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

bool WindowUnderTest::MenuEnabled(UINT id) const { return IsMenuItemEnabled(frm_->menu(), id); }

} // namespace quorvel::test
