// File > Preferences: stored settings applied at start-up, choices stored
// in the scrambled settings file, and the shell registration.
#include "common/Files.h"
#include "shell/modFileAssociation.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/RegistryObstacle.h"

#include <ostream>

using namespace quorvel;
using namespace quorvel::test;
using namespace std::string_literals;

namespace {

// What the window shows of its settings.
struct Shown {
    std::string onTop = "Set Always On Top (False)", makeWrite = "Make Writable locked",
                ass = "Add File Association", url = "Add URL Protocol", alpha = "opaque",
                colours = "2147483656/16777215";
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* out) {
    *out << s.onTop << ", " << s.makeWrite << ", " << s.ass << ", " << s.url << ", " << s.alpha << ", " << s.colours;
}

Shown ShownBy(WindowUnderTest& w) {
    BYTE alpha = 0;
    const bool layered = (::GetWindowLongA(w.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED) &&
                         ::GetLayeredWindowAttributes(w.hwnd(), nullptr, &alpha, nullptr);
    return {w.MenuCaption(IDM_mnuOnTop) + (TopMost(w.hwnd()) ? " topmost" : ""),
            w.MenuCaption(IDM_mnuMakeWrite) + (w.Locked() ? " locked" : "") +
                (w.MenuEnabled(IDM_mnuSave) ? " save" : ""),
            w.MenuCaption(IDM_mnuAss), w.MenuCaption(IDM_mnuUrl),
            layered ? std::to_string(alpha) : "opaque",
            std::to_string(w.frm().ForeColor()) + "/" + std::to_string(w.frm().BackColor())};
}

} // namespace

// Without stored settings the defaults apply and no file is made; the first
// choice creates the scrambled file; the menu's choices apply and store (and
// come back at the next start: BadInputTest, UnicodeNamesTest).
TEST(SettingsTest, FirstStartUsesTheDefaultsUntilAChoiceCreatesTheScrambledFile) {
    const PlacementKey placement;
    WindowUnderTest window;
    const std::string config = window / "config.bin";
    ASSERT_TRUE(window.Start());
    EXPECT_EQ(ShownBy(window), Shown{});
    EXPECT_EQ(WindowText(window.frm().txtTransp()), config) << "the missing key's value";
    EXPECT_TRUE(ListFolder(window.folder()).empty());
    window.Command(IDM_mnuMakeWrite);
    window.Command(IDM_mnuOnTop);
    EXPECT_EQ(ShownBy(window), (Shown{.onTop = "Set Always On Top (True) topmost",
                                      .makeWrite = "Make Read-Only save"}));
    window.Command(IDM_mnuOnTop);
    // (The colour dialog's choices are stored in the soak run.)
    EXPECT_EQ(ShownBy(window), Shown{.makeWrite = "Make Read-Only save"});
    EXPECT_EQ(UnscrambleSettings(config), "[INIT]\r\nMAKEWRITE=0\r\nALWAYSONTOP=0\r\n");
    EXPECT_EQ(ListFolder(window.folder()), std::vector<std::string>{"config.bin"});
}

TEST(SettingsTest, StoredSettingsAreAppliedAtStartup) {
    const PlacementKey placement;
    const struct { const char* lines; Shown shown; } rows[] = {
        {"ALWAYSONTOP=1", {.onTop = "Set Always On Top (True) topmost"}},
        {"MAKEWRITE=0", {.makeWrite = "Make Read-Only save"}},
        {"ADDFILEASS=0\r\nADDURLPROT=0", {.ass = "Remove File Association", .url = "Remove URL Protocol"}},
        // The upper-case keys come from a hand-edited file and win.
        {"ForeColor=255\r\nFGCOLOR=65280\r\nBackColor=0\r\nBGCOLOR=16711680", {.colours = "65280/16711680"}},
        {"ForeColor=255\r\nBackColor=65280", {.colours = "255/65280"}}, // no upper-case twin
        {"TRANSPATENCY=127.5", {.alpha = "128"}},
        {"TRANSPATENCY=256", {}},
        // An empty value keeps the value read before it: FGCOLOR takes 200.
        {"TRANSPATENCY=200\r\nFGCOLOR=", {.alpha = "200", .colours = "200/16777215"}},
        {"ALWAYSONTOP=2\r\nMAKEWRITE=2", {.onTop = "Set Always On Top"}}, // neither 0 nor 1
    };
    for (const auto& row : rows) {
        WindowUnderTest window;
        WriteScrambledSettings(window / "config.bin", "[INIT]\r\n" + std::string(row.lines) + "\r\n");
        ASSERT_TRUE(window.Start());
        EXPECT_EQ(ShownBy(window), row.shown) << row.lines;
    }
}

// A config.bin exactly as an earlier version stored it (its bytes fixed
// here, not made with the program's cipher) reads, and a choice changes the
// byte of its value alone.
TEST(SettingsTest, AFileAnEarlierVersionStoredReadsAndKeepsItsForm) {
    const PlacementKey placement;
    // [INIT], ALWAYSONTOP=1, MAKEWRITE=0, ForeColor=255, BackColor=0, each
    // line ending in CR LF, scrambled with the settings password.
    const std::string stored =
        "\xB5\x8F\x99\x01\xAE\xA3\x58\xC2\x9B\x92\xA2\xF9\xB3\x99\x9A\x06\xAE\x95\x9B\xF5\x8B"
        "\x53\x55\x05\x9B\x91\x90\x0F\xAC\x8F\x9F\xFD\x97\x76\x58\xC2\xA0\xB5\xBD\x1D\x9D\xB5"
        "\xB7\x27\xCC\x83\x7D\xED\x8F\x53\x55\xFA\xBB\xA9\xB6\xFB\xC9\xB2\xBA\x2A\x97\x76\x58\xC2";
    WindowUnderTest window;
    WriteFileBytes(window / "config.bin", stored);
    ASSERT_TRUE(window.Start());
    EXPECT_EQ(ShownBy(window), (Shown{.onTop = "Set Always On Top (True) topmost",
                                      .makeWrite = "Make Read-Only save", .colours = "255/0"}));
    window.Command(IDM_mnuOnTop);
    std::string after = stored;
    after[20] = '\x8A'; // ALWAYSONTOP=0
    EXPECT_EQ(ReadFileBytes(window / "config.bin"), after);
}

// A denied registry write (an obstacle where a key goes) is neither shown
// nor stored as done and leaves nothing half made; once the way is clear the
// next click does it all.
TEST(ShellRegistrationTest, RoundTripAndAFailedRegistrationNotReportedAsDone) {
    RemoveRegistration();
    const PlacementKey placement;
    WindowUnderTest window;
    ASSERT_TRUE(SetStringValue(HKEY_CLASSES_ROOT, "Quorvel", "", "someone's"));
    WriteScrambledSettings(window / "config.bin", "[INIT]\r\nADDURLPROT=7\r\n");
    ASSERT_TRUE(window.Start());
    // After a command: the first word of both captions, the stored settings,
    // "file" for the whole association, "+" for any part of it, and "mark"
    // for the URL protocol's mark.
    const auto after = [&](UINT command) {
        window.Command(command);
        const std::string exe = window / "Quorvel.exe";
        const bool file =
            ClassesRootText(".nfo") == "Quorvel" && ClassesRootText("Quorvel") == "NFO File" &&
            ClassesRootText("Quorvel\\Shell\\Open\\Command") == "\"" + exe + "\" %1" &&
            ClassesRootText("Quorvel\\DefaultIcon") == exe + ",0";
        const bool part = ClassesRootText(".nfo") || ClassesRootText("Quorvel\\Shell\\Open\\Command");
        const auto word = [&](UINT id) { return window.MenuCaption(id).substr(0, 3) + " "; };
        return word(IDM_mnuAss) + word(IDM_mnuUrl) + UnscrambleSettings(window / "config.bin") +
               (file ? "file" : part ? "+" : "") +
               (ClassesRootText("Quorvel", "URL Protocol") == "" ? " mark" : "");
    };
    const struct {
        const char* obstacle; // placed before the command, taken away after
        UINT command;
        const char *captions, *url, *file, *registry; // afterwards
    } steps[] = {
        {"Quorvel\\DefaultIcon", IDM_mnuAss, "Add Add", "7", "1", ""}, // late in the layout
        {"", IDM_mnuAss, "Rem Add", "7", "0", "file"},
        {"", IDM_mnuAss, "Add Add", "7", "1", ""},
        {"Quorvel", IDM_mnuUrl, "Add Add", "1", "1", ""}, // no key for the mark
        {"", IDM_mnuUrl, "Add Rem", "0", "1", " mark"},
        {".nfo", IDM_mnuAss, "Add Rem", "0", "1", " mark"}, // the first row fails, the mark stays
        {"", IDM_mnuUrl, "Add Add", "1", "1", "file"}, // removing it writes the association afresh
        {"", IDM_mnuAss, "Rem Add", "1", "0", "file"},
        {"", IDM_mnuUrl, "Rem Rem", "0", "0", "file mark"},
        {"Quorvel\\DefaultIcon", IDM_mnuUrl, "Add Add", "1", "1", ""}, // and now cannot
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.captions) + " after an obstacle at " + step.obstacle);
        if (*step.obstacle) {
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, Wide(step.obstacle).c_str());
            ASSERT_TRUE(PlaceObstacle(step.obstacle));
        }
        EXPECT_EQ(after(step.command), step.captions + " [INIT]\r\nADDURLPROT="s + step.url +
                                           "\r\nADDFILEASS=" + step.file + "\r\n" + step.registry);
        RemoveObstacle(step.obstacle);
    }
    RemoveRegistration();
}

// Another running copy holding the settings file: a choice shows at once,
// waits, and is stored the moment the file is free, also by a program
// closed meanwhile; nothing is ever written while the other holds it.
TEST(SettingsTest, AChoiceWaitsWhileAnotherCopyHoldsTheFile) {
    const PlacementKey placement;
    ProgramUnderTest program;
    const std::string config = program / "config.bin";
    WriteScrambledSettings(config, "[INIT]\r\nALWAYSONTOP=0\r\nMAKEWRITE=1\r\n");
    const UniqueKernelHandle lock(::CreateMutexA(nullptr, FALSE, SettingsLockName(FullPath(config)).c_str()));
    const auto stored = [&] { return UnscrambleSettings(config); };
    // The other copy takes the lock once the program lets go of it.
    const auto hold = [&] { return ::WaitForSingleObject(lock.get(), 10000) == WAIT_OBJECT_0; };
    ASSERT_TRUE(program.Show());
    ASSERT_TRUE(hold());
    const std::string before = stored();
    for (const UINT command : {IDM_mnuOnTop, IDM_mnuMakeWrite, IDM_mnuOnTop, IDM_mnuOnTop}) {
        const ULONGLONG start = ::GetTickCount64();
        ASSERT_TRUE(program.SendCommand(command));
        EXPECT_LT(::GetTickCount64() - start, 2000u) << "the window waited for the file";
    }
    EXPECT_TRUE(program.TopMost() && !program.Locked());
    // The program asks again every quarter second.
    EXPECT_FALSE(WaitUntilQuiet([&] { return stored() != before; }, 1000)) << stored();
    ::ReleaseMutex(lock.get());
    EXPECT_TRUE(WaitUntilQuiet([&] { return stored() == "[INIT]\r\nALWAYSONTOP=1\r\nMAKEWRITE=0\r\n"; }))
        << stored();

    ASSERT_TRUE(hold());
    ASSERT_TRUE(program.SendCommand(IDM_mnuOnTop));
    program.Close();
    EXPECT_FALSE(program.WaitExit(1000)) << "ended without storing the choice";
    EXPECT_EQ(stored(), "[INIT]\r\nALWAYSONTOP=1\r\nMAKEWRITE=0\r\n");
    ::ReleaseMutex(lock.get());
    ASSERT_TRUE(program.WaitExit());
    EXPECT_EQ(stored(), "[INIT]\r\nALWAYSONTOP=0\r\nMAKEWRITE=0\r\n");
    EXPECT_EQ(program.ExitCode(), 0u);
}
