// The names the file association is written under.
#include "shell/AssociationLayout.h"

#include <gtest/gtest.h>

using namespace quorvel;

// The extension loses its first dot and is lower-cased; only the first exact
// ".exe" leaves the path, and the program is quoted for the blanks in it.
TEST(AssociationNames, FromTheExtensionAndTheProgramPath) {
    const std::string rows[][5] = {
        {"NFO", "C:\\Program Files\\Q\\Quorvel", ".nfo", "NFO", "C:\\Program Files\\Q\\Quorvel"},
        {".nFo", "C:\\Tools\\Quorvel.exe", ".nfo", "NFO", "C:\\Tools\\Quorvel"},
        {"Z.iP", "C:\\My.exe Tools\\Q.exe", ".zip", "ZIP", "C:\\My Tools\\Q.exe"},
        {".N.fo", "C:\\Q\\QUORVEL.EXE", ".n.fo", "N.FO", "C:\\Q\\QUORVEL.EXE"},
        {"", "Q", ".", "", "Q"},
    };
    for (const auto& row : rows) {
        const AssociationNames names = BuildAssociationNames(row[0], row[1]);
        EXPECT_EQ(names.extensionKey, row[2]);
        EXPECT_EQ(names.typeDescription, row[3] + " File");
        EXPECT_EQ(names.openCommand, "\"" + row[4] + ".exe\" %1");
        EXPECT_EQ(names.iconLocation, row[4] + ".exe,0");
    }
    EXPECT_EQ(ResetExtensionKey("NFO"), ".nfo");
}
