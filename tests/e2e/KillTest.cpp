// The program killed at a random moment while it saves an NFO or stores a
// setting: the NFO is afterwards exactly its old or its new bytes, and the
// settings file unscrambles to a whole settings file. scripts/soak runs the
// long version (QUORVEL_SOAK=1).
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <regex>
#include <set>

using namespace quorvel::test;

namespace {

bool LongRun() {
    char value[8] = {};
    return ::GetEnvironmentVariableA("QUORVEL_SOAK", value, sizeof value) > 0 && value[0] == '1';
}

void Kill(const ProgramUnderTest& program) {
    ::TerminateProcess(program.process(), 9);
    ASSERT_TRUE(program.WaitExit());
}

// Names in `folder` that are neither the program nor one of `keep`.
std::vector<std::string> Strays(const std::string& folder, const std::vector<std::string>& keep) {
    std::vector<std::string> strays;
    for (const auto& name : ListFolder(folder))
        if (name != "Quorvel.exe" && std::find(keep.begin(), keep.end(), name) == keep.end())
            strays.push_back(name);
    return strays;
}

// About 96 KB of CR LF lines that differ from round to round.
std::string Document(int round) {
    std::string text;
    for (int line = 0; text.size() < 96 * 1024; ++line)
        text += "round " + std::to_string(round) + " line " + std::to_string(line) +
                " \xDB\xB2\xB1\xB0 the quick brown fox\r\n";
    return text;
}

} // namespace

TEST(KillTest, KilledWhileSavingLeavesTheOldOrTheNewFile) {
    const int rounds = LongRun() ? 150 : 30;
    PlacementKey placement;
    ProgramUnderTest program;
    TempFolder docs("docs");
    const std::string nfo = docs / "release.nfo";
    WriteFileBytes(nfo, Document(-1));
    // Writable, so Save is on.
    WriteScrambledSettings(program / "config.bin", "[INIT]\r\nMAKEWRITE=0\r\n");
    std::mt19937 rng(20261207);
    int kills = 0, keptOld = 0, gotNew = 0;
    std::set<std::string> leftovers;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string before = ReadFileBytes(nfo);
        const std::string after = Document(round);
        ASSERT_TRUE(program.Start(nfo));
        ASSERT_NE(program.WaitMainWindow(), nullptr);
        DWORD_PTR result = 0;
        ASSERT_TRUE(::SendMessageTimeoutA(program.textBox(), WM_SETTEXT, 0,
                                          reinterpret_cast<LPARAM>(after.c_str()), SMTO_NORMAL,
                                          20000, &result));
        for (int i = 0; i < 5; ++i)
            program.Command(IDM_mnuSave);
        ::Sleep(rng() % 25); // the random kill point, not a wait for a condition
        Kill(program);
        ++kills;
        const std::string now = ReadFileBytes(nfo);
        ASSERT_TRUE(now == before || now == after)
            << "the file is neither: " << now.size() << " bytes";
        (now == before ? keptOld : gotNew) += 1;
        // A save cut short may leave its unfinished copy (never in place of
        // the file); the next save removes it.
        for (const auto& stray : Strays(docs.path(), {"release.nfo"})) {
            EXPECT_TRUE(stray.rfind("~qv", 0) == 0) << stray;
            leftovers.insert(stray);
        }
    }
    // One more save, to the end: it leaves the file alone in its folder.
    ASSERT_TRUE(program.Start(nfo));
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    ASSERT_TRUE(program.SendCommand(IDM_mnuSave));
    program.Close();
    ASSERT_TRUE(program.WaitExit());
    EXPECT_EQ(ListFolder(docs.path()), std::vector<std::string>{"release.nfo"});
    std::printf("%d kills while saving: %d kept the old bytes, %d had the new; %zu left an "
                "unfinished copy, which a later save removed\n",
                kills, keptOld, gotNew, leftovers.size());
    RecordProperty("kills", kills);
    EXPECT_EQ(kills, rounds);
    // The kill points spread over the saves: both outcomes happen.
    EXPECT_GT(keptOld, 0);
    EXPECT_GT(gotNew, 0);
}

TEST(KillTest, KilledWhileStoringSettingsKeepsEveryOtherKey) {
    const int rounds = LongRun() ? 150 : 30;
    PlacementKey placement;
    ProgramUnderTest program;
    const std::string config = program / "config.bin";
    // Every other key must come through each write unchanged, in its place.
    const std::string others = "TRANSPATENCY=230\r\nForeColor=255\r\nBackColor=16777215\r\n"
                               "ADDFILEASS=1\r\nADDURLPROT=1\r\n";
    WriteScrambledSettings(config, "[INIT]\r\nALWAYSONTOP=0\r\nMAKEWRITE=1\r\n" + others);
    const std::regex valid("\\[INIT\\]\\r\\nALWAYSONTOP=[01]\\r\\nMAKEWRITE=[01]\\r\\n" + others);
    std::mt19937 rng(20261208);
    int kills = 0, unchanged = 0, leftovers = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string before = ReadFileBytes(config);
        ASSERT_TRUE(program.Start(""));
        ASSERT_NE(program.WaitMainWindow(), nullptr);
        for (int i = 0; i < 20; ++i)
            program.Command(rng() % 2 ? IDM_mnuOnTop : IDM_mnuMakeWrite);
        ::Sleep(rng() % 40); // the random kill point, not a wait for a condition
        Kill(program);
        ++kills;
        const std::string plain = UnscrambleSettings(config);
        EXPECT_TRUE(std::regex_match(plain, valid)) << plain;
        if (ReadFileBytes(config) == before)
            ++unchanged;
        // Unfinished private copies are left for the next start to remove
        // once they are a minute old; count them and clear them here.
        for (const auto& stray : Strays(program.folder(), {"config.bin"})) {
            ++leftovers;
            ::DeleteFileA((program / stray).c_str());
        }
    }
    std::printf("%d kills while storing settings: %d left the file as it was; %d unfinished "
                "private copies left\n",
                kills, unchanged, leftovers);
    RecordProperty("kills", kills);
    EXPECT_EQ(kills, rounds);
    EXPECT_LT(unchanged, rounds) << "no kill came after a write";
}

TEST(KillTest, UnfinishedCopiesOfEndedProgramsGoWithTheNextSave) {
    PlacementKey placement;
    TempFolder docs("docs");
    const std::string nfo = docs / "release.nfo";
    WriteFileBytes(nfo, "old\r\n");
    // A copy named after a program that was killed (its number stays taken
    // while the test holds its handle), one named after a running program
    // (this test), and a file of the user's that merely looks alike.
    ProgramUnderTest killed;
    ASSERT_TRUE(killed.Start(""));
    ASSERT_NE(killed.WaitMainWindow(), nullptr);
    Kill(killed);
    char dead[64], live[64];
    wsprintfA(dead, "~qv%lx-1.tmp", killed.pid());
    wsprintfA(live, "~qv%lx-7.tmp", ::GetCurrentProcessId());
    WriteFileBytes(docs / dead, "unfinished");
    WriteFileBytes(docs / live, "in progress");
    WriteFileBytes(docs / "~qvuser-notes.tmp", "mine");

    ProgramUnderTest program;
    WriteScrambledSettings(program / "config.bin", "[INIT]\r\nMAKEWRITE=0\r\n");
    ASSERT_TRUE(program.Start(nfo));
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    ASSERT_TRUE(program.SendCommand(IDM_mnuSave));
    EXPECT_EQ(ListFolder(docs.path()),
              (std::vector<std::string>{"release.nfo", live, "~qvuser-notes.tmp"}));
    EXPECT_EQ(ReadFileBytes(nfo), "old\r\n");
    program.Close();
    ASSERT_TRUE(program.WaitExit());
}
