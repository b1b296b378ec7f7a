// Hard ends and long use of the running program. Killed at a random moment
// while it saves an NFO or stores a setting, it leaves the NFO with exactly
// its old or its new bytes and a whole settings file with every other key in
// place. Thousands of preference changes and hundreds of open and save
// cycles leave it holding no more handles, GDI objects, windows or memory
// than after the first round. scripts/soak runs the long versions.
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/ProcessResources.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <regex>
#include <set>

using namespace quorvel::test;

namespace {

bool LongRun() {
    char value[8] = {};
    return ::GetEnvironmentVariableA("QUORVEL_SOAK", value, sizeof value) > 0 && value[0] == '1';
}

// Closed by its close box, the program ends by itself with exit code 0.
void ExpectCleanExit(ProgramUnderTest& program) {
    EXPECT_TRUE(program.Running()) << "the program ended by itself";
    program.Close();
    ASSERT_TRUE(program.WaitExit(30000)) << "did not end after WM_CLOSE";
    EXPECT_EQ(program.ExitCode(), 0u);
}

void Kill(const ProgramUnderTest& program) {
    ::TerminateProcess(program.process(), 9);
    ASSERT_TRUE(program.WaitExit());
}

void SetText(const ProgramUnderTest& program, const std::string& text) {
    DWORD_PTR result = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(program.textBox(), WM_SETTEXT, 0,
                                      reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 20000,
                                      &result));
}

std::vector<std::string> Strays(const std::string& folder, const std::string& keep) {
    std::vector<std::string> strays = ListFolder(folder);
    std::erase_if(strays, [&](const std::string& n) { return n == "Quorvel.exe" || n == keep; });
    return strays;
}

// About 96 KB of CR LF lines that differ from round to round.
std::string Document(int round) {
    std::string text;
    for (int line = 0; text.size() < 96 * 1024; ++line)
        text += "round " + std::to_string(round) + " line " + std::to_string(line) +
                " \xDB\xB2\xB1\xB0 the quick brown fox\r\n";
    return text;
}

class SoakTest : public ::testing::Test {
protected:
    bool TopMost() const {
        return ::GetWindowLongA(program_.mainWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST;
    }
    bool ReadOnly() const { return ::GetWindowLongA(program_.textBox(), GWL_STYLE) & ES_READONLY; }

    // A command that opens a modal dialog, which `action` fills and closes.
    void ThroughDialog(UINT command, const char* title, const std::function<void(HWND)>& action) {
        program_.Command(command);
        HWND dialog = program_.WaitDialog(title);
        ASSERT_NE(dialog, nullptr) << title;
        action(dialog);
        ASSERT_TRUE(WaitUntilQuiet([&] { return !::IsWindow(dialog); }, 20000)) << title;
        ASSERT_TRUE(program_.Responds(20000));
    }

    // One preference change of the kind `n` picks; the window shows it.
    void ChangePreference(int n) {
        if (n % 10 >= 8) {
            const COLORREF colour = RGB((n * 37) % 256, (n * 11) % 256, (n * 5) % 256);
            ThroughDialog(n % 10 == 8 ? IDM_mnuFC : IDM_mnuBC, "Color", [&](HWND dialog) {
                ::SetDlgItemInt(dialog, 706, GetRValue(colour), FALSE);
                ::SetDlgItemInt(dialog, 707, GetGValue(colour), FALSE);
                ::SetDlgItemInt(dialog, 708, GetBValue(colour), FALSE);
                PressButton(dialog, IDOK);
            });
            (n % 10 == 8 ? foreColor_ : backColor_) = colour;
            return;
        }
        const bool onTop = n % 2 == 0;
        const bool before = onTop ? TopMost() : ReadOnly();
        ASSERT_TRUE(program_.SendCommand(onTop ? IDM_mnuOnTop : IDM_mnuMakeWrite));
        ASSERT_NE(onTop ? TopMost() : ReadOnly(), before) << "change " << n;
    }

    void OpenEditSave(const std::string& file, int cycle) {
        ThroughDialog(IDM_mnuOpen, "Open", OpenFile(file));
        ASSERT_EQ(program_.Text(), ReadFileBytes(file)) << "cycle " << cycle;
        if (ReadOnly()) {
            ASSERT_TRUE(program_.SendCommand(IDM_mnuMakeWrite));
        }
        const std::string text = "cycle " + std::to_string(cycle) + "\r\n\xDB\xDB\xB1\r\n";
        SetText(program_, text);
        ASSERT_TRUE(program_.SendCommand(IDM_mnuSave));
        ASSERT_EQ(ReadFileBytes(file), text) << "cycle " << cycle;
    }

    ProcessResources Measure(const std::string& when) {
        const ProcessResources r =
            MeasureProcess(program_.process(), program_.pid(), L"\\ComDlg32\\LastVisitedMRU");
        std::printf("%s: %s\n", when.c_str(), Describe(r).c_str());
        return r;
    }

    PlacementKey placement_;
    ProgramUnderTest program_;
    TempFolder docs_{"docs"};
    COLORREF foreColor_ = 0;
    COLORREF backColor_ = 0;
};

} // namespace

TEST(KillTest, KilledWhileSavingLeavesTheOldOrTheNewFileAndTheNextSaveTidies) {
    const int rounds = LongRun() ? 150 : 30;
    PlacementKey placement;
    ProgramUnderTest program;
    TempFolder docs("docs");
    const std::string nfo = docs / "release.nfo";
    WriteFileBytes(nfo, Document(-1));
    WriteScrambledSettings(program / "config.bin", "[INIT]\r\nMAKEWRITE=0\r\n"); // writable
    std::mt19937 rng(20261207);
    int keptOld = 0, gotNew = 0;
    std::set<std::string> leftovers;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string before = ReadFileBytes(nfo), after = Document(round);
        ASSERT_TRUE(program.Start(nfo));
        ASSERT_NE(program.WaitMainWindow(), nullptr);
        ASSERT_NO_FATAL_FAILURE(SetText(program, after));
        for (int i = 0; i < 5; ++i)
            program.Command(IDM_mnuSave);
        ::Sleep(rng() % 25); // the random kill point, not a wait for a condition
        ASSERT_NO_FATAL_FAILURE(Kill(program));
        const std::string now = ReadFileBytes(nfo);
        ASSERT_TRUE(now == before || now == after) << "neither: " << now.size() << " bytes";
        (now == before ? keptOld : gotNew) += 1;
        // A save cut short may leave its unfinished copy beside the file.
        for (const auto& stray : Strays(docs.path(), "release.nfo")) {
            EXPECT_EQ(stray.rfind("~qv", 0), 0u) << stray;
            leftovers.insert(stray);
        }
    }
    std::printf("%d kills while saving: %d kept the old bytes, %d had the new; %zu left an "
                "unfinished copy\n",
                rounds, keptOld, gotNew, leftovers.size());
    EXPECT_GT(keptOld, 0) << "no kill came before a save ended";
    EXPECT_GT(gotNew, 0) << "no kill came after a save ended";

    // The next save removes the copies of ended programs (a number stays
    // taken while a handle of it is held), not one of a running program
    // (this test) nor the user's look-alike file.
    ProgramUnderTest killed;
    ASSERT_TRUE(killed.Start(""));
    ASSERT_NE(killed.WaitMainWindow(), nullptr);
    ASSERT_NO_FATAL_FAILURE(Kill(killed));
    char dead[64], live[64];
    wsprintfA(dead, "~qv%lx-1.tmp", killed.pid());
    wsprintfA(live, "~qv%lx-7.tmp", ::GetCurrentProcessId());
    WriteFileBytes(docs / dead, "unfinished");
    WriteFileBytes(docs / live, "in progress");
    WriteFileBytes(docs / "~qvuser-notes.tmp", "mine");
    const std::string last = ReadFileBytes(nfo);
    ASSERT_TRUE(program.Start(nfo));
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    ASSERT_TRUE(program.SendCommand(IDM_mnuSave));
    EXPECT_EQ(ListFolder(docs.path()),
              (std::vector<std::string>{"release.nfo", live, "~qvuser-notes.tmp"}));
    EXPECT_EQ(ReadFileBytes(nfo), last);
    ExpectCleanExit(program);
}

TEST(KillTest, KilledWhileStoringSettingsKeepsEveryOtherKey) {
    const int rounds = LongRun() ? 150 : 30;
    PlacementKey placement;
    ProgramUnderTest program;
    const std::string config = program / "config.bin";
    const std::string others = "TRANSPATENCY=230\r\nForeColor=255\r\nBackColor=16777215\r\n"
                               "ADDFILEASS=1\r\nADDURLPROT=1\r\n";
    WriteScrambledSettings(config, "[INIT]\r\nALWAYSONTOP=0\r\nMAKEWRITE=1\r\n" + others);
    const std::regex valid("\\[INIT\\]\\r\\nALWAYSONTOP=[01]\\r\\nMAKEWRITE=[01]\\r\\n" + others);
    std::mt19937 rng(20261208);
    int unchanged = 0, leftovers = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string before = ReadFileBytes(config);
        ASSERT_TRUE(program.Start(""));
        ASSERT_NE(program.WaitMainWindow(), nullptr);
        for (int i = 0; i < 20; ++i)
            program.Command(rng() % 2 ? IDM_mnuOnTop : IDM_mnuMakeWrite);
        ::Sleep(rng() % 40); // the random kill point, not a wait for a condition
        ASSERT_NO_FATAL_FAILURE(Kill(program));
        const std::string plain = UnscrambleSettings(config);
        EXPECT_TRUE(std::regex_match(plain, valid)) << plain;
        unchanged += static_cast<int>(ReadFileBytes(config) == before);
        // A later start removes unfinished private copies a minute old.
        for (const auto& stray : Strays(program.folder(), "config.bin")) {
            ++leftovers;
            ::DeleteFileA((program / stray).c_str());
        }
    }
    std::printf("%d kills while storing settings: %d left the file as it was; %d unfinished "
                "private copies left\n",
                rounds, unchanged, leftovers);
    EXPECT_LT(unchanged, rounds) << "no kill came after a write";
}

TEST_F(SoakTest, LongUseHoldsNoMoreResourcesAndKeepsValidSettings) {
    const int changes = LongRun() ? 2000 : 200;
    const int cycles = LongRun() ? 200 : 40;
    const std::string files[] = {docs_ / "a.nfo", docs_ / "b.nfo"};
    for (const auto& f : files)
        WriteFileBytes(f, "start\r\n");
    ASSERT_TRUE(program_.Start(""));
    ASSERT_NE(program_.WaitMainWindow(), nullptr);

    // A first round of everything: what the system keeps once loaded (the
    // dialogs' libraries, fonts and caches, which under Wine fill up over
    // the first twenty colour dialogs) is not growth.
    for (int n = 0; n < 10; ++n)
        ASSERT_NO_FATAL_FAILURE(ChangePreference(n));
    for (int n = 0; n < 30; ++n)
        ASSERT_NO_FATAL_FAILURE(ChangePreference(n * 10 + 8 + n % 2));
    for (int c = 0; c < 10; ++c)
        ASSERT_NO_FATAL_FAILURE(OpenEditSave(files[c % 2], -1 - c));
    const ProcessResources start = Measure("after a first round");

    ProcessResources middle;
    int cycle = 0;
    for (int n = 0; n < changes; ++n) {
        ASSERT_NO_FATAL_FAILURE(ChangePreference(n));
        if ((n + 1) % (changes / cycles) == 0) {
            ASSERT_NO_FATAL_FAILURE(OpenEditSave(files[cycle % 2], cycle));
            ++cycle;
        }
        if (n + 1 == changes / 2)
            middle = Measure("half way");
    }
    const ProcessResources end = Measure("after " + std::to_string(changes) + " changes and " +
                                         std::to_string(cycle) + " open and save cycles");

    // A leak of one object per colour change or per cycle adds 40 at the
    // least.
    // Wine's Open dialog keeps one handle to its LastVisitedMRU key open
    // per file chosen; that is the library's, not the program's.
    const auto own = [](const ProcessResources& r) { return r.kernelHandles - r.matchingKeys; };
    EXPECT_LE(own(end), own(start) + 2);
    // Wine's colour dialog leaves window DCs locked until it closes, so its
    // cache of them (a DC, a region and a bitmap each) grows to the most a
    // dialog held at once: up to 20 more DCs seen, at random points of the
    // run and no more in the long run than in the short one (with them,
    // now and then, one or two other objects of Wine's). Every other object
    // must stay level.
    const auto besideCachedDCs = [](const ProcessResources& r) {
        return r.gdiObjects - 3 * r.deviceContexts;
    };
    EXPECT_LE(besideCachedDCs(end), besideCachedDCs(start) + 6);
    EXPECT_LE(end.deviceContexts, start.deviceContexts + 32);
    EXPECT_LE(end.userObjects, start.userObjects);
    EXPECT_LE(end.committedBytes, start.committedBytes + 2 * 1024 * 1024);
    EXPECT_LE(end.committedBytes, middle.committedBytes + 1024 * 1024);

    // The settings file holds each key once, with the window's state.
    const std::string plain = UnscrambleSettings(program_ / "config.bin");
    std::smatch m;
    const std::regex valid("\\[INIT\\]\\r\\nALWAYSONTOP=([01])\\r\\nMAKEWRITE=([01])\\r\\n"
                           "ForeColor=(\\d+)\\r\\nBackColor=(\\d+)\\r\\n");
    ASSERT_TRUE(std::regex_match(plain, m, valid)) << plain;
    EXPECT_EQ(m[1] == "1", TopMost());
    EXPECT_EQ(m[2] == "1", ReadOnly());
    EXPECT_EQ(std::stoul(m[3]), foreColor_);
    EXPECT_EQ(std::stoul(m[4]), backColor_);
    ExpectCleanExit(program_);
}
