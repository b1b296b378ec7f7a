#pragma once
// Real files in real temporary folders, for the Windows test tiers.
#include <windows.h>

#include <string>
#include <vector>

namespace quorvel::test {

// A fresh folder under the temporary folder, removed with everything in it
// when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& hint = "t");
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Names in a folder, without "." and "..", sorted.
std::vector<std::string> ListFolder(const std::string& folder);
void RemoveTree(const std::string& path);

// The plain text of a scrambled settings file (empty when missing).
std::string UnscrambleSettings(const std::string& path);
// Writes `plain` scrambled, as the program stores its settings.
void WriteScrambledSettings(const std::string& path, const std::string& plain);

// The folder of the running test program (Quorvel.exe is built beside it).
std::string TestProgramFolder();

} // namespace quorvel::test
