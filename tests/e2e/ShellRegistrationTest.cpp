// File > Preferences > Registry Settings as the user meets it: captions,
// stored settings and the registry of the throw-away prefix, and the shell's
// open command starting the program on a file.
#include "app/MenuCaption.h"
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

// A text value of HKEY_CLASSES_ROOT, or nothing when there is none.
std::optional<std::string> Value(const std::string& path, const char* name = "") {
    char data[2048] = {};
    DWORD size = sizeof data;
    if (::RegGetValueA(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data,
                       &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(data);
}

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

    void StoreSettings(const std::string& lines) {
        WriteScrambledSettings(window_ / "config.bin", "[INIT]\r\n" + lines);
    }
    std::string Settings() const { return UnscrambleSettings(window_ / "config.bin"); }
    std::string OpenCommand() const { return "\"" + (window_ / "Quorvel.exe") + "\" %1"; }
    std::string ProgramPath() const { return window_ / "Quorvel"; }
    std::string FileCaption() const { return window_.MenuCaption(IDM_mnuAss); }
    std::string UrlCaption() const { return window_.MenuCaption(IDM_mnuUrl); }
    bool Registered() const {
        return Value(".nfo") == "Quorvel" && Value("Quorvel") == "NFO File" &&
               Value("Quorvel\\Shell\\Open\\Command") == OpenCommand() &&
               Value("Quorvel\\DefaultIcon") == ProgramPath() + ".exe,0";
    }

    PlacementKey placement_;
    WindowUnderTest window_;
};

} // namespace

TEST_F(ShellRegistrationTest, AddThenRemoveFileAssociation) {
    ASSERT_TRUE(window_.Start());
    ASSERT_EQ(FileCaption(), "Add File Association");
    window_.Command(IDM_mnuAss);
    EXPECT_EQ(FileCaption(), "Remove File Association");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDFILEASS=0\r\n");
    EXPECT_TRUE(Registered());

    window_.Command(IDM_mnuAss);
    EXPECT_EQ(FileCaption(), "Add File Association");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDFILEASS=1\r\n");
    EXPECT_FALSE(Exists(".nfo"));
    EXPECT_FALSE(Exists("Quorvel"));
}

TEST_F(ShellRegistrationTest, RemovingWhenNothingIsRegistered) {
    StoreSettings("ADDFILEASS=0\r\n");
    ASSERT_TRUE(window_.Start());
    ASSERT_EQ(FileCaption(), "Remove File Association");
    window_.Command(IDM_mnuAss);
    EXPECT_EQ(FileCaption(), "Add File Association");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDFILEASS=1\r\n");
    EXPECT_FALSE(Exists(".nfo"));
    EXPECT_FALSE(Exists("Quorvel"));
}

TEST_F(ShellRegistrationTest, UrlProtocolAddedAloneAndRemovedIntoAnAssociation) {
    ASSERT_TRUE(window_.Start());
    window_.Command(IDM_mnuUrl);
    EXPECT_EQ(UrlCaption(), "Remove URL Protocol");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDURLPROT=0\r\n");
    EXPECT_EQ(Value("Quorvel", "URL Protocol"), "");
    EXPECT_FALSE(Exists("Quorvel\\Shell")) << "no open command comes with the mark";

    // Removing the protocol writes the file association afresh, though the
    // file association command still offers to add it.
    window_.Command(IDM_mnuUrl);
    EXPECT_EQ(UrlCaption(), "Add URL Protocol");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDURLPROT=1\r\n");
    EXPECT_EQ(Value("Quorvel", "URL Protocol"), std::nullopt);
    EXPECT_TRUE(Registered());
    EXPECT_EQ(FileCaption(), "Add File Association");
}

TEST_F(ShellRegistrationTest, OtherCaptionsMakeBothCommandsDoNothing) {
    ASSERT_TRUE(window_.Start());
    SetMenuCaption(window_.frm().menu(), IDM_mnuAss, "Add file association");
    SetMenuCaption(window_.frm().menu(), IDM_mnuUrl, "Remove URL protocol");
    window_.Command(IDM_mnuAss);
    window_.Command(IDM_mnuUrl);
    EXPECT_EQ(FileCaption(), "Add file association");
    EXPECT_EQ(UrlCaption(), "Remove URL protocol");
    EXPECT_FALSE(Exists(".nfo"));
    EXPECT_FALSE(Exists("Quorvel"));
    EXPECT_FALSE(FileExists(window_ / "config.bin"));
}

TEST_F(ShellRegistrationTest, FailedFileAssociationIsNotReportedAsDone) {
    // A write late in the layout fails: what was written goes again.
    ASSERT_TRUE(SetStringValue(HKEY_CLASSES_ROOT, "Quorvel", "", "someone's"));
    ASSERT_TRUE(PlaceObstacle("Quorvel\\DefaultIcon"));
    ASSERT_TRUE(window_.Start());
    window_.Command(IDM_mnuAss);
    EXPECT_EQ(FileCaption(), "Add File Association");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDFILEASS=1\r\n");
    EXPECT_FALSE(Exists(".nfo"));
    EXPECT_FALSE(Exists("Quorvel\\Shell"));

    // Once the way is clear the next click registers everything.
    RemoveObstacle("Quorvel\\DefaultIcon");
    window_.Command(IDM_mnuAss);
    EXPECT_EQ(FileCaption(), "Remove File Association");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDFILEASS=0\r\n");
    EXPECT_TRUE(Registered());
}

TEST_F(ShellRegistrationTest, FailedFileAssociationKeepsARegisteredUrlProtocol) {
    StoreSettings("ADDURLPROT=0\r\n");
    AddUrlProtocol("Quorvel");
    ASSERT_TRUE(PlaceObstacle(".nfo"));
    ASSERT_TRUE(window_.Start());
    ASSERT_EQ(UrlCaption(), "Remove URL Protocol");
    window_.Command(IDM_mnuAss);
    EXPECT_EQ(FileCaption(), "Add File Association");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDURLPROT=0\r\nADDFILEASS=1\r\n");
    EXPECT_EQ(UrlCaption(), "Remove URL Protocol");
    EXPECT_EQ(Value("Quorvel", "URL Protocol"), "");
    EXPECT_EQ(Value("Quorvel"), std::nullopt);
    EXPECT_FALSE(Exists("Quorvel\\Shell"));
}

TEST_F(ShellRegistrationTest, FailedUrlProtocolIsNotReportedAsDone) {
    StoreSettings("ADDURLPROT=7\r\n");
    ASSERT_TRUE(PlaceObstacle("Quorvel"));
    ASSERT_TRUE(window_.Start());
    ASSERT_EQ(UrlCaption(), "Add URL Protocol");
    // The error is handled inside the command: it goes on to store the
    // truth, which an error escaping to the message loop would prevent.
    window_.Command(IDM_mnuUrl);
    EXPECT_EQ(UrlCaption(), "Add URL Protocol");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDURLPROT=1\r\n");

    RemoveObstacle("Quorvel");
    window_.Command(IDM_mnuUrl);
    EXPECT_EQ(UrlCaption(), "Remove URL Protocol");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDURLPROT=0\r\n");
    EXPECT_EQ(Value("Quorvel", "URL Protocol"), "");
}

TEST_F(ShellRegistrationTest, FailedRewriteOnRemovingTheUrlProtocol) {
    StoreSettings("ADDFILEASS=0\r\nADDURLPROT=0\r\n");
    ASSERT_TRUE(CreateAssociation("Quorvel", "NFO", ProgramPath(), true));
    AddUrlProtocol("Quorvel");
    ASSERT_EQ(::RegDeleteKeyA(HKEY_CLASSES_ROOT, "Quorvel\\DefaultIcon"), ERROR_SUCCESS);
    ASSERT_TRUE(PlaceObstacle("Quorvel\\DefaultIcon"));
    ASSERT_TRUE(window_.Start());
    window_.Command(IDM_mnuUrl);
    // Neither registration is left, and both commands say so.
    EXPECT_EQ(UrlCaption(), "Add URL Protocol");
    EXPECT_EQ(FileCaption(), "Add File Association");
    EXPECT_EQ(Settings(), "[INIT]\r\nADDFILEASS=1\r\nADDURLPROT=1\r\n");
    EXPECT_EQ(Value("Quorvel", "URL Protocol"), std::nullopt);
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
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, opener.pid());
    ASSERT_NE(process, nullptr);
    char image[MAX_PATH * 4] = {};
    DWORD size = sizeof image;
    ASSERT_TRUE(::QueryFullProcessImageNameA(process, 0, image, &size));
    ::CloseHandle(process);
    EXPECT_EQ(lstrcmpiA(image, registrar.exePath().c_str()), 0) << image;
}
