// Stored preferences: applied at start-up, changed by the menu, kept in the
// scrambled settings file.
#include "app/resource.h"
#include "settings/SettingsFile.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"

#include <gtest/gtest.h>

using namespace quorvel;
using namespace quorvel::test;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    std::string ConfigPath() const { return window_ / "config.bin"; }
    void StoreSettings(const std::string& lines) {
        WriteScrambledSettings(ConfigPath(), "[INIT]\r\n" + lines);
    }
    bool TopMost() const { return (::GetWindowLongA(window_.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    bool Layered() const { return (::GetWindowLongA(window_.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }
    int Alpha() const {
        BYTE alpha = 0;
        DWORD flags = 0;
        if (!::GetLayeredWindowAttributes(window_.hwnd(), nullptr, &alpha, &flags))
            return -1;
        return alpha;
    }
    bool ReadOnlyText() const {
        return (::GetWindowLongA(window_.txtnfo(), GWL_STYLE) & ES_READONLY) != 0;
    }

    PlacementKey placement_;
    WindowUnderTest window_;
};

} // namespace

TEST_F(SettingsTest, FirstStartUsesTheDefaultsAndCreatesNoFile) {
    ASSERT_TRUE(window_.Start());
    EXPECT_EQ(window_.MenuCaption(IDM_mnuOnTop), "Set Always On Top (False)");
    EXPECT_FALSE(TopMost());
    EXPECT_EQ(window_.MenuCaption(IDM_mnuMakeWrite), "Make Writable");
    EXPECT_TRUE(ReadOnlyText());
    EXPECT_FALSE(window_.MenuEnabled(IDM_mnuSave));
    EXPECT_EQ(window_.MenuCaption(IDM_mnuAss), "Add File Association");
    EXPECT_EQ(window_.MenuCaption(IDM_mnuUrl), "Add URL Protocol");
    EXPECT_FALSE(Layered());
    EXPECT_EQ(window_.frm().backColor(), 0x00FFFFFFu);
    EXPECT_EQ(window_.frm().foreColor(), 0x80000008u);
    // The missing key leaves the settings path in the hidden level box.
    EXPECT_EQ(WindowText(window_.frm().txtTransp()), ConfigPath());
    EXPECT_EQ(ListFolder(window_.folder()), std::vector<std::string>{});
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

TEST_F(SettingsTest, AlwaysOnTopOneTwoAndEmpty) {
    {
        StoreSettings("ALWAYSONTOP=1\r\n");
        ASSERT_TRUE(window_.Start());
        EXPECT_TRUE(TopMost());
        EXPECT_EQ(window_.MenuCaption(IDM_mnuOnTop), "Set Always On Top (True)");
    }
    WindowUnderTest two;
    WriteScrambledSettings(two / "config.bin", "[INIT]\r\nALWAYSONTOP=2\r\n");
    ASSERT_TRUE(two.Start());
    EXPECT_EQ(two.MenuCaption(IDM_mnuOnTop), "Set Always On Top");
    EXPECT_FALSE(::GetWindowLongA(two.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // A caption the toggle does not know makes it do nothing.
    two.Command(IDM_mnuOnTop);
    EXPECT_EQ(two.MenuCaption(IDM_mnuOnTop), "Set Always On Top");
    EXPECT_EQ(UnscrambleSettings(two / "config.bin"), "[INIT]\r\nALWAYSONTOP=2\r\n");

    WindowUnderTest empty;
    WriteScrambledSettings(empty / "config.bin", "[INIT]\r\nALWAYSONTOP=\r\n");
    ASSERT_TRUE(empty.Start());
    EXPECT_EQ(empty.MenuCaption(IDM_mnuOnTop), "Set Always On Top (False)");
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

TEST_F(SettingsTest, UpperCaseColourKeysWin) {
    StoreSettings("ForeColor=255\r\nBackColor=0\r\n");
    {
        WindowUnderTest red;
        WriteScrambledSettings(red / "config.bin", "[INIT]\r\nForeColor=255\r\n");
        ASSERT_TRUE(red.Start());
        EXPECT_EQ(red.frm().foreColor(), 255u);
    }
    WindowUnderTest green;
    WriteScrambledSettings(green / "config.bin",
                           "[INIT]\r\nForeColor=255\r\nFGCOLOR=65280\r\nBackColor=0\r\nBGCOLOR=16711680\r\n");
    ASSERT_TRUE(green.Start());
    EXPECT_EQ(green.frm().foreColor(), 65280u);
    EXPECT_EQ(green.frm().backColor(), 16711680u);
}

TEST_F(SettingsTest, KeysAreFoundWhateverTheirCase) {
    StoreSettings("forecolor=255\r\nmakewrite=0\r\n");
    ASSERT_TRUE(window_.Start());
    EXPECT_EQ(window_.frm().foreColor(), 255u);
    EXPECT_FALSE(ReadOnlyText());
}

TEST_F(SettingsTest, ValuesThatAreNoColourLeaveTheColour) {
    StoreSettings("ForeColor=305419896\r\nBackColor=-5\r\nFGCOLOR=blue\r\n");
    ASSERT_TRUE(window_.Start());
    EXPECT_EQ(window_.frm().foreColor(), 0x80000008u);
    EXPECT_EQ(window_.frm().backColor(), 0x00FFFFFFu);
}

TEST_F(SettingsTest, EmptyValueTakesTheValueReadBeforeIt) {
    StoreSettings("TRANSPATENCY=200\r\nFGCOLOR=\r\n");
    ASSERT_TRUE(window_.Start());
    EXPECT_EQ(window_.frm().foreColor(), 200u);
    EXPECT_EQ(Alpha(), 200);
}

TEST_F(SettingsTest, TranslucencyLevelsAtStartup) {
    StoreSettings("TRANSPATENCY=127.5\r\n");
    ASSERT_TRUE(window_.Start());
    EXPECT_TRUE(Layered());
    EXPECT_EQ(Alpha(), 128);
    EXPECT_EQ(WindowText(window_.frm().txtTransp()), "127.5");

    for (const char* level : {"300", "-1", "abc", "1e308"}) {
        WindowUnderTest other;
        WriteScrambledSettings(other / "config.bin", std::string("[INIT]\r\nTRANSPATENCY=") + level + "\r\n");
        ASSERT_TRUE(other.Start());
        EXPECT_FALSE(::GetWindowLongA(other.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED) << level;
        EXPECT_EQ(WindowText(other.frm().txtTransp()), level);
    }
}

TEST_F(SettingsTest, RegistrationCaptionsFollowTheStoredState) {
    StoreSettings("ADDFILEASS=0\r\nADDURLPROT=0\r\n");
    ASSERT_TRUE(window_.Start());
    EXPECT_EQ(window_.MenuCaption(IDM_mnuAss), "Remove File Association");
    EXPECT_EQ(window_.MenuCaption(IDM_mnuUrl), "Remove URL Protocol");
}

TEST_F(SettingsTest, PlainHandWrittenFileReadsAsMissingAndStaysAsItWas) {
    const std::string plain = "[INIT]\r\nALWAYSONTOP=1\r\nMAKEWRITE=0\r\n";
    WriteFileBytes(ConfigPath(), plain);
    ASSERT_TRUE(window_.Start());
    EXPECT_FALSE(TopMost());
    EXPECT_TRUE(ReadOnlyText());
    EXPECT_EQ(ReadFileBytes(ConfigPath()), plain);
    EXPECT_EQ(ListFolder(window_.folder()), std::vector<std::string>{"config.bin"});
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
    EXPECT_EQ(window_.frm().foreColor(), 255u);
    EXPECT_EQ(UnscrambleSettings(ConfigPath()), "[INIT]\r\nForeColor=255\r\n");
    {
        DialogDriver driver("Color", pick(255, 255, 255));
        window_.Command(IDM_mnuBC);
        ASSERT_TRUE(driver.Finish());
    }
    EXPECT_EQ(window_.frm().backColor(), 16777215u);
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
    EXPECT_EQ(window_.frm().foreColor(), 255u);
    EXPECT_EQ(ReadFileBytes(ConfigPath()), before);

    // The next start shows the stored colours.
    WindowUnderTest next;
    ::CopyFileA(ConfigPath().c_str(), (next / "config.bin").c_str(), FALSE);
    ASSERT_TRUE(next.Start());
    EXPECT_EQ(next.frm().foreColor(), 255u);
    EXPECT_EQ(next.frm().backColor(), 16777215u);
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
