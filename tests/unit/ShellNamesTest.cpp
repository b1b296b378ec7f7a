// The names the file association writes: keys, type, icon and the open
// command, for any way the extension and the program's path are given.
#include "shell/AssociationLayout.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(AssociationNames, ExtensionKeyTypeIconAndOpenCommand) {
    const struct { const char *extension, *program; AssociationNames names; } rows[] = {
        {"NFO", "C:\\Tools\\Quorvel",
         {".nfo", "NFO File", "C:\\Tools\\Quorvel", "C:\\Tools\\Quorvel.exe,0",
          "\"C:\\Tools\\Quorvel.exe\" %1"}},
        {".nfo", "C:\\Tools\\Quorvel.exe",
         {".nfo", "NFO File", "C:\\Tools\\Quorvel", "C:\\Tools\\Quorvel.exe,0",
          "\"C:\\Tools\\Quorvel.exe\" %1"}},
        // A folder's ".exe" is part of its name.
        {".NFO", "C:\\Tools.exe.d\\Quorvel",
         {".nfo", "NFO File", "C:\\Tools.exe.d\\Quorvel", "C:\\Tools.exe.d\\Quorvel.exe,0",
          "\"C:\\Tools.exe.d\\Quorvel.exe\" %1"}},
        {"n.fo", "D:\\My Tools.exe\\Q.exe",
         {".nfo", "NFO File", "D:\\My Tools.exe\\Q", "D:\\My Tools.exe\\Q.exe,0",
          "\"D:\\My Tools.exe\\Q.exe\" %1"}},
        {"nfo", "Viewer.EXE",
         {".nfo", "NFO File", "Viewer.EXE", "Viewer.EXE.exe,0", "\"Viewer.EXE.exe\" %1"}},
    };
    const auto all = [](const AssociationNames& n) {
        return n.extensionKey + "|" + n.typeDescription + "|" + n.basePath + "|" + n.iconLocation + "|" + n.openCommand;
    };
    for (const auto& row : rows)
        EXPECT_EQ(all(BuildAssociationNames(row.extension, row.program)), all(row.names)) << row.program;
}
