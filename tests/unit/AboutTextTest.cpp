// The About box's copyright line and the edges of the texts System Info
// makes of registry values (their common cases run in the Dialogs tests).
#include "about/AboutText.h"

#include <gtest/gtest.h>

using namespace quorvel;
using namespace std::string_literals;

TEST(AboutText, CopyrightSignLineBreaksAndRegistryValues) {
    EXPECT_EQ(AboutCopyrightText("(c) 2026 Brenmoor.\\nFree."), "\xC2\xA9 2026 Brenmoor.\r\nFree.");
    EXPECT_EQ(AboutCopyrightText("(C) \\N ( c) a\nb"), "(C) \\N ( c) a\nb"); // exact case
    // A string loses its last byte only when that is the NUL.
    EXPECT_EQ(KeptRegistryText("abc\0"s, 3), "abc");
    EXPECT_EQ(KeptRegistryText("a\0\0"s, 3), "a\0"s);
    // A number: the hex of each byte from the last, after the old text.
    EXPECT_EQ(DwordRegistryText("old", "\x0A\xFF"s), "&holdFFA");
}
