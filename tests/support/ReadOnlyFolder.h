#pragma once
// A folder in which no file can be created, changed, renamed or deleted, as
// a program folder under "Program Files" is for a user without rights.
#include <string>

namespace quorvel::test {

// Under Wine: the host path of a Windows path ("" on Windows).
std::string HostPath(const std::string& windowsPath);
// Under Wine: runs a host shell command to its end; false when it failed.
bool RunOnHost(const std::string& command);

// On Windows a denying access control entry does it. Wine checks no access
// lists on files and the tests run as root: there the host makes the folder
// immutable (chattr +i). Undone when the object goes.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::string folder);
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    ~ReadOnlyFolder();
    bool refusesWrites() const { return refuses_; } // found by trying

private:
    bool SetReadOnly(bool readOnly);

    std::string folder_, hostPath_;
    bool refuses_ = false;
};

} // namespace quorvel::test
