// The ".nfo" association's registry layout for any extension, program path
// and program identifier: the names follow the case and dot rules, the
// commands name the program, both roots get the same values, and removal
// deletes every key it wrote under HKEY_CLASSES_ROOT, children first.
#include "shell/AssociationLayout.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quorvel;

// Case folding by the C library in its "C" locale, which touches ASCII
// letters only.
std::string Folded(std::string_view text, int (*fold)(int)) {
    std::string out;
    for (char c : text)
        out.push_back(static_cast<char>(fold(static_cast<unsigned char>(c))));
    return out;
}

bool StartsWith(std::string_view text, std::string_view head) {
    return text.substr(0, head.size()) == head;
}

void CheckNames(std::string_view extension, std::string_view programPath,
                const AssociationNames& names) {
    std::string bare(extension);
    if (const auto dot = bare.find('.'); dot != std::string::npos)
        bare.erase(dot, 1);
    FUZZ_CHECK(names.extensionKey == "." + Folded(bare, std::tolower));
    FUZZ_CHECK(names.typeDescription == Folded(bare, std::toupper) + " File");

    // The path loses its first ".exe", if any, and nothing else.
    const auto exe = programPath.find(".exe");
    if (exe == std::string_view::npos) {
        FUZZ_CHECK(names.basePath == programPath);
    } else {
        FUZZ_CHECK(names.basePath.size() + 4 == programPath.size());
        std::string back = names.basePath;
        back.insert(exe, ".exe");
        FUZZ_CHECK(back == programPath);
    }
    FUZZ_CHECK(names.iconLocation == names.basePath + ".exe,0");
    FUZZ_CHECK(names.openCommand == "\"" + names.basePath + ".exe\" %1");
}

void CheckRows(std::string_view programId, const AssociationNames& names, bool withIcon,
               const std::vector<AssociationRow>& rows) {
    const std::string id(programId);
    FUZZ_CHECK(rows.size() == 10);
    const std::uint32_t roots[10] = {kClassesRoot,  kClassesRoot,  kClassesRoot,  kClassesRoot,
                                     kLocalMachine, kLocalMachine, kLocalMachine, kLocalMachine,
                                     kClassesRoot,  kLocalMachine};
    for (std::size_t r = 0; r < rows.size(); ++r)
        FUZZ_CHECK(rows[r].root == roots[r]);

    // Each machine-wide row repeats a classes row under SOFTWARE\Classes.
    const std::size_t pairs[5][2] = {{0, 4}, {1, 5}, {2, 6}, {3, 7}, {8, 9}};
    for (const auto& pair : pairs) {
        FUZZ_CHECK(rows[pair[1]].subKey == "SOFTWARE\\Classes\\" + rows[pair[0]].subKey);
        FUZZ_CHECK(rows[pair[1]].data == rows[pair[0]].data);
    }
    FUZZ_CHECK(rows[0].subKey == names.extensionKey && rows[0].data == id);
    FUZZ_CHECK(rows[1].subKey == id && rows[1].data == names.typeDescription);
    FUZZ_CHECK(rows[2].subKey == id + "\\Shell\\Open" && rows[2].data.empty());
    FUZZ_CHECK(rows[3].subKey == id + "\\Shell\\Open\\Command" &&
               rows[3].data == names.openCommand);
    FUZZ_CHECK(rows[8].subKey == id + "\\DefaultIcon");
    FUZZ_CHECK(rows[8].data == (withIcon ? names.iconLocation : std::string()));
}

void CheckRemoval(std::string_view programId, const AssociationNames& names,
                  const std::vector<AssociationRow>& rows) {
    const std::vector<std::string> keys = AssociationKeysToDelete(programId, names.extensionKey);
    FUZZ_CHECK(keys.size() == 6);
    // Every key written under HKEY_CLASSES_ROOT is deleted again.
    for (const auto& row : rows)
        if (row.root == kClassesRoot)
            FUZZ_CHECK(std::find(keys.begin(), keys.end(), row.subKey) != keys.end());
    // A key is never deleted before one below it: a key cannot be deleted
    // while it has subkeys. (The identifier is one key name, not a path,
    // and not the extension's own key.)
    if (programId.find('\\') != std::string_view::npos || programId == names.extensionKey)
        return;
    for (std::size_t i = 0; i < keys.size(); ++i)
        for (std::size_t j = i + 1; j < keys.size(); ++j)
            FUZZ_CHECK(!StartsWith(keys[j], keys[i] + "\\"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Input: a byte whose low bit asks for the icon, the extension and the
    // program identifier each ended by a NUL, then the program path.
    fuzz::InputReader input(data, size);
    const bool withIcon = (input.Byte() & 1u) != 0;
    const std::string_view extension = input.Text();
    const std::string_view programId = input.Text();
    const std::string_view programPath = input.Rest();

    const AssociationNames names = BuildAssociationNames(extension, programPath);
    CheckNames(extension, programPath, names);

    // The same key for the extension in any case, and with or without a
    // leading dot when it has none of its own.
    FUZZ_CHECK(BuildAssociationNames(Folded(extension, std::toupper), programPath).extensionKey ==
               names.extensionKey);
    if (extension.find('.') == std::string_view::npos)
        FUZZ_CHECK(BuildAssociationNames("." + std::string(extension), programPath).extensionKey ==
                   names.extensionKey);

    const std::vector<AssociationRow> rows = AssociationRows(programId, names, withIcon);
    CheckRows(programId, names, withIcon, rows);
    CheckRemoval(programId, names, rows);

    FUZZ_CHECK(ResetExtensionKey(extension) == "." + Folded(extension, std::tolower));
    return 0;
}
