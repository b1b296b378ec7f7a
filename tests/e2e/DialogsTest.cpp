// The program's dialogs over the real main window: About, Goto Line and
// Transparency. A modal box is answered from a second thread.
#include "about/frmAbout.h"
#include "app/frmGotoLine.h"
#include "appearance/frmTransP.h"
#include "tests/e2e/WindowHarness.h"

#include <commctrl.h>
#include <sddl.h>

#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

class DialogTest : public ::testing::Test {
  protected:
    HWND Open(UINT command) {
        window_.Command(command);
        return dialog_ = command == IDM_mnuGoto ? window_.frm().gotoLineWindow() : window_.frm().transPWindow();
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
    void Click(int id) const { ::PostMessageW(Item(id), BM_CLICK, 0, 0); }
    // A tool dialog as the user sees it: its caption, whether it stays on
    // top, where it is, and whether the main window takes input meanwhile.
    std::string Shown(HWND dialog) const {
        RECT rc{}, main{};
        ::GetWindowRect(dialog, &rc);
        ::GetWindowRect(window_.hwnd(), &main);
        const bool centred = rc.left == (::GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2 &&
                             rc.top == (::GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2;
        return WindowText(dialog) + (TopMost(dialog) ? " topmost" : "") + (centred ? " centred" : "") +
               (rc.left == main.left && rc.top == main.top ? " on the main window's corner" : "") +
               (::IsWindowEnabled(window_.hwnd()) ? "" : " main window disabled");
    }
    // Opens About; `inside` runs on a helper thread while it is open, then OK.
    void WithAbout(const std::function<void(HWND)>& inside) {
        DialogDriver driver("About ", [&](HWND box) { inside(box), PressButton(box, IDOK); });
        window_.Command(IDM_mnuAbout);
        ASSERT_TRUE(driver.Finish()) << "the About box did not open";
    }
    // From `caret` in a fresh Goto dialog: a jump closes it with the caret at
    // `expected`; a refusal (-1) shows the message, keeps it, moves nothing.
    // Enter in the entry box does what the button does.
    void ExpectJump(const std::string& entry, int caret, int expected, bool byEnter = false) {
        SCOPED_TRACE("\"" + entry + "\" from " + std::to_string(caret));
        window_.Select(caret, caret);
        ASSERT_NE(Open(IDM_mnuGoto), nullptr);
        ::SetWindowTextA(Item(frmGotoLine::kTxtLineNr), entry.c_str());
        EXPECT_EQ(window_.Answer("Error", IDOK, [&] {
            byEnter ? void(::PostMessageW(Item(frmGotoLine::kTxtLineNr), WM_KEYDOWN, VK_RETURN, 1))
                    : Click(frmGotoLine::kCmdGoto);
        }), expected < 0 ? "Invalid Line Number!" : "");
        EXPECT_EQ(::IsWindow(dialog_) != FALSE, expected < 0);
        const int at = expected < 0 ? caret : expected;
        EXPECT_EQ(window_.Selection(), std::make_pair(at, at));
        ::DestroyWindow(dialog_);
    }
    // Moves the Transparency slider through `percents`, closes by Save or the
    // close box, answering a question with `answer`; the question asked.
    std::string MoveAndClose(const std::vector<int>& percents, bool bySave, int answer) {
        for (int percent : percents)
            ::SendMessageW(Item(frmTransP::kSlider), TBM_SETPOS, TRUE, percent);
        const std::string question = window_.Answer("Save Changes", answer, [&] {
            bySave ? Click(frmTransP::kCmdSave) : void(::PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0));
        });
        EXPECT_FALSE(::IsWindow(dialog_));
        return question;
    }
    // The level box, the window's alpha and input, and the stored settings.
    std::string Level() {
        BYTE alpha = 0;
        ::GetLayeredWindowAttributes(window_.hwnd(), nullptr, &alpha, nullptr);
        return WindowText(window_.frm().txtTransp()) + " " + std::to_string(alpha) +
               (::IsWindowEnabled(window_.hwnd()) ? " " : " disabled ") + UnscrambleSettings(window_ / "config.bin");
    }

    PlacementKey placement_;
    WindowUnderTest window_;
    HWND dialog_ = nullptr;
};

const char kToolKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kToolFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char kScratch[] = "Software\\Brenmoor\\QuorvelTest\\About";

bool SetText(HKEY root, const std::string& key, const char* name, const std::string& text) {
    return !::RegSetKeyValueA(root, key.c_str(), name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}

// The main window of a copy of the program other than this test's own.
HWND ToolWindow() {
    HWND tool = nullptr;
    DWORD pid = 0;
    while ((tool = ::FindWindowExA(nullptr, tool, kFrmMainClass, nullptr)) &&
           (::GetWindowThreadProcessId(tool, &pid), pid == ::GetCurrentProcessId())) {
    }
    return tool;
}

// Points a URL scheme at cmd.exe writing the URL into `marker`, so a link
// opens no browser or mail program.
class SchemeHandler {
  public:
    SchemeHandler(const std::string& scheme, const std::string& marker)
        : key_(scheme + "\\shell\\open\\command"), marker_(marker) {
        DWORD size = sizeof old_;
        ::RegGetValueA(HKEY_CLASSES_ROOT, key_.c_str(), "", RRF_RT_REG_SZ, nullptr, old_, &size);
        SetText(HKEY_CLASSES_ROOT, key_, "", "cmd.exe /c echo %1> \"" + marker + "\"");
    }
    ~SchemeHandler() { SetText(HKEY_CLASSES_ROOT, key_, "", old_); }
    std::string Url() const { // once the handler has written it
        std::string text;
        WaitUntil([&] { return (text = ReadFileBytes(marker_)).find("\r\n") != std::string::npos; });
        return text.substr(0, text.find("\r\n"));
    }

  private:
    std::string key_, marker_;
    char old_[1024] = {};
};

} // namespace

TEST_F(DialogTest, AboutShowsTheVersionCopyrightAndLinksAndEndsAlwaysOnTop) {
    TempFolder markers("links");
    const SchemeHandler mail("mailto", markers / "mail.txt"), web("https", markers / "web.txt");
    WriteScrambledSettings(window_ / "config.bin", "[INIT]\r\nALWAYSONTOP=1\r\n");
    ASSERT_TRUE(window_.Start());
    ASSERT_TRUE(TopMost(window_.hwnd()));
    std::string shown;
    WithAbout([&](HWND box) {
        shown = WindowText(::GetDlgItem(box, IDC_lblTitle)) + "|" + WindowText(::GetDlgItem(box, IDC_lblCopyright)) +
                (TopMost(window_.hwnd()) ? "|topmost" : "");
        for (int id : {IDC_lblEMail, IDC_lblHomePage})
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), LPARAM(::GetDlgItem(box, id)));
    });
    // Version 3.0.0.172: the major version and the revision.
    EXPECT_EQ(shown, "Quorvel v3.172|© 2026 Brenmoor.\r\nQuorvel is free to use and share.");
    EXPECT_EQ(mail.Url(), "mailto:support@quorvel.example?subject=I have question on Quorvel v3.172");
    EXPECT_EQ(web.Url(), "https://quorvel.example");
    EXPECT_FALSE(TopMost(window_.hwnd()));
    EXPECT_EQ(window_.MenuCaption(IDM_mnuOnTop), "Set Always On Top (False)");
    for (const WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        bool closed = false;
        WithAbout([&](HWND box) {
            ::PostMessageW(box, WM_KEYDOWN, key, 0);
            closed = WaitUntilQuiet([&] { return !::IsWindow(box); }, 5000);
        });
        EXPECT_TRUE(closed) << "key " << key << " leaves the About box open";
    }
    EXPECT_EQ(UnscrambleSettings(window_ / "config.bin"), "[INIT]\r\nALWAYSONTOP=0\r\n");
}

TEST_F(DialogTest, SysInfoStartsTheToolFromTheFirstLocationThatNamesIt) {
    const auto clean = [] {
        ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kToolKey, "PATH");
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kToolFolderKey);
    };
    clean();
    TempFolder folder("tool"); // a real program as the tool: a copy of Quorvel
    const std::string tool = folder / "MSINFO32.EXE";
    ASSERT_TRUE(::CopyFileA((TestProgramFolder() + "\\Quorvel.exe").c_str(), tool.c_str(), FALSE));
    ASSERT_TRUE(window_.Start());
    // The message shown, or "started" once the tool's window showed.
    const auto click = [&] {
        std::string outcome;
        HWND started = nullptr;
        WithAbout([&](HWND box) {
            PressButton(box, IDC_cmdSysInfo);
            const DWORD pid = ::GetCurrentProcessId();
            HWND shown = nullptr;
            WaitUntilQuiet([&] {
                return (shown = FindProcessWindow(pid, "#32770", "Quorvel")) || (started = ToolWindow());
            });
            outcome = started ? "started" : MessageBoxText(shown);
            PressButton(shown, IDOK);
        });
        DWORD pid = 0;
        ::GetWindowThreadProcessId(started, &pid);
        const UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (process && ::TerminateProcess(process.get(), 0))
            ::WaitForSingleObject(process.get(), 10000);
        return outcome;
    };
    const std::string unavailable = "System Information Is Unavailable At This Time";
    EXPECT_EQ(click(), unavailable) << "neither location";
    // Location 2 names the tool's folder.
    ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, kToolFolderKey, "MSINFO", folder.path()));
    EXPECT_EQ(click(), "started");
    // Location 1 is taken as it is: when missing, location 2 is not tried.
    ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, kToolKey, "PATH", folder / "missing.exe"));
    EXPECT_EQ(click(), unavailable) << "missing in location 1";
    ASSERT_TRUE(SetText(HKEY_LOCAL_MACHINE, kToolKey, "PATH", tool));
    EXPECT_EQ(click(), "started");
    clean();
}

// System Info reads the registry read-only, as HKEY_LOCAL_MACHINE is under UAC.
TEST(AboutTest, GetKeyValueReadsAKeyItMayOnlyRead) {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    ASSERT_TRUE(SetText(HKEY_CURRENT_USER, kScratch, "PATH", "C:\\x.exe"));
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kScratch, 0, WRITE_DAC, &key), 0);
    const UniqueHkey owned(key);
    for (const char* dacl : {"D:P(A;;KR;;;WD)", "D:(A;;KA;;;WD)"}) {
        PSECURITY_DESCRIPTOR sd = nullptr;
        ::ConvertStringSecurityDescriptorToSecurityDescriptorA(dacl, SDDL_REVISION_1, &sd, nullptr);
        EXPECT_EQ(::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), 0);
        ::LocalFree(sd);
        std::string path = "old";
        EXPECT_TRUE(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, "PATH", path)) << dacl;
        EXPECT_EQ(path, "C:\\x.exe");
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
}

TEST_F(DialogTest, GotoEntriesMoveTheCaretToTheirLineOrAreRefused) {
    WriteFileBytes(window_ / "five.nfo", "one\r\ntwo\r\nthree\r\nfour\r\nfive");
    ASSERT_TRUE(window_.Start(window_ / "five.nfo"));
    const int starts[] = {0, 5, 10, 17, 23, 29}; // six lines, the last one empty
    // 0 is the caret's line; the zero-based line rounds halves to even.
    const struct {
        const char* entry;
        int caret, line; // -1: refused
    } rows[] = {{"1", 20, 0},   {"0", 20, 3},   {" 4 ", 0, 3}, {"6", 3, 5},    {"7", 7, -1},
                {"2.5", 0, 2},  {"3.5", 0, 2},  {"2.6", 0, 2}, {"0.4", 12, 2}, {"", 12, -1},
                {"abc", 12, -1}, {"-1", 12, -1}, {"99999999999", 12, -1}};
    for (const auto& r : rows)
        ExpectJump(r.entry, r.caret, r.line < 0 ? -1 : starts[r.line]);
    ExpectJump("3", 0, starts[2], true);
    ExpectJump("9", 0, -1, true);
}

// Wrapped pieces count as lines; a second Goto brings the open one forward.
TEST_F(DialogTest, GotoCountsWrappedPiecesAsLinesAndOpensOnce) {
    ASSERT_TRUE(window_.Start());
    std::string longLine;
    for (int i = 0; i < 40; ++i)
        longLine += "word" + std::to_string(i) + " ";
    const int end = static_cast<int>(longLine.size());
    ::SetWindowTextA(window_.txtnfo(), (longLine + "\r\nlast\r\n").c_str());
    ::SetWindowPos(window_.hwnd(), nullptr, 0, 0, 220, 400, SWP_NOMOVE | SWP_NOZORDER);
    window_.Pump();
    const int count = static_cast<int>(::SendMessageW(window_.txtnfo(), EM_GETLINECOUNT, 0, 0));
    ASSERT_GT(count, 4) << "the long line must wrap";
    const HWND first = Open(IDM_mnuGoto);
    EXPECT_EQ(Shown(first), "  Goto Line... topmost centred");
    ::SetWindowTextA(Item(frmGotoLine::kTxtLineNr), "3");
    ::SetWindowTextA(window_.txtnfo(), (longLine + "\r\nlast\r\n\r\n").c_str());
    EXPECT_EQ(Open(IDM_mnuGoto), first);
    EXPECT_EQ(WindowText(Item(frmGotoLine::kLblCount)) + "|" + WindowText(Item(frmGotoLine::kTxtLineNr)),
              "Line(s) Count: " + std::to_string(count) + "|3");
    ::SendMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    window_.Pump();
    EXPECT_EQ(window_.frm().gotoLineWindow(), nullptr);
    ExpectJump(std::to_string(count - 1), 0, end + 2); // "last"
    ExpectJump(std::to_string(count + 1), 0, end + 10);
    ExpectJump(std::to_string(count + 2), 0, -1);
}

// The dialog opens at the level's percentage, rounded and clamped; closing
// asks only after a change; Save or Yes applies and stores the level.
TEST_F(DialogTest, TransparencyOpensAtTheLevelsPercentageAndStoresAChange) {
    const auto stored = [](const std::string& level) {
        return "[INIT]\r\nMAKEWRITE=0\r\nTRANSPATENCY=" + level + "\r\n";
    };
    WriteScrambledSettings(window_ / "config.bin", stored("204"));
    ASSERT_TRUE(window_.Start());
    for (const auto& [level, percent] :
         {std::pair{"204", 80}, {"127.5", 50}, {"78", 31}, {"10", 30}, {"1000", 100}, {"abc", 30}}) {
        ::SetWindowTextA(window_.frm().txtTransp(), level);
        ASSERT_NE(Open(IDM_mnuTransP), nullptr) << level;
        EXPECT_EQ(Shown(dialog_), "  Transparency Settings topmost on the main window's corner main window disabled");
        EXPECT_EQ(::SendMessageW(Item(frmTransP::kSlider), TBM_GETPOS, 0, 0), percent) << level;
        EXPECT_EQ(MoveAndClose({}, false, IDYES), "") << level;
        EXPECT_EQ(Level(), std::string(level) + " 204 " + stored("204"));
    }
    const struct {
        std::vector<int> percents;
        bool bySave;
        int answer;
        const char *question, *level, *alpha; // afterwards; the alpha rounds halves to even
    } rows[] = {{{50}, true, IDNO, "", "127.5", "128"},
                {{70}, true, IDNO, "", "178.5", "178"},
                {{60}, false, IDNO, "Save Changes ?", "178.5", "178"},
                {{60, 70}, false, IDYES, "", "178.5", "178"},
                {{60}, false, IDYES, "Save Changes ?", "153", "153"}};
    for (const auto& row : rows) {
        ASSERT_NE(Open(IDM_mnuTransP), nullptr);
        EXPECT_EQ(MoveAndClose(row.percents, row.bySave, row.answer), row.question);
        EXPECT_EQ(Level(), std::string(row.level) + " " + row.alpha + " " + stored(row.level));
    }
}
