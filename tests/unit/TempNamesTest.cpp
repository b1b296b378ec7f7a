// Only a name of exactly the shape of the program's own working copies is
// ever taken for one: a user's file that merely looks alike stays.
#include "common/TempNames.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(OwnTempNames, MadeNamesAreKnownAgainAndLookAlikesAreNot) {
    for (const std::uint32_t pid : {0u, 1u, 0x4d2u, 0xFFFFFFFFu}) {
        const std::string name = OwnTempName("~qv", pid, 42);
        EXPECT_EQ(OwnTempNameProcess(name, "~qv"), pid) << name;
        EXPECT_EQ(OwnTempNameProcess(name, "~qc"), std::nullopt) << name;
    }
    EXPECT_EQ(OwnTempName("~qv", 0x4d2, 0x2a), "~qv.000004d2.0000002a.tmp");
    for (const char* lookAlike :
         {"~qv1-draft.tmp", "~qv4d2-1.tmp", "~qv.000004d2.0000002a.tmp.tmp",
          "~qv.000004D2.0000002a.tmp", "~qv.000004d2.0000002A.tmp", "~qv.000004d2.0000002a.TMP",
          "~qv.00004d2.00000002a.tmp", "~qv.000004d2-0000002a.tmp", "~qv-000004d2.0000002a.tmp",
          "~qv.000004d2.0000002g.tmp", "~qv.000004d2.0000002a.txt", "x~qv.000004d2.000002a.tmp",
          "~qv.+00004d2.0000002a.tmp", "~qv. 00004d2.0000002a.tmp", "~qv..tmp"})
        EXPECT_EQ(OwnTempNameProcess(lookAlike, "~qv"), std::nullopt) << lookAlike;
}
