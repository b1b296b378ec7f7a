#pragma once
// What a user sees and keeps after handing the program bad input: checks
// shared by the bad-input tests.
#include "common/Handles.h"
#include "common/NumberFormat.h"
#include "tests/e2e/ProgramHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

namespace quorvel::test {

// Every file under a folder, by relative name, with its bytes. Read with
// the wide functions and the \\?\ form, the only way past 260 characters.
using Snapshot = std::map<std::string, std::string>;

inline std::string ReadLongPathBytes(const std::wstring& path) {
    UniqueHfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return "<unreadable>";
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

inline void AddToSnapshot(const std::wstring& folder, const std::string& relative, Snapshot& out) {
    WIN32_FIND_DATAW fd{};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::string rel = (relative.empty() ? "" : relative + "\\") + AnsiFromWide(name);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[rel + "\\"] = "";
            AddToSnapshot(folder + L"\\" + name, rel, out);
        } else {
            out[rel] = ReadLongPathBytes(folder + L"\\" + name);
        }
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
}

inline Snapshot TakeSnapshot(const std::string& root) {
    Snapshot s;
    AddToSnapshot(L"\\\\?\\" + WideFromAnsi(root), "", s);
    return s;
}

// The caption's character budget at start-up: the designed window width in
// twips / 150, halves to even.
inline std::int16_t DesignedCaptionMax() {
    const double widthTw = DesignedWindowSize().cx * 1440.0 / ScreenDpi();
    return static_cast<std::int16_t>(std::nearbyint(widthTw / 150));
}

// The start as a user meets it: the program's message box with `message`
// first (pressed away), or none at all; then the main window, shown, on a
// screen and answering.
inline void ExpectMessageThenWindow(ProgramUnderTest& program, const std::string& message) {
    if (!message.empty()) {
        HWND box = program.WaitDialog("Error", 30000);
        ASSERT_NE(box, nullptr) << "no message box";
        EXPECT_EQ(MessageBoxText(box), message);
        PressButton(box, IDOK);
    }
    HWND main = program.WaitMainWindow(30000);
    ASSERT_NE(main, nullptr) << "no main window";
    if (message.empty()) {
        EXPECT_EQ(FindProcessWindow(program.pid(), "#32770", "Error"), nullptr);
    }
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_NE(::MonitorFromWindow(main, MONITOR_DEFAULTTONULL), nullptr) << "off every screen";
    EXPECT_TRUE(program.Responds());
}

// Closed by its close box, the program ends by itself with exit code 0.
inline void ExpectCleanExit(ProgramUnderTest& program) {
    EXPECT_TRUE(program.Running()) << "the program ended by itself";
    program.Close();
    ASSERT_TRUE(program.WaitExit(30000)) << "did not end after WM_CLOSE";
    EXPECT_EQ(program.ExitCode(), 0u);
}

} // namespace quorvel::test
