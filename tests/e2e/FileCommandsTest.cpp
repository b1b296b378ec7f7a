// Open NFO and Save NFO as a user meets them, with the real Open dialog.
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"

#include <gtest/gtest.h>

using namespace quorvel;
using namespace quorvel::test;
using namespace std::string_literals;

namespace {

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window_.Start()); }

    // Opens `path` through File > Open NFO and the real dialog.
    void Open(const std::string& path) {
        DialogDriver driver("Open", OpenFile(path));
        window_.Command(IDM_mnuOpen);
        ASSERT_TRUE(driver.Finish());
    }
    // Runs Save and returns the message it showed ("" when none).
    std::string Save() {
        DialogDriver driver("Error", ClickOk(), 3000);
        window_.Command(IDM_mnuSave);
        driver.Finish();
        return driver.messageText();
    }

    PlacementKey placement_;
    WindowUnderTest window_;
    TempFolder docs_{"docs"};
};

std::string AllByteLines() {
    // Every byte but NUL, CR and LF, in lines of 32, ended by CR LF.
    std::string text;
    for (int b = 1; b < 256; ++b) {
        if (b == '\r' || b == '\n')
            continue;
        text.push_back(static_cast<char>(b));
        if (b % 32 == 0)
            text += "\r\n";
    }
    return text + "\r\n";
}

} // namespace

TEST_F(FileCommandsTest, OpenShowsTheFileAndNamesItInTheCaption) {
    const std::string file = docs_ / "release.nfo";
    WriteFileBytes(file, "\xDC\xDC\r\n\xDB\xDB\r\n");
    Open(file);
    EXPECT_EQ(window_.Text(), "\xDC\xDC\r\n\xDB\xDB\r\n");
    EXPECT_EQ(window_.Caption(), "Quorvel - " + file);
    EXPECT_EQ(window_.frm().currentFile(), file);
}

TEST_F(FileCommandsTest, LinesEndAtCrOrCrLfAndLoneLfStays) {
    const std::string file = docs_ / "mixed.nfo";
    WriteFileBytes(file, "a\nb\nc\rd\r\ne");
    Open(file);
    EXPECT_EQ(window_.Text(), "a\nb\nc\r\nd\r\ne\r\n");
    const std::string empty = docs_ / "empty.nfo";
    WriteFileBytes(empty, "");
    Open(empty);
    EXPECT_EQ(window_.Text(), "");
    EXPECT_EQ(window_.Caption(), "Quorvel - " + empty);
}

TEST_F(FileCommandsTest, OpenDialogOffersNfoAndAllFiles) {
    std::vector<std::string> filters;
    DialogDriver driver("Open", [&](HWND dialog) {
        HWND types = ::GetDlgItem(dialog, 0x470); // the file type box
        const LRESULT n = ::SendMessageA(types, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            char text[256] = {};
            ::SendMessageA(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            filters.push_back(text);
        }
        PressButton(dialog, IDCANCEL);
    });
    window_.Command(IDM_mnuOpen);
    ASSERT_TRUE(driver.Finish());
    EXPECT_EQ(filters, (std::vector<std::string>{"NFO Files [*.nfo]", "All Files [*.*]"}));
}

TEST_F(FileCommandsTest, CancelEmptiesTheTextAndSaveCannotOverwriteTheFile) {
    const std::string file = docs_ / "keep.nfo";
    WriteFileBytes(file, "precious\r\n");
    Open(file);
    window_.Command(IDM_mnuMakeWrite);
    ASSERT_TRUE(window_.MenuEnabled(IDM_mnuSave));

    DialogDriver driver("Open", CancelDialog());
    window_.Command(IDM_mnuOpen);
    ASSERT_TRUE(driver.Finish());
    EXPECT_EQ(window_.Text(), "");
    EXPECT_EQ(window_.Caption(), "Quorvel - " + file);

    EXPECT_EQ(Save(), "Unknown Error, Cannot Save File!");
    EXPECT_EQ(ReadFileBytes(file), "precious\r\n");
}

TEST_F(FileCommandsTest, SaveWritesEveryByteBackExactly) {
    const std::string file = docs_ / "bytes.nfo";
    WriteFileBytes(file, AllByteLines());
    Open(file);
    ASSERT_EQ(window_.Text(), AllByteLines());
    window_.Command(IDM_mnuMakeWrite);
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(ReadFileBytes(file), AllByteLines());
    EXPECT_EQ(ListFolder(docs_.path()), std::vector<std::string>{"bytes.nfo"});
}

TEST_F(FileCommandsTest, LoadAndSaveEndEveryLineInCrLf) {
    const std::string file = docs_ / "tail.nfo";
    WriteFileBytes(file, "first\r\nlast");
    Open(file);
    window_.Command(IDM_mnuMakeWrite);
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(ReadFileBytes(file), "first\r\nlast\r\n");
    // A second cycle changes nothing more.
    Open(file);
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(ReadFileBytes(file), "first\r\nlast\r\n");
}

TEST_F(FileCommandsTest, EditedTextIsSaved) {
    const std::string file = docs_ / "edit.nfo";
    WriteFileBytes(file, "old\r\n");
    Open(file);
    window_.Command(IDM_mnuMakeWrite);
    ::SendMessageA(window_.txtnfo(), EM_SETSEL, 0, 3);
    ::SendMessageA(window_.txtnfo(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("new \xB2\xB2"));
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(ReadFileBytes(file), "new \xB2\xB2\r\n");
}

TEST_F(FileCommandsTest, FailedSaveKeepsTheOriginalFile) {
    const std::string file = docs_ / "readonly.nfo";
    WriteFileBytes(file, "original\r\n");
    Open(file);
    window_.Command(IDM_mnuMakeWrite);
    ::SetWindowTextA(window_.txtnfo(), "replacement\r\n");
    ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Save(), "Unknown Error, Cannot Save File!");
    ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(file), "original\r\n");
    EXPECT_EQ(ListFolder(docs_.path()), std::vector<std::string>{"readonly.nfo"});

    // A folder that no longer exists.
    const std::string gone = docs_ / "gone";
    ::CreateDirectoryA(gone.c_str(), nullptr);
    WriteFileBytes(gone + "\\f.nfo", "x\r\n");
    Open(gone + "\\f.nfo");
    ::DeleteFileA((gone + "\\f.nfo").c_str());
    ::RemoveDirectoryA(gone.c_str());
    EXPECT_EQ(Save(), "Unknown Error, Cannot Save File!");
}

TEST_F(FileCommandsTest, NulBytesAreShownAsBlanksAndNeverSavedOver) {
    const std::string file = docs_ / "binary.nfo";
    const std::string bytes = "head\0middle\0\0tail\r\nmore"s;
    WriteFileBytes(file, bytes);
    Open(file);
    EXPECT_EQ(window_.Text(), "head middle  tail\r\nmore\r\n");
    window_.Command(IDM_mnuMakeWrite);
    const std::string message = Save();
    EXPECT_NE(message.find("NUL"), std::string::npos) << message;
    EXPECT_EQ(ReadFileBytes(file), bytes);

    // Another file clears the refusal.
    const std::string plain = docs_ / "plain.nfo";
    WriteFileBytes(plain, "ok\r\n");
    Open(plain);
    EXPECT_EQ(Save(), "");
}

TEST_F(FileCommandsTest, SaveBeforeAnyOpenShowsTheError) {
    window_.Command(IDM_mnuMakeWrite);
    EXPECT_EQ(Save(), "Unknown Error, Cannot Save File!");
}

TEST_F(FileCommandsTest, SaveIsRefusedWhileReadOnly) {
    const std::string file = docs_ / "locked.nfo";
    WriteFileBytes(file, "a\r\n");
    Open(file);
    ::SetWindowTextA(window_.txtnfo(), "b\r\n");
    EXPECT_FALSE(window_.MenuEnabled(IDM_mnuSave));
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(ReadFileBytes(file), "a\r\n");
}

TEST_F(FileCommandsTest, MissingFileKeepsThePreviousText) {
    const std::string file = docs_ / "shown.nfo";
    WriteFileBytes(file, "shown\r\n");
    Open(file);
    // Open clears the text first; a missing file then leaves it empty.
    DialogDriver error("Error", ClickOk());
    Open(docs_ / "nothere.nfo");
    ASSERT_TRUE(error.Finish());
    EXPECT_EQ(error.messageText(), "File Not Found");
    EXPECT_EQ(window_.Text(), "");
    EXPECT_EQ(window_.Caption(), "Quorvel - " + (docs_ / "nothere.nfo"));
}
