#include "shell/AssociationLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorvel;

TEST(AssociationNames, ExampleProgramInToolsFolder) {
    const AssociationNames names = BuildAssociationNames("NFO", "C:\\Tools\\Quorvel");
    EXPECT_EQ(names.extensionKey, ".nfo");
    EXPECT_EQ(names.typeDescription, "NFO File");
    EXPECT_EQ(names.basePath, "C:\\Tools\\Quorvel");
    EXPECT_EQ(names.iconLocation, "C:\\Tools\\Quorvel.exe,0");
    EXPECT_EQ(names.openCommand, "\"C:\\Tools\\Quorvel.exe\" %1");
}

TEST(AssociationNames, ExtensionWithOrWithoutDotInAnyCaseNamesTheSameKey) {
    for (const char* extension : {"NFO", "nfo", ".nfo", ".NFO", "Nfo", ".nFo"}) {
        const AssociationNames names = BuildAssociationNames(extension, "C:\\Q\\Quorvel");
        EXPECT_EQ(names.extensionKey, ".nfo") << extension;
        EXPECT_EQ(names.typeDescription, "NFO File") << extension;
    }
    // Only the first dot goes, wherever it is.
    EXPECT_EQ(BuildAssociationNames("N.FO", "p").extensionKey, ".nfo");
    EXPECT_EQ(BuildAssociationNames("..nfo", "p").extensionKey, "..nfo");
    EXPECT_EQ(BuildAssociationNames("..nfo", "p").typeDescription, ".NFO File");
    EXPECT_EQ(BuildAssociationNames("", "p").extensionKey, ".");
    EXPECT_EQ(BuildAssociationNames("", "p").typeDescription, " File");
}

TEST(AssociationNames, OnlyTheFirstExactExeLeavesTheBasePath) {
    // A program path that already ends in ".exe" is not doubled.
    EXPECT_EQ(BuildAssociationNames("NFO", "C:\\Tools\\Quorvel.exe").openCommand,
              "\"C:\\Tools\\Quorvel.exe\" %1");
    // The first ".exe" goes even inside a folder name; the second stays.
    const AssociationNames odd = BuildAssociationNames("NFO", "C:\\My.exe Tools\\Q.exe");
    EXPECT_EQ(odd.basePath, "C:\\My Tools\\Q.exe");
    EXPECT_EQ(odd.iconLocation, "C:\\My Tools\\Q.exe.exe,0");
    // The match is case-sensitive.
    EXPECT_EQ(BuildAssociationNames("NFO", "C:\\Q\\QUORVEL.EXE").basePath, "C:\\Q\\QUORVEL.EXE");
    EXPECT_EQ(BuildAssociationNames("NFO", "C:\\Q\\QUORVEL.EXE").openCommand,
              "\"C:\\Q\\QUORVEL.EXE.exe\" %1");
}

TEST(AssociationNames, BlanksInThePathAreInsideTheQuotesAndPercentOneIsBare) {
    const AssociationNames names =
        BuildAssociationNames("NFO", "C:\\Program Files\\Quorvel Viewer\\Quorvel");
    EXPECT_EQ(names.openCommand, "\"C:\\Program Files\\Quorvel Viewer\\Quorvel.exe\" %1");
    EXPECT_EQ(names.iconLocation, "C:\\Program Files\\Quorvel Viewer\\Quorvel.exe,0");
}

TEST(AssociationRows, TenRowsInTheirOrder) {
    const AssociationNames names = BuildAssociationNames("NFO", "C:\\Tools\\Quorvel");
    const std::string command = "\"C:\\Tools\\Quorvel.exe\" %1";
    const std::string icon = "C:\\Tools\\Quorvel.exe,0";
    const std::vector<AssociationRow> expected = {
        {kClassesRoot, ".nfo", "Quorvel"},
        {kClassesRoot, "Quorvel", "NFO File"},
        {kClassesRoot, "Quorvel\\Shell\\Open", ""},
        {kClassesRoot, "Quorvel\\Shell\\Open\\Command", command},
        {kLocalMachine, "SOFTWARE\\Classes\\.nfo", "Quorvel"},
        {kLocalMachine, "SOFTWARE\\Classes\\Quorvel", "NFO File"},
        {kLocalMachine, "SOFTWARE\\Classes\\Quorvel\\Shell\\Open", ""},
        {kLocalMachine, "SOFTWARE\\Classes\\Quorvel\\Shell\\Open\\Command", command},
        {kClassesRoot, "Quorvel\\DefaultIcon", icon},
        {kLocalMachine, "SOFTWARE\\Classes\\Quorvel\\DefaultIcon", icon},
    };
    EXPECT_EQ(AssociationRows("Quorvel", names, true), expected);
    EXPECT_EQ(kClassesRoot, 0x80000000u);
    EXPECT_EQ(kLocalMachine, 0x80000002u);
}

TEST(AssociationRows, WithoutTheIconTheIconRowsHoldEmptyText) {
    const AssociationNames names = BuildAssociationNames(".nfo", "C:\\Tools\\Quorvel");
    const auto with = AssociationRows("Quorvel", names, true);
    const auto without = AssociationRows("Quorvel", names, false);
    ASSERT_EQ(without.size(), 10u);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(without[i], with[i]) << i;
    EXPECT_EQ(without[8], (AssociationRow{kClassesRoot, "Quorvel\\DefaultIcon", ""}));
    EXPECT_EQ(without[9],
              (AssociationRow{kLocalMachine, "SOFTWARE\\Classes\\Quorvel\\DefaultIcon", ""}));
}

TEST(AssociationRows, OtherIdentifierAndExtensionArePlainlyJoined) {
    const AssociationNames names = BuildAssociationNames("diz", "D:\\V\\Viewer");
    const auto rows = AssociationRows("My.Viewer", names, true);
    EXPECT_EQ(rows[0], (AssociationRow{kClassesRoot, ".diz", "My.Viewer"}));
    EXPECT_EQ(rows[1], (AssociationRow{kClassesRoot, "My.Viewer", "DIZ File"}));
    EXPECT_EQ(rows[7].subKey, "SOFTWARE\\Classes\\My.Viewer\\Shell\\Open\\Command");
}

TEST(AssociationRemoval, SixKeysEachAfterTheKeysBelowIt) {
    const std::vector<std::string> expected = {
        ".nfo",
        "Quorvel\\DefaultIcon",
        "Quorvel\\Shell\\Open\\Command",
        "Quorvel\\Shell\\Open",
        "Quorvel\\Shell",
        "Quorvel",
    };
    EXPECT_EQ(AssociationKeysToDelete("Quorvel", ".nfo"), expected);
    // The extension key is taken exactly as given.
    EXPECT_EQ(AssociationKeysToDelete("Quorvel", "NFO").front(), "NFO");
}

TEST(AssociationRemoval, ResetLowerCasesTheExtensionAndPutsADotInFront) {
    EXPECT_EQ(ResetExtensionKey("NFO"), ".nfo");
    EXPECT_EQ(ResetExtensionKey("nfo"), ".nfo");
}
