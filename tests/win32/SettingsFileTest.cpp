#include "settings/SettingsFile.h"
#include "settings/clsBinaryEncryptor.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

using namespace quorvel;
using namespace quorvel::test;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    std::string Read(const std::string& key) {
        std::string value = "unchanged";
        ReadSettingsFile(cipher_, path_, [&](const std::string& plain) {
            ReadProfileKey(plain, kSettingsSection, key, path_, value);
        });
        return value;
    }
    bool Write(const std::string& key, const std::string& value) {
        return UpdateSettingsFile(cipher_, path_, [&](const std::string& plain) {
            return WriteProfileKey(plain, kSettingsSection, key, value);
        });
    }

    TempFolder folder_{"settings"};
    std::string path_ = SettingsPathFor(folder_.path());
    clsBinaryEncryptor cipher_;
};

} // namespace

TEST_F(SettingsFileTest, NoFileGivesThePathAndCreatesNothing) {
    EXPECT_EQ(Read("ALWAYSONTOP"), path_);
    EXPECT_TRUE(ListFolder(folder_.path()).empty());
}

TEST_F(SettingsFileTest, FirstWriteCreatesAScrambledFileWithOneKey) {
    ASSERT_TRUE(Write("MAKEWRITE", "0"));
    EXPECT_EQ(ListFolder(folder_.path()), std::vector<std::string>{"config.bin"});
    const std::string raw = ReadFileBytes(path_);
    EXPECT_EQ(raw.find("INIT"), std::string::npos) << "stored plain";
    EXPECT_EQ(UnscrambleSettings(path_), "[INIT]\r\nMAKEWRITE=0\r\n");
    EXPECT_EQ(Read("MAKEWRITE"), "0");
    EXPECT_EQ(Read("makewrite"), "0");
}

TEST_F(SettingsFileTest, WritingAKeyTwiceLeavesOneLine) {
    ASSERT_TRUE(Write("ForeColor", "255"));
    ASSERT_TRUE(Write("BackColor", "0"));
    ASSERT_TRUE(Write("ForeColor", "65280"));
    EXPECT_EQ(UnscrambleSettings(path_), "[INIT]\r\nForeColor=65280\r\nBackColor=0\r\n");
    EXPECT_EQ(ListFolder(folder_.path()), std::vector<std::string>{"config.bin"});
}

TEST_F(SettingsFileTest, EmptyFileIsFilledLikeAMissingOne) {
    WriteFileBytes(path_, "");
    EXPECT_EQ(Read("ALWAYSONTOP"), path_);
    EXPECT_EQ(ReadFileBytes(path_), "");
    ASSERT_TRUE(Write("ALWAYSONTOP", "1"));
    EXPECT_EQ(UnscrambleSettings(path_), "[INIT]\r\nALWAYSONTOP=1\r\n");
}

TEST_F(SettingsFileTest, EmptyValueLeavesTheValueUnchangedAndLongValuesAreCut) {
    WriteScrambledSettings(path_, "[INIT]\r\nALWAYSONTOP=\r\nTRANSPATENCY= 200 \r\nLONG=" +
                                      std::string(700, 'x') + "\r\n");
    EXPECT_EQ(Read("ALWAYSONTOP"), "unchanged");
    EXPECT_EQ(Read("TRANSPATENCY"), "200");
    EXPECT_EQ(Read("LONG"), std::string(499, 'x'));
}

TEST_F(SettingsFileTest, ReadsNeverChangeTheFile) {
    const std::string plain = "[INIT]\r\nFGCOLOR=65280\r\n";
    WriteScrambledSettings(path_, plain);
    const std::string before = ReadFileBytes(path_);
    EXPECT_EQ(Read("FGCOLOR"), "65280");
    EXPECT_EQ(ReadFileBytes(path_), before);
    // A hand-written plain file unscrambles into noise: every key is missing,
    // and the file stays as it was.
    WriteFileBytes(path_, plain);
    EXPECT_EQ(Read("FGCOLOR"), path_);
    EXPECT_EQ(ReadFileBytes(path_), plain);
    EXPECT_EQ(ListFolder(folder_.path()), std::vector<std::string>{"config.bin"});
}

TEST_F(SettingsFileTest, LockedFileIsLeftAloneByAWrite) {
    ASSERT_TRUE(Write("ADDFILEASS", "0"));
    const std::string before = ReadFileBytes(path_);
    HANDLE lock = ::CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Write("ADDURLPROT", "0"));
    EXPECT_EQ(Read("ADDFILEASS"), path_); // unreadable while locked
    ::CloseHandle(lock);
    EXPECT_EQ(ReadFileBytes(path_), before);
    EXPECT_EQ(UnscrambleSettings(path_), "[INIT]\r\nADDFILEASS=0\r\n");
    EXPECT_EQ(ListFolder(folder_.path()), std::vector<std::string>{"config.bin"});
}

TEST_F(SettingsFileTest, FailedProfileWriteLeavesTheFileAlone) {
    ASSERT_TRUE(Write("MAKEWRITE", "1"));
    const std::string before = ReadFileBytes(path_);
    EXPECT_FALSE(UpdateSettingsFile(cipher_, path_, [](const std::string&) { return false; }));
    EXPECT_EQ(ReadFileBytes(path_), before);
    EXPECT_EQ(ListFolder(folder_.path()), std::vector<std::string>{"config.bin"});
}

TEST_F(SettingsFileTest, TwoWritersNeverGarbleTheFile) {
    // Two threads stand in for two running copies of the program; each has
    // its own cipher, as each copy has.
    auto writer = [&](const char* key) {
        clsBinaryEncryptor own;
        for (int i = 0; i < 40; ++i)
            UpdateSettingsFile(own, path_, [&](const std::string& plain) {
                return WriteProfileKey(plain, kSettingsSection, key, std::to_string(i));
            });
    };
    std::thread a(writer, "ForeColor");
    std::thread b(writer, "BackColor");
    a.join();
    b.join();
    const std::string plain = UnscrambleSettings(path_);
    EXPECT_TRUE(plain == "[INIT]\r\nForeColor=39\r\nBackColor=39\r\n" ||
                plain == "[INIT]\r\nBackColor=39\r\nForeColor=39\r\n")
        << plain;
    EXPECT_EQ(ListFolder(folder_.path()), std::vector<std::string>{"config.bin"});
}

TEST_F(SettingsFileTest, HostileContentsNeverCrashOrSpill) {
    // Random, truncated and oversized settings files: reading every key
    // must end, and nothing but config.bin may appear in the folder.
    std::mt19937 rng(6122026);
    const char* keys[] = {"ALWAYSONTOP", "TRANSPATENCY", "FGCOLOR", "BGCOLOR", "ADDFILEASS",
                          "ADDURLPROT",  "MAKEWRITE",    "ForeColor", "BackColor"};
    for (int round = 0; round < 60; ++round) {
        std::string bytes(rng() % (round % 10 == 0 ? 200000 : 2000), '\0');
        for (auto& c : bytes)
            c = static_cast<char>(rng());
        if (round % 3 == 0)
            WriteScrambledSettings(path_, "[INIT]\r\n" + bytes);
        else
            WriteFileBytes(path_, bytes);
        ReadSettingsFile(cipher_, path_, [&](const std::string& plain) {
            std::string value;
            for (const char* key : keys)
                ReadProfileKey(plain, kSettingsSection, key, path_, value);
        });
        ASSERT_EQ(ListFolder(folder_.path()), std::vector<std::string>{"config.bin"}) << round;
    }
}

TEST_F(SettingsFileTest, ReadOnlyFileIsNeitherReplacedNorLeftBehind) {
    ASSERT_TRUE(Write("ALWAYSONTOP", "1"));
    const std::string before = ReadFileBytes(path_);
    ASSERT_TRUE(::SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Write("ALWAYSONTOP", "0"));
    EXPECT_EQ(Read("ALWAYSONTOP"), "1"); // still readable
    ::SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(path_), before);
    EXPECT_EQ(ListFolder(folder_.path()), std::vector<std::string>{"config.bin"});
}

TEST_F(SettingsFileTest, CopiesOfEndedProgramsAreRemoved) {
    // A program that has ended: its number in a copy's name marks the copy
    // as abandoned.
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    char line[] = "cmd.exe /c exit";
    ASSERT_TRUE(::CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                 nullptr, &si, &pi));
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    char ended[64];
    char running[64];
    wsprintfA(ended, "~qc%lx-1.tmp", pi.dwProcessId);
    wsprintfA(running, "~qc%lx-1.tmp", ::GetCurrentProcessId());
    WriteFileBytes(folder_ / ended, "[INIT]\r\nplain copy\r\n");
    WriteFileBytes(folder_ / running, "in use");
    WriteFileBytes(folder_ / "notes.tmp", "z");
    WriteFileBytes(folder_ / "~qcuser-notes.tmp", "z");
    RemoveAbandonedSettingsCopies(path_);
    EXPECT_EQ(ListFolder(folder_.path()),
              (std::vector<std::string>{"notes.tmp", running, "~qcuser-notes.tmp"}));
}
