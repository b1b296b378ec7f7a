#pragma once
// The program as a user meets it: the real Quorvel.exe, copied into a
// temporary program folder and started with an exact command line.
#include <windows.h>

#include "tests/support/TestFiles.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel::test {

// A visible top-level window of process `pid` with this class and (when
// given) title.
HWND FindProcessWindow(DWORD pid, const char* className, const char* title = nullptr);
std::string WindowText(HWND hwnd);
std::string MessageBoxText(HWND box);
HICON MessageBoxIcon(HWND box); // null when none
// Presses a dialog button the way a click does.
void PressButton(HWND dialog, int id);
// The full path of the program file process `pid` runs ("" when unknown).
std::string ProcessImage(DWORD pid);

// The placement key of a program file name, cleared before and after use.
class PlacementKey {
public:
    explicit PlacementKey(const std::string& exeBaseName = "Quorvel");
    PlacementKey(const PlacementKey&) = delete;
    PlacementKey& operator=(const PlacementKey&) = delete;
    ~PlacementKey();
    const std::string& path() const { return path_; }
    void SetDword(const char* name, std::int32_t value) const;
    void SetString(const char* name, const std::string& value) const;
    void SetBinary(const char* name, const std::string& bytes) const;
    void SetValue(const char* name, DWORD type, const std::string& bytes) const;
    std::optional<std::int32_t> GetDword(const char* name) const;
    void Clear() const;

private:
    std::string parent_, path_;
};

class ProgramUnderTest {
public:
    explicit ProgramUnderTest(const std::string& exeName = "Quorvel.exe");
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
    ~ProgramUnderTest();

    const std::string& folder() const { return folder_.path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }
    const std::string& exePath() const { return exe_; }

    // Starts the program with this argument string after its quoted path
    // ("" for none), exactly as given; a program still running from an
    // earlier start is ended first. StartCommandLine takes the whole line.
    bool Start(const std::string& arguments);
    bool StartCommandLine(const std::string& commandLine);
    HWND WaitMainWindow(DWORD timeoutMs = 20000); // null on timeout
    HWND mainWindow() const { return main_; }
    HWND textBox() const;
    std::string Caption() const { return WindowText(main_); }
    std::string Text() const { return WindowText(textBox()); }
    RECT WindowRect() const;

    // A dialog of the program ("#32770") with this title.
    HWND WaitDialog(const char* title, DWORD timeoutMs = 20000) const;
    void Command(UINT id) const; // posted
    // Runs a menu command and waits until the program has handled it; false
    // when it did not answer within the time.
    bool SendCommand(UINT id, DWORD timeoutMs = 20000) const;
    bool Responds(DWORD timeoutMs = 5000) const; // the main window is not hung
    void Close() const;
    bool WaitExit(DWORD timeoutMs = 20000) const;
    bool Running() const;
    DWORD pid() const { return pi_.dwProcessId; }
    HANDLE process() const { return pi_.hProcess; }
    DWORD ExitCode() const; // STILL_ACTIVE while running

private:
    void EndProcess();

    TempFolder folder_;
    std::string exe_;
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

// The outer size of the main window as designed, before any stored
// placement applies, in pixels.
SIZE DesignedWindowSize();
int ScreenDpi();

} // namespace quorvel::test
