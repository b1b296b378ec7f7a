#include "text/LongDirFix.h"

#include <gtest/gtest.h>

#include <string>

using quorvel::LongDirFix;

namespace {
std::string Fix(const std::string& s, int max) {
    return LongDirFix(s, static_cast<std::int16_t>(max));
}
} // namespace

TEST(LongDirFix, ExamplesOfTheCaptionRule) {
    const std::string releases = "C:\\Downloads\\Releases\\2008\\Group\\file_id.nfo";
    ASSERT_EQ(releases.size(), 44u);
    EXPECT_EQ(Fix(releases, 56), releases);
    EXPECT_EQ(Fix(releases, 30), "C:\\...\\2008\\Group\\file_id.nfo");
    EXPECT_EQ(Fix("C:\\x\\yyyyyyyyyy\\z.nfo", 12), "C:\\...\\z.nfo");
    EXPECT_EQ(Fix("D:\\a\\verylongfilenamewithoutanybackslash.nfo", 20), "D:\\...");
}

TEST(LongDirFix, ExactlyMaxIsKeptOneMoreIsShortened) {
    const std::string path = "C:\\games\\group\\release\\info.nfo"; // 31 characters
    ASSERT_EQ(path.size(), 31u);
    EXPECT_EQ(Fix(path, 31), path);
    const std::string shortened = Fix(path, 30);
    EXPECT_NE(shortened, path);
    EXPECT_EQ(shortened.substr(0, 6), "C:\\...");
}

TEST(LongDirFix, ResultNeverExceedsMaxPlusOne) {
    std::string path = "C:";
    for (int i = 0; i < 40; ++i)
        path += "\\d" + std::to_string(i);
    path += "\\file.nfo";
    for (int max = 7; max < static_cast<int>(path.size()) + 3; ++max) {
        const std::string r = Fix(path, max);
        EXPECT_LE(static_cast<int>(r.size()), max + 1) << "Max " << max;
        if (static_cast<int>(path.size()) > max) {
            EXPECT_EQ(r.substr(0, 6), "C:\\...") << "Max " << max;
            // The kept tail is a real tail of the path, starting at a folder.
            const std::string tail = r.substr(6);
            if (!tail.empty()) {
                EXPECT_EQ(tail.front(), '\\');
                EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
            }
        }
    }
}

TEST(LongDirFix, TinyAndNegativeMaxKeepTheDrivePart) {
    EXPECT_EQ(Fix("C:\\abc\\def.nfo", 4), "C:\\...");
    EXPECT_EQ(Fix("C:\\abc\\def.nfo", 0), "C:\\...");
    EXPECT_EQ(Fix("C:\\abc\\def.nfo", -32768), "C:\\...");
    EXPECT_EQ(Fix("", 0), "");
    EXPECT_EQ(Fix("ab", 1), "ab...");
}

TEST(LongDirFix, BackslashAtTheVeryEndOrStartOfTheScan) {
    // m = Max - 6 = 4, scan from position Len - 4.
    EXPECT_EQ(Fix("C:\\aaaaaaaaaaaaaa\\", 10), "C:\\...\\");
    EXPECT_EQ(Fix("C:\\aaaaaaaaa\\bbbb", 10), "C:\\...\\bbbb");
    EXPECT_EQ(Fix("C:\\aaaaaaaa\\bbbbb", 10), "C:\\...");
}
