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

// Every byte of the file, read while others may read, write or delete it.
// False when it cannot be opened or read, or is 2 GB or more.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Gives `path` exactly `bytes` as its contents. The bytes go to a new file
// in the same folder first, flushed to disk, and replace the old file only
// once they are whole, so a failure or a kill leaves either the old or the
// new contents. A read-only file or a folder is never replaced. False on any
// failure, with `path` untouched and no temporary file left.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

} // namespace quorvel
