// Edit > Goto LineNR... as a user meets it: the real dialog moving the
// caret of the real text box.
#include "app/frmGotoLine.h"
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

constexpr DWORD kNoMessageMs = 1500;
constexpr char kInvalid[] = "Invalid Line Number!";

// Loaded, every line ends with CR LF: "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n",
// six lines with the empty last one. The lines start at these positions.
constexpr int kLineStarts[] = {0, 5, 10, 17, 23, 29};

std::pair<int, int> At(int position) { return {position, position}; }

class GotoLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string file = docs_ / "five.nfo";
        WriteFileBytes(file, "one\r\ntwo\r\nthree\r\nfour\r\nfive");
        ASSERT_TRUE(window_.Start(file));
        ASSERT_EQ(window_.Text(), "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n");
    }

    HWND Open() {
        window_.Command(IDM_mnuGoto);
        return dialog_ = window_.frm().gotoLineWindow();
    }
    HWND LineNr() const { return ::GetDlgItem(dialog_, frmGotoLine::kTxtLineNr); }
    std::string Count() const { return WindowText(::GetDlgItem(dialog_, frmGotoLine::kLblCount)); }
    void PutCaret(int position) {
        ::SendMessageA(window_.txtnfo(), EM_SETSEL, static_cast<WPARAM>(position), position);
    }
    std::pair<int, int> Selection() const { return window_.Selection(); }
    bool DialogGone() const { return !::IsWindow(dialog_); }

    // Types `entry` and runs the command by the button or by Enter; the
    // error message it showed, "" when none.
    std::string GoTo(const std::string& entry, bool byEnter = false) {
        ::SetWindowTextA(LineNr(), entry.c_str());
        std::atomic<bool> okOnlyInformation{false};
        DialogDriver error(
            "Error",
            [&](HWND box) {
                okOnlyInformation = ::GetDlgItem(box, IDOK) && !::GetDlgItem(box, IDCANCEL) &&
                                    MessageBoxIcon(box) == ::LoadIcon(nullptr, IDI_INFORMATION);
                PressButton(box, IDOK);
            },
            kNoMessageMs);
        if (byEnter) {
            ::PostMessageA(LineNr(), WM_KEYDOWN, VK_RETURN, 1);
            ::PostMessageA(LineNr(), WM_CHAR, '\r', 1);
            ::PostMessageA(LineNr(), WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001u));
        } else {
            ::PostMessageA(::GetDlgItem(dialog_, frmGotoLine::kCmdGoto), BM_CLICK, 0, 0);
        }
        window_.Pump();
        if (error.Finish()) {
            EXPECT_TRUE(okOnlyInformation) << "an information box with OK only";
        }
        return error.messageText();
    }
    // Runs `entry` in a fresh dialog with the caret at `caret`. A jump must
    // close the dialog and put the caret at `expected`; a refusal (`expected`
    // < 0) must show the message, keep the dialog and move nothing.
    void ExpectJump(const std::string& entry, int caret, int expected, bool byEnter = false) {
        SCOPED_TRACE("entry \"" + entry + "\" from " + std::to_string(caret) +
                     (byEnter ? " by Enter" : " by the button"));
        PutCaret(caret);
        ASSERT_NE(Open(), nullptr);
        EXPECT_EQ(GoTo(entry, byEnter), expected < 0 ? kInvalid : "");
        EXPECT_EQ(DialogGone(), expected >= 0);
        EXPECT_EQ(Selection(), At(expected < 0 ? caret : expected));
        if (!DialogGone()) {
            EXPECT_EQ(WindowText(LineNr()), entry) << "the entry is kept as typed";
            ::DestroyWindow(dialog_);
        }
    }

    PlacementKey placement_;
    TempFolder docs_{"docs"};
    WindowUnderTest window_;
    HWND dialog_ = nullptr;
};

} // namespace

TEST_F(GotoLineTest, OpensCentredAsATopmostToolWindowWithTheLineCount) {
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(WindowText(dialog_), "  Goto Line...");
    // A fixed tool window without a taskbar button, as both tool dialogs are.
    const LONG style = ::GetWindowLongA(dialog_, GWL_STYLE);
    EXPECT_TRUE((style & WS_CAPTION) && (style & WS_SYSMENU));
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_EQ(::GetWindowLongA(dialog_, GWL_EXSTYLE) &
                  (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW | WS_EX_TOPMOST),
              WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_EQ(::GetWindow(dialog_, GW_OWNER), nullptr);
    RECT outer{};
    ::GetWindowRect(dialog_, &outer);
    EXPECT_LE(std::abs(outer.left + outer.right - ::GetSystemMetrics(SM_CXSCREEN)), 1);
    EXPECT_LE(std::abs(outer.top + outer.bottom - ::GetSystemMetrics(SM_CYSCREEN)), 1);

    // Tab order: the entry, then the button; all in the tool dialogs' plain Verdana.
    const std::vector<std::pair<int, std::string>> controls = {
        {frmGotoLine::kTxtLineNr, ""},
        {frmGotoLine::kCmdGoto, "Goto..."},
        {frmGotoLine::kLblInfo, "Enter the Line Number below:"},
        {frmGotoLine::kLblCount, "Line(s) Count: 6"}};
    HWND control = ::GetWindow(dialog_, GW_CHILD);
    for (const auto& [id, text] : controls) {
        ASSERT_NE(control, nullptr) << text;
        EXPECT_EQ(::GetDlgCtrlID(control), id) << text;
        EXPECT_EQ(WindowText(control), text);
        LOGFONTA lf{};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)),
                     sizeof lf, &lf);
        EXPECT_STREQ(lf.lfFaceName, "Verdana") << text;
        EXPECT_TRUE(lf.lfWeight == FW_NORMAL && !lf.lfItalic) << text;
        control = ::GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr);

    // The entry has the focus; the main window stays usable.
    EXPECT_EQ(::GetFocus(), LineNr());
    EXPECT_TRUE(::IsWindowEnabled(window_.hwnd()));
}

TEST_F(GotoLineTest, EntriesMoveTheCaretToTheirLineOrAreRefused) {
    // 1 is the start, 0 the start of the caret's line (20 is inside "four"),
    // the count the empty last line and one more is refused. The zero-based
    // line rounds with ties to even: 2.5 - 1 = 1.5 goes to 2, and so does
    // 3.5 - 1 = 2.5; 0.5 - 1 goes to 0, the first line, and 0.4 - 1 to -1,
    // the caret's line.
    const struct {
        const char* entry;
        int caret;
        int line; // -1: refused
    } cases[] = {{"1", 20, 0},   {"0", 20, 3},    {"0", 12, 2},     {"3", 27, 2},
                 {" 4 ", 0, 3},  {"6", 3, 5},     {"5", 3, 4},      {"7", 7, -1},
                 {"2.5", 0, 2},  {"3.5", 0, 2},   {"1.5", 0, 0},    {"4.5", 0, 4},
                 {"2.4", 0, 1},  {"2.6", 0, 2},   {"0.5", 12, 0},   {"0.4", 12, 2},
                 {"", 12, -1},   {"100", 12, -1}, {"abc", 12, -1},  {"3x", 12, -1},
                 {"-1", 12, -1}, {"-0.6", 12, -1}, {"1e12", 12, -1}, {"99999999999", 12, -1}};
    // Enter in the entry does what the button does.
    for (bool byEnter : {false, true})
        for (const auto& c : cases)
            ExpectJump(c.entry, c.caret, c.line < 0 ? -1 : kLineStarts[c.line], byEnter);
}

TEST_F(GotoLineTest, WrappedPiecesCountAsLines) {
    // One long line of words in a narrow window wraps into several lines.
    std::string longLine;
    for (int i = 0; i < 40; ++i)
        longLine += "word" + std::to_string(i) + " ";
    const int end = static_cast<int>(longLine.size());
    ::SetWindowTextA(window_.txtnfo(), (longLine + "\r\nlast\r\n").c_str());
    ::SetWindowPos(window_.hwnd(), nullptr, 0, 0, 220, 400, SWP_NOMOVE | SWP_NOZORDER);
    window_.Pump();
    const int count = static_cast<int>(::SendMessageA(window_.txtnfo(), EM_GETLINECOUNT, 0, 0));
    ASSERT_GT(count, 4) << "the long line must wrap";

    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Count(), "Line(s) Count: " + std::to_string(count));
    ::DestroyWindow(dialog_);
    ExpectJump(std::to_string(count - 1), 0, end + 2); // "last"
    ExpectJump(std::to_string(count), 0, end + 8);
    ExpectJump(std::to_string(count + 1), 0, -1);
}

TEST_F(GotoLineTest, OneDialogAtATimeWithTheCountItOpenedWith) {
    ASSERT_NE(Open(), nullptr);
    const HWND first = dialog_;
    ::SetWindowTextA(LineNr(), "3");
    ::SetWindowTextA(window_.txtnfo(), "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\n");
    ::SetActiveWindow(window_.hwnd());
    window_.Pump();
    ASSERT_EQ(::GetActiveWindow(), window_.hwnd());
    // A second Goto brings the open dialog forward as it was.
    EXPECT_EQ(Open(), first);
    EXPECT_EQ(::GetActiveWindow(), first);
    EXPECT_EQ(Count(), "Line(s) Count: 6") << "taken once, when the dialog opened";
    EXPECT_EQ(WindowText(LineNr()), "3");

    // Closing it moves nothing; the next Goto opens a fresh one.
    PutCaret(12);
    ::SendMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    window_.Pump();
    EXPECT_TRUE(DialogGone());
    EXPECT_EQ(window_.frm().gotoLineWindow(), nullptr);
    EXPECT_EQ(Selection(), At(12));
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(WindowText(LineNr()), "");
    EXPECT_EQ(Count(), "Line(s) Count: 9");
    // The jump uses the text box as it is now, after a refusal too.
    EXPECT_EQ(GoTo(""), kInvalid);
    EXPECT_EQ(GoTo("8"), "");
    EXPECT_EQ(Selection(), At(21));
}
