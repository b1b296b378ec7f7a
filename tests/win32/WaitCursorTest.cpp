// The wait cursor shows while the program is busy with a file (a text file
// loaded or saved, the settings file rewritten) and the cursor from before
// comes back afterwards.
#include "text/TextFile.h"
#include "settings/SettingsFile.h"
#include "settings/clsBinaryEncryptor.h"
#include "tests/support/TestFiles.h"

#include <commctrl.h>

#include <gtest/gtest.h>

using namespace quorvel;
using namespace quorvel::test;

namespace {

HCURSOR Arrow() { return ::LoadCursor(nullptr, IDC_ARROW); }
HCURSOR Hourglass() { return ::LoadCursor(nullptr, IDC_WAIT); }

// A text box that notes the cursor shown while its text is set or read,
// which the file routines do in the middle of their work.
class WatchedTextBox {
public:
    WatchedTextBox() {
        hwnd_ = ::CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, nullptr,
                                  nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(hwnd_, EM_SETLIMITTEXT, 0, 0);
        ::SetWindowSubclass(hwnd_, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    WatchedTextBox(const WatchedTextBox&) = delete;
    WatchedTextBox& operator=(const WatchedTextBox&) = delete;
    ~WatchedTextBox() {
        ::RemoveWindowSubclass(hwnd_, Proc, 1);
        ::DestroyWindow(hwnd_);
    }
    HWND hwnd() const { return hwnd_; }
    HCURSOR cursorWhileSet = nullptr;
    HCURSOR cursorWhileRead = nullptr;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR self) {
        auto* box = reinterpret_cast<WatchedTextBox*>(self);
        if (msg == WM_SETTEXT)
            box->cursorWhileSet = ::GetCursor();
        else if (msg == WM_GETTEXT)
            box->cursorWhileRead = ::GetCursor();
        return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    HWND hwnd_ = nullptr;
};

class WaitCursorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Hourglass(), Arrow());
        ::SetCursor(Arrow());
        ASSERT_EQ(::GetCursor(), Arrow());
    }
    TempFolder folder_{"cursor"};
};

} // namespace

TEST_F(WaitCursorTest, ShowsWhileAFileIsLoadedAndSaved) {
    const std::string path = folder_ / "a.nfo";
    WriteFileBytes(path, "one\r\ntwo\r\n");
    WatchedTextBox box;
    ASSERT_NE(box.hwnd(), nullptr);

    ASSERT_EQ(LoadText(box.hwnd(), path), LoadOutcome::Loaded);
    EXPECT_EQ(box.cursorWhileSet, Hourglass());
    EXPECT_EQ(::GetCursor(), Arrow());

    ASSERT_TRUE(SaveText(box.hwnd(), path));
    EXPECT_EQ(box.cursorWhileRead, Hourglass());
    EXPECT_EQ(::GetCursor(), Arrow());
    EXPECT_EQ(ReadFileBytes(path), "one\r\ntwo\r\n");
}

TEST_F(WaitCursorTest, ShowsWhileTheSettingsFileIsRewritten) {
    clsBinaryEncryptor cipher;
    const std::string settings = SettingsPathFor(folder_.path());
    HCURSOR whileWriting = nullptr;
    ASSERT_TRUE(UpdateSettingsFile(cipher, settings, [&](const std::string& plain) {
        whileWriting = ::GetCursor();
        return WriteProfileKey(plain, kSettingsSection, "MAKEWRITE", "1");
    }));
    EXPECT_EQ(whileWriting, Hourglass());
    EXPECT_EQ(::GetCursor(), Arrow());
    EXPECT_EQ(UnscrambleSettings(settings), "[INIT]\r\nMAKEWRITE=1\r\n");
}
