#pragma once
// Private working copies beside a file, named as common/TempNames.h says,
// so that copies a crash or a kill left behind can be told from copies a
// running program is still using, and removed.
#include <windows.h>

#include "common/Handles.h"

#include <string>

namespace quorvel {

// Creates a new, empty file in `folder` (ending in a backslash) under a name
// of its own; `path` gets the name. Empty when no file could be created.
UniqueHfile CreateOwnTempFile(const std::string& folder, const char* prefix, DWORD access,
                              std::string& path);

// Deletes the copies with this prefix in `folder` whose program has ended,
// and this program's own when `includeOwn` says it is not using any.
void RemoveAbandonedTempFiles(const std::string& folder, const char* prefix, bool includeOwn);

} // namespace quorvel
