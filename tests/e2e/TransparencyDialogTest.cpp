// Preferences > Set TransParency Level as a user meets it: the real dialog
// over the real main window, the level stored in config.bin and applied to
// the window. (That a stored level is applied at the next start is
// SettingsTest's.)
#include "app/resource.h"
#include "appearance/frmTransP.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// The alpha of a layered window (empty when it has none).
std::optional<BYTE> Alpha(HWND hwnd) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!(::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) ||
        !::GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        return std::nullopt;
    return alpha;
}

class TransparencyDialogTest : public ::testing::Test {
  protected:
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
        return dialog_ = window_.frm().transPWindow();
    }
    HWND Slider() const { return ::GetDlgItem(dialog_, frmTransP::kSlider); }
    int SliderValue() const { return static_cast<int>(::SendMessageA(Slider(), TBM_GETPOS, 0, 0)); }
    void MoveSlider(int percent) {
        ::SendMessageA(Slider(), TBM_SETPOS, TRUE, percent);
        window_.Pump();
    }
    void Press(HWND target, WPARAM key) {
        ::PostMessageA(target, WM_KEYDOWN, key, 1);
        ::PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        window_.Pump();
    }
    // The label once the refresh timer has shown the slider's value.
    std::string LabelAfterRefresh() {
        HWND label = ::GetDlgItem(dialog_, frmTransP::kLblTransp);
        const std::string expected = std::to_string(SliderValue()) + "%";
        WaitUntil([&] { return WindowText(label) == expected; }, 5000);
        return WindowText(label);
    }
    // Runs `close` and answers a "Save Changes" question with `answer`; the
    // question's text, "" when none came.
    std::string Answering(int answer, const std::function<void()>& close) {
        std::atomic<bool> yesNo{false};
        DialogDriver question(
            "Save Changes",
            [&](HWND box) {
                yesNo = ::GetDlgItem(box, IDYES) && ::GetDlgItem(box, IDNO) &&
                        !::GetDlgItem(box, IDOK) && !::GetDlgItem(box, IDCANCEL) &&
                        MessageBoxIcon(box) == ::LoadIcon(nullptr, IDI_QUESTION);
                PressButton(box, answer);
            },
            1500);
        close();
        window_.Pump();
        if (question.Finish()) {
            EXPECT_TRUE(yesNo) << "a question with Yes and No only";
        }
        return question.messageText();
    }
    std::string CloseAnswering(int answer) {
        return Answering(answer, [&] { ::SendMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0); });
    }
    // The dialog is gone and the main window usable, at this level.
    void ExpectClosedAt(const std::string& level, std::optional<BYTE> alpha) {
        EXPECT_FALSE(::IsWindow(dialog_));
        EXPECT_TRUE(::IsWindowEnabled(window_.hwnd()));
        EXPECT_EQ(WindowText(window_.frm().txtTransp()), level);
        EXPECT_EQ(Alpha(window_.hwnd()), alpha);
    }
    std::string Stored() const { return ReadFileBytes(window_ / "config.bin"); }
    std::string Settings() const { return UnscrambleSettings(window_ / "config.bin"); }

    PlacementKey placement_;
    WindowUnderTest window_;
    HWND dialog_ = nullptr;
};

} // namespace

TEST_F(TransparencyDialogTest, OpensTopmostOverTheMainWindowsCornerAndHoldsItsInput) {
    Start();
    ::SetWindowPos(window_.hwnd(), nullptr, 123, 87, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_NE(Open("255"), nullptr);
    EXPECT_EQ(WindowText(dialog_), "  Transparency Settings");
    // Its frame and font are the tool dialogs' own, checked in GotoLineTest.
    EXPECT_TRUE(::GetWindowLongA(dialog_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT outer{};
    ::GetWindowRect(dialog_, &outer);
    EXPECT_EQ(outer.left, 123);
    EXPECT_EQ(outer.top, 87);
    EXPECT_EQ(WindowText(::GetDlgItem(dialog_, frmTransP::kCmdSave)), "Save Settings");
    // The label is drawn over the slider's last pixel.
    EXPECT_EQ(::GetWindow(dialog_, GW_CHILD), ::GetDlgItem(dialog_, frmTransP::kLblTransp));

    // The main window takes no input until the dialog is gone.
    EXPECT_FALSE(::IsWindowEnabled(window_.hwnd()));
    EXPECT_EQ(::GetActiveWindow(), dialog_);
    EXPECT_EQ(CloseAnswering(IDNO), "");
    ExpectClosedAt("255", std::nullopt);
    EXPECT_EQ(window_.frm().transPWindow(), nullptr);
}

TEST_F(TransparencyDialogTest, OpensAtTheStoredLevelsPercentageWithinItsRange) {
    Start("[INIT]\r\nTRANSPATENCY=255\r\n");
    const std::string stored = Stored();
    // A level saved by the dialog comes back as the same percentage; others
    // go to the nearest one within 30..100. The slider shows its opening
    // value, so closing asks nothing and changes nothing.
    const struct {
        const char* level; // null: as loaded
        int percent;
    } cases[] = {{nullptr, 100}, {"76.5", 30},   {"127.5", 50}, {"178.5", 70},  {"229.5", 90},
                 {"  153  ", 60}, {"79.05", 31}, {"78", 31},    {"77", 30},     {"10", 30},
                 {"-300", 30},    {"1000", 100}, {"256", 100},  {"1e300", 100}, {"abc", 30},
                 {"", 30},        {"C:\\prog\\config.bin", 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level ? c.level : "as loaded");
        ASSERT_NE(Open(c.level), nullptr);
        EXPECT_EQ(SliderValue(), c.percent);
        EXPECT_EQ(LabelAfterRefresh(), std::to_string(c.percent) + "%");
        EXPECT_EQ(CloseAnswering(IDNO), "");
        ExpectClosedAt(c.level ? c.level : "255", 255);
    }
    EXPECT_EQ(Stored(), stored);
}

TEST_F(TransparencyDialogTest, SaveAppliesTheLevelStoresItAndCloses) {
    Start("[INIT]\r\nMAKEWRITE=0\r\nTRANSPATENCY=255\r\n");
    // Each opens at the level saved before; the first saves at once.
    const struct {
        int percent;
        const char* text;
        BYTE alpha;
    } cases[] = {{100, "255", 255},  {30, "76.5", 76},   {50, "127.5", 128},
                 {70, "178.5", 178}, {90, "229.5", 230}, {31, "79.05", 79}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        ASSERT_NE(Open(), nullptr);
        MoveSlider(c.percent);
        const auto save = [&] {
            ::PostMessageA(::GetDlgItem(dialog_, frmTransP::kCmdSave), BM_CLICK, 0, 0);
        };
        EXPECT_EQ(Answering(IDNO, save), "") << "Save Settings closes without asking";
        ExpectClosedAt(c.text, c.alpha);
        EXPECT_EQ(Settings(), "[INIT]\r\nMAKEWRITE=0\r\nTRANSPATENCY=" + std::string(c.text) +
                                  "\r\n");
    }
    // The settings file was replaced whole each time: nothing else is left.
    EXPECT_EQ(ListFolder(window_.folder()), std::vector<std::string>{"config.bin"});
}

TEST_F(TransparencyDialogTest, ClosingAsksOnlyAfterAChange) {
    Start("[INIT]\r\nTRANSPATENCY=204\r\n");
    const std::string stored = Stored();
    const auto closeBox = [&] { ::SendMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0); };
    // Alt is held: bit 29 of the key data.
    const auto altF4 = [&] {
        ::PostMessageA(Slider(), WM_SYSKEYDOWN, VK_F4, static_cast<LPARAM>(0x20000001));
    };
    const struct {
        const char* name;
        std::vector<int> moves;
        std::function<void()> close;
        int answer;
        const char* question;
        BYTE level;
    } cases[] = {{"No drops the change", {60}, closeBox, IDNO, "Save Changes ?", 204},
                 {"moved back asks nothing", {60, 80}, closeBox, IDYES, "", 204},
                 {"Alt+F4 asks too", {75}, altF4, IDNO, "Save Changes ?", 204},
                 {"Yes saves", {60}, closeBox, IDYES, "Save Changes ?", 153}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(Open(), nullptr);
        ASSERT_EQ(SliderValue(), 80);
        for (int percent : c.moves)
            MoveSlider(percent);
        EXPECT_EQ(LabelAfterRefresh(), std::to_string(c.moves.back()) + "%");
        EXPECT_EQ(Answering(c.answer, c.close), c.question);
        ExpectClosedAt(std::to_string(c.level), c.level);
        if (c.level == 204) {
            EXPECT_EQ(Stored(), stored);
        }
    }
    EXPECT_EQ(Settings(), "[INIT]\r\nTRANSPATENCY=153\r\n");

    // Ending the main window ends the dialog, storing nothing.
    const std::string saved = Stored();
    ASSERT_NE(Open(), nullptr);
    MoveSlider(40);
    window_.Command(IDM_mnuExit);
    EXPECT_FALSE(::IsWindow(dialog_));
    EXPECT_EQ(Stored(), saved);
}

TEST_F(TransparencyDialogTest, KeyboardMovesTheSliderAndSavesFromTheButton) {
    Start();
    ASSERT_NE(Open("127.5"), nullptr);
    ASSERT_EQ(::GetFocus(), Slider());
    // Steps of 1 and pages of 5, held within 30..100.
    const std::pair<WPARAM, int> keys[] = {
        {VK_RIGHT, 51}, {VK_NEXT, 56}, {VK_END, 100}, {VK_HOME, 30}, {VK_LEFT, 30}};
    for (const auto& [key, percent] : keys) {
        Press(Slider(), key);
        EXPECT_EQ(SliderValue(), percent) << key;
        EXPECT_EQ(LabelAfterRefresh(), std::to_string(percent) + "%") << key;
    }
    // Tab reaches the button; Enter presses it.
    Press(Slider(), VK_TAB);
    HWND save = ::GetDlgItem(dialog_, frmTransP::kCmdSave);
    ASSERT_EQ(::GetFocus(), save);
    EXPECT_EQ(Answering(IDNO, [&] { Press(save, VK_RETURN); }), "");
    ExpectClosedAt("76.5", 76);
    EXPECT_EQ(Settings(), "[INIT]\r\nTRANSPATENCY=76.5\r\n");
}
