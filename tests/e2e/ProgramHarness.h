#pragma once
// The real Quorvel.exe, copied into a temporary program folder and started
// with an exact command line.
#include <windows.h>

#include "app/frmMain.h"
#include "app/resource.h"
#include "tests/support/TestFiles.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <optional>

namespace quorvel::test {

// A window's text, also of another process, as UTF-8.
inline std::string WindowText(HWND hwnd) {
    std::wstring text(::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
    text.resize(::SendMessageW(hwnd, WM_GETTEXT, text.size(), LPARAM(text.data())));
    return Utf8(text);
}

inline std::string MessageBoxText(HWND box) { return WindowText(::GetDlgItem(box, 0xFFFF)); }
inline bool TopMost(HWND w) { return ::GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST; }
inline bool ReadOnly(HWND box) { return ::GetWindowLongW(box, GWL_STYLE) & ES_READONLY; }

// A visible top-level window of process `pid` with this class (and title).
inline HWND FindProcessWindow(DWORD pid, const char* className, const char* title = nullptr) {
    const std::wstring wideClass = Wide(className), wideTitle = title ? Wide(title) : L"";
    for (HWND w = nullptr;
         (w = ::FindWindowExW(nullptr, w, wideClass.c_str(), title ? wideTitle.c_str() : nullptr));) {
        DWORD owner = 0;
        if (::GetWindowThreadProcessId(w, &owner), owner == pid && ::IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

// Presses a dialog button the way a click does.
inline void PressButton(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(::GetDlgItem(dialog, id)));
}

// Types `path` into the Open dialog's file name box (cmb13) and presses OK.
inline void ChooseFile(HWND dialog, const std::string& path) {
    HWND name = nullptr;
    WaitUntilQuiet([&] { return (name = ::GetDlgItem(dialog, 0x47C)) != nullptr; }, 5000);
    HWND edit = ::FindWindowExW(name, nullptr, L"Edit", nullptr);
    ::SendMessageW(edit ? edit : name, WM_SETTEXT, 0, LPARAM(Wide(path).c_str()));
    PressButton(dialog, IDOK);
}

// The placement key of a program file name, cleared before and after use.
class PlacementKey {
public:
    explicit PlacementKey(const std::string& exeBaseName = "Quorvel")
        : parent_(Wide("Software\\Brenmoor\\" + exeBaseName)), path_(parent_ + L"\\Main") { Clear(); }
    ~PlacementKey() { Clear(); }
    void Clear() const { ::RegDeleteTreeW(HKEY_CURRENT_USER, parent_.c_str()); }
    void SetDword(const char* name, std::int32_t value) const {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, path_.c_str(), Wide(name).c_str(), REG_DWORD, &value, 4);
    }
    std::optional<std::int32_t> GetDword(const char* name) const {
        DWORD value = 0, size = sizeof value;
        if (::RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), Wide(name).c_str(), RRF_RT_REG_DWORD, nullptr,
                           &value, &size))
            return std::nullopt;
        return value;
    }

private:
    std::wstring parent_, path_;
};

// Wine's display DPI for the programs started from now on; the prefixes'
// own 96 again at the end.
struct LogPixels {
    ~LogPixels() { Set(96); }
    static void Set(DWORD dpi) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, 4);
    }
};

// A copy of Quorvel.exe named `exeName` in a new folder whose name holds
// `folderHint`.
class ProgramUnderTest {
public:
    explicit ProgramUnderTest(const std::string& exeName = "Quorvel.exe", const std::string& folderHint = "prog")
        : folder_(folderHint), exe_(folder_ / exeName) {
        if (!::CopyFileW(Wide(TestProgramFolder() + "\\Quorvel.exe").c_str(), Wide(exe_).c_str(), FALSE))
            throw std::runtime_error("cannot copy Quorvel.exe");
    }
    ~ProgramUnderTest() { EndProcess(); }

    const std::string& folder() const { return folder_.path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }

    // Starts the program with these arguments after its quoted path, exactly
    // as given, after ending an earlier start. A start the system refuses
    // (none of the program has run; seen now and then under Wine on a busy
    // machine) is tried again until a deadline.
    bool Start(const std::string& arguments) {
        const std::wstring commandLine = Wide("\"" + exe_ + "\"" + (arguments.empty() ? "" : " " + arguments));
        EndProcess();
        main_ = nullptr;
        return WaitUntilQuiet([&] {
            STARTUPINFOW si{};
            si.cb = sizeof si;
            std::wstring line = commandLine; // CreateProcessW may change it
            if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 Wide(folder_.path()).c_str(), &si, &pi_))
                return true;
            std::fprintf(stderr, "start of %s refused: error %lu\n", exe_.c_str(), ::GetLastError());
            return false;
        });
    }
    HWND WaitMainWindow(DWORD timeoutMs = 20000) { // null on timeout
        WaitUntilQuiet([&] { return (main_ = FindProcessWindow(pid(), kFrmMainClass)); }, timeoutMs);
        return main_;
    }
    // Started and showing its main window, or why not.
    ::testing::AssertionResult Show(const std::string& arguments = "", DWORD timeoutMs = 20000) {
        if (Start(arguments) && WaitMainWindow(timeoutMs))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << (!pi_.hProcess ? "the system refused the start"
                   : Running()   ? "the program runs, but no main window showed"
                                 : "the program ended, exit code " + std::to_string(ExitCode()));
    }
    HWND mainWindow() const { return main_; }
    HWND textBox() const { return ::GetDlgItem(main_, IDC_txtnfo); }
    std::string Caption() const { return WindowText(main_); }
    std::string Text() const { return WindowText(textBox()); }
    bool TopMost() const { return test::TopMost(main_); }
    bool Locked() const { return ReadOnly(textBox()); }
    RECT WindowRect() const {
        RECT rc{};
        return ::GetWindowRect(main_, &rc), rc;
    }

    // A dialog of the program ("#32770") with this title.
    HWND WaitDialog(const char* title, DWORD timeoutMs = 20000) const {
        HWND found = nullptr;
        WaitUntilQuiet([&] { return (found = FindProcessWindow(pid(), "#32770", title)); }, timeoutMs);
        return found;
    }
    void Command(UINT id) const { ::PostMessageW(main_, WM_COMMAND, id, 0); } // posted
    // Runs a menu command; false when the program did not answer in time.
    bool SendCommand(UINT id, DWORD timeoutMs = 20000, UINT message = WM_COMMAND) const {
        DWORD_PTR result = 0;
        return main_ && ::SendMessageTimeoutW(main_, message, id, 0, SMTO_NORMAL, timeoutMs, &result);
    }
    // Open NFO with `path` typed into its dialog; false when none showed.
    bool OpenThroughDialog(const std::string& path) const {
        Command(IDM_mnuOpen);
        const HWND dialog = WaitDialog("Open");
        return dialog && (ChooseFile(dialog, path), true);
    }
    void Close() const { ::PostMessageW(main_, WM_CLOSE, 0, 0); }
    bool WaitExit(DWORD ms = 20000) const { return ::WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
    bool Running() const { return pi_.hProcess && ExitCode() == STILL_ACTIVE; }
    DWORD pid() const { return pi_.dwProcessId; }
    HANDLE process() const { return pi_.hProcess; }
    DWORD ExitCode() const { // STILL_ACTIVE while running
        DWORD code = STILL_ACTIVE;
        return ::GetExitCodeProcess(pi_.hProcess, &code), code;
    }

private:
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
