// A settings file that is missing, damaged, hand-edited or out of reach
// never stops the program: it starts with what it can read, the rest at the
// defaults, says nothing, and never changes the file by starting.
#include "app/resource.h"
#include "settings/SettingsFile.h"
#include "settings/clsBinaryEncryptor.h"
#include "tests/e2e/BadInput.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <random>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// What the stored settings change in the window, as seen from outside.
struct Looks {
    bool topMost = false;
    int alpha = -1; // not translucent
    bool readOnly = true;
    COLORREF back = RGB(255, 255, 255);
};
constexpr Looks kDefaults{};

struct ConfigRow {
    const char* input;
    std::optional<std::string> stored; // config.bin's bytes; none: no file
    Looks looks;
};

std::string Scrambled(const std::string& plain) {
    std::string bytes(plain.size(), '\0');
    for (std::size_t i = 0; i < plain.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(plain[i]) +
                                     clsBinaryEncryptor::KeyByte(kSettingsPassword,
                                                                 static_cast<std::int64_t>(i + 1)));
    return bytes;
}

std::string Noise(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(rng() & 0xFF);
    return bytes;
}

// The colour in the middle of the (empty) text box, once it is painted.
COLORREF TextBoxColour(HWND box) {
    RECT rc{};
    ::GetClientRect(box, &rc);
    POINT pt{rc.right / 2, rc.bottom / 2};
    ::ClientToScreen(box, &pt);
    HDC dc = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(dc, pt.x, pt.y);
    ::ReleaseDC(nullptr, dc);
    return c;
}

class BadConfigTest : public ::testing::Test {
protected:
    std::string Config() const { return program_ / "config.bin"; }

    void ExpectLooks(const Looks& expected) {
        HWND main = program_.mainWindow();
        const LONG exStyle = ::GetWindowLongA(main, GWL_EXSTYLE);
        EXPECT_EQ((exStyle & WS_EX_TOPMOST) != 0, expected.topMost) << "topmost";
        int alpha = -1;
        BYTE a = 0;
        DWORD flags = 0;
        if ((exStyle & WS_EX_LAYERED) && ::GetLayeredWindowAttributes(main, nullptr, &a, &flags) &&
            (flags & LWA_ALPHA))
            alpha = a;
        EXPECT_EQ(alpha, expected.alpha) << "translucency";
        EXPECT_EQ((::GetWindowLongA(program_.textBox(), GWL_STYLE) & ES_READONLY) != 0,
                  expected.readOnly)
            << "read-only text";
        if (expected.alpha < 0) {
            COLORREF seen = CLR_INVALID;
            EXPECT_TRUE(WaitUntilQuiet(
                [&] { return (seen = TextBoxColour(program_.textBox())) == expected.back; }, 5000))
                << "background " << std::hex << seen << " instead of " << expected.back;
        }
    }

    // Starts the program on this settings file, checks the window, closes
    // it, and checks that the file and the folder are as they were.
    void Check(const ConfigRow& row) {
        SCOPED_TRACE(row.input);
        ::SetFileAttributesA(Config().c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(Config().c_str());
        if (row.stored)
            WriteFileBytes(Config(), *row.stored);
        const Snapshot before = TakeSnapshot(program_.folder());
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(program_.Start(""));
        ExpectMessageThenWindow(program_, "");
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 20.0);
        EXPECT_EQ(program_.Caption(), "Quorvel");
        ExpectLooks(row.looks);
        ExpectCleanExit(program_);
        EXPECT_EQ(TakeSnapshot(program_.folder()), before);
    }

    PlacementKey placement_;
    ProgramUnderTest program_;
};

} // namespace

TEST_F(BadConfigTest, DamagedOrHandMadeFilesGiveTheDefaults) {
    const std::string full = "[INIT]\r\nALWAYSONTOP=1\r\nMAKEWRITE=0\r\nBackColor=65280\r\n";
    const ConfigRow rows[] = {
        {"absent", std::nullopt, kDefaults},
        {"0 bytes", "", kDefaults},
        {"plain text written by hand", full, kDefaults},
        {"random bytes", Noise(300, 1), kDefaults},
        {"1 MB of noise", Noise(1 << 20, 2), kDefaults},
        {"every key with an empty value",
         Scrambled("[INIT]\r\nALWAYSONTOP=\r\nTRANSPATENCY=\r\nFGCOLOR=\r\nBGCOLOR=\r\n"
                   "ADDFILEASS=\r\nADDURLPROT=\r\nMAKEWRITE=\r\nForeColor=\r\nBackColor=\r\n"),
         kDefaults},
        // Cut inside the header: nothing is left to read.
        {"truncated in the section header", Scrambled(full).substr(0, 4), kDefaults},
    };
    for (const auto& row : rows)
        Check(row);
}

TEST_F(BadConfigTest, TruncatedFileKeepsWhatItStillHolds) {
    // The cipher works byte by byte: a cut file unscrambles to the start of
    // its text, so the keys before the cut still count, and the cut value
    // is read as far as it goes (65280 cut to 652).
    const std::string full = "[INIT]\r\nALWAYSONTOP=1\r\nMAKEWRITE=0\r\nBackColor=65280\r\n";
    const std::size_t cut = full.find("65280") + 3;
    Check({"truncated in a value", Scrambled(full).substr(0, cut), {true, -1, false, 652}});
}

TEST_F(BadConfigTest, OddNumbersAreReadWithTheLocaleRules) {
    const ConfigRow rows[] = {
        // Out of every range: not on top, not translucent, colour kept,
        // read-only (not 0).
        {"huge numbers",
         Scrambled("[INIT]\r\nALWAYSONTOP=99999999999999999999\r\nTRANSPATENCY=99999999999\r\n"
                   "MAKEWRITE=99999999999999999999\r\nBackColor=99999999999\r\n"),
         kDefaults},
        // -1 is neither 1 nor a level nor a colour; -0 equals 0: writable.
        {"negative numbers",
         Scrambled("[INIT]\r\nALWAYSONTOP=-1\r\nTRANSPATENCY=-1\r\nMAKEWRITE=-0\r\nBackColor=-1\r\n"),
         {false, -1, false, RGB(255, 255, 255)}},
        {"1e308",
         Scrambled("[INIT]\r\nALWAYSONTOP=1e308\r\nTRANSPATENCY=1e308\r\nMAKEWRITE=1e308\r\n"
                   "BackColor=1e308\r\n"),
         kDefaults},
        {"numbers with an exponent that fit",
         Scrambled("[INIT]\r\nALWAYSONTOP=1e0\r\nTRANSPATENCY=2e2\r\nMAKEWRITE=0e5\r\n"),
         {true, 200, false, RGB(255, 255, 255)}},
        {"&HFF",
         Scrambled("[INIT]\r\nALWAYSONTOP=&H1\r\nMAKEWRITE=&H0\r\nBackColor=&HFF\r\n"),
         {true, -1, false, RGB(255, 0, 0)}},
        {"the locale's thousands separator",
         Scrambled("[INIT]\r\nALWAYSONTOP=1,000\r\nTRANSPATENCY=1,000\r\nBackColor=65,280\r\n"),
         {false, -1, true, RGB(0, 255, 0)}},
    };
    for (const auto& row : rows)
        Check(row);
}

TEST_F(BadConfigTest, ReadOnlySettingsFileIsAppliedAndNeverChanged) {
    WriteFileBytes(Config(), Scrambled("[INIT]\r\nALWAYSONTOP=0\r\nMAKEWRITE=1\r\n"));
    ASSERT_TRUE(::SetFileAttributesA(Config().c_str(), FILE_ATTRIBUTE_READONLY));
    const Snapshot before = TakeSnapshot(program_.folder());
    ASSERT_TRUE(program_.Start(""));
    ExpectMessageThenWindow(program_, "");
    ExpectLooks(kDefaults);
    // The commands still change the window; only storing them fails, quietly.
    ASSERT_TRUE(program_.SendCommand(IDM_mnuMakeWrite));
    ASSERT_TRUE(program_.SendCommand(IDM_mnuOnTop));
    ExpectLooks({true, -1, false, RGB(255, 255, 255)});
    EXPECT_EQ(FindProcessWindow(program_.pid(), "#32770"), nullptr) << "a message was shown";
    ExpectCleanExit(program_);
    EXPECT_EQ(TakeSnapshot(program_.folder()), before);
    EXPECT_TRUE(::GetFileAttributesA(Config().c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(BadConfigTest, ReadOnlyProgramFolderStartsAndKeepsNothing) {
    for (const bool withSettings : {false, true}) {
        SCOPED_TRACE(withSettings ? "with a settings file" : "without a settings file");
        ::DeleteFileA(Config().c_str());
        // Stored settings are still read: the private copy goes to the
        // user's temporary folder.
        if (withSettings)
            WriteFileBytes(Config(), Scrambled("[INIT]\r\nALWAYSONTOP=1\r\nMAKEWRITE=0\r\n"));
        const Looks stored = withSettings ? Looks{true, -1, false, RGB(255, 255, 255)} : kDefaults;
        const Looks toggled{!stored.topMost, -1, !stored.readOnly, RGB(255, 255, 255)};
        const Snapshot before = TakeSnapshot(program_.folder());
        {
            ReadOnlyFolder readOnly(program_.folder());
            ASSERT_TRUE(readOnly.refusesWrites()) << "the folder could not be made read-only";
            ASSERT_TRUE(program_.Start(""));
            ExpectMessageThenWindow(program_, "");
            ExpectLooks(stored);
            ASSERT_TRUE(program_.SendCommand(IDM_mnuMakeWrite));
            ASSERT_TRUE(program_.SendCommand(IDM_mnuOnTop));
            ExpectLooks(toggled);
            EXPECT_EQ(FindProcessWindow(program_.pid(), "#32770"), nullptr) << "a message was shown";
            ExpectCleanExit(program_);
        }
        EXPECT_EQ(TakeSnapshot(program_.folder()), before);
    }
}
