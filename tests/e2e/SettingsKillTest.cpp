// A program killed while it stores a setting never leaves a broken or plain
// settings file behind.
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

using namespace quorvel::test;

TEST(SettingsKillTest, KilledBetweenTheStepsOfAWriteLeavesAValidFile) {
    PlacementKey placement;
    ProgramUnderTest program;
    std::mt19937 rng(20261206);
    const std::regex valid("\\[INIT\\]\\r\\n((ALWAYSONTOP|MAKEWRITE)=[01]\\r\\n){1,2}");
    int kills = 0;
    for (int round = 0; round < 25; ++round) {
        ASSERT_TRUE(program.Start(""));
        ASSERT_NE(program.WaitMainWindow(), nullptr) << round;
        // A burst of setting writes, cut short at a random moment.
        for (int i = 0; i < 20; ++i)
            program.Command(i % 2 ? IDM_mnuOnTop : IDM_mnuMakeWrite);
        ::Sleep(rng() % 40); // the random kill point, not a wait for a condition
        HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, program.pid());
        ::TerminateProcess(process, 9);
        ::CloseHandle(process);
        ASSERT_TRUE(program.WaitExit()) << round;
        ++kills;
        const std::string config = program / "config.bin";
        if (!FileExists(config))
            continue; // killed before the first write finished
        const std::string plain = UnscrambleSettings(config);
        EXPECT_TRUE(std::regex_match(plain, valid)) << "round " << round << ": " << plain;
    }
    EXPECT_EQ(kills, 25);
    EXPECT_TRUE(FileExists(program / "config.bin"));
}
