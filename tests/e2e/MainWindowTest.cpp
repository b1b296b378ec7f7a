// The main window and its Edit menu as a user meets them: the text box,
// the mouse, the keys, the clipboard and how the window ends.
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace quorvel;
using namespace quorvel::test;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window_.Start()); }
    void PressKey(WPARAM key) {
        ::PostMessageA(window_.txtnfo(), WM_KEYDOWN, key, 1);
        ::PostMessageA(window_.txtnfo(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        window_.Pump();
    }
    bool Locked() const { return ::GetWindowLongA(window_.txtnfo(), GWL_STYLE) & ES_READONLY; }

    PlacementKey placement_;
    WindowUnderTest window_;
};

bool OpenClipboardSoon() { // the clipboard is shared with the system
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

// The locale's general date form of now, from its own short date and long
// time (the date alone at exactly midnight).
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

TEST_F(MainWindowTest, TheTextChangesOnlyWhileWritableButTheDateGoesInLockedOrNot) {
    PutClipboard("XYZ");
    ::SetWindowTextA(window_.txtnfo(), "abc\r\ndef\r\n");
    const struct {
        bool locked;
        int start, end;
        UINT command; // 0: the Del key
        const char *text, *clipboard;
    } steps[] = {{true, 0, 3, IDM_mnuPaste, "abc\r\ndef\r\n", "XYZ"},
                 {true, 5, 8, IDM_mnuDelete, "abc\r\ndef\r\n", "XYZ"},
                 {true, 5, 8, 0, "abc\r\ndef\r\n", "XYZ"},
                 {true, 5, 8, IDM_mnuCut, "abc\r\ndef\r\n", "def"},
                 {false, 0, 5, IDM_mnuCopy, "abc\r\ndef\r\n", "abc\r\n"},
                 {false, 5, 8, IDM_mnuCut, "abc\r\n\r\n", "def"},
                 {false, 0, 0, IDM_mnuUndo, "abc\r\ndef\r\n", "def"},
                 {false, 0, 3, IDM_mnuPaste, "def\r\ndef\r\n", "def"},
                 {false, 0, 3, 0, "\r\ndef\r\n", "def"}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.text);
        if (Locked() != s.locked)
            window_.Command(IDM_mnuMakeWrite);
        ASSERT_EQ(Locked(), s.locked);
        ::SendMessageA(window_.txtnfo(), EM_SETSEL, static_cast<WPARAM>(s.start), s.end);
        s.command ? window_.Command(s.command) : PressKey(VK_DELETE);
        EXPECT_EQ(window_.Text(), s.text);
        EXPECT_EQ(ClipboardText(), s.clipboard);
    }
    window_.Command(IDM_mnuSelAll);
    EXPECT_EQ(window_.Selection(), std::make_pair(0, 7));
    // F5 replaces the selection with the time and date, locked or not.
    for (const bool locked : {true, false}) {
        if (Locked() != locked)
            window_.Command(IDM_mnuMakeWrite);
        ::SetWindowTextA(window_.txtnfo(), "Hello World!");
        ::SendMessageA(window_.txtnfo(), EM_SETSEL, 6, 11);
        const std::string before = NowText();
        PressKey(VK_F5);
        const std::string got = window_.Text(), after = NowText();
        EXPECT_TRUE(got == "Hello " + before + "!" || got == "Hello " + after + "!") << got;
        EXPECT_EQ(window_.MenuEnabled(IDM_mnuSave), !locked);
    }
}

TEST_F(MainWindowTest, TextBoxFillsTheClientArea) {
    for (const SIZE size : {SIZE{600, 420}, SIZE{1000, 700}}) {
        ::SetWindowPos(window_.hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        window_.Pump();
        RECT client{}, box{};
        ::GetClientRect(window_.hwnd(), &client);
        ::GetWindowRect(window_.txtnfo(), &box);
        ::MapWindowPoints(nullptr, window_.hwnd(), reinterpret_cast<POINT*>(&box), 2);
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.top, 0);
        EXPECT_EQ(box.right, client.right) << size.cx;
        EXPECT_EQ(box.bottom, client.bottom) << size.cy;
    }
}

TEST_F(MainWindowTest, MiddleButtonPopsUpTheFileMenu) {
    std::atomic<HMENU> shown{nullptr};
    const DWORD pid = ::GetCurrentProcessId();
    HWND main = window_.hwnd();
    std::thread watcher([&] {
        HWND popup = nullptr;
        if (WaitUntilQuiet([&] { return (popup = FindProcessWindow(pid, "#32768")) != nullptr; }))
            shown = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
        ::PostMessageA(main, WM_CANCELMODE, 0, 0);
        ::PostMessageA(popup ? popup : main, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    ::SendMessageA(window_.txtnfo(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(20, 20));
    watcher.join();
    window_.Pump();
    EXPECT_EQ(shown.load(), ::GetSubMenu(window_.frm().menu(), 0));
}

TEST_F(MainWindowTest, F1ExitEndsWithoutStoringThePlacement) {
    ::SetWindowPos(window_.hwnd(), nullptr, 33, 44, 500, 400, SWP_NOZORDER);
    PressKey(VK_F1);
    EXPECT_FALSE(::IsWindow(window_.hwnd()));
    EXPECT_FALSE(placement_.GetDword("MainLeft"));
}

TEST_F(MainWindowTest, TheCloseBoxStoresThePlacement) {
    ::SetWindowPos(window_.hwnd(), nullptr, 33, 44, 500, 400, SWP_NOZORDER);
    ::SendMessageA(window_.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(window_.hwnd()));
    EXPECT_EQ(placement_.GetDword("MainLeft"), ::MulDiv(33, 1440, ScreenDpi()));
    EXPECT_EQ(placement_.GetDword("MainWidth"), ::MulDiv(500, 1440, ScreenDpi()));
}
