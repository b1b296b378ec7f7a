// Preferences > Set TransParency Level as a user meets it: the real dialog
// over the real main window, the level stored in config.bin and applied to
// the window.
#include "app/resource.h"
#include "appearance/frmTransP.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <cmath>
#include <optional>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

constexpr DWORD kNoQuestionMs = 1500;

int Px(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

// The alpha of a layered window (empty when it has none).
std::optional<BYTE> Alpha(HWND hwnd) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!(::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) ||
        !::GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags) || !(flags & LWA_ALPHA))
        return std::nullopt;
    return alpha;
}

RECT ChildRect(HWND parent, int id) {
    RECT rc{};
    ::GetWindowRect(::GetDlgItem(parent, id), &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

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

// Control ids from the top of the sibling order down.
std::vector<int> ChildOrder(HWND parent) {
    std::vector<int> ids;
    for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        ids.push_back(::GetDlgCtrlID(c));
    return ids;
}

class TransparencyDialogTest : public ::testing::Test {
  protected:
    // Starts the main window with this plain settings file content ("" for
    // none).
    void Start(const std::string& settings = "") {
        if (!settings.empty())
            WriteScrambledSettings(window_ / "config.bin", settings);
        ASSERT_TRUE(window_.Start());
    }
    // Opens the dialog by its menu command, with `level` in the main
    // window's level box unless it is null.
    HWND Open(const char* level = nullptr) {
        if (level)
            ::SetWindowTextA(window_.frm().txtTransp(), level);
        window_.Command(IDM_mnuTransP);
        dialog_ = window_.frm().transPWindow();
        return dialog_;
    }
    HWND Slider() const { return ::GetDlgItem(dialog_, frmTransP::kSlider); }
    int SliderValue() const { return static_cast<int>(::SendMessageA(Slider(), TBM_GETPOS, 0, 0)); }
    void MoveSlider(int percent) {
        ::SendMessageA(Slider(), TBM_SETPOS, TRUE, percent);
        window_.Pump();
    }
    // The label once the refresh timer has shown the slider's value.
    std::string LabelAfterRefresh() {
        HWND label = ::GetDlgItem(dialog_, frmTransP::kLblTransp);
        const std::string expected = std::to_string(SliderValue()) + "%";
        WaitUntil(
            [&] {
                window_.Pump();
                return WindowText(label) == expected;
            },
            5000);
        return WindowText(label);
    }
    bool DialogGone() const { return !::IsWindow(dialog_); }

    // Clicks Save Settings; true when a question came up (it is answered No).
    bool ClickSave() {
        DialogDriver question("Save Changes", ClickButton(IDNO), kNoQuestionMs);
        ::PostMessageA(::GetDlgItem(dialog_, frmTransP::kCmdSave), BM_CLICK, 0, 0);
        window_.Pump();
        return question.Finish();
    }
    // Closes with the close box, answering a question with `answer`; the
    // question's text, "" when none came.
    std::string CloseAnswering(int answer) {
        std::atomic<bool> asIntended{false};
        DialogDriver question(
            "Save Changes",
            [&](HWND box) {
                asIntended = ::GetDlgItem(box, IDYES) && ::GetDlgItem(box, IDNO) &&
                             !::GetDlgItem(box, IDOK) && !::GetDlgItem(box, IDCANCEL) &&
                             BoxIcon(box) == ::LoadIcon(nullptr, IDI_QUESTION);
                PressButton(box, answer);
            },
            kNoQuestionMs);
        ::SendMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
        window_.Pump();
        if (question.Finish()) {
            EXPECT_TRUE(asIntended) << "a question with Yes and No only";
        }
        return question.messageText();
    }
    std::string Settings() const { return UnscrambleSettings(window_ / "config.bin"); }
    std::string Level() { return WindowText(window_.frm().txtTransp()); }

    PlacementKey placement_;
    WindowUnderTest window_;
    HWND dialog_ = nullptr;
};

} // namespace

TEST_F(TransparencyDialogTest, OpensAsAFixedTopmostToolWindowOverTheMainWindowsCorner) {
    Start();
    ::SetWindowPos(window_.hwnd(), nullptr, 123, 87, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_NE(Open("255"), nullptr);

    EXPECT_EQ(WindowText(dialog_), "  Transparency Settings");
    const LONG style = ::GetWindowLongA(dialog_, GWL_STYLE);
    const LONG exStyle = ::GetWindowLongA(dialog_, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(::GetWindow(dialog_, GW_OWNER), nullptr);
    EXPECT_TRUE(::IsWindowVisible(dialog_));

    RECT outer{};
    ::GetWindowRect(dialog_, &outer);
    EXPECT_EQ(outer.left, 123);
    EXPECT_EQ(outer.top, 87);

    const int dpi = ScreenDpi();
    RECT client{};
    ::GetClientRect(dialog_, &client);
    EXPECT_EQ(client.right, Px(3750, dpi));
    EXPECT_EQ(client.bottom, Px(1005, dpi));
    const struct {
        int id;
        double left, top, width, height;
    } layout[] = {{frmTransP::kSlider, 105, 135, 2985, 390},
                  {frmTransP::kLblTransp, 3075, 225, 525, 180},
                  {frmTransP::kCmdSave, 2370, 585, 1275, 315}};
    for (const auto& c : layout) {
        const RECT rc = ChildRect(dialog_, c.id);
        EXPECT_EQ(rc.left, Px(c.left, dpi)) << c.id;
        EXPECT_EQ(rc.top, Px(c.top, dpi)) << c.id;
        EXPECT_EQ(rc.right - rc.left, Px(c.width, dpi)) << c.id;
        EXPECT_EQ(rc.bottom - rc.top, Px(c.height, dpi)) << c.id;
    }
    EXPECT_EQ(WindowText(::GetDlgItem(dialog_, frmTransP::kCmdSave)), "Save Settings");
    // The label is drawn over the slider's last pixel; the keyboard goes from
    // the slider to the button.
    EXPECT_EQ(ChildOrder(dialog_),
              (std::vector<int>{frmTransP::kLblTransp, frmTransP::kSlider, frmTransP::kCmdSave}));
    EXPECT_EQ(::GetNextDlgTabItem(dialog_, nullptr, FALSE), Slider());

    char cls[64] = {};
    ::GetClassNameA(Slider(), cls, sizeof cls);
    EXPECT_STREQ(cls, TRACKBAR_CLASSA);
    EXPECT_EQ(::SendMessageA(Slider(), TBM_GETRANGEMIN, 0, 0), 30);
    EXPECT_EQ(::SendMessageA(Slider(), TBM_GETRANGEMAX, 0, 0), 100);
    EXPECT_EQ(::SendMessageA(Slider(), TBM_GETLINESIZE, 0, 0), 1);
    EXPECT_EQ(::SendMessageA(Slider(), TBM_GETPAGESIZE, 0, 0), 5);

    for (int id : {frmTransP::kLblTransp, frmTransP::kCmdSave}) {
        LOGFONTA lf{};
        const auto font =
            reinterpret_cast<HFONT>(::SendMessageA(::GetDlgItem(dialog_, id), WM_GETFONT, 0, 0));
        ASSERT_TRUE(::GetObjectA(font, sizeof lf, &lf)) << id;
        EXPECT_STREQ(lf.lfFaceName, "Verdana");
        EXPECT_EQ(lf.lfHeight, -static_cast<LONG>(std::lround(6.75 * dpi / 72)));
        EXPECT_EQ(lf.lfWeight, FW_NORMAL);
        EXPECT_FALSE(lf.lfItalic);
    }
}

TEST_F(TransparencyDialogTest, MainWindowTakesNoInputWhileTheDialogIsOpen) {
    Start();
    ASSERT_TRUE(::IsWindowEnabled(window_.hwnd()));
    ASSERT_NE(Open(), nullptr);
    EXPECT_FALSE(::IsWindowEnabled(window_.hwnd()));
    EXPECT_EQ(::GetActiveWindow(), dialog_);
    EXPECT_EQ(CloseAnswering(IDNO), "");
    EXPECT_TRUE(DialogGone());
    EXPECT_TRUE(::IsWindowEnabled(window_.hwnd()));
    EXPECT_EQ(window_.frm().transPWindow(), nullptr);
}

TEST_F(TransparencyDialogTest, StoredLevelOpensAsItsPercentage) {
    Start("[INIT]\r\nTRANSPATENCY=255\r\n");
    ASSERT_EQ(Level(), "255");
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(SliderValue(), 100);
    EXPECT_EQ(LabelAfterRefresh(), "100%");
    EXPECT_EQ(CloseAnswering(IDNO), "");

    // A level saved by the dialog comes back as the same percentage; others
    // go to the nearest one.
    const struct {
        const char* level;
        int percent;
    } cases[] = {{"76.5", 30},    {"127.5", 50}, {"178.5", 70}, {"204", 80}, {"229.5", 90},
                 {"  153  ", 60}, {"79.05", 31}, {"78", 31},    {"77", 30}};
    for (const auto& c : cases) {
        ASSERT_NE(Open(c.level), nullptr) << c.level;
        EXPECT_EQ(SliderValue(), c.percent) << c.level;
        EXPECT_EQ(LabelAfterRefresh(), std::to_string(c.percent) + "%") << c.level;
        EXPECT_EQ(CloseAnswering(IDNO), "") << c.level;
    }
}

TEST_F(TransparencyDialogTest, SliderStaysInItsRangeWhateverTheLevelHolds) {
    Start();
    const struct {
        const char* level;
        int percent;
    } cases[] = {{"10", 30},    {"0", 30},    {"-300", 30},
                 {"1000", 100}, {"256", 100}, {"1e300", 100},
                 {"abc", 30},   {"", 30},     {"C:\\prog\\config.bin", 30}};
    for (const auto& c : cases) {
        ASSERT_NE(Open(c.level), nullptr) << c.level;
        EXPECT_EQ(SliderValue(), c.percent) << c.level;
        // The value it shows is its opening value: closing asks nothing.
        EXPECT_EQ(CloseAnswering(IDNO), "") << c.level;
        EXPECT_EQ(Level(), c.level);
    }
    EXPECT_FALSE(FileExists(window_ / "config.bin"));
}

TEST_F(TransparencyDialogTest, SaveAppliesTheLevelStoresItAndCloses) {
    Start();
    const struct {
        int percent;
        const char* text;
        BYTE alpha;
    } cases[] = {{30, "76.5", 76},   {50, "127.5", 128}, {70, "178.5", 178},
                 {90, "229.5", 230}, {100, "255", 255},  {31, "79.05", 79}};
    for (const auto& c : cases) {
        ASSERT_NE(Open("204"), nullptr);
        MoveSlider(c.percent);
        EXPECT_FALSE(ClickSave()) << "Save Settings closes without asking";
        EXPECT_TRUE(DialogGone()) << c.percent;
        EXPECT_EQ(Level(), c.text);
        EXPECT_EQ(Settings(), std::string("[INIT]\r\nTRANSPATENCY=") + c.text + "\r\n");
        EXPECT_EQ(Alpha(window_.hwnd()), c.alpha) << c.percent;
        EXPECT_TRUE(::IsWindowEnabled(window_.hwnd()));
    }
    // The settings file was replaced whole each time: nothing else is left.
    EXPECT_EQ(ListFolder(window_.folder()), std::vector<std::string>{"config.bin"});
}

TEST_F(TransparencyDialogTest, SavingAtOnceAtFullOpacityLeavesTheWindowLayered) {
    Start("[INIT]\r\nMAKEWRITE=0\r\nTRANSPATENCY=255\r\n");
    ASSERT_NE(Open(), nullptr);
    EXPECT_FALSE(ClickSave());
    EXPECT_TRUE(DialogGone());
    EXPECT_EQ(Settings(), "[INIT]\r\nMAKEWRITE=0\r\nTRANSPATENCY=255\r\n");
    EXPECT_EQ(Alpha(window_.hwnd()), 255);
}

TEST_F(TransparencyDialogTest, ClosingAfterAChangeAsksAndNoDropsIt) {
    Start("[INIT]\r\nTRANSPATENCY=204\r\n");
    const std::string before = ReadFileBytes(window_ / "config.bin");
    ASSERT_EQ(Alpha(window_.hwnd()), 204);
    ASSERT_NE(Open(), nullptr);
    ASSERT_EQ(SliderValue(), 80);
    MoveSlider(60);
    EXPECT_EQ(LabelAfterRefresh(), "60%");
    EXPECT_EQ(CloseAnswering(IDNO), "Save Changes ?");
    EXPECT_TRUE(DialogGone());
    EXPECT_EQ(ReadFileBytes(window_ / "config.bin"), before);
    EXPECT_EQ(Level(), "204");
    EXPECT_EQ(Alpha(window_.hwnd()), 204);
    EXPECT_TRUE(::IsWindowEnabled(window_.hwnd()));
}

TEST_F(TransparencyDialogTest, MovingBackToTheOpeningValueClosesWithoutAsking) {
    Start("[INIT]\r\nTRANSPATENCY=204\r\n");
    ASSERT_NE(Open(), nullptr);
    MoveSlider(60);
    MoveSlider(80);
    EXPECT_EQ(CloseAnswering(IDYES), "");
    EXPECT_TRUE(DialogGone());
    EXPECT_EQ(Settings(), "[INIT]\r\nTRANSPATENCY=204\r\n");
    EXPECT_TRUE(::IsWindowEnabled(window_.hwnd()));
}

TEST_F(TransparencyDialogTest, YesToTheQuestionSavesAndCloses) {
    Start("[INIT]\r\nTRANSPATENCY=204\r\n");
    ASSERT_NE(Open(), nullptr);
    MoveSlider(60);
    EXPECT_EQ(CloseAnswering(IDYES), "Save Changes ?");
    EXPECT_TRUE(DialogGone());
    EXPECT_EQ(Settings(), "[INIT]\r\nTRANSPATENCY=153\r\n");
    EXPECT_EQ(Level(), "153");
    EXPECT_EQ(Alpha(window_.hwnd()), 153);
    EXPECT_TRUE(::IsWindowEnabled(window_.hwnd()));
}

TEST_F(TransparencyDialogTest, KeyboardMovesTheSliderAndSavesFromTheButton) {
    Start();
    ASSERT_NE(Open("127.5"), nullptr);
    ASSERT_EQ(::GetFocus(), Slider());
    auto press = [&](HWND target, WPARAM key) {
        ::PostMessageA(target, WM_KEYDOWN, key, 1);
        ::PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        window_.Pump();
    };
    press(Slider(), VK_RIGHT);
    EXPECT_EQ(SliderValue(), 51);
    EXPECT_EQ(LabelAfterRefresh(), "51%");
    press(Slider(), VK_NEXT);
    EXPECT_EQ(SliderValue(), 56) << "a page is 5";
    press(Slider(), VK_END);
    EXPECT_EQ(SliderValue(), 100);
    press(Slider(), VK_HOME);
    EXPECT_EQ(SliderValue(), 30);
    press(Slider(), VK_LEFT);
    EXPECT_EQ(SliderValue(), 30);
    EXPECT_EQ(LabelAfterRefresh(), "30%");

    // Tab reaches the button; Enter presses it.
    press(Slider(), VK_TAB);
    HWND save = ::GetDlgItem(dialog_, frmTransP::kCmdSave);
    ASSERT_EQ(::GetFocus(), save);
    DialogDriver question("Save Changes", ClickButton(IDNO), kNoQuestionMs);
    press(save, VK_RETURN);
    EXPECT_FALSE(question.Finish());
    EXPECT_TRUE(DialogGone());
    EXPECT_EQ(Settings(), "[INIT]\r\nTRANSPATENCY=76.5\r\n");
    EXPECT_EQ(Alpha(window_.hwnd()), 76);
}

TEST_F(TransparencyDialogTest, AltF4AsksLikeTheCloseBox) {
    Start();
    ASSERT_NE(Open("255"), nullptr);
    MoveSlider(75);
    DialogDriver question("Save Changes", ClickButton(IDNO), kNoQuestionMs);
    // Alt is held: bit 29 of the key data.
    ::PostMessageA(Slider(), WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(0x20000001));
    window_.Pump();
    EXPECT_TRUE(question.Finish());
    EXPECT_EQ(question.messageText(), "Save Changes ?");
    EXPECT_TRUE(DialogGone());
    EXPECT_FALSE(FileExists(window_ / "config.bin"));
    EXPECT_TRUE(::IsWindowEnabled(window_.hwnd()));
}

TEST_F(TransparencyDialogTest, EndingTheMainWindowEndsTheDialog) {
    Start();
    ASSERT_NE(Open("255"), nullptr);
    MoveSlider(40);
    window_.Command(IDM_mnuExit);
    EXPECT_TRUE(DialogGone());
    EXPECT_FALSE(FileExists(window_ / "config.bin"));
}

// The real program: the level saved in the dialog is the one the next start
// applies.
TEST(TransparencyDialogProgramTest, SavedLevelIsAppliedAtTheNextStart) {
    PlacementKey placement;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Start(""));
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Alpha(main), std::nullopt);

    program.Command(IDM_mnuTransP);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntilQuiet(
        [&] {
            return (dialog = FindProcessWindow(program.pid(), frmTransP::kClassName)) != nullptr;
        },
        10000));
    EXPECT_EQ(WindowText(dialog), "  Transparency Settings");
    EXPECT_TRUE(WaitUntilQuiet([&] { return !::IsWindowEnabled(main); }, 5000));
    ::SendMessageA(::GetDlgItem(dialog, frmTransP::kSlider), TBM_SETPOS, TRUE, 50);
    PressButton(dialog, frmTransP::kCmdSave);
    EXPECT_TRUE(WaitUntilQuiet([&] { return !::IsWindow(dialog); }, 10000));
    EXPECT_TRUE(::IsWindowEnabled(main));
    EXPECT_EQ(Alpha(main), 128);
    EXPECT_EQ(UnscrambleSettings(program / "config.bin"), "[INIT]\r\nTRANSPATENCY=127.5\r\n");

    program.Close();
    ASSERT_TRUE(program.WaitExit());
    ASSERT_TRUE(program.Start(""));
    main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Alpha(main), 128);
}
