// Starting the program with a file, as the shell and the user do.
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quorvel::test;

namespace {

class StartupTest : public ::testing::Test {
protected:
    PlacementKey placement_;
    ProgramUnderTest program_;
};

// The caption's character budget: the designed window width in twips / 150,
// halves to even.
int CaptionMax() {
    const double widthTw = DesignedWindowSize().cx * 1440.0 / ScreenDpi();
    return static_cast<int>(std::nearbyint(widthTw / 150));
}

} // namespace

TEST_F(StartupTest, EmptyCommandLineShowsAnEmptyWindow) {
    ASSERT_TRUE(program_.Start(""));
    ASSERT_NE(program_.WaitMainWindow(), nullptr);
    EXPECT_EQ(program_.Caption(), "Quorvel");
    EXPECT_EQ(program_.Text(), "");
}

TEST_F(StartupTest, UnquotedPathWithABlankOpensTheFile) {
    const std::string folder = program_ / "My Files";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::string file = folder + "\\a.nfo";
    WriteFileBytes(file, "\xC9\xCD\xBB\r\n\xBA\xDB\xBA\r\n\xC8\xCD\xBC");
    ASSERT_TRUE(program_.Start(file));
    ASSERT_NE(program_.WaitMainWindow(), nullptr);
    EXPECT_EQ(program_.Text(), "\xC9\xCD\xBB\r\n\xBA\xDB\xBA\r\n\xC8\xCD\xBC\r\n");
    const std::string caption = program_.Caption();
    EXPECT_EQ(caption.rfind("Quorvel - ", 0), 0u) << caption;
    EXPECT_NE(caption.find("a.nfo"), std::string::npos) << caption;
    EXPECT_EQ(ReadFileBytes(file), "\xC9\xCD\xBB\r\n\xBA\xDB\xBA\r\n\xC8\xCD\xBC");
}

TEST_F(StartupTest, QuotedPathIsTakenWithItsQuotesAndNotFound) {
    const std::string file = program_ / "b.nfo";
    WriteFileBytes(file, "text\r\n");
    ASSERT_TRUE(program_.Start("\"" + file + "\""));
    HWND box = program_.WaitDialog("Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "File Not Found");
    PressButton(box, IDOK);
    ASSERT_NE(program_.WaitMainWindow(), nullptr);
    const std::string caption = program_.Caption();
    EXPECT_EQ(caption.rfind("Quorvel - \"", 0), 0u) << caption;
    EXPECT_EQ(program_.Text(), "");
}

TEST_F(StartupTest, MissingFileShowsFileNotFoundAndStartsAnyway) {
    ASSERT_TRUE(program_.Start(program_ / "missing.nfo"));
    HWND box = program_.WaitDialog("Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "File Not Found");
    PressButton(box, IDOK);
    ASSERT_NE(program_.WaitMainWindow(), nullptr);
    EXPECT_NE(program_.Caption().find("missing.nfo"), std::string::npos);
    EXPECT_FALSE(FileExists(program_ / "missing.nfo"));
}

TEST_F(StartupTest, CaptionIsShortenedToTheWindowWidth) {
    // Paths of exactly the budget and one longer, built in the temp folder.
    const int max = CaptionMax();
    const std::string base = program_.folder() + "\\";
    ASSERT_LT(static_cast<int>(base.size()) + 8, max);
    auto pathOfLength = [&](int length, char filler) {
        // base + "d\" + filler... + ".nfo"
        std::string dir = base + "d";
        ::CreateDirectoryA(dir.c_str(), nullptr);
        const int nameLength = length - static_cast<int>(dir.size()) - 1 - 4;
        return dir + "\\" + std::string(static_cast<std::size_t>(nameLength), filler) + ".nfo";
    };
    const std::string fits = pathOfLength(max, 'f');
    ASSERT_EQ(static_cast<int>(fits.size()), max);
    WriteFileBytes(fits, "x");
    ASSERT_TRUE(program_.Start(fits));
    ASSERT_NE(program_.WaitMainWindow(), nullptr);
    EXPECT_EQ(program_.Caption(), "Quorvel - " + fits);
    program_.Close();
    ASSERT_TRUE(program_.WaitExit());

    ProgramUnderTest second;
    const std::string longer = second.folder() + "\\d\\" + std::string(fits.size() + 1 - (second.folder().size() + 3) - 4, 'g') + ".nfo";
    ::CreateDirectoryA((second.folder() + "\\d").c_str(), nullptr);
    ASSERT_EQ(static_cast<int>(longer.size()), max + 1);
    WriteFileBytes(longer, "y");
    ASSERT_TRUE(second.Start(longer));
    ASSERT_NE(second.WaitMainWindow(), nullptr);
    // The drive part, "...", and the tail from the first backslash within
    // the last Max - 6 characters.
    const std::size_t from = longer.find('\\', longer.size() - static_cast<std::size_t>(max - 6) - 1);
    ASSERT_NE(from, std::string::npos);
    EXPECT_EQ(second.Caption(), "Quorvel - " + longer.substr(0, 3) + "..." + longer.substr(from));
}

TEST_F(StartupTest, LongPathKeepsItsLastFolders) {
    const int max = CaptionMax();
    std::string dir = program_.folder();
    while (static_cast<int>(dir.size()) < max + 20) {
        dir += "\\sub";
        ASSERT_TRUE(::CreateDirectoryA(dir.c_str(), nullptr));
    }
    const std::string file = dir + "\\x.nfo";
    WriteFileBytes(file, "z");
    ASSERT_TRUE(program_.Start(file));
    ASSERT_NE(program_.WaitMainWindow(), nullptr);
    const std::string caption = program_.Caption();
    const std::string shown = caption.substr(std::string("Quorvel - ").size());
    EXPECT_EQ(shown.substr(0, 6), file.substr(0, 3) + "...") << caption;
    EXPECT_LE(static_cast<int>(shown.size()), max + 1);
    EXPECT_GE(static_cast<int>(shown.size()), max - 6) << caption;
    EXPECT_EQ(file.substr(file.size() - (shown.size() - 6)), shown.substr(6));
    EXPECT_EQ(shown.substr(shown.size() - 10), "\\sub\\x.nfo");
}
