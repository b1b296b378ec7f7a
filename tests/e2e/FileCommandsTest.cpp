// The main window, Open NFO, Save NFO and the Edit menu as a user meets
// them: the real window and Open dialog, real files, the real clipboard.
#include "tests/e2e/WindowHarness.h"
#include "tests/support/ReadOnlyFolder.h"

#include <functional>
#include <thread>

using namespace quorvel;
using namespace quorvel::test;
using namespace std::string_literals;

namespace {

const std::string kCannotSave = "Unknown Error, Cannot Save File!",
                  kHoldsNul = "This file holds NUL bytes, which the text box shows as blanks. Saving would "
                              "change them, so the file was not saved.",
                  kUnread = "This file could not be read when it was opened, so the text box does not "
                            "hold its text. Saving would replace it, so the file was not saved.";

class FileCommandsTest : public ::testing::Test {
protected:
    void Open(const std::string& path) { ASSERT_TRUE(window_.OpenThroughDialog(path)); }
    std::string OpenFailing(const std::string& path) { // the message shown
        return window_.Answer("Error", IDOK, [&] { Open(path); });
    }
    // Save: the message shown ("" when none), then the file's bytes.
    std::string Save(const std::string& file) {
        const std::string message = window_.Answer("Error", IDOK, [&] { window_.Command(IDM_mnuSave); });
        return message + "|" + ReadFileBytes(file);
    }
    std::string SaveText(const std::string& typed, const std::string& file) { // as if typed
        window_.SetLocked(false);
        ::SetWindowTextW(window_.txtnfo(), Wide(typed).c_str());
        return Save(file);
    }
    void PressKey(WPARAM key) {
        ::PostMessageW(window_.txtnfo(), WM_KEYDOWN, key, 1);
        ::PostMessageW(window_.txtnfo(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        window_.Pump();
    }

    PlacementKey placement_;
    WindowUnderTest window_;
    TempFolder docs_{"docs"};
};

class MainWindowTest : public FileCommandsTest {
protected:
    void SetUp() override { ASSERT_TRUE(window_.Start()); }
};

// The clipboard's Unicode text, as other programs paste it, in UTF-8.
std::string ClipboardText() {
    if (!WaitUntilQuiet([] { return ::OpenClipboard(nullptr) != 0; }, 5000)) // shared
        return "<clipboard busy>";
    HANDLE memory = ::GetClipboardData(CF_UNICODETEXT);
    const std::string text = memory ? Utf8(static_cast<const wchar_t*>(::GlobalLock(memory))) : "";
    ::GlobalUnlock(memory);
    ::CloseClipboard();
    return text;
}

// The locale's general date form of now (the date alone at midnight).
std::string NowText() {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    char date[64] = {}, time[64] = {};
    ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    if (st.wHour == 0 && st.wMinute == 0 && st.wSecond == 0)
        return date;
    ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

} // namespace

TEST_F(FileCommandsTest, SaveRefusesWhatItMustNotWrite) {
    ASSERT_TRUE(window_.Start());
    EXPECT_EQ(SaveText("x\r\n", docs_ / "a.nfo"), kCannotSave + "|") << "before any Open";

    const std::string file = docs_ / "a.nfo";
    WriteFileBytes(file, "a\r\n");
    Open(file);
    window_.SetLocked(true);
    ::SetWindowTextA(window_.txtnfo(), "b\r\n");
    EXPECT_FALSE(window_.MenuEnabled(IDM_mnuSave));
    EXPECT_EQ(Save(file), "|a\r\n") << "while read-only";

    const std::string binary = docs_ / "binary.nfo";
    WriteFileBytes(binary, "head\0mid\0\0tail\r\n"s);
    Open(binary);
    EXPECT_EQ(window_.Text(), "head mid  tail\r\n");
    EXPECT_EQ(SaveText("head mid  tail\r\n", binary), kHoldsNul + "|head\0mid\0\0tail\r\n"s);

    Open(file); // a character code page 437 has not, typed into a CP437 file
    EXPECT_EQ(SaveText("a\r\n5 €\r\n", file), "This file is saved in code page 437, which has no \"€\" "
                                              "(U+20AC) (line 2). The file was not saved.|a\r\n");

    Open(file); // a read-only file: the failed save keeps the old bytes
    ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(SaveText("replacement\r\n", file), kCannotSave + "|a\r\n");
    ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ListFolder(docs_.path()), (std::vector<std::string>{"a.nfo", "binary.nfo"}));

    Open(file); // a cancelled Open empties the text and leaves no file to save over
    window_.Answer("Open", IDCANCEL, [&] { window_.Command(IDM_mnuOpen); });
    EXPECT_EQ(window_.Text(), "");
    EXPECT_EQ(SaveText("x\r\n", file), kCannotSave + "|a\r\n");
}

TEST_F(FileCommandsTest, AFileWhoseLoadFailedIsNeverSavedOver) {
    const std::string file = docs_ / "held.nfo";
    WriteFileBytes(file, "precious\r\n");
    {
        const UniqueHfile held(::CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0));
        ASSERT_TRUE(held); // held without sharing at start-up
        EXPECT_EQ(window_.Answer("Error", IDOK, [&] { ASSERT_TRUE(window_.Start(file)); }),
                  "File Not Found");
    }
    EXPECT_EQ(SaveText("typed\r\n", file), kUnread + "|precious\r\n");

    WriteFileBytes(docs_ / "other.nfo", "other\r\n");
    Open(docs_ / "other.nfo");
    {
        const UniqueHfile held(::CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, 0));
        EXPECT_EQ(OpenFailing(file), "File Not Found");
    }
    EXPECT_EQ(window_.Caption(), "Quorvel - " + file) << "names the file all the same";
    EXPECT_EQ(SaveText("typed\r\n", file), kUnread + "|precious\r\n");

    // A path that does not exist is no failed load: Save creates it.
    EXPECT_EQ(OpenFailing(docs_ / "fresh.nfo"), "File Not Found");
    EXPECT_EQ(SaveText("new\r\n", docs_ / "fresh.nfo"), "|new\r\n");
}

TEST_F(FileCommandsTest, ASavedFileKeepsItsAttributesLinksAndFolder) {
    ASSERT_TRUE(window_.Start());
    const std::string hidden = docs_ / "hidden.nfo";
    WriteFileBytes(hidden, "a\r\n");
    ASSERT_TRUE(::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    Open(hidden);
    EXPECT_EQ(SaveText("b\r\n", hidden), "|b\r\n");
    EXPECT_TRUE(::GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ListFolder(docs_.path()), std::vector<std::string>{"hidden.nfo"});

    const std::string first = docs_ / "first.nfo", second = docs_ / "second.nfo";
    WriteFileBytes(first, "one\r\n");
    ASSERT_TRUE(::CreateHardLinkA(second.c_str(), first.c_str(), nullptr));
    Open(second);
    EXPECT_EQ(SaveText("two\r\n", first), "|two\r\n");
    EXPECT_EQ(ReadFileBytes(second), "two\r\n");

    const std::string target = docs_ / "target.nfo", link = docs_ / "link.nfo";
    WriteFileBytes(target, "t\r\n");
    ASSERT_TRUE(RunOnHost("ln -s '" + HostPath(target) + "' '" + HostPath(link) + "'"));
    Open(link);
    EXPECT_EQ(SaveText("through\r\n", target), "|through\r\n");
    EXPECT_TRUE(RunOnHost("test -L '" + HostPath(link) + "'")) << "the link was replaced";

    const std::string folder = docs_ / "locked", inLocked = folder + "\\in.nfo";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileBytes(inLocked, "before\r\n");
    Open(inLocked);
    ReadOnlyFolder readOnly(folder);
    ASSERT_TRUE(readOnly.refusesWrites());
    EXPECT_EQ(SaveText("after ██\r\n", inLocked), "|after \xDB\xDB\r\n");
}

TEST_F(MainWindowTest, TheTextChangesOnlyWhileWritableButTheDateGoesInLockedOrNot) {
    // Art goes to other programs as the characters it shows (the clipboard's
    // Unicode text), and comes back from them so.
    ::SetWindowTextW(window_.txtnfo(), L"abc\r\n\u2554\u2550\u2557\r\n");
    const struct {
        bool locked;
        int start, end;
        UINT command; // 0: the Del key
        const char *text, *clipboard;
    } steps[] = {{false, 5, 8, IDM_mnuCopy, "abc\r\n╔═╗\r\n", "╔═╗"},
                 {true, 0, 3, IDM_mnuPaste, "abc\r\n╔═╗\r\n", "╔═╗"},
                 {true, 5, 8, IDM_mnuDelete, "abc\r\n╔═╗\r\n", "╔═╗"},
                 {true, 5, 8, 0, "abc\r\n╔═╗\r\n", "╔═╗"},
                 {true, 0, 5, IDM_mnuCut, "abc\r\n╔═╗\r\n", "abc\r\n"}, // copies only
                 {false, 5, 8, IDM_mnuCut, "abc\r\n\r\n", "╔═╗"},
                 {false, 0, 0, IDM_mnuUndo, "abc\r\n╔═╗\r\n", "╔═╗"},
                 {false, 0, 3, IDM_mnuPaste, "╔═╗\r\n╔═╗\r\n", "╔═╗"},
                 {false, 0, 3, 0, "\r\n╔═╗\r\n", "╔═╗"}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.text);
        window_.SetLocked(s.locked);
        window_.Select(s.start, s.end);
        s.command ? window_.Command(s.command) : PressKey(VK_DELETE);
        EXPECT_EQ(window_.Text() + "|" + ClipboardText(), s.text + "|"s + s.clipboard);
    }
    window_.Command(IDM_mnuSelAll);
    EXPECT_EQ(window_.Selection(), std::make_pair(0, 7));
    // F5 replaces the selection with the time and date, locked or not.
    for (const bool locked : {true, false}) {
        window_.SetLocked(locked);
        ::SetWindowTextA(window_.txtnfo(), "Hello World!");
        window_.Select(6, 11);
        const std::string before = NowText();
        PressKey(VK_F5);
        const std::string got = window_.Text(), after = NowText();
        EXPECT_TRUE(got == "Hello " + before + "!" || got == "Hello " + after + "!") << got;
        EXPECT_EQ(window_.MenuEnabled(IDM_mnuSave), !locked);
    }
}

TEST_F(MainWindowTest, MiddleButtonPopsUpTheFileMenu) {
    std::atomic<HMENU> shown{nullptr};
    HWND main = window_.hwnd();
    std::thread watcher([&] {
        HWND popup = nullptr;
        const DWORD pid = ::GetCurrentProcessId();
        if (WaitUntilQuiet([&] { return (popup = FindProcessWindow(pid, "#32768")) != nullptr; }))
            shown = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
        ::PostMessageW(main, WM_CANCELMODE, 0, 0);
        ::PostMessageW(popup ? popup : main, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    ::SendMessageW(window_.txtnfo(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(20, 20));
    watcher.join();
    window_.Pump();
    EXPECT_EQ(shown.load(), ::GetSubMenu(window_.frm().menu(), 0));
}

// The text box fills the window at any size; F1 (Exit) ends without storing
// where the window is, as the close box does (PlacementTest).
TEST_F(MainWindowTest, TheBoxFillsTheWindowAndOnlyTheCloseBoxStoresThePlacement) {
    ::SetWindowPos(window_.hwnd(), nullptr, 33, 44, 500, 400, SWP_NOZORDER);
    window_.Pump();
    RECT client{}, box{};
    ::GetClientRect(window_.hwnd(), &client);
    ::GetWindowRect(window_.txtnfo(), &box);
    ::MapWindowPoints(nullptr, window_.hwnd(), reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ((std::vector<LONG>{box.left, box.top, box.right, box.bottom}),
              (std::vector<LONG>{0, 0, client.right, client.bottom}));
    PressKey(VK_F1);
    EXPECT_FALSE(::IsWindow(window_.hwnd()));
    EXPECT_FALSE(placement_.GetDword("MainLeft"));
}

// The menu as the user reads it at a first start, and each shortcut it shows
// reaching its item's command through the program's table (TranslateAccelerator,
// as the main window's message loop calls it, on a window that notes the command).
TEST_F(MainWindowTest, MenusReadAsDesignedAndEachShortcutReachesItsCommand) {
    static UINT noted = 0;
    HWND probe = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ::SetWindowLongPtrW(probe, GWLP_WNDPROC, LONG_PTR(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                            noted = m == WM_COMMAND ? LOWORD(w) : noted;
                            return ::DefWindowProcW(h, m, w, l);
                        }));
    const UniqueHaccel accel(::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCEL)));
    const auto reached = [&](const std::string& shortcut) { // "Ctrl+O", "F1", "Del"
        const bool ctrl = shortcut.starts_with("Ctrl+");
        const std::string key = shortcut.substr(ctrl ? 5 : 0);
        BYTE state[256] = {};
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        ::SetKeyboardState(state);
        const WPARAM vk = key == "Del" ? VK_DELETE : key.size() > 1 ? VK_F1 + std::stoi(key.substr(1)) - 1 : key[0];
        MSG msg{probe, WM_KEYDOWN, vk, 1, 0, {}};
        noted = 0;
        ::TranslateAcceleratorW(probe, accel.get(), &msg);
        return noted;
    };
    std::string tree;
    const std::function<void(HMENU, const std::string&)> walk = [&](HMENU menu, const std::string& indent) {
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
            const std::string item = text[0] ? Utf8(text) : "-";
            tree += indent + item + "|";
            if (const auto tab = item.find('\t'); tab != std::string::npos) {
                EXPECT_EQ(reached(item.substr(tab + 1)), ::GetMenuItemID(menu, i)) << item;
            }
            if (HMENU sub = ::GetSubMenu(menu, i))
                walk(sub, indent + ".");
        }
    };
    walk(window_.frm().menu(), "");
    EXPECT_EQ(tree, "File|.Open NFO\tCtrl+O|.Save NFO\tCtrl+S|.-|.Make Writable\tCtrl+R|.-|"
                    ".Set Color|..Set ForeColor\tCtrl+F|..Set BackColor\tCtrl+B|.Preferences|"
                    "..Set Always On Top (False)\tCtrl+F1|..Set TransParency Level\tCtrl+F2|"
                    "..Registry Settings|...Add File Association\tCtrl+F3|...Add URL Protocol\tCtrl+F4|"
                    ".-|.Exit\tF1|Edit|.Undo\tCtrl+Z|.-|.Cut\tCtrl+X|.Copy\tCtrl+C|.Paste\tCtrl+V|"
                    ".Delete\tDel|.-|.Goto LineNR...\tCtrl+G|.-|.Select All\tCtrl+A|"
                    ".Insert Time and Date\tF5|About|");
    // Keys the table does not hold; the last leaves Ctrl up.
    EXPECT_EQ((std::vector{reached("Ctrl+F5"), reached("F2"), reached("O")}), std::vector<UINT>(3));
    ::DestroyWindow(probe);
}
