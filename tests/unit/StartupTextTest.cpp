// What the program makes of its command line, and how the caption shortens
// the path it shows (the running program checks one row of each).
#include "app/CommandLine.h"
#include "text/LongDirFix.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(ArgumentString, EverythingAfterTheProgramsNameAsItStands) {
    const struct { const char *commandLine, *argument; } rows[] = {
        {"Quorvel.exe", ""},
        {"\"C:\\Program Files\\Quorvel.exe\"", ""},
        {"Quorvel.exe C:\\My Files\\a.nfo", "C:\\My Files\\a.nfo"}, // inner blanks stay
        {"\"C:\\Q Q\\Quorvel.exe\"  \t C:\\a.nfo  ", "C:\\a.nfo  "},  // trailing blanks too
        {"Quorvel.exe \"C:\\My Files\\a.nfo\"", "\"C:\\My Files\\a.nfo\""}, // quotes stay
        {"\"C:\\Quorvel.exe\"x.nfo", "x.nfo"},
        {"\"C:\\unterminated quote a.nfo", ""},
        {"Quorvel.exe\tquorvel:x", "quorvel:x"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ArgumentString(row.commandLine), row.argument) << row.commandLine;
}

TEST(LongDirFix, KeepsTheDriveDotsAndTheTailFromABackslash) {
    const std::string release = "C:\\Downloads\\Releases\\2008\\Group\\file_id.nfo"; // 44
    const struct { std::string path; std::int16_t max; const char* shown; } rows[] = {
        {release, 56, "C:\\Downloads\\Releases\\2008\\Group\\file_id.nfo"},
        {release, 44, "C:\\Downloads\\Releases\\2008\\Group\\file_id.nfo"}, // exactly Max
        {release, 43, "C:\\...\\Releases\\2008\\Group\\file_id.nfo"},          // one over
        {release, 30, "C:\\...\\2008\\Group\\file_id.nfo"},
        {"C:\\x\\yyyyyyyyyy\\z.nfo", 12, "C:\\...\\z.nfo"},
        {"D:\\a\\verylongfilenamewithoutanybackslash.nfo", 20, "D:\\..."}, // no backslash left
        {"C:\\abc\\de", 8, "C:\\...\\de"}, // the backslash at Len - m is found
        {"C:\\ab\\cde", 8, "C:\\..."},      // one before it is not
        {"abcdefgh", 4, "abc..."},
        // Characters, not bytes: Ω and é count once each.
        {"\u03a9:\\\u00e9\u00e9\\d.nfo", 11, "\u03a9:\\\u00e9\u00e9\\d.nfo"},
        {"\u03a9:\\\u00e9\u00e9\u00e9\u00e9\u00e9\\d.nfo", 11, "\u03a9:\\...\\d.nfo"},
        {"", 0, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LongDirFix(row.path, row.max), row.shown) << row.path << " " << row.max;
}
