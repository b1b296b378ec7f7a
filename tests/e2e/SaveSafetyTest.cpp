// What a Save does to the user's file beyond its bytes: a file whose load
// failed is never saved over, and a saved file stays the file it was (its
// attributes, its links, its folder's rules). Settings follow the same rules.
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/ReadOnlyFolder.h"

#include <gtest/gtest.h>

using namespace quorvel;
using namespace quorvel::test;

namespace {

class SaveSafetyTest : public ::testing::Test {
protected:
    void Open(const std::string& path) {
        DialogDriver driver("Open", OpenFile(path));
        window_.Command(IDM_mnuOpen);
        ASSERT_TRUE(driver.Finish());
    }
    // Makes the text writable, puts `text` in it and saves; returns the
    // message Save showed ("" when none).
    std::string SaveText(const std::string& text) {
        if (!window_.MenuEnabled(IDM_mnuSave))
            window_.Command(IDM_mnuMakeWrite);
        ::SetWindowTextA(window_.txtnfo(), text.c_str());
        DialogDriver driver("Error", ClickOk(), 3000);
        window_.Command(IDM_mnuSave);
        driver.Finish();
        return driver.messageText();
    }
    // A handle that shares nothing: no other program can read the file.
    static UniqueHfile LockWithoutSharing(const std::string& path) {
        return UniqueHfile(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    PlacementKey placement_;
    WindowUnderTest window_;
    TempFolder docs_{"docs"};
};

} // namespace

TEST_F(SaveSafetyTest, AFileWhoseLoadFailedIsNeverSavedOver) {
    const std::string file = docs_ / "held.nfo";
    WriteFileBytes(file, "precious\r\n");
    {
        // Held by another program at start-up: the load fails.
        UniqueHfile held = LockWithoutSharing(file);
        ASSERT_TRUE(held);
        DialogDriver notFound("Error", ClickOk());
        ASSERT_TRUE(window_.Start(file));
        ASSERT_TRUE(notFound.Finish());
        EXPECT_EQ(notFound.messageText(), "File Not Found");
    }
    const std::string refused = SaveText("typed\r\n");
    EXPECT_NE(refused.find("could not be read"), std::string::npos) << refused;
    EXPECT_EQ(ReadFileBytes(file), "precious\r\n");

    // The same through the Open dialog, after a good load of another file.
    const std::string other = docs_ / "other.nfo";
    WriteFileBytes(other, "other\r\n");
    Open(other);
    {
        UniqueHfile held = LockWithoutSharing(file);
        DialogDriver notFound("Error", ClickOk());
        Open(file);
        ASSERT_TRUE(notFound.Finish());
    }
    EXPECT_NE(SaveText("typed\r\n").find("could not be read"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(file), "precious\r\n");

    // A successful load clears the guard; a path that does not exist is
    // created by Save as before.
    Open(file);
    EXPECT_EQ(SaveText("changed\r\n"), "");
    EXPECT_EQ(ReadFileBytes(file), "changed\r\n");
    const std::string fresh = docs_ / "fresh.nfo";
    DialogDriver notFound("Error", ClickOk());
    Open(fresh);
    ASSERT_TRUE(notFound.Finish());
    EXPECT_EQ(SaveText("new\r\n"), "");
    EXPECT_EQ(ReadFileBytes(fresh), "new\r\n");
}

TEST_F(SaveSafetyTest, ASavedFileKeepsItsAttributesLinksAndFolder) {
    ASSERT_TRUE(window_.Start());
    // Hidden: saved, still hidden, nothing else left in the folder.
    const std::string hidden = docs_ / "hidden.nfo";
    WriteFileBytes(hidden, "a\r\n");
    ASSERT_TRUE(::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    Open(hidden);
    EXPECT_EQ(SaveText("b\r\n"), "");
    EXPECT_EQ(ReadFileBytes(hidden), "b\r\n");
    EXPECT_TRUE(::GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ListFolder(docs_.path()), std::vector<std::string>{"hidden.nfo"});

    // Two names for one file: both show the new bytes.
    const std::string first = docs_ / "first.nfo";
    const std::string second = docs_ / "second.nfo";
    WriteFileBytes(first, "one\r\n");
    ASSERT_TRUE(::CreateHardLinkA(second.c_str(), first.c_str(), nullptr));
    Open(second);
    EXPECT_EQ(SaveText("two\r\n"), "");
    EXPECT_EQ(ReadFileBytes(first), "two\r\n");
    EXPECT_EQ(ReadFileBytes(second), "two\r\n");

    // A symbolic link: the target gets the bytes, the link stays a link.
    const std::string target = docs_ / "target.nfo";
    const std::string link = docs_ / "link.nfo";
    WriteFileBytes(target, "t\r\n");
    ASSERT_TRUE(RunOnHost("ln -s '" + HostPath(target) + "' '" + HostPath(link) + "'") ||
                ::CreateSymbolicLinkA(link.c_str(), target.c_str(), 0));
    Open(link);
    EXPECT_EQ(SaveText("through\r\n"), "");
    EXPECT_EQ(ReadFileBytes(target), "through\r\n");
    if (!HostPath(link).empty()) {
        EXPECT_TRUE(RunOnHost("test -L '" + HostPath(link) + "'")) << "the link was replaced";
    }

    // A folder that refuses new files: the file is written in place.
    const std::string lockedFolder = docs_ / "locked";
    const std::string inLocked = lockedFolder + "\\in.nfo";
    ::CreateDirectoryA(lockedFolder.c_str(), nullptr);
    WriteFileBytes(inLocked, "before\r\n");
    Open(inLocked);
    ReadOnlyFolder readOnly(lockedFolder);
    ASSERT_TRUE(readOnly.refusesWrites());
    EXPECT_EQ(SaveText("after \xDB\xDB\r\n"), "");
    EXPECT_EQ(ReadFileBytes(inLocked), "after \xDB\xDB\r\n");
}

TEST(SettingsInAReadOnlyFolderTest, AWritableSettingsFileStillKeepsAChange) {
    PlacementKey placement;
    ProgramUnderTest program;
    const auto topMost = [&] {
        return (::GetWindowLongA(program.mainWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    const auto restart = [&] {
        program.Close();
        ASSERT_TRUE(program.WaitExit());
        ASSERT_TRUE(program.Start(""));
        ASSERT_TRUE(program.WaitMainWindow());
    };
    ASSERT_TRUE(program.Start(""));
    ASSERT_TRUE(program.WaitMainWindow());
    ASSERT_TRUE(program.SendCommand(IDM_mnuOnTop));
    ASSERT_TRUE(FileExists(program / "config.bin"));
    const std::string before = ReadFileBytes(program / "config.bin");

    ReadOnlyFolder readOnly(program.folder());
    ASSERT_TRUE(readOnly.refusesWrites());
    restart();
    ASSERT_TRUE(topMost());
    ASSERT_TRUE(program.SendCommand(IDM_mnuOnTop)); // off again, written in place
    restart();
    EXPECT_FALSE(topMost()) << "the change was lost";
    EXPECT_NE(ReadFileBytes(program / "config.bin"), before);
    program.Close();
    ASSERT_TRUE(program.WaitExit());
}
