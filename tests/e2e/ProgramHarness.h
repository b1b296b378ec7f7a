#pragma once
// The real Quorvel.exe, copied into a temporary program folder and started
// with an exact command line.
#include <windows.h>

#include "app/frmMain.h"
#include "app/resource.h"
#include "common/Handles.h"
#include "common/Unicode.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Wait.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace quorvel::test {

// A window's text, also of another process, as UTF-8.
inline std::string WindowText(HWND hwnd) {
    std::wstring text(::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
    text.resize(::SendMessageW(hwnd, WM_GETTEXT, text.size(), LPARAM(text.data())));
    return Utf8(text);
}

inline std::string MessageBoxText(HWND box) { return WindowText(::GetDlgItem(box, 0xFFFF)); }

// A visible top-level window of process `pid` with this class (and title).
inline HWND FindProcessWindow(DWORD pid, const char* className, const char* title = nullptr) {
    const std::wstring wideClass = Wide(className), wideTitle = title ? Wide(title) : L"";
    const wchar_t* titleOrAny = title ? wideTitle.c_str() : nullptr;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, wideClass.c_str(), titleOrAny));) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == pid && ::IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

// Presses a dialog button the way a click does.
inline void PressButton(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// The full path of the program file process `pid` runs ("" when unknown).
inline std::string ProcessImage(DWORD pid) {
    wchar_t image[MAX_PATH * 4] = {};
    DWORD size = MAX_PATH * 4;
    const UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    return process && ::QueryFullProcessImageNameW(process.get(), 0, image, &size) ? Utf8(image)
                                                                                  : "";
}

// The placement key of a program file name, cleared before and after use.
class PlacementKey {
public:
    explicit PlacementKey(const std::string& exeBaseName = "Quorvel")
        : parent_("Software\\Brenmoor\\" + exeBaseName), path_(parent_ + "\\Main") {
        Clear();
    }
    ~PlacementKey() { Clear(); }
    void Clear() const { ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(parent_).c_str()); }
    void SetDword(const char* name, std::int32_t value) const {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, Wide(path_).c_str(), Wide(name).c_str(), REG_DWORD,
                          &value, sizeof value);
    }
    std::optional<std::int32_t> GetDword(const char* name) const {
        DWORD value = 0, size = sizeof value;
        return ::RegGetValueW(HKEY_CURRENT_USER, Wide(path_).c_str(), Wide(name).c_str(),
                              RRF_RT_REG_DWORD, nullptr, &value, &size)
                   ? std::nullopt
                   : std::optional<std::int32_t>(value);
    }

private:
    std::string parent_, path_;
};

// A copy of Quorvel.exe named `exeName` in a new folder whose name holds
// `folderHint`.
class ProgramUnderTest {
public:
    explicit ProgramUnderTest(const std::string& exeName = "Quorvel.exe",
                              const std::string& folderHint = "prog")
        : folder_(folderHint), exe_(folder_ / exeName) {
        if (!::CopyFileW(Wide(TestProgramFolder() + "\\Quorvel.exe").c_str(), Wide(exe_).c_str(),
                         FALSE))
            throw std::runtime_error("cannot copy Quorvel.exe");
    }
    ~ProgramUnderTest() { EndProcess(); }

    const std::string& folder() const { return folder_.path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }
    const std::string& exePath() const { return exe_; }

    // Starts the program with these arguments after its quoted path, exactly
    // as given, after ending an earlier start. A start the system refuses
    // (CreateProcess fails: none of the program has run, so it cannot be the
    // program's fault; seen now and then under Wine on a busy new machine) is tried again until a deadline; each refusal is printed
    // with its error, and Why() tells the last one.
    bool Start(const std::string& arguments) {
        const std::wstring commandLine =
            Wide("\"" + exe_ + "\"" + (arguments.empty() ? "" : " " + arguments));
        EndProcess();
        main_ = nullptr;
        refusals_ = 0;
        return WaitUntilQuiet([&] {
            STARTUPINFOW si{};
            si.cb = sizeof si;
            std::wstring line = commandLine; // CreateProcessW may change it
            if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 Wide(folder_.path()).c_str(), &si, &pi_))
                return true;
            refusal_ = ::GetLastError();
            std::fprintf(stderr, "start of %s refused (%d): %s\n", exe_.c_str(), ++refusals_,
                         ErrorText(refusal_).c_str());
            return false;
        }, 10000);
    }
    // Why the last start shows no main window: the start refused, the
    // program ended (its exit code), or it runs without one.
    std::string Why() const {
        if (!pi_.hProcess)
            return "the start was refused " + std::to_string(refusals_) +
                   " times; last: " + ErrorText(refusal_);
        const DWORD code = ExitCode();
        char text[64];
        std::snprintf(text, sizeof text, "the program ended with exit code 0x%lx", code);
        return code == STILL_ACTIVE ? "the program runs, but no main window showed" : text;
    }
    HWND WaitMainWindow(DWORD timeoutMs = 20000) { // null on timeout
        WaitUntilQuiet([&] { return (main_ = FindProcessWindow(pid(), kFrmMainClass)); },
                       timeoutMs);
        return main_;
    }
    HWND mainWindow() const { return main_; }
    HWND textBox() const { return ::GetDlgItem(main_, IDC_txtnfo); }
    std::string Caption() const { return WindowText(main_); }
    bool TopMost() const { return ::GetWindowLongW(main_, GWL_EXSTYLE) & WS_EX_TOPMOST; }
    bool Locked() const { return ::GetWindowLongW(textBox(), GWL_STYLE) & ES_READONLY; }
    std::string Text() const { return WindowText(textBox()); }
    RECT WindowRect() const {
        RECT rc{};
        return ::GetWindowRect(main_, &rc), rc;
    }

    // A dialog of the program ("#32770") with this title.
    HWND WaitDialog(const char* title, DWORD timeoutMs = 20000) const {
        HWND found = nullptr;
        WaitUntilQuiet([&] { return (found = FindProcessWindow(pid(), "#32770", title)); },
                       timeoutMs);
        return found;
    }
    void Command(UINT id) const { ::PostMessageW(main_, WM_COMMAND, id, 0); } // posted
    // Runs a menu command; false when the program did not answer in time.
    bool SendCommand(UINT id, DWORD timeoutMs = 20000, UINT message = WM_COMMAND) const {
        DWORD_PTR result = 0;
        return main_ &&
               ::SendMessageTimeoutW(main_, message, id, 0, SMTO_NORMAL, timeoutMs, &result);
    }
    bool Responds(DWORD timeoutMs = 5000) const { return SendCommand(0, timeoutMs, WM_NULL); }
    void Close() const { ::PostMessageW(main_, WM_CLOSE, 0, 0); }
    bool WaitExit(DWORD timeoutMs = 20000) const {
        return ::WaitForSingleObject(pi_.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }
    bool Running() const { return ExitCode() == STILL_ACTIVE && pi_.hProcess; }
    DWORD pid() const { return pi_.dwProcessId; }
    HANDLE process() const { return pi_.hProcess; }
    DWORD ExitCode() const { // STILL_ACTIVE while running
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

private:
    static std::string ErrorText(DWORD error) {
        wchar_t text[256] = {};
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                         0, text, 256, nullptr);
        return "error " + std::to_string(error) + " " + Utf8(text);
    }
    void EndProcess() {
        if (pi_.hProcess && ::TerminateProcess(pi_.hProcess, 1)) // fails when it has ended
            ::WaitForSingleObject(pi_.hProcess, 10000);
        ::CloseHandle(pi_.hProcess), ::CloseHandle(pi_.hThread);
        pi_ = PROCESS_INFORMATION{};
    }

    TempFolder folder_;
    std::string exe_;
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
    DWORD refusal_ = 0;
    int refusals_ = 0;
};

inline int ScreenDpi() { return ::GetDeviceCaps(WindowDC(nullptr).get(), LOGPIXELSX); }

// The main window's outer size before a stored placement: 7950 x 4590 twips
// of client area, the frame and the menu.
inline SIZE DesignedWindowSize() {
    const int dpi = ScreenDpi();
    RECT rc{0, 0, std::lround(7950.0 * dpi / 1440), std::lround(4590.0 * dpi / 1440)};
    ::AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, TRUE, WS_EX_APPWINDOW);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

} // namespace quorvel::test
