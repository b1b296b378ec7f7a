// Open NFO, Save NFO and the Edit menu as a user meets them: the real main
// window, the real Open dialog, real files and the real clipboard.
#include "app/resource.h"
#include "common/Handles.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

using namespace quorvel;
using namespace quorvel::test;
using namespace std::string_literals;

namespace {

constexpr char kCannotSave[] = "Unknown Error, Cannot Save File!";

class FileCommandsTest : public ::testing::Test {
protected:
    void Open(const std::string& path) {
        DialogDriver driver("Open", OpenFile(path));
        window_.Command(IDM_mnuOpen);
        ASSERT_TRUE(driver.Finish());
    }
    // Opens a file the program cannot load; returns the message shown.
    std::string OpenFailing(const std::string& path) {
        DialogDriver error("Error", ClickOk());
        Open(path);
        return error.Finish() ? error.messageText() : "<no message>";
    }
    bool Locked() const { return ::GetWindowLongA(window_.txtnfo(), GWL_STYLE) & ES_READONLY; }
    void SetLocked(bool locked) {
        if (Locked() != locked)
            window_.Command(IDM_mnuMakeWrite);
        ASSERT_EQ(Locked(), locked);
    }
    // Runs Save and returns the message it showed ("" when none).
    std::string Save() {
        DialogDriver driver("Error", ClickOk(), 3000);
        window_.Command(IDM_mnuSave);
        driver.Finish();
        return driver.messageText();
    }
    // Saves `text` from a writable text box.
    std::string SaveText(const std::string& text) {
        SetLocked(false);
        ::SetWindowTextA(window_.txtnfo(), text.c_str());
        return Save();
    }

    PlacementKey placement_;
    WindowUnderTest window_;
    TempFolder docs_{"docs"};
};

UniqueHfile LockWithoutSharing(const std::string& path) {
    return UniqueHfile(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

TEST_F(FileCommandsTest, OpenShowsTheFileAndSaveWritesEveryByteBackWithCrLf) {
    ASSERT_TRUE(window_.Start());
    std::string everyByte; // but NUL, CR and LF
    for (int b = 1; b < 256; ++b)
        everyByte += b == '\r' || b == '\n' ? "" : std::string(1, static_cast<char>(b));
    const std::string file = docs_ / "release.nfo";
    WriteFileBytes(file, "first \xDB\xB2\r\nlone\nlf\rcr\r\n" + everyByte);
    Open(file);
    const std::string shown = "first \xDB\xB2\r\nlone\nlf\r\ncr\r\n" + everyByte + "\r\n";
    EXPECT_EQ(window_.Text(), shown);
    EXPECT_EQ(window_.Caption(), "Quorvel - " + file);

    SetLocked(false);
    ::SendMessageA(window_.txtnfo(), EM_SETSEL, 0, 5);
    ::SendMessageA(window_.txtnfo(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("edited"));
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(ReadFileBytes(file), "edited" + shown.substr(5));
    EXPECT_EQ(ListFolder(docs_.path()), std::vector<std::string>{"release.nfo"});
}

TEST_F(FileCommandsTest, SaveRefusesWhatItMustNotWrite) {
    ASSERT_TRUE(window_.Start());
    SetLocked(false);
    EXPECT_EQ(Save(), kCannotSave) << "before any Open";

    const std::string file = docs_ / "a.nfo";
    WriteFileBytes(file, "a\r\n");
    Open(file);
    SetLocked(true);
    ::SetWindowTextA(window_.txtnfo(), "b\r\n");
    EXPECT_FALSE(window_.MenuEnabled(IDM_mnuSave));
    EXPECT_EQ(Save(), "") << "while read-only";
    EXPECT_EQ(ReadFileBytes(file), "a\r\n");

    const std::string binary = docs_ / "binary.nfo";
    WriteFileBytes(binary, "head\0mid\0\0tail\r\n"s);
    Open(binary);
    EXPECT_EQ(window_.Text(), "head mid  tail\r\n");
    EXPECT_NE(SaveText("head mid  tail\r\n").find("NUL"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(binary), "head\0mid\0\0tail\r\n"s);

    Open(file); // a read-only file: the failed save keeps the old bytes
    ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(SaveText("replacement\r\n"), kCannotSave);
    ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(file), "a\r\n");
    EXPECT_EQ(ListFolder(docs_.path()), (std::vector<std::string>{"a.nfo", "binary.nfo"}));

    Open(file); // a cancelled Open empties the text and leaves no file to save over
    DialogDriver cancel("Open", CancelDialog());
    window_.Command(IDM_mnuOpen);
    ASSERT_TRUE(cancel.Finish());
    EXPECT_EQ(window_.Text(), "");
    EXPECT_EQ(SaveText("x\r\n"), kCannotSave);
    EXPECT_EQ(ReadFileBytes(file), "a\r\n");

    EXPECT_EQ(OpenFailing(docs_ / "missing.nfo"), "File Not Found");
    EXPECT_EQ(window_.Text(), "");
    EXPECT_EQ(window_.Caption(), "Quorvel - " + (docs_ / "missing.nfo"));
}

TEST_F(FileCommandsTest, AFileWhoseLoadFailedIsNeverSavedOver) {
    const std::string file = docs_ / "held.nfo";
    WriteFileBytes(file, "precious\r\n");
    {
        UniqueHfile held = LockWithoutSharing(file); // at start-up
        ASSERT_TRUE(held);
        DialogDriver notFound("Error", ClickOk());
        ASSERT_TRUE(window_.Start(file));
        ASSERT_TRUE(notFound.Finish());
        EXPECT_EQ(notFound.messageText(), "File Not Found");
    }
    EXPECT_NE(SaveText("typed\r\n").find("could not be read"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(file), "precious\r\n");

    WriteFileBytes(docs_ / "other.nfo", "other\r\n");
    Open(docs_ / "other.nfo");
    {
        UniqueHfile held = LockWithoutSharing(file); // through the Open dialog
        EXPECT_EQ(OpenFailing(file), "File Not Found");
    }
    EXPECT_NE(SaveText("typed\r\n").find("could not be read"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(file), "precious\r\n");

    // A good load lifts the guard; a path that does not exist is created.
    Open(file);
    EXPECT_EQ(SaveText("changed\r\n"), "");
    EXPECT_EQ(ReadFileBytes(file), "changed\r\n");
    EXPECT_EQ(OpenFailing(docs_ / "fresh.nfo"), "File Not Found");
    EXPECT_EQ(SaveText("new\r\n"), "");
    EXPECT_EQ(ReadFileBytes(docs_ / "fresh.nfo"), "new\r\n");
}

TEST_F(FileCommandsTest, ASavedFileKeepsItsAttributesLinksAndFolder) {
    ASSERT_TRUE(window_.Start());
    const std::string hidden = docs_ / "hidden.nfo";
    WriteFileBytes(hidden, "a\r\n");
    ASSERT_TRUE(::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    Open(hidden);
    EXPECT_EQ(SaveText("b\r\n"), "");
    EXPECT_EQ(ReadFileBytes(hidden), "b\r\n");
    EXPECT_TRUE(::GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ListFolder(docs_.path()), std::vector<std::string>{"hidden.nfo"});

    const std::string first = docs_ / "first.nfo", second = docs_ / "second.nfo";
    WriteFileBytes(first, "one\r\n");
    ASSERT_TRUE(::CreateHardLinkA(second.c_str(), first.c_str(), nullptr));
    Open(second);
    EXPECT_EQ(SaveText("two\r\n"), "");
    EXPECT_EQ(ReadFileBytes(first), "two\r\n");
    EXPECT_EQ(ReadFileBytes(second), "two\r\n");

    const std::string target = docs_ / "target.nfo", link = docs_ / "link.nfo";
    WriteFileBytes(target, "t\r\n");
    ASSERT_TRUE(RunOnHost("ln -s '" + HostPath(target) + "' '" + HostPath(link) + "'") ||
                ::CreateSymbolicLinkA(link.c_str(), target.c_str(), 0));
    Open(link);
    EXPECT_EQ(SaveText("through\r\n"), "");
    EXPECT_EQ(ReadFileBytes(target), "through\r\n");
    if (!HostPath(link).empty()) {
        EXPECT_TRUE(RunOnHost("test -L '" + HostPath(link) + "'")) << "the link was replaced";
    }

    const std::string folder = docs_ / "locked", inLocked = folder + "\\in.nfo";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileBytes(inLocked, "before\r\n");
    Open(inLocked);
    ReadOnlyFolder readOnly(folder);
    ASSERT_TRUE(readOnly.refusesWrites());
    EXPECT_EQ(SaveText("after \xDB\xDB\r\n"), "");
    EXPECT_EQ(ReadFileBytes(inLocked), "after \xDB\xDB\r\n");
}
