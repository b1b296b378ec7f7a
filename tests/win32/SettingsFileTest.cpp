// config.bin on real files where the running program shows nothing of it:
// how values read, files that do not unscramble, writes that cannot be done.
#include "settings/SettingsFile.h"
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
    SettingsUpdate Write(const std::string& key, bool succeeds = true) {
        return UpdateSettingsFile(cipher_, path_, [&](const std::string& plain) {
            return succeeds && SaveBPD(plain, kSettingsSection, key, "1");
        });
    }
    void ExpectOnlyTheSettingsFile() { // no private copy stays behind
        EXPECT_EQ(ListFolder(folder_.path()), std::vector<std::string>{"config.bin"});
    }

    TempFolder folder_{"settings"};
    std::string path_ = SettingsPathFor(folder_.path());
    clsBinaryEncryptor cipher_;
};

} // namespace

// Values are trimmed and cut; an empty one is no value.
TEST_F(SettingsFileTest, ValuesReadTrimmedAndCut) {
    WriteScrambledSettings(path_, "[INIT]\r\nA=\r\nB= 200 \r\nC=" + std::string(700, 'x') + "\r\n");
    EXPECT_EQ(Read("A") + "|" + Read("B") + "|" + Read("D"), "unchanged|200|missing");
    EXPECT_EQ(Read("C"), std::string(499, 'x'));
    ExpectOnlyTheSettingsFile();
}

// An empty file and a plain one written by hand read as missing, unchanged;
// the empty one is filled like a missing one.
TEST_F(SettingsFileTest, FilesThatDoNotUnscrambleReadAsMissing) {
    for (const std::string bytes : {"[INIT]\r\nFGCOLOR=65280\r\n", ""}) {
        WriteFileBytes(path_, bytes);
        EXPECT_EQ(Read("FGCOLOR"), "missing");
        EXPECT_EQ(ReadFileBytes(path_), bytes);
        ExpectOnlyTheSettingsFile();
    }
    ASSERT_EQ(Write("ALWAYSONTOP"), SettingsUpdate::Written);
    EXPECT_EQ(UnscrambleSettings(path_), "[INIT]\r\nALWAYSONTOP=1\r\n");
}

// Held without sharing, or the change fails: the file keeps its bytes.
TEST_F(SettingsFileTest, AFailedWriteLeavesTheFileAlone) {
    ASSERT_EQ(Write("ADDFILEASS"), SettingsUpdate::Written);
    const std::string before = ReadFileBytes(path_);
    {
        const UniqueHfile held(::CreateFileW(Wide(path_).c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(Write("ADDURLPROT"), SettingsUpdate::Failed);
    }
    EXPECT_EQ(Write("ADDURLPROT", false), SettingsUpdate::Failed);
    EXPECT_EQ(ReadFileBytes(path_), before);
    ExpectOnlyTheSettingsFile();
}
