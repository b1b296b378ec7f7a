// The names the file association is written under, made from the
// extension and the program's path.
#include "shell/AssociationLayout.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(AssociationNames, ExtensionLosesItsFirstDotAndIsLowerCased) {
    const struct {
        const char *extension, *key, *description;
    } rows[] = {
        {"NFO", ".nfo", "NFO File"}, {".nFo", ".nfo", "NFO File"}, {"N.FO", ".nfo", "NFO File"},
        {"..nfo", "..nfo", ".NFO File"}, {"", ".", " File"},
    };
    for (const auto& row : rows) {
        const AssociationNames names = BuildAssociationNames(row.extension, "C:\\Q\\Quorvel");
        EXPECT_EQ(names.extensionKey, row.key) << row.extension;
        EXPECT_EQ(names.typeDescription, row.description) << row.extension;
    }
    EXPECT_EQ(ResetExtensionKey("NFO"), ".nfo");
}

TEST(AssociationNames, OnlyTheFirstExactExeLeavesThePathAndTheProgramIsQuoted) {
    const struct {
        const char *path, *command, *icon;
    } rows[] = {
        {"C:\\Program Files\\Q\\Quorvel", "\"C:\\Program Files\\Q\\Quorvel.exe\" %1",
         "C:\\Program Files\\Q\\Quorvel.exe,0"},
        {"C:\\Tools\\Quorvel.exe", "\"C:\\Tools\\Quorvel.exe\" %1", "C:\\Tools\\Quorvel.exe,0"},
        {"C:\\My.exe Tools\\Q.exe", "\"C:\\My Tools\\Q.exe.exe\" %1", "C:\\My Tools\\Q.exe.exe,0"},
        {"C:\\Q\\QUORVEL.EXE", "\"C:\\Q\\QUORVEL.EXE.exe\" %1", "C:\\Q\\QUORVEL.EXE.exe,0"},
    };
    for (const auto& row : rows) {
        const AssociationNames names = BuildAssociationNames("NFO", row.path);
        EXPECT_EQ(names.openCommand, row.command);
        EXPECT_EQ(names.iconLocation, row.icon);
    }
}
