// Edit > Goto LineNR... as a user meets it: the real dialog moving the
// caret of the real text box.
#include "app/frmGotoLine.h"
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <utility>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

constexpr DWORD kNoMessageMs = 1500;

// Loaded, every line ends with CR LF: "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n",
// six lines with the empty last one. The lines start at these positions.
constexpr int kLineStarts[] = {0, 5, 10, 17, 23, 29};

// The icon a message box shows.
HICON BoxIcon(HWND box) {
    HICON icon = nullptr;
    ::EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
                return TRUE;
            *reinterpret_cast<HICON*>(found) =
                reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&icon));
    return icon;
}

int Px(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

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
        dialog_ = window_.frm().gotoLineWindow();
        return dialog_;
    }
    HWND LineNr() const { return ::GetDlgItem(dialog_, frmGotoLine::kTxtLineNr); }
    std::string Count() const { return WindowText(::GetDlgItem(dialog_, frmGotoLine::kLblCount)); }
    void PutCaret(int position) {
        ::SendMessageA(window_.txtnfo(), EM_SETSEL, static_cast<WPARAM>(position), position);
    }
    std::pair<int, int> Selection() const {
        DWORD start = 0;
        DWORD end = 0;
        ::SendMessageA(window_.txtnfo(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                       reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    bool DialogGone() const { return !::IsWindow(dialog_); }

    // Types `entry` and runs the command by `press` (the button or Enter);
    // the error message it showed, "" when none.
    std::string GoTo(const std::string& entry, bool byEnter = false) {
        ::SetWindowTextA(LineNr(), entry.c_str());
        std::atomic<bool> asIntended{false};
        DialogDriver error(
            "Error",
            [&](HWND box) {
                asIntended = ::GetDlgItem(box, IDOK) && !::GetDlgItem(box, IDCANCEL) &&
                             BoxIcon(box) == ::LoadIcon(nullptr, IDI_INFORMATION);
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
            EXPECT_TRUE(asIntended) << "an information box with OK only";
        }
        return error.messageText();
    }
    // Runs `entry` in a fresh dialog with the caret at `caret`; where the
    // caret went, or (-1, -1) when the entry was refused with the message.
    std::pair<int, int> Jump(const std::string& entry, int caret = 0) {
        PutCaret(caret);
        if (!Open())
            return {-2, -2};
        const std::string message = GoTo(entry);
        if (message == "Invalid Line Number!" && !DialogGone()) {
            ::DestroyWindow(dialog_);
            return {-1, -1};
        }
        if (!message.empty() || !DialogGone())
            return {-3, -3};
        return Selection();
    }

    PlacementKey placement_;
    TempFolder docs_{"docs"};
    WindowUnderTest window_;
    HWND dialog_ = nullptr;
};

std::pair<int, int> At(int position) {
    return {position, position};
}

} // namespace

TEST_F(GotoLineTest, OpensCentredAsAFixedTopmostToolWindowWithTheLineCount) {
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(WindowText(dialog_), "  Goto Line...");
    const LONG style = ::GetWindowLongA(dialog_, GWL_STYLE);
    const LONG exStyle = ::GetWindowLongA(dialog_, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(::GetWindow(dialog_, GW_OWNER), nullptr);

    const int dpi = ScreenDpi();
    RECT client{};
    ::GetClientRect(dialog_, &client);
    EXPECT_EQ(client.right, Px(2760, dpi));
    EXPECT_EQ(client.bottom, Px(1080, dpi));
    RECT outer{};
    ::GetWindowRect(dialog_, &outer);
    EXPECT_LE(std::abs(outer.left + outer.right - ::GetSystemMetrics(SM_CXSCREEN)), 1);
    EXPECT_LE(std::abs(outer.top + outer.bottom - ::GetSystemMetrics(SM_CYSCREEN)), 1);

    const struct {
        int id;
        double left, top, width, height;
        const char* text;
    } layout[] = {{frmGotoLine::kLblInfo, 105, 105, 2505, 270, "Enter the Line Number below:"},
                  {frmGotoLine::kTxtLineNr, 105, 285, 2475, 270, ""},
                  {frmGotoLine::kLblCount, 105, 675, 1560, 195, "Line(s) Count: 6"},
                  {frmGotoLine::kCmdGoto, 1695, 615, 900, 345, "Goto..."}};
    for (const auto& c : layout) {
        HWND control = ::GetDlgItem(dialog_, c.id);
        RECT rc{};
        ::GetWindowRect(control, &rc);
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(rc.left, Px(c.left, dpi)) << c.text;
        EXPECT_EQ(rc.top, Px(c.top, dpi)) << c.text;
        EXPECT_EQ(rc.right - rc.left, Px(c.width, dpi)) << c.text;
        EXPECT_EQ(rc.bottom - rc.top, Px(c.height, dpi)) << c.text;
        EXPECT_EQ(WindowText(control), c.text);
        LOGFONTA lf{};
        const auto font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
        ASSERT_TRUE(::GetObjectA(font, sizeof lf, &lf)) << c.text;
        EXPECT_STREQ(lf.lfFaceName, "Verdana");
        EXPECT_EQ(lf.lfHeight, -static_cast<LONG>(std::lround(6.75 * dpi / 72)));
    }

    // Tab order: the entry, then the button.
    std::vector<int> order;
    for (HWND c = ::GetWindow(dialog_, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        order.push_back(::GetDlgCtrlID(c));
    EXPECT_EQ(order, (std::vector<int>{frmGotoLine::kTxtLineNr, frmGotoLine::kCmdGoto,
                                       frmGotoLine::kLblInfo, frmGotoLine::kLblCount}));

    // The entry has the focus; the main window stays usable.
    EXPECT_EQ(::GetFocus(), LineNr());
    EXPECT_TRUE(::IsWindowEnabled(window_.hwnd()));
}

TEST_F(GotoLineTest, OneIsTheStartAndZeroIsTheStartOfTheCaretsLine) {
    EXPECT_EQ(Jump("1", 20), At(0));
    EXPECT_EQ(Jump("0", 20), At(kLineStarts[3])) << "20 is inside \"four\"";
    EXPECT_EQ(Jump("0", 12), At(kLineStarts[2]));
    EXPECT_EQ(Jump("3", 27), At(kLineStarts[2]));
    EXPECT_EQ(Jump(" 4 ", 0), At(kLineStarts[3])) << "blanks around the number";
}

TEST_F(GotoLineTest, TheCountIsTheEmptyLastLineAndOneMoreIsInvalid) {
    ASSERT_NE(Open(), nullptr);
    ASSERT_EQ(Count(), "Line(s) Count: 6");
    ::DestroyWindow(dialog_);
    EXPECT_EQ(Jump("6", 3), At(kLineStarts[5]));
    EXPECT_EQ(kLineStarts[5], static_cast<int>(window_.Text().size()));
    EXPECT_EQ(Jump("5", 3), At(kLineStarts[4]));

    // One more: the message, and the dialog stays with the entry; nothing
    // moves.
    PutCaret(7);
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(GoTo("7"), "Invalid Line Number!");
    EXPECT_FALSE(DialogGone());
    EXPECT_EQ(WindowText(LineNr()), "7");
    EXPECT_EQ(Selection(), At(7));
    // A valid entry then still works in the same dialog.
    EXPECT_EQ(GoTo("2"), "");
    EXPECT_TRUE(DialogGone());
    EXPECT_EQ(Selection(), At(kLineStarts[1]));
}

TEST_F(GotoLineTest, HalvesRoundToTheEvenLine) {
    // 2.5 - 1 = 1.5 goes to 2; 3.5 - 1 = 2.5 goes to 2 as well.
    EXPECT_EQ(Jump("2.5"), At(kLineStarts[2]));
    EXPECT_EQ(Jump("3.5"), At(kLineStarts[2]));
    EXPECT_EQ(Jump("1.5"), At(kLineStarts[0]));
    EXPECT_EQ(Jump("4.5"), At(kLineStarts[4]));
    EXPECT_EQ(Jump("2.4"), At(kLineStarts[1]));
    EXPECT_EQ(Jump("2.6"), At(kLineStarts[2]));
    // 0.5 - 1 = -0.5 goes to 0, the first line; 0.4 gives -0.6, i.e. -1,
    // the caret's line.
    EXPECT_EQ(Jump("0.5", 12), At(kLineStarts[0]));
    EXPECT_EQ(Jump("0.4", 12), At(kLineStarts[2]));
}

TEST_F(GotoLineTest, EntriesThatNameNoLineShowTheMessageAndMoveNothing) {
    for (const char* entry : {"", "7", "100", "abc", "3x", "-1", "-0.6", "1e12", "99999999999"}) {
        PutCaret(12);
        ASSERT_NE(Open(), nullptr) << entry;
        EXPECT_EQ(GoTo(entry), "Invalid Line Number!") << entry;
        EXPECT_FALSE(DialogGone()) << entry;
        EXPECT_EQ(Selection(), At(12)) << entry;
        ::DestroyWindow(dialog_);
    }
}

TEST_F(GotoLineTest, EnterDoesWhatTheButtonDoes) {
    PutCaret(12);
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(GoTo("", true), "Invalid Line Number!");
    EXPECT_FALSE(DialogGone());
    EXPECT_EQ(GoTo("9", true), "Invalid Line Number!");
    EXPECT_FALSE(DialogGone());
    EXPECT_EQ(WindowText(LineNr()), "9") << "Enter adds nothing to the entry";
    EXPECT_EQ(Selection(), At(12));
    EXPECT_EQ(GoTo("4", true), "");
    EXPECT_TRUE(DialogGone());
    EXPECT_EQ(Selection(), At(kLineStarts[3]));
}

TEST_F(GotoLineTest, WrappedPiecesCountAsLines) {
    // One long line of words in a narrow window wraps into several lines.
    std::string longLine;
    for (int i = 0; i < 40; ++i)
        longLine += "word" + std::to_string(i) + " ";
    ::SetWindowTextA(window_.txtnfo(), (longLine + "\r\nlast\r\n").c_str());
    ::SetWindowPos(window_.hwnd(), nullptr, 0, 0, 220, 400, SWP_NOMOVE | SWP_NOZORDER);
    window_.Pump();
    const int count = static_cast<int>(::SendMessageA(window_.txtnfo(), EM_GETLINECOUNT, 0, 0));
    ASSERT_GT(count, 4) << "the long line must wrap";

    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Count(), "Line(s) Count: " + std::to_string(count));
    EXPECT_EQ(GoTo("2"), "");
    ASSERT_TRUE(DialogGone());
    // The second line is a piece of the long one: it starts after a word.
    const auto [start, end] = Selection();
    EXPECT_EQ(start, end);
    EXPECT_GT(start, 0);
    EXPECT_LT(start, static_cast<int>(longLine.size()));
    EXPECT_EQ(longLine[static_cast<std::size_t>(start) - 1], ' ');

    // The line before the last: "last".
    EXPECT_EQ(Jump(std::to_string(count - 1)), At(static_cast<int>(longLine.size()) + 2));
    EXPECT_EQ(Jump(std::to_string(count)), At(static_cast<int>(longLine.size()) + 8));
    EXPECT_EQ(Jump(std::to_string(count + 1)), std::make_pair(-1, -1));
}

TEST_F(GotoLineTest, ASecondGotoBringsTheOpenDialogForwardWithItsCount) {
    ASSERT_NE(Open(), nullptr);
    const HWND first = dialog_;
    ::SetWindowTextA(LineNr(), "3");
    ::SetWindowTextA(window_.txtnfo(), "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\n");
    ::SetActiveWindow(window_.hwnd());
    window_.Pump();
    ASSERT_EQ(::GetActiveWindow(), window_.hwnd());

    EXPECT_EQ(Open(), first);
    EXPECT_EQ(::GetActiveWindow(), first);
    EXPECT_EQ(Count(), "Line(s) Count: 6") << "taken once, when the dialog opened";
    EXPECT_EQ(WindowText(LineNr()), "3");
    // The jump uses the text box as it is now.
    EXPECT_EQ(GoTo(""), "Invalid Line Number!");
    EXPECT_EQ(GoTo("8"), "");
    EXPECT_EQ(Selection(), At(21));
}

TEST_F(GotoLineTest, ClosingTheDialogMovesNothing) {
    PutCaret(12);
    ASSERT_NE(Open(), nullptr);
    ::SetWindowTextA(LineNr(), "1");
    ::SendMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
    window_.Pump();
    EXPECT_TRUE(DialogGone());
    EXPECT_EQ(window_.frm().gotoLineWindow(), nullptr);
    EXPECT_EQ(Selection(), At(12));
    // A new Goto opens a fresh dialog.
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(WindowText(LineNr()), "");
}
