// Stored preferences: applied at start-up, changed by the menu, kept in the
// scrambled settings file.
#include "app/resource.h"
#include "settings/SettingsFile.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// What the stored settings show on the window after start-up.
struct Shown {
    std::string onTopCaption = "Set Always On Top (False)";
    bool topMost = false;
    bool readOnly = true;
    std::string assCaption = "Add File Association";
    std::string urlCaption = "Add URL Protocol";
    int alpha = -1; // not layered
    std::uint32_t fore = 0x80000008u;
    std::uint32_t back = 0x00FFFFFFu;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << "{" << s.onTopCaption << ", topmost " << s.topMost << ", read-only "
               << s.readOnly << ", " << s.assCaption << ", " << s.urlCaption << ", alpha "
               << s.alpha << ", fore " << s.fore << ", back " << s.back << "}";
}

Shown ShownBy(WindowUnderTest& w) {
    Shown s;
    const LONG exStyle = ::GetWindowLongA(w.hwnd(), GWL_EXSTYLE);
    s.onTopCaption = w.MenuCaption(IDM_mnuOnTop);
    s.topMost = (exStyle & WS_EX_TOPMOST) != 0;
    s.readOnly = (::GetWindowLongA(w.txtnfo(), GWL_STYLE) & ES_READONLY) != 0;
    EXPECT_EQ(w.MenuEnabled(IDM_mnuSave), !s.readOnly) << "Save follows the read-only state";
    EXPECT_EQ(w.MenuCaption(IDM_mnuMakeWrite), s.readOnly ? "Make Writable" : "Make Read-Only");
    s.assCaption = w.MenuCaption(IDM_mnuAss);
    s.urlCaption = w.MenuCaption(IDM_mnuUrl);
    BYTE alpha = 0;
    DWORD flags = 0;
    if ((exStyle & WS_EX_LAYERED) && ::GetLayeredWindowAttributes(w.hwnd(), nullptr, &alpha, &flags))
        s.alpha = alpha;
    s.fore = w.frm().ForeColor();
    s.back = w.frm().BackColor();
    return s;
}

class SettingsTest : public ::testing::Test {
protected:
    std::string ConfigPath() const { return window_ / "config.bin"; }
    void StoreSettings(const std::string& lines) {
        WriteScrambledSettings(ConfigPath(), "[INIT]\r\n" + lines);
    }
    bool TopMost() const { return (::GetWindowLongA(window_.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    bool ReadOnlyText() const {
        return (::GetWindowLongA(window_.txtnfo(), GWL_STYLE) & ES_READONLY) != 0;
    }

    PlacementKey placement_;
    WindowUnderTest window_;
};

} // namespace

TEST_F(SettingsTest, FirstStartUsesTheDefaultsAndCreatesNoFile) {
    ASSERT_TRUE(window_.Start());
    EXPECT_EQ(ShownBy(window_), Shown{});
    // The missing key leaves the settings path in the hidden level box.
    EXPECT_EQ(WindowText(window_.frm().txtTransp()), ConfigPath());
    EXPECT_EQ(ListFolder(window_.folder()), std::vector<std::string>{});
}

TEST_F(SettingsTest, StoredSettingsAreAppliedAtStartup) {
    struct Row {
        const char* lines; // the settings file's keys, scrambled as stored
        Shown shown;
    };
    auto with = [](auto change) {
        Shown s;
        change(s);
        return s;
    };
    const Row rows[] = {
        {"ALWAYSONTOP=1\r\n", with([](Shown& s) { s.topMost = true; s.onTopCaption = "Set Always On Top (True)"; })},
        // Another number keeps the design caption, which no toggle knows.
        {"ALWAYSONTOP=2\r\n", with([](Shown& s) { s.onTopCaption = "Set Always On Top"; })},
        {"ALWAYSONTOP=\r\n", Shown{}},
        {"MAKEWRITE=0\r\n", with([](Shown& s) { s.readOnly = false; })},
        {"makewrite=0\r\nforecolor=255\r\n", with([](Shown& s) { s.readOnly = false; s.fore = 255; })},
        {"ForeColor=255\r\n", with([](Shown& s) { s.fore = 255; })},
        // The upper-case keys come from a hand-edited file and win.
        {"ForeColor=255\r\nFGCOLOR=65280\r\nBackColor=0\r\nBGCOLOR=16711680\r\n",
         with([](Shown& s) { s.fore = 65280; s.back = 16711680; })},
        {"ForeColor=305419896\r\nBackColor=-5\r\nFGCOLOR=blue\r\n", Shown{}},
        // An empty value keeps the value read just before it.
        {"TRANSPATENCY=200\r\nFGCOLOR=\r\n", with([](Shown& s) { s.alpha = 200; s.fore = 200; })},
        {"TRANSPATENCY=127.5\r\n", with([](Shown& s) { s.alpha = 128; })},
        {"TRANSPATENCY=300\r\n", Shown{}},
        {"TRANSPATENCY=-1\r\n", Shown{}},
        {"TRANSPATENCY=abc\r\n", Shown{}},
        {"TRANSPATENCY=1e308\r\n", Shown{}},
        {"ADDFILEASS=0\r\nADDURLPROT=0\r\n", with([](Shown& s) {
             s.assCaption = "Remove File Association";
             s.urlCaption = "Remove URL Protocol";
         })},
    };
    for (const Row& row : rows) {
        WindowUnderTest window;
        WriteScrambledSettings(window / "config.bin", std::string("[INIT]\r\n") + row.lines);
        ASSERT_TRUE(window.Start());
        EXPECT_EQ(ShownBy(window), row.shown) << row.lines;
    }
}

TEST_F(SettingsTest, ToggleWithACaptionItDoesNotKnowDoesNothing) {
    StoreSettings("ALWAYSONTOP=2\r\n");
    ASSERT_TRUE(window_.Start());
    const std::string before = ReadFileBytes(ConfigPath());
    window_.Command(IDM_mnuOnTop);
    EXPECT_EQ(window_.MenuCaption(IDM_mnuOnTop), "Set Always On Top");
    EXPECT_FALSE(TopMost());
    EXPECT_EQ(ReadFileBytes(ConfigPath()), before);
}

TEST_F(SettingsTest, PlainHandWrittenFileReadsAsMissingAndStaysAsItWas) {
    const std::string plain = "[INIT]\r\nALWAYSONTOP=1\r\nMAKEWRITE=0\r\n";
    WriteFileBytes(ConfigPath(), plain);
    ASSERT_TRUE(window_.Start());
    EXPECT_EQ(ShownBy(window_), Shown{});
    EXPECT_EQ(WindowText(window_.frm().txtTransp()), ConfigPath());
    EXPECT_EQ(ReadFileBytes(ConfigPath()), plain);
    EXPECT_EQ(ListFolder(window_.folder()), std::vector<std::string>{"config.bin"});
}

TEST_F(SettingsTest, WritableSettingGivesAnEditableTextThatSaves) {
    const std::string doc = window_ / "doc.nfo";
    WriteFileBytes(doc, "before\r\n");
    StoreSettings("MAKEWRITE=0\r\n");
    ASSERT_TRUE(window_.Start(doc));
    EXPECT_FALSE(ReadOnlyText());
    EXPECT_TRUE(window_.MenuEnabled(IDM_mnuSave));
    EXPECT_EQ(window_.MenuCaption(IDM_mnuMakeWrite), "Make Read-Only");
    ::SetWindowTextA(window_.txtnfo(), "after\r\n");
    window_.Command(IDM_mnuSave);
    EXPECT_EQ(ReadFileBytes(doc), "after\r\n");
}

TEST_F(SettingsTest, FirstChoiceCreatesAScrambledFileWithThatKey) {
    ASSERT_TRUE(window_.Start());
    window_.Command(IDM_mnuMakeWrite);
    EXPECT_FALSE(ReadOnlyText());
    EXPECT_TRUE(window_.MenuEnabled(IDM_mnuSave));
    EXPECT_EQ(UnscrambleSettings(ConfigPath()), "[INIT]\r\nMAKEWRITE=0\r\n");
    window_.Command(IDM_mnuMakeWrite);
    EXPECT_TRUE(ReadOnlyText());
    EXPECT_FALSE(window_.MenuEnabled(IDM_mnuSave));
    EXPECT_EQ(window_.MenuCaption(IDM_mnuMakeWrite), "Make Writable");
    EXPECT_EQ(UnscrambleSettings(ConfigPath()), "[INIT]\r\nMAKEWRITE=1\r\n");
    EXPECT_EQ(ListFolder(window_.folder()), std::vector<std::string>{"config.bin"});
}

TEST_F(SettingsTest, AlwaysOnTopToggleWritesBeforeTheCaption) {
    ASSERT_TRUE(window_.Start());
    window_.Command(IDM_mnuOnTop);
    EXPECT_TRUE(TopMost());
    EXPECT_EQ(window_.MenuCaption(IDM_mnuOnTop), "Set Always On Top (True)");
    EXPECT_EQ(UnscrambleSettings(ConfigPath()), "[INIT]\r\nALWAYSONTOP=1\r\n");
    window_.Command(IDM_mnuOnTop);
    EXPECT_FALSE(TopMost());
    EXPECT_EQ(window_.MenuCaption(IDM_mnuOnTop), "Set Always On Top (False)");
    EXPECT_EQ(UnscrambleSettings(ConfigPath()), "[INIT]\r\nALWAYSONTOP=0\r\n");
}

TEST_F(SettingsTest, ColourDialogSetsAndStoresTheColours) {
    ASSERT_TRUE(window_.Start());
    auto pick = [](int r, int g, int b) {
        return [=](HWND dialog) {
            // The red, green and blue boxes of the opened-up colour dialog.
            ::SetDlgItemInt(dialog, 706, static_cast<UINT>(r), FALSE);
            ::SetDlgItemInt(dialog, 707, static_cast<UINT>(g), FALSE);
            ::SetDlgItemInt(dialog, 708, static_cast<UINT>(b), FALSE);
            PressButton(dialog, IDOK);
        };
    };
    {
        DialogDriver driver("Color", pick(255, 0, 0));
        window_.Command(IDM_mnuFC);
        ASSERT_TRUE(driver.Finish());
    }
    EXPECT_EQ(window_.frm().ForeColor(), 255u);
    EXPECT_EQ(UnscrambleSettings(ConfigPath()), "[INIT]\r\nForeColor=255\r\n");
    {
        DialogDriver driver("Color", pick(255, 255, 255));
        window_.Command(IDM_mnuBC);
        ASSERT_TRUE(driver.Finish());
    }
    EXPECT_EQ(window_.frm().BackColor(), 16777215u);
    EXPECT_EQ(UnscrambleSettings(ConfigPath()), "[INIT]\r\nForeColor=255\r\nBackColor=16777215\r\n");

    // Cancel changes nothing.
    const std::string before = ReadFileBytes(ConfigPath());
    {
        DialogDriver driver("Color", [](HWND dialog) {
            ::SetDlgItemInt(dialog, 707, 200, FALSE);
            PressButton(dialog, IDCANCEL);
        });
        window_.Command(IDM_mnuFC);
        ASSERT_TRUE(driver.Finish());
    }
    EXPECT_EQ(window_.frm().ForeColor(), 255u);
    EXPECT_EQ(ReadFileBytes(ConfigPath()), before);

    // The next start shows the stored colours.
    WindowUnderTest next;
    ::CopyFileA(ConfigPath().c_str(), (next / "config.bin").c_str(), FALSE);
    ASSERT_TRUE(next.Start());
    EXPECT_EQ(next.frm().ForeColor(), 255u);
    EXPECT_EQ(next.frm().BackColor(), 16777215u);
}

TEST_F(SettingsTest, SettingsSurviveARestartOfTheProgram) {
    ProgramUnderTest program;
    ASSERT_TRUE(program.Start(""));
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    program.Command(IDM_mnuMakeWrite);
    program.Command(IDM_mnuOnTop);
    program.Close();
    ASSERT_TRUE(program.WaitExit());
    EXPECT_EQ(UnscrambleSettings(program / "config.bin"), "[INIT]\r\nMAKEWRITE=0\r\nALWAYSONTOP=1\r\n");

    // Same folder, new process: the program reads back what it stored.
    ASSERT_TRUE(program.Start(""));
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(::GetWindowLongA(program.textBox(), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    program.Close();
    EXPECT_TRUE(program.WaitExit());
}
