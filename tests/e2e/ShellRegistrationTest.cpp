// File > Preferences > Registry Settings as the user meets it: captions,
// stored settings and the registry of the throw-away prefix, and the shell's
// open command starting the program on a file.
#include "common/Menus.h"
#include "app/resource.h"
#include "shell/modFileAssociation.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/RegistryObstacle.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace quorvel;
using namespace quorvel::test;

namespace {

constexpr char kAddFile[] = "Add File Association";
constexpr char kRemoveFile[] = "Remove File Association";
constexpr char kAddUrl[] = "Add URL Protocol";
constexpr char kRemoveUrl[] = "Remove URL Protocol";

// A text value of HKEY_CLASSES_ROOT, or nothing when there is none.
std::optional<std::string> Value(const std::string& path, const char* name = "") {
    char data[2048] = {};
    DWORD size = sizeof data;
    if (::RegGetValueA(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data,
                       &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(data);
}

std::optional<std::string> Mark() { return Value("Quorvel", "URL Protocol"); }

bool Exists(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

class ShellRegistrationTest : public ::testing::Test {
  protected:
    void SetUp() override { RemoveRegistration(); }
    void TearDown() override { RemoveRegistration(); }

    void Start(const std::string& settings = "") {
        if (!settings.empty())
            WriteScrambledSettings(window_ / "config.bin", "[INIT]\r\n" + settings);
        ASSERT_TRUE(window_.Start());
    }
    std::string ProgramPath() const { return window_ / "Quorvel"; }
    // Both captions and the stored settings say this.
    void ExpectShown(const char* file, const char* url, const std::string& settings) {
        EXPECT_EQ(window_.MenuCaption(IDM_mnuAss), file);
        EXPECT_EQ(window_.MenuCaption(IDM_mnuUrl), url);
        EXPECT_EQ(UnscrambleSettings(window_ / "config.bin"), "[INIT]\r\n" + settings);
    }
    bool Registered() const {
        return Value(".nfo") == "Quorvel" && Value("Quorvel") == "NFO File" &&
               Value("Quorvel\\Shell\\Open\\Command") ==
                   "\"" + ProgramPath() + ".exe\" %1" &&
               Value("Quorvel\\DefaultIcon") == ProgramPath() + ".exe,0";
    }
    bool Nothing() const { return !Exists(".nfo") && !Exists("Quorvel"); }

    PlacementKey placement_;
    WindowUnderTest window_;
};

} // namespace

TEST_F(ShellRegistrationTest, RemoveWhenNothingIsRegisteredThenAddThenRemove) {
    Start("ADDFILEASS=0\r\n");
    ASSERT_EQ(window_.MenuCaption(IDM_mnuAss), kRemoveFile);
    window_.Command(IDM_mnuAss);
    ExpectShown(kAddFile, kAddUrl, "ADDFILEASS=1\r\n");
    EXPECT_TRUE(Nothing());

    window_.Command(IDM_mnuAss);
    ExpectShown(kRemoveFile, kAddUrl, "ADDFILEASS=0\r\n");
    EXPECT_TRUE(Registered());

    window_.Command(IDM_mnuAss);
    ExpectShown(kAddFile, kAddUrl, "ADDFILEASS=1\r\n");
    EXPECT_TRUE(Nothing());
}

TEST_F(ShellRegistrationTest, UrlProtocolAddedAloneAndRemovedIntoAnAssociation) {
    Start();
    window_.Command(IDM_mnuUrl);
    ExpectShown(kAddFile, kRemoveUrl, "ADDURLPROT=0\r\n");
    EXPECT_EQ(Mark(), "");
    EXPECT_FALSE(Exists("Quorvel\\Shell")) << "no open command comes with the mark";

    // Removing the protocol writes the file association afresh, though the
    // file association command still offers to add it.
    window_.Command(IDM_mnuUrl);
    ExpectShown(kAddFile, kAddUrl, "ADDURLPROT=1\r\n");
    EXPECT_EQ(Mark(), std::nullopt);
    EXPECT_TRUE(Registered());
}

TEST_F(ShellRegistrationTest, OtherCaptionsMakeBothCommandsDoNothing) {
    Start();
    SetMenuCaption(window_.frm().menu(), IDM_mnuAss, "Add file association");
    SetMenuCaption(window_.frm().menu(), IDM_mnuUrl, "Remove URL protocol");
    window_.Command(IDM_mnuAss);
    window_.Command(IDM_mnuUrl);
    EXPECT_EQ(window_.MenuCaption(IDM_mnuAss), "Add file association");
    EXPECT_EQ(window_.MenuCaption(IDM_mnuUrl), "Remove URL protocol");
    EXPECT_TRUE(Nothing());
    EXPECT_FALSE(FileExists(window_ / "config.bin"));
}

// A denied write: captions and settings keep describing what is really
// registered, nothing is left half-written, and once the way is clear the
// next click does the whole work.
TEST_F(ShellRegistrationTest, FailedFileAssociationIsNotReportedAsDone) {
    // A write late in the layout fails: what was written goes again.
    ASSERT_TRUE(SetStringValue(HKEY_CLASSES_ROOT, "Quorvel", "", "someone's"));
    ASSERT_TRUE(PlaceObstacle("Quorvel\\DefaultIcon"));
    Start();
    window_.Command(IDM_mnuAss);
    ExpectShown(kAddFile, kAddUrl, "ADDFILEASS=1\r\n");
    EXPECT_FALSE(Exists(".nfo"));
    EXPECT_FALSE(Exists("Quorvel\\Shell"));

    RemoveObstacle("Quorvel\\DefaultIcon");
    window_.Command(IDM_mnuAss);
    ExpectShown(kRemoveFile, kAddUrl, "ADDFILEASS=0\r\n");
    EXPECT_TRUE(Registered());
}

TEST_F(ShellRegistrationTest, FailedFileAssociationKeepsARegisteredUrlProtocol) {
    AddUrlProtocol("Quorvel");
    ASSERT_TRUE(PlaceObstacle(".nfo"));
    Start("ADDURLPROT=0\r\n");
    window_.Command(IDM_mnuAss);
    ExpectShown(kAddFile, kRemoveUrl, "ADDURLPROT=0\r\nADDFILEASS=1\r\n");
    EXPECT_EQ(Mark(), "");
    EXPECT_EQ(Value("Quorvel"), std::nullopt);
    EXPECT_FALSE(Exists("Quorvel\\Shell"));
}

TEST_F(ShellRegistrationTest, FailedUrlProtocolIsNotReportedAsDone) {
    ASSERT_TRUE(PlaceObstacle("Quorvel"));
    Start("ADDURLPROT=7\r\n");
    ASSERT_EQ(window_.MenuCaption(IDM_mnuUrl), kAddUrl);
    // The error is handled inside the command: it goes on to store the
    // truth, which an error escaping to the message loop would prevent.
    window_.Command(IDM_mnuUrl);
    ExpectShown(kAddFile, kAddUrl, "ADDURLPROT=1\r\n");

    RemoveObstacle("Quorvel");
    window_.Command(IDM_mnuUrl);
    ExpectShown(kAddFile, kRemoveUrl, "ADDURLPROT=0\r\n");
    EXPECT_EQ(Mark(), "");
}

TEST_F(ShellRegistrationTest, FailedRewriteOnRemovingTheUrlProtocolLeavesNeither) {
    ASSERT_TRUE(CreateAssociation("Quorvel", "NFO", ProgramPath(), true));
    AddUrlProtocol("Quorvel");
    ASSERT_EQ(::RegDeleteKeyA(HKEY_CLASSES_ROOT, "Quorvel\\DefaultIcon"), ERROR_SUCCESS);
    ASSERT_TRUE(PlaceObstacle("Quorvel\\DefaultIcon"));
    Start("ADDFILEASS=0\r\nADDURLPROT=0\r\n");
    window_.Command(IDM_mnuUrl);
    ExpectShown(kAddFile, kAddUrl, "ADDFILEASS=1\r\nADDURLPROT=1\r\n");
    EXPECT_EQ(Mark(), std::nullopt);
    EXPECT_FALSE(Exists(".nfo"));
    EXPECT_FALSE(Exists("Quorvel\\Shell"));
}

TEST_F(ShellRegistrationTest, RegisteredOpenCommandOpensTheFile) {
    ProgramUnderTest registrar;
    ASSERT_TRUE(registrar.Start(""));
    ASSERT_NE(registrar.WaitMainWindow(), nullptr);
    registrar.Command(IDM_mnuAss);
    std::optional<std::string> command;
    ASSERT_TRUE(WaitUntilQuiet(
        [&] { return (command = Value("Quorvel\\Shell\\Open\\Command")).has_value(); }, 20000));
    EXPECT_EQ(*command, "\"" + registrar.exePath() + "\" %1");
    registrar.Close();
    ASSERT_TRUE(registrar.WaitExit());

    // The shell puts the file's path in place of %1, blanks and all.
    TempFolder files("nfo files");
    const std::string file = files / "release info.nfo";
    WriteFileBytes(file, "\xC9\xCD\xBB\r\n\xC8\xCD\xBC");
    std::string line = *command;
    line.replace(line.find("%1"), 2, file);
    ProgramUnderTest opener;
    ASSERT_TRUE(opener.StartCommandLine(line));
    ASSERT_NE(opener.WaitMainWindow(), nullptr);
    EXPECT_EQ(opener.Text(), "\xC9\xCD\xBB\r\n\xC8\xCD\xBC\r\n");
    EXPECT_EQ(opener.Caption().rfind("Quorvel - ", 0), 0u) << opener.Caption();
    EXPECT_NE(opener.Caption().find("release info.nfo"), std::string::npos) << opener.Caption();
    // It is the registered program that runs, not the copy the test holds.
    EXPECT_EQ(lstrcmpiA(ProcessImage(opener.pid()).c_str(), registrar.exePath().c_str()), 0)
        << ProcessImage(opener.pid());
}
