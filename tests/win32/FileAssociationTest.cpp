// The two toggles of the Registry Settings menu when one registry write
// fails: an obstacle in the throw-away Wine prefix makes it fail honestly.
#include "shell/RegistryCommands.h"
#include "shell/modFileAssociation.h"
#include "tests/support/RegistryObstacle.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

using namespace quorvel;
using Stored = std::map<std::string, std::string>;

namespace {

const char kAddFile[] = "Add File Association", kRemoveFile[] = "Remove File Association";
const char kAddUrl[] = "Add URL Protocol", kRemoveUrl[] = "Remove URL Protocol";
const std::string kProgram = "C:\\Program Files\\Quorvel Viewer\\Quorvel";

class FileAssociationTest : public ::testing::Test, ToggleCaptions, SettingsWriter {
  protected:
    FileAssociationTest() { test::RemoveRegistration(); }
    ~FileAssociationTest() override { test::RemoveRegistration(); }

    std::string Caption(Toggle t) const override {
        return t == Toggle::FileAssociation ? file_ : url_;
    }
    void SetCaption(Toggle t, const std::string& c) override {
        (t == Toggle::FileAssociation ? file_ : url_) = c;
    }
    void Write(const std::string& key, const std::string& value) override { stored_[key] = value; }
    void Click(bool url) { (url ? mnuUrl_Click : mnuAss_Click)(*this, *this, kProgram); }

    std::optional<std::string> Mark() const {
        return test::ClassesRootText("Quorvel", "URL Protocol");
    }

    std::string file_ = kAddFile, url_ = kAddUrl;
    Stored stored_;
};

} // namespace

// A failed write is neither shown nor stored as done, and leaves no ".nfo"
// pointing at a half-made program key.
TEST_F(FileAssociationTest, AFailedRegistrationLeavesNothingHalfDone) {
    const struct {
        const char* obstacle;
        bool associated, marked, clickUrl;
        Stored stored;
    } rows[] = {
        {"Quorvel\\DefaultIcon", false, false, false, {{"ADDFILEASS", "1"}}}, // the ninth row fails
        {".nfo", false, true, false, {{"ADDFILEASS", "1"}}},                  // the first row
        {"Quorvel", false, false, true, {{"ADDURLPROT", "1"}}},               // no mark can be made
        {"Quorvel\\DefaultIcon", true, true, true, {{"ADDFILEASS", "1"}, {"ADDURLPROT", "1"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.obstacle);
        test::RemoveRegistration();
        stored_.clear();
        file_ = row.associated ? kRemoveFile : kAddFile;
        url_ = row.marked ? kRemoveUrl : kAddUrl;
        ASSERT_TRUE(!row.associated || CreateAssociation("Quorvel", "NFO", kProgram, true));
        if (row.marked)
            AddUrlProtocol("Quorvel");
        ::RegDeleteKeyW(HKEY_CLASSES_ROOT, Wide(row.obstacle).c_str());
        ASSERT_TRUE(test::PlaceObstacle(row.obstacle));
        Click(row.clickUrl);
        const bool markStays = row.marked && !row.clickUrl;
        EXPECT_EQ(file_ + url_, kAddFile + std::string(markStays ? kRemoveUrl : kAddUrl));
        EXPECT_EQ(stored_, row.stored);
        EXPECT_EQ(Mark(), markStays ? std::optional<std::string>("") : std::nullopt);
        EXPECT_EQ(test::ClassesRootText(".nfo"), std::nullopt);
        EXPECT_EQ(test::ClassesRootText("Quorvel\\Shell\\Open"), std::nullopt);
    }
}

// Taking the mark away takes the key made for it alone, and no other.
TEST_F(FileAssociationTest, AKeyMadeOnlyForTheUrlMarkGoesWithIt) {
    for (const bool alone : {true, false}) {
        test::RemoveRegistration();
        ASSERT_TRUE(alone || CreateAssociation("Quorvel", "NFO", kProgram, true));
        AddUrlProtocol("Quorvel");
        RemoveUrlProtocolMark("Quorvel");
        HKEY key = nullptr;
        EXPECT_EQ(::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Quorvel", 0, KEY_READ, &key) == 0, !alone);
        if (key)
            ::RegCloseKey(key);
        EXPECT_EQ(Mark(), std::nullopt);
    }
}
