#pragma once
// A folder in which no file can be created, changed, renamed or deleted, as
// a program folder under "Program Files" is for a user without rights.
#include <string>

namespace quorvel::test {

// While the object lives, `folder` refuses every change. On Windows a
// denying access control entry does it. Wine does not check access control
// lists on files, and the tests run as root, whom folder permissions do not
// stop; there the folder is made immutable by the host (chattr +i), which
// stops root too. The object undoes it when it goes.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::string folder);
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    ~ReadOnlyFolder();
    // Whether the folder really refuses a new file (checked by trying).
    bool refusesWrites() const { return refuses_; }

private:
    bool SetReadOnly(bool readOnly);

    std::string folder_;
    std::string unixPath_;
    bool refuses_ = false;
};

// Whether a new file can be created in `folder` right now (the trial file
// is removed again).
bool FolderAcceptsNewFiles(const std::string& folder);

} // namespace quorvel::test
