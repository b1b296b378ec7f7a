#pragma once
// Whole files: reading one, and replacing one's contents safely.
#include <windows.h>

#include <string>
#include <string_view>

namespace quorvel {

// The absolute form of `path`, or `path` itself when it has none.
std::string FullPath(const std::string& path);

// The full path of a loaded module's file (null: the program's own).
std::string ModuleFileName(HMODULE module);

// Whether something is at `path`: true also when it exists but cannot be
// looked at (locked, no access), false only for a missing file or folder.
bool PathExists(const std::string& path);

// Every byte of the file, read while others may read, write or delete it.
// False when it cannot be opened or read, or is 2 GB or more.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Gives `path` exactly `bytes` as its contents. The bytes go to a new file
// in the same folder first, flushed to disk, and replace the old file only
// once they are whole, so a failure or a kill leaves either the old or the
// new contents; the file keeps its attributes, and through a symbolic link
// the link's target is the file saved. Where no new file can be put in its
// place (the folder refuses new files, or the file has more than one name)
// the bytes are written over the file itself, flushed, as a plain editor
// does. A read-only file or a folder is never written. False on failure,
// with no temporary file left.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

} // namespace quorvel
