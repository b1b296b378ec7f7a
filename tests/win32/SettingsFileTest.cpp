// config.bin on real files: scrambled, changed through a private copy, or left alone.
#include "common/TempNames.h"
#include "settings/SettingsFile.h"
#include "settings/clsBinaryEncryptor.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

using namespace quorvel;
using namespace quorvel::test;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Read(const std::string& key) {
        std::string value = "unchanged";
        ReadSettingsFile(cipher_, path_, [&](const std::string& plain) {
            ReadProfileKey(plain, kSettingsSection, key, "missing", value);
        });
        return value;
    }
    bool Write(const std::string& key, const std::string& value) {
        return UpdateSettingsFile(cipher_, path_, [&](const std::string& plain) {
                   return SaveBPD(plain, kSettingsSection, key, value);
               }) == SettingsUpdate::Written;
    }
    void ExpectOnlyTheSettingsFile() { // no private copy stays behind
        EXPECT_EQ(ListFolder(folder_.path()), std::vector<std::string>{"config.bin"});
    }

    TempFolder folder_{"settings"};
    std::string path_ = SettingsPathFor(folder_.path());
    clsBinaryEncryptor cipher_;
};

} // namespace

TEST_F(SettingsFileTest, WritesKeepOneLinePerKeyScrambled) {
    EXPECT_EQ(Read("MAKEWRITE"), "missing");
    EXPECT_TRUE(ListFolder(folder_.path()).empty());
    ASSERT_TRUE(Write("MAKEWRITE", "0"));
    ASSERT_TRUE(Write("ForeColor", "255"));
    ASSERT_TRUE(Write("ForeColor", "65280"));
    EXPECT_EQ(UnscrambleSettings(path_), "[INIT]\r\nMAKEWRITE=0\r\nForeColor=65280\r\n");
    EXPECT_EQ(Read("MAKEWRITE"), "0");
    ExpectOnlyTheSettingsFile();
    // Values are trimmed and cut; an empty one is no value.
    WriteScrambledSettings(path_, "[INIT]\r\nA=\r\nB= 200 \r\nC=" + std::string(700, 'x') + "\r\n");
    EXPECT_EQ(Read("A") + "|" + Read("B"), "unchanged|200");
    EXPECT_EQ(Read("C"), std::string(499, 'x'));
}

// An empty file and a plain one written by hand read as missing, unchanged.
TEST_F(SettingsFileTest, FilesThatDoNotUnscrambleReadAsMissing) {
    for (const std::string bytes : {"[INIT]\r\nFGCOLOR=65280\r\n", ""}) {
        WriteFileBytes(path_, bytes);
        EXPECT_EQ(Read("FGCOLOR"), "missing");
        EXPECT_EQ(ReadFileBytes(path_), bytes);
        ExpectOnlyTheSettingsFile();
    }
    ASSERT_TRUE(Write("ALWAYSONTOP", "1")); // an empty file is filled like a missing one
    EXPECT_EQ(UnscrambleSettings(path_), "[INIT]\r\nALWAYSONTOP=1\r\n");
}

// Locked, or the change fails: the file keeps its bytes.
TEST_F(SettingsFileTest, AFailedWriteLeavesTheFileAlone) {
    ASSERT_TRUE(Write("ADDFILEASS", "0"));
    const std::string before = ReadFileBytes(path_);
    HANDLE lock =
        ::CreateFileW(Wide(path_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Write("ADDURLPROT", "0"));
    ::CloseHandle(lock);

    EXPECT_EQ(UpdateSettingsFile(cipher_, path_, [](const std::string&) { return false; }),
              SettingsUpdate::Failed);
    EXPECT_EQ(ReadFileBytes(path_), before);
    ExpectOnlyTheSettingsFile();
}

TEST_F(SettingsFileTest, CopiesOfProgramsNoLongerRunningAreRemoved) {
    const std::string ended = OwnTempName("~qc", 0xFFFFFFF0u, 1),
                      running = OwnTempName("~qc", ::GetCurrentProcessId(), 1);
    const std::string names[] = {ended, running, "~qc1-draft.tmp", "a.tmp"};
    for (const std::string& name : names)
        WriteFileBytes(folder_ / name, "[INIT]\r\n");
    RemoveAbandonedSettingsCopies(path_);
    EXPECT_EQ(ListFolder(folder_.path()), (std::vector<std::string>{"a.tmp", running, "~qc1-draft.tmp"}));
}
