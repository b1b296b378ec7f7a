// The program started as the shell and users start it, with good and bad
// input: command lines, settings files and placement keys that are missing,
// damaged, hand-made, huge or out of reach. It shows its own message where
// it has one, stays up and answering, ends cleanly and leaves the user's
// files as they were.
#include "app/resource.h"
#include "common/Handles.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

using namespace quorvel;
using namespace quorvel::test;
using namespace std::string_literals;

namespace {

// Every file under `folder` by relative name, with its bytes.
using Snapshot = std::map<std::string, std::string>;
void TakeSnapshot(const std::string& folder, const std::string& prefix, Snapshot& s) {
    for (const std::string& name : ListFolder(folder)) {
        const std::string full = folder + "\\" + name;
        if (::GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            TakeSnapshot(full, prefix + name + "\\", s);
        else
            s[prefix + name] = ReadFileBytes(full);
    }
}
Snapshot TakeSnapshot(const std::string& folder) {
    Snapshot s;
    TakeSnapshot(folder, "", s);
    return s;
}

// The caption's character budget: the designed window width in twips /
// 150, halves to even.
int CaptionMax() {
    return static_cast<int>(std::nearbyint(DesignedWindowSize().cx * 1440.0 / ScreenDpi() / 150));
}

std::string Scrambled(const std::string& plain) {
    TempFolder folder("cipher");
    WriteScrambledSettings(folder / "config.bin", plain);
    return ReadFileBytes(folder / "config.bin");
}

int Px(double twips) { return static_cast<int>(std::lround(twips * ScreenDpi() / 1440.0)); }

class BadInputTest : public ::testing::Test {
protected:
    // The program's message `message` first (pressed away) or none; then
    // the main window, shown and answering.
    void ExpectMessageThenWindow(const std::string& message, DWORD timeoutMs = 30000) {
        if (!message.empty()) {
            HWND box = program_.WaitDialog("Error", timeoutMs);
            ASSERT_NE(box, nullptr) << "no message box";
            EXPECT_EQ(MessageBoxText(box), message);
            PressButton(box, IDOK);
        }
        HWND main = program_.WaitMainWindow(timeoutMs);
        ASSERT_NE(main, nullptr) << "no main window";
        if (message.empty()) {
            EXPECT_EQ(FindProcessWindow(program_.pid(), "#32770"), nullptr) << "a message shown";
        }
        EXPECT_TRUE(::IsWindowVisible(main));
        EXPECT_TRUE(program_.Responds(timeoutMs));
    }
    void StartAndExpect(const std::string& arguments, const std::string& message = "") {
        ASSERT_TRUE(program_.Start(arguments));
        ASSERT_NO_FATAL_FAILURE(ExpectMessageThenWindow(message));
    }
    void ExpectCleanExit() {
        EXPECT_TRUE(program_.Running()) << "the program ended by itself";
        program_.Close();
        ASSERT_TRUE(program_.WaitExit(30000)) << "did not end after WM_CLOSE";
        EXPECT_EQ(program_.ExitCode(), 0u);
    }
    bool TopMost() const {
        return ::GetWindowLongA(program_.mainWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST;
    }
    bool ReadOnly() const { return ::GetWindowLongA(program_.textBox(), GWL_STYLE) & ES_READONLY; }

    PlacementKey placement_;
    ProgramUnderTest program_;
    TempFolder docs_{"docs"};
};

// A file of the user's, in a folder of its own when its name has one.
std::string File(const std::string& docs, const std::string& name, const std::string& bytes) {
    if (const auto slash = name.find('\\'); slash != std::string::npos)
        ::CreateDirectoryA((docs + "\\" + name.substr(0, slash)).c_str(), nullptr);
    WriteFileBytes(docs + "\\" + name, bytes);
    return docs + "\\" + name;
}

} // namespace

TEST_F(BadInputTest, CommandLines) {
    // Wine wraps one long line in time that grows with the square of its
    // length; scripts/soak --one-line sets a long one.
    const char* kb = std::getenv("QUORVEL_ONE_LINE_KB");
    std::string line;
    for (int i = 0; line.size() < (kb ? std::strtoul(kb, nullptr, 10) : 16) * 1024; ++i)
        line += static_cast<char>('!' + i % 90);
    const struct {
        const char* input;
        std::function<std::string(const std::string& docs)> arrange; // the argument string
        const char* message;
        std::string text;
        bool lockFile = false; // held open by another process, unshared
    } rows[] = {
        {"empty", [](auto&) { return ""s; }, "", ""},
        {"missing file", [](auto& d) { return d + "\\missing.nfo"; }, "File Not Found", ""},
        {"locked file", [](auto& d) { return File(d, "locked.nfo", "locked\r\n"); },
         "File Not Found", "", true},
        {"quoted path: the quotes are part of it",
         [](auto& d) { return "\"" + File(d, "quoted name.nfo", "q\r\n") + "\""; },
         "File Not Found", ""},
        {"unquoted path with blanks",
         [](auto& d) { return File(d, "My Files\\release info.nfo", "\xC9\xCD\xBB\r\n"); }, "",
         "\xC9\xCD\xBB\r\n"},
        {"32 KB command line",
         [](auto& d) { return d + "\\" + std::string(32000 - d.size() - 120, 'x') + ".nfo"; },
         "File Not Found", ""},
        {"NUL bytes", [](auto& d) { return File(d, "binary.nfo", "a\0b\0\0c\r\nd\xFF"s); }, "",
         "a b  c\r\nd\xFF\r\n"},
        {"one line without a line break", [&](auto& d) { return File(d, "line.nfo", line); }, "",
         line + "\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input);
        const std::string arguments = row.arrange(docs_.path());
        const Snapshot before = TakeSnapshot(docs_.path());
        UniqueHfile lock;
        if (row.lockFile)
            lock.reset(::CreateFileA(arguments.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_EQ(static_cast<bool>(lock), row.lockFile);
        const ULONGLONG start = ::GetTickCount64();
        StartAndExpect(arguments, row.message);
        std::printf("%s: shown and answering after %.2f s\n", row.input,
                    static_cast<double>(::GetTickCount64() - start) / 1000.0);
        const std::string caption = program_.Caption();
        if (arguments.empty()) {
            EXPECT_EQ(caption, "Quorvel");
        }
        else if (static_cast<int>(arguments.size()) <= CaptionMax())
            EXPECT_EQ(caption, "Quorvel - " + arguments);
        else
            EXPECT_EQ(caption.substr(0, 16), "Quorvel - " + arguments.substr(0, 3) + "...");
        EXPECT_EQ(program_.Text(), row.text);
        ExpectCleanExit();
        lock.reset();
        EXPECT_EQ(TakeSnapshot(docs_.path()), before);
        EXPECT_EQ(ListFolder(program_.folder()), std::vector<std::string>{"Quorvel.exe"});
    }
}

TEST_F(BadInputTest, CaptionIsShortenedToTheWindowWidthKeepingTheLastFolders) {
    // Too long, the caption shows the drive, "..." and the path from its
    // first backslash among the last max - 6 characters.
    const int max = CaptionMax();
    const std::string folder = program_ / "d";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((folder + "\\ab").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((folder + "\\ab\\cd").c_str(), nullptr));
    const auto name = [](std::size_t length, char c) {
        return std::string(length - 4, c) + ".nfo";
    };
    const std::string fits = name(max - folder.size() - 1, 'f'), tail = name(max - 6, 't'),
                      deep = name(max - 11, 'u'), drive = folder.substr(0, 3) + "...";
    const std::pair<std::string, std::string> rows[] = {
        {folder + "\\" + fits, folder + "\\" + fits}, // exactly the budget
        {folder + "\\" + tail, drive + "\\" + tail},  // its backslash the first of the last
        {folder + "\\ab\\cd\\" + deep, drive + "\\cd\\" + deep}, // \ab: one before them
    };
    for (const auto& [path, shown] : rows) {
        WriteFileBytes(path, "x");
        StartAndExpect(path);
        EXPECT_EQ(program_.Caption(), "Quorvel - " + shown);
    }
    ExpectCleanExit();
}

TEST_F(BadInputTest, SettingsFiles) {
    const std::string onTopWritable = "[INIT]\r\nALWAYSONTOP=1\r\nMAKEWRITE=0\r\n";
    enum class Lock { None, File, Folder };
    const struct {
        const char* input;
        std::optional<std::string> stored; // config.bin's bytes; none: no file
        Lock lock;
        bool topMost, readOnly; // as the window shows them at start
        bool keptChange;        // a change survives a restart
    } rows[] = {
        {"absent", std::nullopt, Lock::None, false, true, true},
        {"stored", Scrambled(onTopWritable), Lock::None, true, false, true},
        {"not scrambled", onTopWritable, Lock::None, false, true, true},
        // The cipher works byte by byte: the keys before a cut still count.
        {"truncated", Scrambled(onTopWritable).substr(0, onTopWritable.size() - 5), Lock::None,
         true, true, true},
        {"read-only file", Scrambled(onTopWritable), Lock::File, true, false, false},
        {"read-only folder", std::nullopt, Lock::Folder, false, true, false},
        {"read-only folder, writable file", Scrambled(onTopWritable), Lock::Folder, true, false,
         true},
    };
    const std::string config = program_ / "config.bin";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input);
        ::SetFileAttributesA(config.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(config.c_str());
        if (row.stored)
            WriteFileBytes(config, *row.stored);
        if (row.lock == Lock::File) {
            ASSERT_TRUE(::SetFileAttributesA(config.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        const Snapshot before = TakeSnapshot(program_.folder());
        std::optional<ReadOnlyFolder> readOnly;
        if (row.lock == Lock::Folder) {
            ASSERT_TRUE(readOnly.emplace(program_.folder()).refusesWrites());
        }
        StartAndExpect("");
        EXPECT_EQ(TopMost(), row.topMost);
        EXPECT_EQ(ReadOnly(), row.readOnly);
        ASSERT_TRUE(program_.SendCommand(IDM_mnuOnTop));
        ASSERT_TRUE(program_.SendCommand(IDM_mnuMakeWrite));
        EXPECT_EQ(FindProcessWindow(program_.pid(), "#32770"), nullptr) << "a message shown";
        ExpectCleanExit();
        StartAndExpect("");
        EXPECT_EQ(TopMost(), row.topMost != row.keptChange);
        EXPECT_EQ(ReadOnly(), row.readOnly != row.keptChange);
        ExpectCleanExit();
        if (!row.keptChange) {
            EXPECT_EQ(TakeSnapshot(program_.folder()), before);
        }
        if (row.lock == Lock::File) {
            EXPECT_TRUE(::GetFileAttributesA(config.c_str()) & FILE_ATTRIBUTE_READONLY);
        }
    }
}

TEST_F(BadInputTest, PlacementKeys) {
    const struct {
        const char* input;
        std::function<void(const PlacementKey&)> change;
        bool centred; // off every screen: centred at the stored size
        double left, top, width, height; // twips
    } rows[] = {
        {"as stored", [](auto&) {}, false, 1500, 900, 9000, 6000},
        {"off the screen, as text", [](auto& k) { k.SetString("MainLeft", "1E+9"); }, true, 0, 0,
         9000, 6000},
        {"off the screen below", [](auto& k) { k.SetDword("MainTop", 2000000000); }, true, 0, 0,
         9000, 6000},
        {"partly off the screen", [](auto& k) { k.SetDword("MainTop", -300); }, false, 1500, -300,
         9000, 6000},
        {"width zero", [](auto& k) { k.SetDword("MainWidth", 0); }, false, 1500, 900, 8355, 6000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input);
        placement_.Clear();
        placement_.SetDword("MainLeft", 1500);
        placement_.SetDword("MainTop", 900);
        placement_.SetDword("MainWidth", 9000);
        placement_.SetDword("MainHeight", 6000);
        row.change(placement_);
        StartAndExpect("");
        const int width = Px(row.width), height = Px(row.height);
        const RECT rc = program_.WindowRect();
        const int screenW = ::GetSystemMetrics(SM_CXSCREEN);
        const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
        EXPECT_NEAR(rc.left, row.centred ? (screenW - width) / 2 : Px(row.left), row.centred);
        EXPECT_NEAR(rc.top, row.centred ? (screenH - height) / 2 : Px(row.top), row.centred);
        EXPECT_EQ(rc.right - rc.left, width);
        EXPECT_EQ(rc.bottom - rc.top, height);
        ExpectCleanExit();
    }
}
