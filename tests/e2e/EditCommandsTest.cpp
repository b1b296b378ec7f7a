// The Edit menu as a user meets it: the real text box, the real clipboard,
// locked and writable.
#include "common/NumberFormat.h"
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <functional>
#include <utility>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// The clipboard is shared with the system: opening it may have to wait.
bool OpenClipboardSoon() {
    return WaitUntilQuiet([] { return ::OpenClipboard(nullptr) != 0; }, 5000);
}

void PutClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboardSoon());
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    std::copy(text.begin(), text.end(), static_cast<char*>(::GlobalLock(memory)));
    ::GlobalUnlock(memory);
    EXPECT_TRUE(::SetClipboardData(CF_TEXT, memory));
    ::CloseClipboard();
}

std::string ClipboardText() {
    if (!OpenClipboardSoon())
        return "<clipboard busy>";
    HANDLE memory = ::GetClipboardData(CF_TEXT);
    const std::string text = memory ? static_cast<const char*>(::GlobalLock(memory)) : "";
    if (memory)
        ::GlobalUnlock(memory);
    ::CloseClipboard();
    return text;
}

// The locale's general date form, made from its own short date and long
// time: the date alone at exactly midnight.
std::string LocaleGeneralDate(const SYSTEMTIME& st) {
    char date[64] = {};
    char time[64] = {};
    ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    if (st.wHour == 0 && st.wMinute == 0 && st.wSecond == 0)
        return date;
    ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

std::string NowText() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return LocaleGeneralDate(now);
}

// `action` gives what `expected` makes of the time and date as it was just
// before or just after it.
void ExpectNow(const std::function<std::string()>& action,
               const std::function<std::string(const std::string&)>& expected) {
    const std::string before = NowText();
    const std::string got = action();
    const std::string after = NowText();
    EXPECT_TRUE(got == expected(before) || got == expected(after)) << got << " at " << after;
}

class EditCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window_.Start());
        SetText("abc\r\ndef\r\n");
    }

    void SetText(const std::string& text) { ::SetWindowTextA(window_.txtnfo(), text.c_str()); }
    void Select(int start, int end) {
        ::SendMessageA(window_.txtnfo(), EM_SETSEL, static_cast<WPARAM>(start), end);
    }
    std::pair<int, int> Selection() const { return window_.Selection(); }
    bool Locked() const { return ::GetWindowLongA(window_.txtnfo(), GWL_STYLE) & ES_READONLY; }
    void SetLocked(bool locked) {
        if (Locked() != locked)
            window_.Command(IDM_mnuMakeWrite);
        ASSERT_EQ(Locked(), locked);
    }
    void PressKey(WPARAM key) {
        ::PostMessageA(window_.txtnfo(), WM_KEYDOWN, key, 1);
        ::PostMessageA(window_.txtnfo(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        window_.Pump();
    }

    PlacementKey placement_;
    WindowUnderTest window_;
};

} // namespace

TEST_F(EditCommandsTest, SelectAllSelectsEveryCharacterAndLeavesTheFocus) {
    for (const std::string text : {"abc\r\ndef\r\n", "\xDB\xDB\xB0\r\n\xC9\xCD\xBB\r\n\r\n", ""}) {
        SetText(text);
        window_.Command(IDM_mnuSelAll);
        EXPECT_EQ(Selection(), std::make_pair(0, static_cast<int>(text.size()))) << text;
    }
    // With the focus in another window, it stays there.
    SetText("abc\r\ndef\r\n");
    window_.Command(IDM_mnuGoto);
    HWND entry = ::GetFocus();
    ASSERT_NE(entry, window_.txtnfo());
    window_.Command(IDM_mnuSelAll);
    EXPECT_EQ(::GetFocus(), entry);
    EXPECT_EQ(Selection(), std::make_pair(0, 10));
}

TEST_F(EditCommandsTest, TheTextChangesOnlyWhileWritableAndCutWhileLockedOnlyCopies) {
    PutClipboard("XYZ");
    // One history: each step runs on the text the step before left.
    const struct {
        bool locked;
        int start, end;
        UINT command; // 0: the Del key
        const char* text;
        const char* clipboard;
    } steps[] = {{false, 0, 3, IDM_mnuPaste, "XYZ\r\ndef\r\n", "XYZ"},
                 {true, 0, 0, IDM_mnuUndo, "XYZ\r\ndef\r\n", "XYZ"},
                 {true, 5, 8, IDM_mnuDelete, "XYZ\r\ndef\r\n", "XYZ"},
                 {true, 5, 8, 0, "XYZ\r\ndef\r\n", "XYZ"},
                 {true, 5, 8, IDM_mnuCopy, "XYZ\r\ndef\r\n", "def"},
                 {true, 0, 3, IDM_mnuPaste, "XYZ\r\ndef\r\n", "def"},
                 {true, 0, 3, IDM_mnuCut, "XYZ\r\ndef\r\n", "XYZ"},
                 {false, 0, 0, IDM_mnuUndo, "abc\r\ndef\r\n", "XYZ"},
                 {false, 0, 5, IDM_mnuCopy, "abc\r\ndef\r\n", "abc\r\n"},
                 {false, 5, 8, IDM_mnuCut, "abc\r\n\r\n", "def"},
                 {false, 0, 0, IDM_mnuUndo, "abc\r\ndef\r\n", "def"},
                 {false, 0, 0, IDM_mnuPaste, "defabc\r\ndef\r\n", "def"},
                 {false, 0, 3, 0, "abc\r\ndef\r\n", "def"},
                 {false, 5, 8, IDM_mnuDelete, "abc\r\n\r\n", "def"}};
    int step = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE("step " + std::to_string(++step));
        SetLocked(s.locked);
        Select(s.start, s.end);
        if (s.command)
            window_.Command(s.command);
        else
            PressKey(VK_DELETE);
        EXPECT_EQ(window_.Text(), s.text);
        EXPECT_EQ(ClipboardText(), s.clipboard);
    }
}

TEST_F(EditCommandsTest, InsertTimeAndDateReplacesTheSelectionLockedOrNot) {
    SetText("Hello World!");
    ASSERT_TRUE(Locked());
    Select(6, 11);
    ExpectNow(
        [&] {
            window_.Command(IDM_mnuNow);
            return window_.Text();
        },
        [](const std::string& now) { return "Hello " + now + "!"; });
    const int behind = static_cast<int>(window_.Text().size()) - 1;
    EXPECT_EQ(Selection(), std::make_pair(behind, behind)) << "the caret ends behind it";
    EXPECT_FALSE(window_.MenuEnabled(IDM_mnuSave)) << "a locked text still cannot be saved";

    SetLocked(false);
    SetText("Hello World!");
    // Nothing selected: inserted at the caret, here by its key, F5.
    Select(0, 0);
    ExpectNow(
        [&] {
            PressKey(VK_F5);
            return window_.Text();
        },
        [](const std::string& now) { return now + "Hello World!"; });
    window_.Command(IDM_mnuUndo);
    EXPECT_EQ(window_.Text(), "Hello World!");
}

TEST(GeneralDateTest, ShortDateAndLongTimeWithAMidnightTimeLeftOut) {
    const WORD times[][3] = {{0, 0, 0}, {13, 14, 15}, {0, 0, 1}};
    for (const auto& t : times) {
        SYSTEMTIME st{2024, 3, 2, 5, t[0], t[1], t[2], 0};
        DATE date = 0;
        ASSERT_TRUE(::SystemTimeToVariantTime(&st, &date));
        EXPECT_EQ(FormatGeneralDate(date), LocaleGeneralDate(st)) << st.wHour << ":" << st.wSecond;
    }
    ExpectNow([] { return CurrentGeneralDate(); }, [](const std::string& now) { return now; });
}
