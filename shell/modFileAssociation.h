#pragma once
// Registering the program with the shell: the ".nfo" file association and
// the URL protocol named after the program identifier.
#include <windows.h>

#include "shell/AssociationLayout.h"

#include <cstdint>
#include <exception>
#include <string>

namespace quorvel {

// The run-time error of a registry write that could not be made: the key
// could not be created or opened, or not closed. It has no description.
class RegistrationError : public std::exception {
  public:
    static constexpr std::int32_t kNumber = -9999;
    std::int32_t Number() const noexcept { return kNumber; }
    const char* what() const noexcept override { return ""; }
};

// Writes `data` as the REG_SZ value `valueName` ("" for the default value)
// of `subKey`, creating missing keys; the texts are UTF-8, the value is
// stored as the system keeps text, in UTF-16. True, or RegistrationError.
bool SetStringValue(HKEY root, std::string subKey, std::string valueName, std::string data);

// Writes the association rows in order. False when one write failed: the
// rows written before it stay, the rest and the shell notification are
// skipped. `programPath` is the program's folder and name, or the
// kOwnProgramPath sentinel for the running program.
bool CreateAssociation(const std::string& programId, const std::string& extension,
                       const std::string& programPath, bool withIcon) noexcept;

// Deletes the association's keys under HKEY_CLASSES_ROOT, ignoring keys that
// cannot be deleted, and notifies the shell.
void RemoveAssociation(const std::string& programId, const std::string& extensionKey) noexcept;

// Marks the identifier's key as a URL protocol. Raises RegistrationError.
void AddUrlProtocol(const std::string& programId);

// Takes the URL protocol mark away by removing the association and writing
// it afresh for `programPath` (by default the running program); returns
// whether the new association was written whole.
bool ResetAssociation(const std::string& programId, const std::string& extension,
                      const std::string& programPath = kOwnProgramPath) noexcept;

// Deletes the "URL Protocol" value alone, and the identifier's key when that
// leaves it empty. For undoing a protocol registration whose key could not
// be removed as a whole.
void RemoveUrlProtocolMark(const std::string& programId) noexcept;

// The running program's folder, "\" and file name without its extension.
std::string OwnProgramPath();

} // namespace quorvel
