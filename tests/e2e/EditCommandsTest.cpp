// The Edit menu as a user meets it: the real text box, the real clipboard,
// locked and writable.
#include "app/EditCommands.h"
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <oleauto.h>

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
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    ASSERT_NE(memory, nullptr);
    char* data = static_cast<char*>(::GlobalLock(memory));
    std::copy(text.begin(), text.end(), data);
    data[text.size()] = '\0';
    ::GlobalUnlock(memory);
    if (!::SetClipboardData(CF_TEXT, memory))
        ::GlobalFree(memory);
    ::CloseClipboard();
}

std::string ClipboardText() {
    if (!OpenClipboardSoon())
        return "<clipboard busy>";
    std::string text;
    if (HANDLE memory = ::GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(::GlobalLock(memory));
        ::GlobalUnlock(memory);
    }
    ::CloseClipboard();
    return text;
}

// Text of an OLE date in the user's locale, straight from oleaut32.
std::string OleDateText(DATE date, ULONG flags) {
    BSTR text = nullptr;
    if (FAILED(::VarBstrFromDate(date, LOCALE_USER_DEFAULT, flags, &text)))
        return "<no text>";
    std::string result;
    for (UINT i = 0; i < ::SysStringLen(text); ++i)
        result.push_back(static_cast<char>(text[i]));
    ::SysFreeString(text);
    return result;
}

std::string NowText() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    now.wMilliseconds = 0;
    DATE date = 0;
    ::SystemTimeToVariantTime(&now, &date);
    return OleDateText(date, 0);
}

DATE MakeDate(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = hour;
    st.wMinute = minute;
    st.wSecond = second;
    DATE date = 0;
    ::SystemTimeToVariantTime(&st, &date);
    return date;
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
    std::pair<int, int> Selection() const {
        DWORD start = 0;
        DWORD end = 0;
        ::SendMessageA(window_.txtnfo(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                       reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
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
    window_.Command(IDM_mnuSelAll);
    EXPECT_EQ(Selection(), std::make_pair(0, 10));

    SetText("\xDB\xDB\xB0\r\n\xC9\xCD\xBB\r\n\r\n");
    window_.Command(IDM_mnuSelAll);
    EXPECT_EQ(Selection(), std::make_pair(0, 12));

    SetText("");
    window_.Command(IDM_mnuSelAll);
    EXPECT_EQ(Selection(), std::make_pair(0, 0));

    // With the focus in another window, it stays there.
    SetText("abc\r\ndef\r\n");
    window_.Command(IDM_mnuGoto);
    HWND entry = ::GetFocus();
    ASSERT_NE(entry, window_.txtnfo());
    window_.Command(IDM_mnuSelAll);
    EXPECT_EQ(::GetFocus(), entry);
    EXPECT_EQ(Selection(), std::make_pair(0, 10));
}

TEST_F(EditCommandsTest, CopyPutsTheSelectionOnTheClipboard) {
    ASSERT_TRUE(Locked());
    PutClipboard("old");
    Select(5, 8);
    window_.Command(IDM_mnuCopy);
    EXPECT_EQ(ClipboardText(), "def");
    EXPECT_EQ(window_.Text(), "abc\r\ndef\r\n");

    SetLocked(false);
    Select(0, 5);
    window_.Command(IDM_mnuCopy);
    EXPECT_EQ(ClipboardText(), "abc\r\n");
    EXPECT_EQ(window_.Text(), "abc\r\ndef\r\n");
}

TEST_F(EditCommandsTest, CutOnALockedTextOnlyCopies) {
    ASSERT_TRUE(Locked());
    PutClipboard("old");
    Select(0, 3);
    window_.Command(IDM_mnuCut);
    EXPECT_EQ(ClipboardText(), "abc");
    EXPECT_EQ(window_.Text(), "abc\r\ndef\r\n");

    SetLocked(false);
    Select(5, 8);
    window_.Command(IDM_mnuCut);
    EXPECT_EQ(ClipboardText(), "def");
    EXPECT_EQ(window_.Text(), "abc\r\n\r\n");
}

TEST_F(EditCommandsTest, PasteDeleteAndUndoChangeNothingWhileLocked) {
    SetLocked(false);
    PutClipboard("XYZ");
    Select(0, 3);
    window_.Command(IDM_mnuPaste);
    ASSERT_EQ(window_.Text(), "XYZ\r\ndef\r\n");

    SetLocked(true);
    window_.Command(IDM_mnuUndo);
    EXPECT_EQ(window_.Text(), "XYZ\r\ndef\r\n");
    Select(5, 8);
    window_.Command(IDM_mnuDelete);
    EXPECT_EQ(window_.Text(), "XYZ\r\ndef\r\n");
    PressKey(VK_DELETE);
    EXPECT_EQ(window_.Text(), "XYZ\r\ndef\r\n");
    PutClipboard("123");
    Select(0, 3);
    window_.Command(IDM_mnuPaste);
    EXPECT_EQ(window_.Text(), "XYZ\r\ndef\r\n");

    // Writable again, the same commands change the text.
    SetLocked(false);
    window_.Command(IDM_mnuUndo);
    EXPECT_EQ(window_.Text(), "abc\r\ndef\r\n") << "the paste is undone";
    Select(5, 8);
    window_.Command(IDM_mnuDelete);
    EXPECT_EQ(window_.Text(), "abc\r\n\r\n");
    window_.Command(IDM_mnuUndo);
    EXPECT_EQ(window_.Text(), "abc\r\ndef\r\n");
    Select(0, 0);
    window_.Command(IDM_mnuPaste);
    EXPECT_EQ(window_.Text(), "123abc\r\ndef\r\n");
    // The Del key reaches the command too.
    Select(0, 3);
    PressKey(VK_DELETE);
    EXPECT_EQ(window_.Text(), "abc\r\ndef\r\n");
}

TEST_F(EditCommandsTest, InsertTimeAndDateReplacesTheSelection) {
    SetText("Hello World!");
    SetLocked(false);
    Select(6, 11);
    const std::string before = NowText();
    window_.Command(IDM_mnuNow);
    const std::string after = NowText();
    const std::string text = window_.Text();
    const std::string stamp = text.substr(6, text.size() - 7);
    EXPECT_TRUE(stamp == before || stamp == after) << stamp << " / " << before << " / " << after;
    EXPECT_EQ(text, "Hello " + stamp + "!");
    const int behind = 6 + static_cast<int>(stamp.size());
    EXPECT_EQ(Selection(), std::make_pair(behind, behind)) << "the caret ends behind it";

    window_.Command(IDM_mnuUndo);
    EXPECT_EQ(window_.Text(), "Hello World!");

    // Nothing selected: inserted at the caret, here by its key, F5.
    Select(0, 0);
    const std::string before2 = NowText();
    PressKey(VK_F5);
    const std::string after2 = NowText();
    const std::string text2 = window_.Text();
    ASSERT_GT(text2.size(), 12u);
    const std::string stamp2 = text2.substr(0, text2.size() - 12);
    EXPECT_TRUE(stamp2 == before2 || stamp2 == after2) << stamp2;
    EXPECT_EQ(text2.substr(stamp2.size()), "Hello World!");
}

TEST_F(EditCommandsTest, InsertTimeAndDateLeavesALockedTextAlone) {
    SetText("Hello World!");
    ASSERT_TRUE(Locked());
    Select(6, 11);
    window_.Command(IDM_mnuNow);
    PressKey(VK_F5);
    EXPECT_EQ(window_.Text(), "Hello World!");
    EXPECT_EQ(Selection(), std::make_pair(6, 11));
}

TEST(GeneralDateTest, ShortDateAndLongTimeWithAMidnightTimeLeftOut) {
    const DATE midnight = MakeDate(2024, 3, 5, 0, 0, 0);
    const DATE afternoon = MakeDate(2024, 3, 5, 13, 14, 15);
    const std::string date = OleDateText(midnight, VAR_DATEVALUEONLY);
    const std::string time = OleDateText(afternoon, VAR_TIMEVALUEONLY);
    ASSERT_NE(date, "<no text>");
    ASSERT_NE(time, "<no text>");

    EXPECT_EQ(FormatGeneralDate(midnight), date);
    EXPECT_EQ(FormatGeneralDate(afternoon), date + " " + time);
    // One second after midnight is a time worth showing.
    const DATE justAfter = MakeDate(2024, 3, 5, 0, 0, 1);
    EXPECT_EQ(FormatGeneralDate(justAfter), date + " " + OleDateText(justAfter, VAR_TIMEVALUEONLY));

    // The same as the locale's own short date and long time.
    SYSTEMTIME st{};
    st.wYear = 2024;
    st.wMonth = 3;
    st.wDay = 5;
    st.wHour = 13;
    st.wMinute = 14;
    st.wSecond = 15;
    char shortDate[64] = {};
    char longTime[64] = {};
    ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, shortDate,
                     sizeof shortDate);
    ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, longTime, sizeof longTime);
    EXPECT_EQ(FormatGeneralDate(afternoon), std::string(shortDate) + " " + longTime);
    EXPECT_EQ(FormatGeneralDate(midnight), shortDate);

    // The current time in that form, to the second.
    const std::string before = NowText();
    const std::string now = CurrentGeneralDate();
    const std::string after = NowText();
    EXPECT_TRUE(now == before || now == after) << now;
}
