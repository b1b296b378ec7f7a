#include "shell/AssociationLayout.h"

#include "common/StringUtil.h"

namespace quorvel {

namespace {

constexpr std::string_view kClassesPrefix = "SOFTWARE\\Classes\\";
constexpr std::string_view kOpen = "\\Shell\\Open";
constexpr std::string_view kOpenCommand = "\\Shell\\Open\\Command";
constexpr std::string_view kDefaultIcon = "\\DefaultIcon";

std::string Concat(std::string_view a, std::string_view b, std::string_view c = {}) {
    std::string s;
    s.reserve(a.size() + b.size() + c.size());
    s.append(a).append(b).append(c);
    return s;
}

} // namespace

AssociationNames BuildAssociationNames(std::string_view extension, std::string_view programPath) {
    AssociationNames names;

    // Only the first dot goes: ".nfo", "nfo" and ".NFO" all name ".nfo".
    std::string bare(extension);
    if (const auto dot = bare.find('.'); dot != std::string::npos)
        bare.erase(dot, 1);
    bare = ToLowerAscii(bare);
    names.extensionKey = "." + bare;
    names.typeDescription = ToUpperAscii(bare) + " File";

    // The path may or may not carry ".exe"; only the file name's own is
    // taken out (a folder such as "Tools.exe.d" keeps its name), and the
    // commands put it back.
    std::string base(programPath);
    const std::size_t nameStart = base.find_last_of("\\/") + 1; // npos + 1: no folder
    if (base.size() - nameStart > 4 && base.ends_with(".exe"))
        base.erase(base.size() - 4);
    names.iconLocation = base + ".exe,0";
    // The program's path is quoted so a folder with blanks works; the file
    // argument is not, and the program takes the whole rest of its command
    // line as the file's path.
    names.openCommand = "\"" + base + ".exe\" %1";
    names.basePath = std::move(base);
    return names;
}

std::vector<AssociationRow> AssociationRows(std::string_view programId,
                                            const AssociationNames& names, bool withIcon) {
    const std::string id(programId);
    const std::string icon = withIcon ? names.iconLocation : std::string();
    return {
        {kClassesRoot, names.extensionKey, id},
        {kClassesRoot, id, names.typeDescription},
        {kClassesRoot, Concat(id, kOpen), ""},
        {kClassesRoot, Concat(id, kOpenCommand), names.openCommand},
        {kLocalMachine, Concat(kClassesPrefix, names.extensionKey), id},
        {kLocalMachine, Concat(kClassesPrefix, id), names.typeDescription},
        {kLocalMachine, Concat(kClassesPrefix, id, kOpen), ""},
        {kLocalMachine, Concat(kClassesPrefix, id, kOpenCommand), names.openCommand},
        {kClassesRoot, Concat(id, kDefaultIcon), icon},
        {kLocalMachine, Concat(kClassesPrefix, id, kDefaultIcon), icon},
    };
}

std::vector<std::string> AssociationKeysToDelete(std::string_view programId,
                                                 std::string_view extensionKey) {
    return {
        std::string(extensionKey), Concat(programId, kDefaultIcon), Concat(programId, kOpenCommand),
        Concat(programId, kOpen),  Concat(programId, "\\Shell"),    std::string(programId),
    };
}

std::string ResetExtensionKey(std::string_view extension) {
    return "." + ToLowerAscii(extension);
}

} // namespace quorvel
