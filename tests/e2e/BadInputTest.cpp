// The program started as the shell and users start it, with good and bad
// command lines and settings files: it shows its own message where it has
// one, stays up and answering, and ends cleanly. Its folder and a file are
// named beyond the ANSI code page (1252 here), as plain ones work.
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/ReadOnlyFolder.h"

#include <cstdlib>
#include <functional>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// The caption's character budget: the designed window width in twips / 150.
int CaptionMax() {
    return static_cast<int>(std::nearbyint(DesignedWindowSize().cx * 1440.0 / ScreenDpi() / 150));
}

class BadInputTest : public ::testing::Test {
protected:
    // The program's message `message` first (pressed away) or none; then
    // the main window, shown and answering.
    void StartAndExpect(const std::string& arguments, const std::string& message = "") {
        ASSERT_TRUE(program_.Start(arguments));
        if (!message.empty()) {
            HWND box = program_.WaitDialog("Error", 30000);
            ASSERT_NE(box, nullptr) << "no message box";
            EXPECT_EQ(MessageBoxText(box), message);
            PressButton(box, IDOK);
        }
        ASSERT_NE(program_.WaitMainWindow(30000), nullptr) << "no main window";
        if (message.empty()) {
            EXPECT_EQ(FindProcessWindow(program_.pid(), "#32770"), nullptr) << "a message shown";
        }
        EXPECT_TRUE(program_.SendCommand(0, 30000, WM_NULL)) << "not answering";
    }
    void ExpectCleanExit() {
        EXPECT_TRUE(program_.Running()) << "the program ended by itself";
        program_.Close();
        ASSERT_TRUE(program_.WaitExit(30000)) << "did not end after WM_CLOSE";
        EXPECT_EQ(program_.ExitCode(), 0u);
    }

    PlacementKey placement_;
    ProgramUnderTest program_{"Quorvel.exe", "Ωμέγα Программа"};
    TempFolder docs_{"docs"};
};

std::string File(const std::string& path, const std::string& bytes) {
    WriteFileBytes(path, bytes);
    return path;
}

} // namespace

// The caption shows the path whole up to its budget, the window's width in
// twips / 150, and shortened beyond it (the rule itself: the unit tier).
TEST_F(BadInputTest, CommandLines) {
    // Wine wraps one long line in time that grows with the square of its
    // length; scripts/soak --one-line sets a long one.
    const char* kb = std::getenv("QUORVEL_ONE_LINE_KB");
    std::string line;
    for (int i = 0; line.size() < (kb ? std::strtoul(kb, nullptr, 10) : 16) * 1024; ++i)
        line += static_cast<char>('!' + i % 90);
    const auto ofLength = [](const std::string& d, int length) { // a file in `d`
        return File(d + "\\" + std::string(length - d.size() - 5, 'f') + ".nfo", "x");
    };
    const struct {
        const char* input;
        std::function<std::string(const std::string& docs)> arrange; // the argument string
        const char* message;
        std::string text;
    } rows[] = {
        {"missing file", [](auto& d) { return d + "\\missing.nfo"; }, "File Not Found", ""},
        {"unquoted path with blanks, Greek and Cyrillic",
         [](auto& d) { return File(d + "\\Ω release Жж.nfo", "\xC9\xCD\xBB\r\n"); }, "", "╔═╗\r\n"},
        {"32 KB command line",
         [](auto& d) { return d + "\\" + std::string(32000 - d.size() - 120, 'x') + ".nfo"; },
         "File Not Found", ""},
        {"one line without a line break", [&](auto& d) { return File(d + "\\line.nfo", line); },
         "", line + "\r\n"},
        {"a path of the caption's budget", [&](auto& d) { return ofLength(d, CaptionMax()); }, "", "x\r\n"},
        {"a path one over it", [&](auto& d) { return ofLength(d, CaptionMax() + 1); }, "", "x\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input);
        const std::string arguments = row.arrange(docs_.path());
        const ULONGLONG start = ::GetTickCount64();
        StartAndExpect(arguments, row.message);
        std::printf("%s: shown and answering after %.2f s\n", row.input,
                    static_cast<double>(::GetTickCount64() - start) / 1000.0);
        const std::string caption = program_.Caption();
        if (static_cast<int>(Wide(arguments).size()) <= CaptionMax()) // characters
            EXPECT_EQ(caption, "Quorvel - " + arguments);
        else
            EXPECT_EQ(caption.substr(0, 16), "Quorvel - " + arguments.substr(0, 3) + "...");
        EXPECT_EQ(program_.Text(), row.text);
        ExpectCleanExit();
        EXPECT_EQ(ListFolder(program_.folder()), std::vector<std::string>{"Quorvel.exe"});
    }
}

// Two toggles changed in one run come back after a restart, also where the
// folder refuses new files, unless config.bin itself cannot be written:
// then it keeps its bytes and attributes.
TEST_F(BadInputTest, SettingsFilesInFoldersAndFilesThatRefuseWrites) {
    const std::string config = program_ / "config.bin";
    WriteScrambledSettings(config, "[INIT]\r\nALWAYSONTOP=1\r\nMAKEWRITE=0\r\n");
    const std::string stored = ReadFileBytes(config);
    for (const bool readOnlyFile : {true, false}) {
        SCOPED_TRACE(readOnlyFile ? "read-only file" : "read-only folder, writable file");
        ::SetFileAttributesW(Wide(config).c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteFileBytes(config, stored);
        std::optional<ReadOnlyFolder> readOnly;
        if (readOnlyFile) {
            ASSERT_TRUE(::SetFileAttributesW(Wide(config).c_str(), FILE_ATTRIBUTE_READONLY));
        } else {
            ASSERT_TRUE(readOnly.emplace(program_.folder()).refusesWrites());
        }
        for (const bool changed : {false, true}) {
            StartAndExpect("");
            EXPECT_EQ(program_.TopMost(), !changed || readOnlyFile);
            EXPECT_EQ(program_.Locked(), changed && !readOnlyFile);
            if (!changed) {
                ASSERT_TRUE(program_.SendCommand(IDM_mnuOnTop));
                ASSERT_TRUE(program_.SendCommand(IDM_mnuMakeWrite));
                EXPECT_EQ(FindProcessWindow(program_.pid(), "#32770"), nullptr) << "a message";
            }
            ExpectCleanExit();
        }
        EXPECT_EQ(ReadFileBytes(config) == stored, readOnlyFile);
        EXPECT_EQ(ListFolder(program_.folder()), (std::vector<std::string>{"Quorvel.exe", "config.bin"}));
        EXPECT_EQ((::GetFileAttributesW(Wide(config).c_str()) & FILE_ATTRIBUTE_READONLY) != 0, readOnlyFile);
    }
}
