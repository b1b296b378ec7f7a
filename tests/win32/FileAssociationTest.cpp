// The shell registration routines against the real registry of the
// throw-away Wine prefix.
#include "shell/modFileAssociation.h"

#include "tests/support/RegistryObstacle.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

using namespace quorvel;
using namespace quorvel::test;

namespace {

const char kProgram[] = "C:\\Program Files\\Quorvel Viewer\\Quorvel";
const char kCommand[] = "\"C:\\Program Files\\Quorvel Viewer\\Quorvel.exe\" %1";
const char kIcon[] = "C:\\Program Files\\Quorvel Viewer\\Quorvel.exe,0";

// A value as stored: its type and all its bytes.
struct Stored {
    DWORD type = 0;
    std::string bytes;
    bool operator==(const Stored&) const = default;
};

Stored Text(const std::string& data) { return {REG_SZ, data + '\0'}; }

std::optional<Stored> Read(HKEY root, const std::string& path, const char* name = "") {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    Stored value;
    char data[2048];
    DWORD size = sizeof data;
    const LONG status =
        ::RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    value.bytes.assign(data, size);
    return value;
}

std::optional<Stored> Mark() { return Read(HKEY_CLASSES_ROOT, "Quorvel", "URL Protocol"); }

bool Exists(const std::string& path, HKEY root = HKEY_CLASSES_ROOT) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// Numbers of sub-keys and values of a key.
using Shape = std::pair<DWORD, DWORD>;
Shape Counts(const std::string& path) {
    HKEY key = nullptr;
    DWORD subKeys = 99;
    DWORD values = 99;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                           nullptr, nullptr, nullptr, nullptr);
        ::RegCloseKey(key);
    }
    return {subKeys, values};
}

// The name of a key of HKEY_CLASSES_ROOT as it is stored, in its own case.
std::string StoredName(const std::string& name) {
    char found[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof found;
        if (::RegEnumKeyExA(HKEY_CLASSES_ROOT, i, found, &size, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS)
            return {};
        if (lstrcmpiA(found, name.c_str()) == 0)
            return found;
    }
}

class FileAssociationTest : public ::testing::Test {
  protected:
    void SetUp() override { RemoveRegistration(); }
    void TearDown() override { RemoveRegistration(); }

    // Every row of the layout with its data, under both roots.
    void ExpectRegistered(const std::string& command = kCommand, const std::string& icon = kIcon) {
        for (const std::string prefix : {"", "SOFTWARE\\Classes\\"}) {
            SCOPED_TRACE(prefix);
            const HKEY root = prefix.empty() ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
            EXPECT_EQ(Read(root, prefix + ".nfo"), Text("Quorvel"));
            EXPECT_EQ(Read(root, prefix + "Quorvel"), Text("NFO File"));
            EXPECT_EQ(Read(root, prefix + "Quorvel\\Shell\\Open"), Text(""));
            EXPECT_EQ(Read(root, prefix + "Quorvel\\Shell\\Open\\Command"), Text(command));
            EXPECT_EQ(Read(root, prefix + "Quorvel\\DefaultIcon"), Text(icon));
        }
    }
};

} // namespace

TEST_F(FileAssociationTest, LayoutRowsForEachSpellingOfTheExtension) {
    char self[MAX_PATH * 4] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    const struct {
        const char* extension;
        std::string program, command, icon;
        bool withIcon;
    } cases[] = {
        {"NFO", kProgram, kCommand, kIcon, true},
        {".nfo", kProgram, kCommand, kIcon, true},
        {".NFO", kProgram, kCommand, kIcon, true},
        {"NFO", kProgram, kCommand, "", false},
        // The sentinel stands for the running program.
        {"NFO", kOwnProgramPath, "\"" + std::string(self) + "\" %1", std::string(self) + ",0",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.extension) + " " + c.program);
        RemoveRegistration();
        ASSERT_TRUE(CreateAssociation("Quorvel", c.extension, c.program, c.withIcon));
        EXPECT_EQ(StoredName(".nfo"), ".nfo");
        EXPECT_EQ(StoredName("..nfo"), "");
        ExpectRegistered(c.command, c.icon);
        // Nothing else: the program key holds its description, Shell and
        // DefaultIcon; Shell holds Open, which holds Command.
        EXPECT_EQ(Counts("Quorvel"), Shape(2, 1));
        EXPECT_EQ(Counts("Quorvel\\Shell"), Shape(1, 0));
        EXPECT_EQ(Counts("Quorvel\\Shell\\Open"), Shape(1, 1));
    }
}

TEST_F(FileAssociationTest, RemoveLeavesNothingAndSkipsWhatItCannotDelete) {
    // Nothing registered: nothing happens, nothing is created.
    RemoveAssociation("Quorvel", ".nfo");
    EXPECT_FALSE(Exists(".nfo"));
    EXPECT_FALSE(Exists("Quorvel"));

    ASSERT_TRUE(CreateAssociation("Quorvel", "NFO", kProgram, true));
    AddUrlProtocol("Quorvel");
    RemoveAssociation("Quorvel", ".nfo");
    for (const char* key : {".nfo", "Quorvel"}) {
        EXPECT_FALSE(Exists(key)) << key;
        EXPECT_FALSE(Exists(std::string("SOFTWARE\\Classes\\") + key, HKEY_LOCAL_MACHINE)) << key;
    }

    // Another program's verb keeps its parents; everything else goes.
    ASSERT_TRUE(CreateAssociation("Quorvel", "NFO", kProgram, true));
    HKEY print = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_CLASSES_ROOT, "Quorvel\\Shell\\Print", &print), ERROR_SUCCESS);
    ::RegCloseKey(print);
    RemoveAssociation("Quorvel", ".nfo");
    EXPECT_FALSE(Exists(".nfo"));
    EXPECT_FALSE(Exists("Quorvel\\DefaultIcon"));
    EXPECT_FALSE(Exists("Quorvel\\Shell\\Open"));
    EXPECT_TRUE(Exists("Quorvel\\Shell\\Print"));
}

TEST_F(FileAssociationTest, UrlProtocolMarkAndTheResetThatTakesItAway) {
    // Without the association the key holds the mark alone.
    AddUrlProtocol("Quorvel");
    EXPECT_EQ(Mark(), Text(""));
    EXPECT_EQ(Counts("Quorvel"), Shape(0, 1));

    // Reset takes the mark and writes the association afresh.
    ASSERT_TRUE(ResetAssociation("Quorvel", "NFO", kProgram));
    EXPECT_EQ(Mark(), std::nullopt);
    ExpectRegistered();

    AddUrlProtocol("Quorvel");
    EXPECT_EQ(Mark(), Text(""));
    ExpectRegistered();
    // Taking the mark away alone leaves the association.
    RemoveUrlProtocolMark("Quorvel");
    EXPECT_EQ(Mark(), std::nullopt);
    ExpectRegistered();
}

TEST_F(FileAssociationTest, WritesStopAtTheFailedRowOrRaise) {
    EXPECT_TRUE(SetStringValue(HKEY_CLASSES_ROOT, "Quorvel\\A\\B", "Name", "caf\xE9"));
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "Quorvel\\A\\B", "Name"), Text("caf\xE9"));
    const HKEY noRoot = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000099));
    EXPECT_THROW(SetStringValue(noRoot, "x", "", "y"), RegistrationError);

    // At the first row nothing is written.
    RemoveRegistration();
    ASSERT_TRUE(PlaceObstacle(".nfo"));
    EXPECT_FALSE(CreateAssociation("Quorvel", "NFO", kProgram, true));
    EXPECT_FALSE(Exists("Quorvel"));

    // At the third, the first two stay and nothing later is written; the
    // same obstacle makes SetStringValue raise -9999 without a description.
    RemoveRegistration();
    ASSERT_TRUE(SetStringValue(HKEY_CLASSES_ROOT, "Quorvel", "", "before"));
    ASSERT_TRUE(PlaceObstacle("Quorvel\\Shell"));
    EXPECT_FALSE(CreateAssociation("Quorvel", "NFO", kProgram, true));
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".nfo"), Text("Quorvel"));
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "Quorvel"), Text("NFO File"));
    EXPECT_FALSE(Exists("Quorvel\\DefaultIcon"));
    try {
        SetStringValue(HKEY_CLASSES_ROOT, "Quorvel\\Shell\\Open", "", "x");
        ADD_FAILURE() << "no error raised";
    } catch (const RegistrationError& e) {
        EXPECT_EQ(e.Number(), -9999);
        EXPECT_STREQ(e.what(), "");
    }

    // At the ninth, the eight before it are all in place.
    RemoveRegistration();
    ASSERT_TRUE(SetStringValue(HKEY_CLASSES_ROOT, "Quorvel", "", "before"));
    ASSERT_TRUE(PlaceObstacle("Quorvel\\DefaultIcon"));
    EXPECT_FALSE(CreateAssociation("Quorvel", "NFO", kProgram, true));
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Quorvel\\Shell\\Open\\Command"),
              Text(kCommand));

    // The URL protocol mark is not trapped: its error reaches the caller.
    RemoveRegistration();
    ASSERT_TRUE(PlaceObstacle("Quorvel"));
    EXPECT_THROW(AddUrlProtocol("Quorvel"), RegistrationError);
}
