// File > Preferences: stored settings applied at start-up, choices stored
// in the scrambled settings file, and the shell registration.
#include "app/resource.h"
#include "shell/modFileAssociation.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/RegistryObstacle.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// What the window shows of its settings.
struct Shown {
    std::string onTop = "Set Always On Top (False)", makeWrite = "Make Writable locked",
                ass = "Add File Association", url = "Add URL Protocol", alpha = "opaque",
                colours = "2147483656/16777215";
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* out) {
    *out << s.onTop << ", " << s.makeWrite << ", " << s.ass << ", " << s.url << ", " << s.alpha
         << ", " << s.colours;
}

Shown ShownBy(WindowUnderTest& w) {
    const bool topMost = ::GetWindowLongA(w.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST;
    const bool locked = ::GetWindowLongA(w.txtnfo(), GWL_STYLE) & ES_READONLY;
    BYTE alpha = 0;
    const bool layered = (::GetWindowLongA(w.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED) &&
                         ::GetLayeredWindowAttributes(w.hwnd(), nullptr, &alpha, nullptr);
    return {w.MenuCaption(IDM_mnuOnTop) + (topMost ? " topmost" : ""),
            w.MenuCaption(IDM_mnuMakeWrite) + (locked ? " locked" : "") +
                (w.MenuEnabled(IDM_mnuSave) ? " save" : ""),
            w.MenuCaption(IDM_mnuAss),
            w.MenuCaption(IDM_mnuUrl),
            layered ? std::to_string(alpha) : "opaque",
            std::to_string(w.frm().ForeColor()) + "/" + std::to_string(w.frm().BackColor())};
}

} // namespace

// Without stored settings the defaults apply and no file is made; a plain
// hand-written file reads as missing and stays as it was. The first choice
// creates the scrambled file; the menu's choices apply and store.
TEST(SettingsTest, FirstStartUsesTheDefaultsUntilAChoiceCreatesTheScrambledFile) {
    const PlacementKey placement;
    for (const std::string plain : {"[INIT]\r\nALWAYSONTOP=1\r\nMAKEWRITE=0\r\n", ""}) {
        WindowUnderTest window;
        const std::string config = window / "config.bin";
        if (!plain.empty())
            WriteFileBytes(config, plain);
        ASSERT_TRUE(window.Start());
        EXPECT_EQ(ShownBy(window), Shown{});
        EXPECT_EQ(WindowText(window.frm().txtTransp()), config) << "the missing key's value";
        EXPECT_EQ(ListFolder(window.folder()).size(), plain.empty() ? 0u : 1u);
        EXPECT_EQ(ReadFileBytes(config), plain);
        if (!plain.empty())
            continue;
        window.Command(IDM_mnuMakeWrite);
        window.Command(IDM_mnuOnTop);
        EXPECT_EQ(ShownBy(window), (Shown{.onTop = "Set Always On Top (True) topmost",
                                          .makeWrite = "Make Read-Only save"}));
        window.Command(IDM_mnuOnTop);
        for (const auto& [command, rgb] : {std::pair{IDM_mnuFC, 255u}, {IDM_mnuBC, 0x00FF00u}}) {
            // The red, green and blue boxes of the opened-up colour dialog.
            DialogDriver driver("Color", [rgb = rgb](HWND dialog) {
                for (int i = 0; i < 3; ++i)
                    ::SetDlgItemInt(dialog, 706 + i, (rgb >> (8 * i)) & 0xFF, FALSE);
                PressButton(dialog, IDOK);
            });
            window.Command(command);
            ASSERT_TRUE(driver.Finish());
        }
        EXPECT_EQ(ShownBy(window), (Shown{.makeWrite = "Make Read-Only save",
                                          .colours = "255/65280"}));
        EXPECT_EQ(UnscrambleSettings(config), "[INIT]\r\nMAKEWRITE=0\r\nALWAYSONTOP=0\r\n"
                                              "ForeColor=255\r\nBackColor=65280\r\n");
        EXPECT_EQ(ListFolder(window.folder()), std::vector<std::string>{"config.bin"});
        WindowUnderTest restarted; // the same settings file, another start
        WriteFileBytes(restarted / "config.bin", ReadFileBytes(config));
        ASSERT_TRUE(restarted.Start());
        EXPECT_EQ(ShownBy(restarted), ShownBy(window));
    }
}

TEST(SettingsTest, StoredSettingsAreAppliedAtStartup) {
    const PlacementKey placement;
    const struct {
        const char* lines;
        Shown shown;
    } rows[] = {
        {"ALWAYSONTOP=1", {.onTop = "Set Always On Top (True) topmost"}},
        {"MAKEWRITE=0", {.makeWrite = "Make Read-Only save"}},
        {"ADDFILEASS=0\r\nADDURLPROT=0",
         {.ass = "Remove File Association", .url = "Remove URL Protocol"}},
        // The upper-case keys come from a hand-edited file and win.
        {"ForeColor=255\r\nFGCOLOR=65280\r\nBackColor=0\r\nBGCOLOR=16711680",
         {.colours = "65280/16711680"}},
        {"ForeColor=255\r\nBackColor=-5", {.colours = "255/16777215"}},
        // An empty value keeps the value read just before it.
        {"TRANSPATENCY=200\r\nFGCOLOR=", {.alpha = "200", .colours = "200/16777215"}},
        {"TRANSPATENCY=127.5", {.alpha = "128"}},
        {"TRANSPATENCY=300", {}},
    };
    for (const auto& row : rows) {
        WindowUnderTest window;
        WriteScrambledSettings(window / "config.bin",
                               "[INIT]\r\n" + std::string(row.lines) + "\r\n");
        ASSERT_TRUE(window.Start());
        EXPECT_EQ(ShownBy(window), row.shown) << row.lines;
    }
}

namespace {

// A text value of HKEY_CLASSES_ROOT, or nothing when there is none.
std::optional<std::string> Value(const std::string& path, const char* name = "") {
    char data[2048] = {};
    DWORD size = sizeof data;
    if (::RegGetValueA(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data,
                       &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(data);
}

class ShellRegistrationTest : public ::testing::Test {
  protected:
    void SetUp() override { RemoveRegistration(); }
    void TearDown() override { RemoveRegistration(); }
    void Start(const std::string& settings) {
        WriteScrambledSettings(window_ / "config.bin", "[INIT]\r\n" + settings);
        ASSERT_TRUE(window_.Start());
    }
    // Runs a command (if any); then the first word of both captions, the
    // stored settings and what HKEY_CLASSES_ROOT holds of the program: "file"
    // for the whole association, "mark" for the URL protocol's mark, "+" for
    // anything else.
    std::string After(UINT command = 0) {
        if (command)
            window_.Command(command);
        const std::string exe = window_ / "Quorvel.exe";
        const bool file = Value(".nfo") == "Quorvel" && Value("Quorvel") == "NFO File" &&
                          Value("Quorvel\\Shell\\Open\\Command") == "\"" + exe + "\" %1" &&
                          Value("Quorvel\\DefaultIcon") == exe + ",0";
        const bool other = Value(".nfo") || Value("Quorvel\\Shell\\Open\\Command");
        const auto word = [&](UINT id) { return window_.MenuCaption(id).substr(0, 3); };
        return word(IDM_mnuAss) + " " + word(IDM_mnuUrl) + " " +
               UnscrambleSettings(window_ / "config.bin") +
               (file    ? "file"
                : other ? "+"
                        : "") +
               (Value("Quorvel", "URL Protocol") == "" ? " mark" : "");
    }

    PlacementKey placement_;
    WindowUnderTest window_;
};

} // namespace

// A denied write: the captions and settings keep telling the truth, nothing
// is left half-written, and once the way is clear the next click does it all.
TEST_F(ShellRegistrationTest, RoundTripAndFailedRegistrationNotReportedAsDone) {
    ASSERT_TRUE(SetStringValue(HKEY_CLASSES_ROOT, "Quorvel", "", "someone's"));
    ASSERT_TRUE(PlaceObstacle("Quorvel\\DefaultIcon")); // late in the layout
    Start("ADDURLPROT=7\r\n");
    const std::string stored = " [INIT]\r\nADDURLPROT=";
    EXPECT_EQ(After(IDM_mnuAss), "Add Add" + stored + "7\r\nADDFILEASS=1\r\n");
    RemoveObstacle("Quorvel\\DefaultIcon");
    EXPECT_EQ(After(IDM_mnuAss), "Rem Add" + stored + "7\r\nADDFILEASS=0\r\nfile");
    EXPECT_EQ(After(IDM_mnuAss), "Add Add" + stored + "7\r\nADDFILEASS=1\r\n");
    ASSERT_TRUE(PlaceObstacle("Quorvel"));
    window_.Command(IDM_mnuUrl);
    RemoveObstacle("Quorvel");
    EXPECT_EQ(After(), "Add Add" + stored + "1\r\nADDFILEASS=1\r\n");
    EXPECT_EQ(After(IDM_mnuUrl), "Add Rem" + stored + "0\r\nADDFILEASS=1\r\n mark");
    // Removing the protocol writes the file association afresh.
    EXPECT_EQ(After(IDM_mnuUrl), "Add Add" + stored + "1\r\nADDFILEASS=1\r\nfile");
}
