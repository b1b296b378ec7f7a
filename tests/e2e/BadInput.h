#pragma once
// Shared by the robustness tests: bad input, kills and long use.
#include "tests/e2e/ProgramHarness.h"

#include <gtest/gtest.h>

namespace quorvel::test {

// Closed by its close box, the program ends by itself with exit code 0.
inline void ExpectCleanExit(ProgramUnderTest& program) {
    EXPECT_TRUE(program.Running()) << "the program ended by itself";
    program.Close();
    ASSERT_TRUE(program.WaitExit(30000)) << "did not end after WM_CLOSE";
    EXPECT_EQ(program.ExitCode(), 0u);
}

} // namespace quorvel::test
