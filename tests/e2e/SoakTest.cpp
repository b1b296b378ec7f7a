// Hard ends and long use of the running program: killed while saving or
// storing settings, then used long (QUORVEL_SOAK=1, scripts/soak: longer).
#include "common/TempNames.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/Cp437Cells.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <random>
#include <regex>

using namespace quorvel::test;
using namespace std::string_literals;

namespace {

int Rounds(int shortRun, int longRun) {
    const char* soak = std::getenv("QUORVEL_SOAK");
    return soak && soak[0] == '1' ? longRun : shortRun;
}

// The characters of these code page 437 bytes in the text box, as if typed.
void SetText(const ProgramUnderTest& program, const std::string& bytes) {
    ASSERT_TRUE(::SendMessageW(program.textBox(), WM_SETTEXT, 0, LPARAM(Cp437Wide(bytes).c_str())));
}

// About 96 KB of CR LF lines that differ from round to round.
std::string Document(int round) {
    std::string text;
    for (int line = 0; text.size() < 96 * 1024; ++line)
        text += "round " + std::to_string(round) + " line " + std::to_string(line) + "\xDB\r\n";
    return text;
}

// The object's path (kind 1) or type name (kind 2: "Key", "File", ...).
std::wstring ObjectText(HANDLE handle, int kind) {
    alignas(8) unsigned char buffer[4096] = {};
    const auto* text = reinterpret_cast<const UNICODE_STRING*>(buffer);
    if (NtQueryObject(handle, OBJECT_INFORMATION_CLASS(kind), buffer, sizeof buffer, nullptr) || !text->Buffer)
        return L"";
    return std::wstring(text->Buffer, text->Length / sizeof(wchar_t));
}

// What a running process holds, measured from outside it as Wine allows (its
// GetGuiResources and GetProcessHandleCount report nothing).
struct Resources {
    int handles = 0, gdiObjects = 0, deviceContexts = 0, windows = 0;
    std::size_t committedBytes = 0;
};

Resources Measure(const ProgramUnderTest& program, const char* when) {
    Resources r;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        HANDLE copy = nullptr;
        if (!::DuplicateHandle(program.process(), HANDLE(value), ::GetCurrentProcess(), &copy, 0,
                               FALSE, DUPLICATE_SAME_ACCESS))
            continue;
        // Wine's Open dialog keeps a handle to its LastVisitedMRU key per file
        // chosen. Only keys are asked for their path: asking a pipe can block.
        r.handles += ObjectText(copy, 2) != L"Key" || !ObjectText(copy, 1).ends_with(L"\\LastVisitedMRU");
        ::CloseHandle(copy);
    }
    // Wine's GDI table, which the process environment block points to: 65536
    // entries of 24 bytes, the object type at byte 14 (0: free, 1: a DC).
    PROCESS_BASIC_INFORMATION info{};
    void* table = nullptr;
    std::vector<unsigned char> gdi(0x10000 * 24);
    EXPECT_TRUE(!NtQueryInformationProcess(program.process(), ProcessBasicInformation, &info, sizeof info, nullptr) &&
        ::ReadProcessMemory(program.process(), reinterpret_cast<char*>(info.PebBaseAddress) + 0xF8,
                            &table, sizeof table, nullptr) &&
        ::ReadProcessMemory(program.process(), table, gdi.data(), gdi.size(), nullptr));
    for (std::size_t i = 14; i < gdi.size(); i += 24) {
        r.gdiObjects += gdi[i] != 0;
        r.deviceContexts += gdi[i] == 1;
    }
    std::pair<DWORD, int> owned{program.pid(), 0};
    ::EnumChildWindows(::GetDesktopWindow(), [](HWND hwnd, LPARAM counted) -> BOOL {
        auto& [pid, n] = *reinterpret_cast<std::pair<DWORD, int>*>(counted);
        DWORD owner = 0;
        return ::GetWindowThreadProcessId(hwnd, &owner), n += owner == pid, TRUE;
    }, LPARAM(&owned));
    r.windows = owned.second;
    PROCESS_MEMORY_COUNTERS pmc{};
    ::GetProcessMemoryInfo(program.process(), &pmc, sizeof pmc);
    r.committedBytes = pmc.PagefileUsage;
    std::printf("%s: %d handles, %d GDI objects (%d DCs), %d windows, %zu KB\n", when, r.handles,
                r.gdiObjects, r.deviceContexts, r.windows, r.committedBytes / 1024);
    return r;
}

} // namespace

// Kills the program at a random moment in a window that adapts to the
// machine's speed: wider after a kill that found the file as before, narrower
// after one that found it written, so both kinds come on a fast or a slow one.
class KillTest : public ::testing::Test {
protected:
    void KillSoon() {
        ::Sleep(rng_() % windowMs_); // the kill point, not a wait for a condition
        ::TerminateProcess(program_.process(), 9);
        ASSERT_TRUE(program_.WaitExit());
    }
    void Found(bool asBefore) {
        ++(asBefore ? asBefore_ : written_);
        windowMs_ = asBefore ? std::min(windowMs_ * 2, 5000u) : std::max(windowMs_ * 2 / 3, 2u);
    }

    const int rounds_ = Rounds(30, 150);
    PlacementKey placement_;
    ProgramUnderTest program_;
    std::mt19937 rng_{20261207};
    unsigned windowMs_ = 20;
    int asBefore_ = 0, written_ = 0;
};

TEST_F(KillTest, KilledWhileSavingLeavesTheOldOrTheNewFileAndTheNextSaveTidies) {
    TempFolder docs("docs");
    const std::string nfo = docs / "release.nfo";
    WriteFileBytes(nfo, Document(-1));
    WriteScrambledSettings(program_ / "config.bin", "[INIT]\r\nMAKEWRITE=0\r\n"); // writable
    for (int round = 0; round < rounds_; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string before = ReadFileBytes(nfo), after = Document(round);
        ASSERT_TRUE(program_.Show(nfo));
        ASSERT_NO_FATAL_FAILURE(SetText(program_, after));
        for (int i = 0; i < 5; ++i)
            program_.Command(IDM_mnuSave);
        ASSERT_NO_FATAL_FAILURE(KillSoon());
        const std::string now = ReadFileBytes(nfo);
        ASSERT_TRUE(now == before || now == after) << "neither: " << now.size() << " bytes";
        Found(now == before);
        for (const auto& name : ListFolder(docs.path())) // an unfinished copy may stay
            EXPECT_TRUE(name == "release.nfo" || name.rfind("~qv", 0) == 0) << name;
    }
    std::printf("%d kills while saving: %d kept the old bytes\n", rounds_, asBefore_);
    EXPECT_GT(asBefore_, 0) << "no kill came before a save ended";
    EXPECT_GT(written_, 0) << "no kill came after a save ended";

    // The next save removes the copies of ended programs (those the kills
    // left, one of the program killed last), not one of a running program
    // (this test) nor a user's look-alike file.
    const std::string live = quorvel::OwnTempName("~qv", ::GetCurrentProcessId(), 7);
    for (const std::string& name : {quorvel::OwnTempName("~qv", program_.pid(), 1), live,
                                    "~qv1-draft.tmp"s, "~qvuser-notes.tmp"s, "release.nfo"s})
        WriteFileBytes(docs / name, name);
    ASSERT_TRUE(program_.Show(nfo));
    ASSERT_TRUE(program_.SendCommand(IDM_mnuSave));
    EXPECT_EQ(ListFolder(docs.path()), (std::vector<std::string>{"release.nfo", live, "~qv1-draft.tmp",
                                                                 "~qvuser-notes.tmp"}));
    EXPECT_EQ(ReadFileBytes(nfo), "release.nfo\r\n");
}

TEST_F(KillTest, KilledWhileStoringSettingsKeepsEveryOtherKey) {
    const std::string config = program_ / "config.bin";
    const std::string others = "TRANSPATENCY=230\r\nForeColor=255\r\nBackColor=16777215\r\n";
    WriteScrambledSettings(config, "[INIT]\r\nALWAYSONTOP=0\r\nMAKEWRITE=1\r\n" + others);
    const std::regex valid("\\[INIT\\]\\r\\nALWAYSONTOP=[01]\\r\\nMAKEWRITE=[01]\\r\\n" + others);
    for (int round = 0; round < rounds_; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string before = ReadFileBytes(config);
        ASSERT_TRUE(program_.Show());
        for (const auto& name : ListFolder(program_.folder())) // the start removed the copies
            EXPECT_NE(name.rfind("~qc", 0), 0u) << name << ", left by the kill before";
        // Each key toggled an odd number of times: all the writes change the file.
        std::vector<UINT> commands(9, IDM_mnuOnTop);
        commands.resize(20, IDM_mnuMakeWrite);
        std::shuffle(commands.begin(), commands.end(), rng_);
        for (const UINT id : commands)
            program_.Command(id);
        ASSERT_NO_FATAL_FAILURE(KillSoon());
        EXPECT_TRUE(std::regex_match(UnscrambleSettings(config), valid));
        Found(ReadFileBytes(config) == before); // or written back as it was
    }
    std::printf("%d kills while storing settings: %d left the file as it was\n", rounds_, asBefore_);
    EXPECT_GT(written_, 0) << "no kill came after a write";
}

class SoakTest : public ::testing::Test {
protected:
    // One change of the kind `n` picks: a colour through its dialog, or a
    // preference the window shows at once.
    void Change(int n) {
        if (n % 10 >= 8) {
            const COLORREF colour = RGB((n * 37) % 256, (n * 11) % 256, (n * 5) % 256);
            program_.Command(n % 10 == 8 ? IDM_mnuFC : IDM_mnuBC);
            HWND dialog = program_.WaitDialog("Color");
            ASSERT_NE(dialog, nullptr);
            for (int i = 0; i < 3; ++i)
                ::SetDlgItemInt(dialog, 706 + i, (colour >> (8 * i)) & 0xFF, FALSE);
            PressButton(dialog, IDOK);
            ASSERT_TRUE(WaitUntilQuiet([&] { return !::IsWindow(dialog); }, 20000));
            colours_[n % 10 - 8] = colour;
            return;
        }
        const bool onTop = n % 2 == 0, before = onTop ? program_.TopMost() : program_.Locked();
        ASSERT_TRUE(program_.SendCommand(onTop ? IDM_mnuOnTop : IDM_mnuMakeWrite));
        ASSERT_NE(onTop ? program_.TopMost() : program_.Locked(), before) << "change " << n;
    }
    void OpenEditSave(int cycle) {
        const std::string file = docs_ / (cycle % 2 ? "Жж a.nfo" : "Ωμέγα b.nfo"); // beyond code page 1252
        const std::string text = "cycle " + std::to_string(cycle) + "\r\n\xDB\xDB\xB1\r\n";
        WriteFileBytes(file, "start\r\n");
        ASSERT_TRUE(program_.OpenThroughDialog(file));
        ASSERT_TRUE(WaitUntilQuiet([&] { return program_.Text() == "start\r\n"; }, 20000));
        ASSERT_TRUE(!program_.Locked() || program_.SendCommand(IDM_mnuMakeWrite));
        ASSERT_NO_FATAL_FAILURE(SetText(program_, text));
        ASSERT_TRUE(program_.SendCommand(IDM_mnuSave));
        ASSERT_EQ(ReadFileBytes(file), text) << "cycle " << cycle;
    }
    PlacementKey placement_;
    ProgramUnderTest program_;
    TempFolder docs_{"docs"};
    COLORREF colours_[2] = {}; // fore, back
};

TEST_F(SoakTest, LongUseHoldsNoMoreResourcesAndKeepsValidSettings) {
    const int changes = Rounds(200, 2000), cycles = Rounds(40, 200);
    ASSERT_TRUE(program_.Show());
    // A first round of everything: what the system keeps once loaded (under
    // Wine the colour dialogs' caches fill over the first twenty) is not growth.
    for (int n = 0; n < 40; ++n)
        ASSERT_NO_FATAL_FAILURE(Change(n < 10 ? n : n * 10 + 8 + n % 2));
    for (int c = 0; c < 10; ++c)
        ASSERT_NO_FATAL_FAILURE(OpenEditSave(-1 - c));
    const Resources start = Measure(program_, "after a first round");
    Resources middle;
    for (int n = 0, cycle = 0; n < changes; ++n) {
        ASSERT_NO_FATAL_FAILURE(Change(n));
        if ((n + 1) % (changes / cycles) == 0) {
            ASSERT_NO_FATAL_FAILURE(OpenEditSave(cycle++));
        }
        if (n + 1 == changes / 2)
            middle = Measure(program_, "half way");
    }
    const Resources end = Measure(program_, "at the end");
    // A leak of one object per colour change or per cycle adds 40 at the
    // least. Wine's colour dialog grows the cache of window DCs (a DC, a
    // region and a bitmap each) to the most a dialog held at once.
    const auto gdi = [](const Resources& r) { return r.gdiObjects - 3 * r.deviceContexts; };
    EXPECT_LE(end.handles, start.handles + 2);
    EXPECT_LE(gdi(end), gdi(start) + 6);
    EXPECT_LE(end.deviceContexts, start.deviceContexts + 32);
    EXPECT_LE(end.windows, start.windows);
    EXPECT_LE(end.committedBytes, start.committedBytes + 2 * 1024 * 1024);
    EXPECT_LE(end.committedBytes, middle.committedBytes + 1024 * 1024);

    // The settings file holds each key once, with the window's state.
    EXPECT_EQ(UnscrambleSettings(program_ / "config.bin"),
              "[INIT]\r\nALWAYSONTOP=" + std::to_string(program_.TopMost()) + "\r\nMAKEWRITE=" +
                  std::to_string(program_.Locked()) + "\r\nForeColor=" + std::to_string(colours_[0]) +
                  "\r\nBackColor=" + std::to_string(colours_[1]) + "\r\n");
    program_.Close();
    ASSERT_TRUE(program_.WaitExit());
    EXPECT_EQ(program_.ExitCode(), 0u);
}
