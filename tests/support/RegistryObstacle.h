#pragma once
// Registry writes that must fail, made honestly: under Wine every write to
// HKEY_LOCAL_MACHINE succeeds, so a test puts a registry link whose target
// does not exist where a key would go. Creating or opening a key through it
// fails as a key without write access does, and unlike such a key it can be
// taken away again.
#include <string>

namespace quorvel::test {

// Places the obstacle at `path` under HKEY_CLASSES_ROOT; false on failure.
bool PlaceObstacle(const std::string& path);
// Removes an obstacle placed there (nothing else).
void RemoveObstacle(const std::string& path);
// Removes every obstacle the tests use and the whole ".nfo" / "Quorvel"
// registration, under HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
void RemoveRegistration();

} // namespace quorvel::test
