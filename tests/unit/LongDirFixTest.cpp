// The file path in the caption, shortened to what the window's width holds.
#include "text/LongDirFix.h"

#include <gtest/gtest.h>

TEST(LongDirFix, KeepsTheDriveAndTheLastFoldersThatFit) {
    const std::string releases = "C:\\Downloads\\Releases\\2008\\Group\\file_id.nfo"; // 44
    const struct {
        std::string path;
        int max;
        std::string caption;
    } rows[] = {
        {releases, 44, releases},                                  // exactly fits
        {releases, 43, "C:\\...\\Releases\\2008\\Group\\file_id.nfo"}, // one too long
        {releases, 30, "C:\\...\\2008\\Group\\file_id.nfo"},
        {"D:\\a\\verylongfilenamewithoutanybackslash.nfo", 20, "D:\\..."}, // no folder fits
        // Max 10: a backslash is looked for from the fifth last character on.
        {"C:\\aaaaaaaaa\\bbbb", 10, "C:\\...\\bbbb"},
        {"C:\\aaaaaaaa\\bbbbb", 10, "C:\\..."},
        {"C:\\abc\\def.nfo", -32768, "C:\\..."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(quorvel::LongDirFix(row.path, static_cast<std::int16_t>(row.max)), row.caption)
            << row.path << " in " << row.max;
}
