// Bad input from every side: a command line, a settings file or a placement
// key that is missing, damaged, hand-made, huge or out of reach. The program
// gives its own message where it has one, otherwise its quiet default; it
// stays up and answering, ends cleanly, and leaves the user's files as they
// were.
#include "text/LongDirFix.h"
#include "app/resource.h"
#include "common/Handles.h"
#include "common/NumberFormat.h"
#include "tests/e2e/BadInput.h"
#include "tests/support/ReadOnlyFolder.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <random>

using namespace quorvel;
using namespace quorvel::test;
using namespace std::string_literals;

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Calls `visit(path, relative name, is a folder)` for everything under
// `folder`, a folder after its contents, past 260 characters too.
using TreeVisit = std::function<void(const std::wstring&, const std::string&, bool)>;
void WalkTree(const std::wstring& folder, const std::string& relative, const TreeVisit& visit) {
    WIN32_FIND_DATAW fd{};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &fd);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &fd)) {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::string rel = (relative.empty() ? "" : relative + "\\") + AnsiFromWide(name);
        const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder)
            WalkTree(folder + L"\\" + name, rel, visit);
        visit(folder + L"\\" + name, rel, isFolder);
    }
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
}

std::wstring LongPath(const std::string& path) { return L"\\\\?\\" + WideFromAnsi(path); }

// Every file and folder under `root`, by relative name, with its bytes.
using Snapshot = std::map<std::string, std::string>;
Snapshot TakeSnapshot(const std::string& root) {
    Snapshot s;
    WalkTree(LongPath(root), "", [&](const std::wstring& path, const std::string& rel, bool dir) {
        s[dir ? rel + "\\" : rel] = dir ? "" : ReadFileBytes(AnsiFromWide(path));
    });
    return s;
}

// A file of the user's, in a folder of its own when its name has one.
std::string File(const std::string& docs, const std::string& name, const std::string& bytes) {
    if (const auto slash = name.find('\\'); slash != std::string::npos)
        ::CreateDirectoryA((docs + "\\" + name.substr(0, slash)).c_str(), nullptr);
    WriteFileBytes(docs + "\\" + name, bytes);
    return docs + "\\" + name;
}

// A file deeper than 260 characters, made through the \\?\ form; handed
// over as a plain path, as the shell and typing do.
std::string FileBeyond260(const std::string& docs) {
    std::string folder = docs;
    while (folder.size() < 300) {
        folder += "\\a-rather-long-folder-name";
        ::CreateDirectoryW(LongPath(folder).c_str(), nullptr);
    }
    WriteFileBytes("\\\\?\\" + folder + "\\file_id.nfo", "long\r\n");
    return folder + "\\file_id.nfo";
}

// The caption's character budget at start-up: the designed window width in
// twips / 150, halves to even.
std::int16_t CaptionMax() {
    const double widthTw = DesignedWindowSize().cx * 1440.0 / ScreenDpi();
    return static_cast<std::int16_t>(std::nearbyint(widthTw / 150));
}

// A settings file with these keys, scrambled as the program stores it.
std::string Init(const std::string& keys) {
    TempFolder folder("cipher");
    WriteScrambledSettings(folder / "config.bin", "[INIT]\r\n" + keys);
    return ReadFileBytes(folder / "config.bin");
}

std::string Noise(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(rng() & 0xFF);
    return bytes;
}

int Px(double twips) { return static_cast<int>(std::lround(twips * ScreenDpi() / 1440.0)); }
double Tw(int pixels) { return pixels * 1440.0 / ScreenDpi(); }

constexpr char kNotFound[] = "File Not Found";

struct CommandLineRow {
    std::string input;
    std::function<std::string(const std::string& docs)> arrange; // files; the argument string
    const char* message; // the program's own message, or none
    std::string text;    // what the text box then shows
    bool lockFile = false;   // held open by another process, unshared
    double limitSeconds = 0; // when timed: the most it may take to show and answer
};

// What the stored settings change in the window, as seen from outside.
struct Looks {
    bool topMost = false;
    int alpha = -1; // not translucent
    bool readOnly = true;
    COLORREF back = RGB(255, 255, 255);
    bool operator==(const Looks&) const = default;
};
constexpr Looks kDefaults{};

// A read-only settings file or program folder: the commands still change
// the window, and storing them fails quietly.
enum class Lock { None, File, Folder };

struct SettingsRow {
    const char* input;
    std::optional<std::string> stored; // config.bin's bytes; none: no file
    Looks looks;
    Lock lock = Lock::None;
};

struct Placement {
    double left, top, width, height; // twips
};
constexpr double kCentred = std::numeric_limits<double>::quiet_NaN(); // as left and top
constexpr double kDefaultWidth = 8355, kDefaultHeight = 6855;

struct PlacementRow {
    std::string input;
    Placement stored;
    Placement expected;
    std::function<void(const PlacementKey&)> change = [](const PlacementKey&) {};
};

class BadInputTest : public ::testing::Test {
protected:
    // Past 260 characters, where the temporary folder's own removal fails.
    ~BadInputTest() override {
        WalkTree(LongPath(docs_.path()), "", [](const std::wstring& p, auto&, bool dir) {
            dir ? ::RemoveDirectoryW(p.c_str()) : ::DeleteFileW(p.c_str());
        });
    }

    // The start as a user meets it: the program's message box with
    // `message` first (pressed away), or none at all; then the main window,
    // shown, on a screen and answering within `answerMs`.
    void ExpectMessageThenWindow(const std::string& message, DWORD timeoutMs = 30000,
                                 DWORD answerMs = 5000) {
        if (!message.empty()) {
            HWND box = program_.WaitDialog("Error", timeoutMs);
            ASSERT_NE(box, nullptr) << "no message box";
            EXPECT_EQ(MessageBoxText(box), message);
            PressButton(box, IDOK);
        }
        HWND main = program_.WaitMainWindow(timeoutMs);
        ASSERT_NE(main, nullptr) << "no main window";
        if (message.empty()) {
            EXPECT_EQ(FindProcessWindow(program_.pid(), "#32770"), nullptr) << "a message shown";
        }
        EXPECT_TRUE(::IsWindowVisible(main));
        EXPECT_NE(::MonitorFromWindow(main, MONITOR_DEFAULTTONULL), nullptr) << "off every screen";
        EXPECT_TRUE(program_.Responds(answerMs));
    }

    void Check(const CommandLineRow& row) {
        SCOPED_TRACE(row.input);
        const std::string arguments = row.arrange(docs_.path());
        const Snapshot before = TakeSnapshot(docs_.path());
        UniqueHfile lock;
        if (row.lockFile) {
            lock.reset(::CreateFileA(arguments.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(lock) << "the test cannot hold " << arguments;
        }
        const auto start = std::chrono::steady_clock::now();
        const DWORD waitMs = static_cast<DWORD>(std::max(30.0, row.limitSeconds) * 1000);
        ASSERT_TRUE(program_.Start(arguments));
        ExpectMessageThenWindow(row.message ? row.message : "", waitMs,
                                row.limitSeconds > 0 ? waitMs : 5000);
        if (row.limitSeconds > 0) {
            const double seconds = SecondsSince(start);
            std::printf("%s: shown and answering after %.2f s\n", row.input.c_str(), seconds);
            EXPECT_LT(seconds, row.limitSeconds);
        }
        EXPECT_EQ(program_.Caption(),
                  arguments.empty() ? "Quorvel"
                                    : "Quorvel - " + LongDirFix(arguments, CaptionMax()));
        EXPECT_EQ(program_.Text(), row.text);
        ExpectCleanExit(program_);
        lock.reset();
        EXPECT_EQ(TakeSnapshot(docs_.path()), before);
        EXPECT_EQ(ListFolder(program_.folder()), std::vector<std::string>{"Quorvel.exe"});
    }

    // The background is read from the screen, so once painted, and only
    // while the window is opaque.
    void ExpectLooks(const Looks& expected) {
        HWND main = program_.mainWindow(), box = program_.textBox();
        Looks seen;
        WaitUntilQuiet([&] {
            seen.topMost = (::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            BYTE alpha = 0;
            DWORD flags = 0;
            const bool layered = (::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_LAYERED) &&
                                 ::GetLayeredWindowAttributes(main, nullptr, &alpha, &flags);
            seen.alpha = layered && (flags & LWA_ALPHA) ? alpha : -1;
            seen.readOnly = (::GetWindowLongA(box, GWL_STYLE) & ES_READONLY) != 0;
            RECT rc{};
            ::GetClientRect(box, &rc);
            POINT centre{rc.right / 2, rc.bottom / 2};
            ::ClientToScreen(box, &centre);
            HDC dc = ::GetDC(nullptr);
            seen.back = seen.alpha < 0 ? ::GetPixel(dc, centre.x, centre.y) : expected.back;
            ::ReleaseDC(nullptr, dc);
            return seen == expected;
        }, 5000);
        EXPECT_EQ(seen.topMost, expected.topMost);
        EXPECT_EQ(seen.alpha, expected.alpha);
        EXPECT_EQ(seen.readOnly, expected.readOnly);
        EXPECT_EQ(seen.back, expected.back);
    }

    void Check(const SettingsRow& row) {
        SCOPED_TRACE(row.input);
        const std::string config = program_ / "config.bin";
        ::SetFileAttributesA(config.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(config.c_str());
        if (row.stored)
            WriteFileBytes(config, *row.stored);
        if (row.lock == Lock::File) {
            ASSERT_TRUE(::SetFileAttributesA(config.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        Snapshot before = TakeSnapshot(program_.folder());
        std::optional<ReadOnlyFolder> readOnly;
        if (row.lock == Lock::Folder) {
            readOnly.emplace(program_.folder());
            ASSERT_TRUE(readOnly->refusesWrites()) << "the folder could not be made read-only";
        }
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(program_.Start(""));
        ExpectMessageThenWindow("");
        EXPECT_LT(SecondsSince(start), 20.0);
        EXPECT_EQ(program_.Caption(), "Quorvel");
        ExpectLooks(row.looks);
        if (row.lock != Lock::None) {
            ASSERT_TRUE(program_.SendCommand(IDM_mnuMakeWrite));
            ASSERT_TRUE(program_.SendCommand(IDM_mnuOnTop));
            ExpectLooks({!row.looks.topMost, row.looks.alpha, !row.looks.readOnly, row.looks.back});
            EXPECT_EQ(FindProcessWindow(program_.pid(), "#32770"), nullptr) << "a message shown";
        }
        ExpectCleanExit(program_);
        Snapshot after = TakeSnapshot(program_.folder());
        // A writable settings file in a read-only folder is written in place.
        if (row.lock == Lock::Folder && row.stored && after.count("config.bin"))
            after["config.bin"] = before["config.bin"];
        EXPECT_EQ(after, before);
        if (row.lock == Lock::File) {
            EXPECT_TRUE(::GetFileAttributesA(config.c_str()) & FILE_ATTRIBUTE_READONLY);
        }
    }

    void Check(const PlacementRow& row) {
        SCOPED_TRACE(row.input);
        placement_.Clear();
        placement_.SetDword("MainLeft", static_cast<std::int32_t>(row.stored.left));
        placement_.SetDword("MainTop", static_cast<std::int32_t>(row.stored.top));
        placement_.SetDword("MainWidth", static_cast<std::int32_t>(row.stored.width));
        placement_.SetDword("MainHeight", static_cast<std::int32_t>(row.stored.height));
        row.change(placement_);
        ASSERT_TRUE(program_.Start(""));
        ExpectMessageThenWindow("");
        // Centred: as far from the left edge as from the right, and from
        // the top as from the bottom, but for a pixel of rounding.
        const Placement& want = row.expected;
        const int width = Px(want.width), height = Px(want.height);
        const bool centre = std::isnan(want.left);
        const int left = centre ? (::GetSystemMetrics(SM_CXSCREEN) - width) / 2 : Px(want.left);
        const int top = centre ? (::GetSystemMetrics(SM_CYSCREEN) - height) / 2 : Px(want.top);
        const RECT rc = program_.WindowRect();
        EXPECT_NEAR(rc.left, left, centre ? 1 : 0);
        EXPECT_NEAR(rc.top, top, centre ? 1 : 0);
        EXPECT_EQ(rc.right - rc.left, width);
        EXPECT_EQ(rc.bottom - rc.top, height);
        ExpectCleanExit(program_);
    }

    PlacementKey placement_;
    ProgramUnderTest program_;
    TempFolder docs_{"docs"};
};

} // namespace

TEST_F(BadInputTest, CommandLines) {
    // Wine wraps one long line in time that grows with the square of its
    // length: 64 KB takes seconds; scripts/soak --one-line times 1 MB.
    char kb[16] = {};
    const bool longLine = ::GetEnvironmentVariableA("QUORVEL_ONE_LINE_KB", kb, sizeof kb) > 0;
    const std::size_t lineKb = longLine ? std::strtoul(kb, nullptr, 10) : 64;
    std::string line, artLine = "\xBA", art;
    for (int i = 0; line.size() < lineKb * 1024; ++i)
        line += static_cast<char>('!' + i % 90);
    for (int i = 0; i < 76; ++i)
        artLine += "\xB0\xB1\xB2\xDB"[i % 4];
    while (art.size() < 10u * 1024 * 1024)
        art += artLine + "\xBA\r\n"; // 80 columns of box art, as release NFOs are drawn
    const CommandLineRow rows[] = {
        {"empty", [](auto&) { return ""s; }, nullptr, ""},
        {"missing file", [](auto& d) { return d + "\\missing.nfo"; }, kNotFound, ""},
        {"a folder",
         [](auto& d) {
             ::CreateDirectoryA((d + "\\folder.nfo").c_str(), nullptr);
             return d + "\\folder.nfo";
         },
         kNotFound, ""},
        {"a file locked by another process without sharing",
         [](auto& d) { return File(d, "locked.nfo", "locked\r\n"); }, kNotFound, "", true},
        {"a path with blanks in double quotes",
         [](auto& d) { return "\"" + File(d, "quoted name.nfo", "q\r\n") + "\""; }, kNotFound, ""},
        {"a URL of the program's own protocol", [](auto&) { return "Quorvel:something"s; },
         kNotFound, ""},
        {"a URL with a path", [](auto&) { return "quorvel://release/file_id.nfo"s; }, kNotFound,
         ""},
        {"a 32 KB command line",
         [](auto& d) { return d + "\\" + std::string(32000 - d.size() - 120, 'x') + ".nfo"; },
         kNotFound, ""},
        {"a path of more than 260 characters", FileBeyond260, kNotFound, ""},
        {"a 0-byte file", [](auto& d) { return File(d, "empty.nfo", ""); }, nullptr, ""},
        {"a binary file with NUL bytes",
         [](auto& d) { return File(d, "binary.nfo", "head\0mid\0\0tail\r\nmore\x01\xFF"s); },
         nullptr, "head mid  tail\r\nmore\x01\xFF\r\n"},
        {"a path with blanks, unquoted",
         [](auto& d) { return File(d, "My Files\\release info.nfo", "\xC9\xCD\xBB\r\n"); },
         nullptr, "\xC9\xCD\xBB\r\n"},
        {"a path with accented letters of code page 1252",
         [](auto& d) {
             return File(d, "D\xE9j\xE0 vu\\Caf\xE9 \xC0 la cr\xE8me.nfo", "\xDB\xB2\xB1\xB0\r\n");
         },
         nullptr, "\xDB\xB2\xB1\xB0\r\n"},
        {"a 10 MB NFO", [&](auto& d) { return File(d, "big.nfo", art); }, nullptr, art, false, 60},
        {std::to_string(lineKb) + " KB without a line break",
         [&](auto& d) { return File(d, "oneline.nfo", line); }, nullptr, line + "\r\n", false,
         longLine ? 3600.0 : 30.0},
    };
    for (const auto& row : rows)
        Check(row);
}

TEST_F(BadInputTest, SettingsFiles) {
    const std::string keys = "ALWAYSONTOP=1\r\nMAKEWRITE=0\r\nBackColor=65280\r\n";
    const Looks writable{false, -1, false, RGB(255, 255, 255)};
    const SettingsRow rows[] = {
        {"absent", std::nullopt, kDefaults},
        {"0 bytes", "", kDefaults},
        {"plain text written by hand", "[INIT]\r\n" + keys, kDefaults},
        {"random bytes", Noise(300, 1), kDefaults},
        {"1 MB of noise", Noise(1 << 20, 2), kDefaults},
        {"every key with an empty value",
         Init("ALWAYSONTOP=\r\nTRANSPATENCY=\r\nFGCOLOR=\r\nBGCOLOR=\r\nADDFILEASS=\r\n"
              "ADDURLPROT=\r\nMAKEWRITE=\r\nForeColor=\r\nBackColor=\r\n"),
         kDefaults},
        {"truncated in the section header", Init(keys).substr(0, 4), kDefaults},
        // The cipher works byte by byte: the keys before a cut still count,
        // and the cut value as far as it goes (65280 cut to 652).
        {"truncated in a value", Init(keys).substr(0, 8 + keys.find("65280") + 3),
         {true, -1, false, 652}},
        // Out of every range: not on top, not translucent, colour kept,
        // read-only (not 0).
        {"huge numbers",
         Init("ALWAYSONTOP=99999999999999999999\r\nTRANSPATENCY=99999999999\r\n"
              "MAKEWRITE=99999999999999999999\r\nBackColor=99999999999\r\n"),
         kDefaults},
        // -1 is neither 1 nor a level nor a colour; -0 equals 0: writable.
        {"negative numbers",
         Init("ALWAYSONTOP=-1\r\nTRANSPATENCY=-1\r\nMAKEWRITE=-0\r\nBackColor=-1\r\n"), writable},
        {"1e308",
         Init("ALWAYSONTOP=1e308\r\nTRANSPATENCY=1e308\r\nMAKEWRITE=1e308\r\nBackColor=1e308\r\n"),
         kDefaults},
        {"numbers with an exponent that fit",
         Init("ALWAYSONTOP=1e0\r\nTRANSPATENCY=2e2\r\nMAKEWRITE=0e5\r\n"),
         {true, 200, false, RGB(255, 255, 255)}},
        {"&HFF", Init("ALWAYSONTOP=&H1\r\nMAKEWRITE=&H0\r\nBackColor=&HFF\r\n"),
         {true, -1, false, RGB(255, 0, 0)}},
        {"the locale's thousands separator",
         Init("ALWAYSONTOP=1,000\r\nTRANSPATENCY=1,000\r\nBackColor=65,280\r\n"),
         {false, -1, true, RGB(0, 255, 0)}},
        {"a read-only file", Init("ALWAYSONTOP=0\r\nMAKEWRITE=1\r\n"), kDefaults, Lock::File},
        // Stored settings are still read: the private copy goes to the
        // user's temporary folder.
        {"a read-only program folder", std::nullopt, kDefaults, Lock::Folder},
        {"a read-only program folder with settings", Init("ALWAYSONTOP=1\r\nMAKEWRITE=0\r\n"),
         {true, -1, false, RGB(255, 255, 255)}, Lock::Folder},
    };
    for (const auto& row : rows)
        Check(row);
}

TEST_F(BadInputTest, PlacementKeys) {
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
    const Placement good{1500, 900, 9000, 6000}, centred{kCentred, kCentred, 9000, 6000};
    const Placement partlyOff{Tw(screenW - 100), Tw(-200), 9000, 6000};
    std::vector<PlacementRow> rows = {
        {"far right and below", {2e9, 2e9, 9000, 6000}, centred},
        {"far left and above", {-2e9, -2e9, 9000, 6000}, centred},
        {"the extremes of the type", good, centred,
         [](auto& k) {
             k.SetDword("MainLeft", INT_MAX);
             k.SetDword("MainTop", INT_MIN);
         }},
        {"one pixel right of the screen", {Tw(screenW + 1), 900, 9000, 6000}, centred},
        {"just below the screen", {1500, Tw(screenH + 1), 9000, 6000}, centred},
        {"as text, far off", good, centred, [](auto& k) { k.SetString("MainLeft", "1E+9"); }},
        // A window that still shows a part of itself stays where it was put.
        {"partly off the screen", partlyOff, partlyOff},
        {"width 0", {1500, 900, 0, 6000}, {1500, 900, kDefaultWidth, 6000}},
        {"height 0", {1500, 900, 9000, 0}, {1500, 900, 9000, kDefaultHeight}},
        {"both negative", {1500, 900, -9000, -6000}, {1500, 900, kDefaultWidth, kDefaultHeight}},
        {"the most negative width", {1500, 900, INT_MIN, 6000}, {1500, 900, kDefaultWidth, 6000}},
        {"negative width as text", good, {1500, 900, kDefaultWidth, 6000},
         [](auto& k) { k.SetString("MainWidth", "-15"); }},
    };
    // Each value in turn of a wrong type, the other three good. Left or top
    // missing counts as 0; only both at 0 centre the window.
    const char* names[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    const double missing[] = {0, 0, kDefaultWidth, kDefaultHeight};
    const std::pair<DWORD, std::string> kinds[] = {
        {REG_SZ, std::string("wide\0", 5)},
        {REG_BINARY, std::string("\xB0\x04\0\0", 4)}, // 1200
        {REG_QWORD, std::string("\xB0\x04\0\0\0\0\0\0", 8)},
        {REG_MULTI_SZ, std::string("1200\0\0", 6)}};
    for (int which = 0; which < 4; ++which) {
        double p[] = {good.left, good.top, good.width, good.height};
        p[which] = missing[which];
        for (const auto& [type, bytes] : kinds)
            rows.push_back({std::string(names[which]) + " of type " + std::to_string(type), good,
                            {p[0], p[1], p[2], p[3]},
                            [&, which](auto& k) { k.SetValue(names[which], type, bytes); }});
    }
    for (const auto& row : rows)
        Check(row);
}
