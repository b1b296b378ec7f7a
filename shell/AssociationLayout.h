#pragma once
// The registry layout of the ".nfo" file association: which keys hold which
// text, in the order they are written and deleted. Kept free of Windows so
// the naming rules can be checked on any machine.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Root keys as their 32-bit handle values.
inline constexpr std::uint32_t kClassesRoot = 0x80000000u;
inline constexpr std::uint32_t kLocalMachine = 0x80000002u;

// A program path argument that stands for the running program's own path.
inline constexpr char kOwnProgramPath[] = "App.Path & \"\\\" & App.EXEName";

// The texts derived from the arguments of CreateAssociation.
struct AssociationNames {
    std::string extensionKey;    // ".nfo"
    std::string typeDescription; // "NFO File"
    std::string basePath;        // "C:\Tools\Quorvel"
    std::string iconLocation;    // "C:\Tools\Quorvel.exe,0"
    std::string openCommand;     // "\"C:\Tools\Quorvel.exe\" %1"
};

// One default value written by CreateAssociation.
struct AssociationRow {
    std::uint32_t root;
    std::string subKey;
    std::string data;

    bool operator==(const AssociationRow&) const = default;
};

// `extension` with or without its dot, in any case; `programPath` is the
// program's folder and name (the sentinel already replaced).
AssociationNames BuildAssociationNames(std::string_view extension, std::string_view programPath);

// The ten rows in the order they are written. Without the icon the two
// DefaultIcon rows hold empty text.
std::vector<AssociationRow> AssociationRows(std::string_view programId,
                                            const AssociationNames& names, bool withIcon);

// The keys RemoveAssociation deletes under HKEY_CLASSES_ROOT, each after
// the keys below it.
std::vector<std::string> AssociationKeysToDelete(std::string_view programId,
                                                 std::string_view extensionKey);

// The extension key ResetAssociation removes: "." and the extension in lower
// case, for an extension given without its dot.
std::string ResetExtensionKey(std::string_view extension);

} // namespace quorvel
