// Names beyond the ANSI code page (1252 here): a program folder and file
// and NFO files named in Greek and Cyrillic letters work as plain ones do.
#include "tests/e2e/ProgramHarness.h"

using namespace quorvel::test;

TEST(UnicodeNamesTest, ProgramFolderFileAndNfoNamesOutsideTheAnsiCodePage) {
    const PlacementKey placement("Ωviewer");
    ProgramUnderTest program("Ωviewer.exe", "Ωμέγα Программа");
    const TempFolder docs("Ω");
    const std::string nfo = docs / "Ω.nfo", other = docs / "Жж.nfo";
    WriteFileBytes(nfo, "Omega\r\n");
    WriteFileBytes(other, "Zhe\r\n");

    // A setting goes to config.bin beside the program, the same 8-bit
    // profile text as ever; the placement to the key named after the program
    // file when the window closes.
    ASSERT_TRUE(program.Show());
    ASSERT_TRUE(program.SendCommand(IDM_mnuOnTop));
    EXPECT_EQ(UnscrambleSettings(program / "config.bin"), "[INIT]\r\nALWAYSONTOP=1\r\n");
    program.Close();
    ASSERT_TRUE(program.WaitExit());
    EXPECT_TRUE(placement.GetDword("MainWidth").has_value()) << "no placement key";

    // The file named on the command line opens, and the setting is back.
    ASSERT_TRUE(program.Show(nfo));
    EXPECT_TRUE(program.TopMost());
    EXPECT_EQ(program.Caption() + "|" + program.Text(), "Quorvel - " + nfo + "|Omega\r\n");

    ASSERT_TRUE(program.OpenThroughDialog(other));
    EXPECT_TRUE(WaitUntilQuiet([&] { return program.Caption() == "Quorvel - " + other; }))
        << program.Caption();
    EXPECT_EQ(program.Text(), "Zhe\r\n");
}
