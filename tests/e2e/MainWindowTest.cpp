// The main window itself: its menus, text box, font and layout.
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window_.Start()); }
    PlacementKey placement_;
    WindowUnderTest window_;
};

std::string ItemText(HMENU menu, UINT position) {
    char text[256] = {};
    ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// The menu as "caption\tshortcut" lines, sub-menus indented by dots.
void Describe(HMENU menu, const std::string& indent, std::vector<std::string>& out) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT position = static_cast<UINT>(i);
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
        ::GetMenuItemInfoA(menu, position, TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            out.push_back(indent + "-");
            continue;
        }
        out.push_back(indent + ItemText(menu, position));
        if (info.hSubMenu)
            Describe(info.hSubMenu, indent + ". ", out);
    }
}

} // namespace

TEST_F(MainWindowTest, MenuTreeWithCaptionsAndShortcuts) {
    std::vector<std::string> tree;
    Describe(window_.frm().menu(), "", tree);
    const std::vector<std::string> expected = {
        "File",
        ". Open NFO\tCtrl+O",
        ". Save NFO\tCtrl+S",
        ". -",
        ". Make Writable\tCtrl+R",
        ". -",
        ". Set Color",
        ". . Set ForeColor\tCtrl+F",
        ". . Set BackColor\tCtrl+B",
        ". Preferences",
        ". . Set Always On Top (False)\tCtrl+F1",
        ". . Set TransParency Level\tCtrl+F2",
        ". . Registry Settings",
        ". . . Add File Association\tCtrl+F3",
        ". . . Add URL Protocol\tCtrl+F4",
        ". -",
        ". Exit\tF1",
        "Edit",
        ". Undo\tCtrl+Z",
        ". -",
        ". Cut\tCtrl+X",
        ". Copy\tCtrl+C",
        ". Paste\tCtrl+V",
        ". Delete\tDel",
        ". -",
        ". Goto LineNR...\tCtrl+G",
        ". -",
        ". Select All\tCtrl+A",
        ". Insert Time and Date\tF5",
        "About",
    };
    EXPECT_EQ(tree, expected);
    EXPECT_FALSE(window_.MenuEnabled(IDM_mnuSave));
    EXPECT_EQ(window_.MenuCaption(IDM_mnuMakeWrite), "Make Writable");
}

TEST_F(MainWindowTest, AcceleratorsReachTheirCommands) {
    HACCEL accel = ::LoadAcceleratorsA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCEL));
    ASSERT_NE(accel, nullptr);
    ACCEL table[64];
    const int n = ::CopyAcceleratorTableA(accel, table, 64);
    auto find = [&](WORD key, BYTE mods) {
        for (int i = 0; i < n; ++i)
            if (table[i].key == key && (table[i].fVirt & (FCONTROL | FSHIFT | FALT)) == mods)
                return static_cast<int>(table[i].cmd);
        return -1;
    };
    EXPECT_EQ(find(VK_F1, 0), IDM_mnuExit);
    EXPECT_EQ(find(VK_F1, FCONTROL), IDM_mnuOnTop);
    EXPECT_EQ(find(VK_F2, FCONTROL), IDM_mnuTransP);
    EXPECT_EQ(find(VK_F3, FCONTROL), IDM_mnuAss);
    EXPECT_EQ(find(VK_F4, FCONTROL), IDM_mnuUrl);
    EXPECT_EQ(find('O', FCONTROL), IDM_mnuOpen);
    EXPECT_EQ(find('S', FCONTROL), IDM_mnuSave);
    EXPECT_EQ(find('R', FCONTROL), IDM_mnuMakeWrite);
    EXPECT_EQ(find('F', FCONTROL), IDM_mnuFC);
    EXPECT_EQ(find('B', FCONTROL), IDM_mnuBC);
    EXPECT_EQ(find('G', FCONTROL), IDM_mnuGoto);
    EXPECT_EQ(find('A', FCONTROL), IDM_mnuSelAll);
    EXPECT_EQ(find(VK_DELETE, 0), IDM_mnuDelete);
    EXPECT_EQ(find(VK_F5, 0), IDM_mnuNow);
    ::DestroyAcceleratorTable(accel);
}

TEST_F(MainWindowTest, TextBoxIsALockedWrappingOemTerminalBox) {
    HWND box = window_.txtnfo();
    const LONG style = ::GetWindowLongA(box, GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & WS_HSCROLL);
    EXPECT_FALSE(style & ES_AUTOHSCROLL) << "long lines must wrap";
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_EQ(::GetFocus(), box);

    LOGFONTA lf{};
    ASSERT_TRUE(::GetObjectA(window_.frm().font(), sizeof lf, &lf));
    EXPECT_STREQ(lf.lfFaceName, "Terminal");
    EXPECT_EQ(lf.lfCharSet, OEM_CHARSET);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfHeight, -::MulDiv(6, ScreenDpi(), 72));
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(box, WM_GETFONT, 0, 0)), window_.frm().font());

    // The font really chosen for drawing is the OEM raster "Terminal".
    HDC dc = ::GetDC(box);
    HGDIOBJ old = ::SelectObject(dc, window_.frm().font());
    char face[LF_FACESIZE] = {};
    ::GetTextFaceA(dc, sizeof face, face);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    // Byte 0xC9 reaches the text box as U+00C9 through the ANSI code page
    // and must land on the font's glyph 0xC9, the double-line corner.
    WORD glyph = 0;
    ::GetGlyphIndicesW(dc, L"\u00C9", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    ::SelectObject(dc, old);
    ::ReleaseDC(box, dc);
    EXPECT_STREQ(face, "Terminal");
    EXPECT_EQ(tm.tmCharSet, OEM_CHARSET);
    EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH) << "fixed pitch (the flag is inverted)";
    EXPECT_EQ(glyph, 0xC9);

    EXPECT_EQ(window_.frm().BackColor(), 0x00FFFFFFu);
    HDC boxDc = ::GetDC(box);
    const auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(window_.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(boxDc),
                       reinterpret_cast<LPARAM>(box)));
    EXPECT_EQ(::GetBkColor(boxDc), RGB(255, 255, 255));
    ::ReleaseDC(box, boxDc);
    LOGBRUSH lb{};
    ASSERT_TRUE(::GetObjectA(brush, sizeof lb, &lb));
    EXPECT_EQ(lb.lbColor, RGB(255, 255, 255));

    EXPECT_FALSE(::IsWindowVisible(window_.frm().txtTransp()));
}

TEST_F(MainWindowTest, TextBoxFillsTheClientAreaAtAnySize) {
    for (const SIZE size : {SIZE{600, 420}, SIZE{300, 200}, SIZE{1000, 700}, SIZE{120, 90}}) {
        ::SetWindowPos(window_.hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        window_.Pump();
        RECT client{};
        ::GetClientRect(window_.hwnd(), &client);
        RECT box{};
        ::GetWindowRect(window_.txtnfo(), &box);
        ::MapWindowPoints(nullptr, window_.hwnd(), reinterpret_cast<POINT*>(&box), 2);
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.top, 0);
        EXPECT_EQ(box.right, client.right) << size.cx;
        EXPECT_EQ(box.bottom, client.bottom) << size.cy;
    }
}

TEST_F(MainWindowTest, MiddleButtonPopsUpTheFileMenu) {
    const HMENU file = ::GetSubMenu(window_.frm().menu(), 0);
    std::atomic<HMENU> shown{nullptr};
    std::atomic<bool> sawPopup{false};
    const DWORD pid = ::GetCurrentProcessId();
    HWND main = window_.hwnd();
    std::thread watcher([&] {
        HWND popup = nullptr;
        if (WaitUntilQuiet([&] { return (popup = FindProcessWindow(pid, "#32768")) != nullptr; }, 5000)) {
            sawPopup = true;
            shown = reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0));
        }
        ::PostMessageA(main, WM_CANCELMODE, 0, 0);
        ::PostMessageA(popup ? popup : main, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    ::SendMessageA(window_.txtnfo(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(20, 20));
    watcher.join();
    window_.Pump();
    EXPECT_TRUE(sawPopup);
    EXPECT_EQ(shown.load(), file);
}

TEST_F(MainWindowTest, LeftAndRightButtonsShowNoFileMenu) {
    // The right button brings the text box's own menu, which is not File.
    std::atomic<bool> sawPopup{false};
    const DWORD pid = ::GetCurrentProcessId();
    std::atomic<bool> stop{false};
    std::thread watcher([&] {
        WaitUntilQuiet([&] {
            if (HWND popup = FindProcessWindow(pid, "#32768")) {
                if (reinterpret_cast<HMENU>(::SendMessageA(popup, MN_GETHMENU, 0, 0)) ==
                    ::GetSubMenu(window_.frm().menu(), 0))
                    sawPopup = true;
                ::PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
                ::PostMessageA(window_.hwnd(), WM_CANCELMODE, 0, 0);
            }
            return stop.load();
        }, 10000);
    });
    ::SendMessageA(window_.txtnfo(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ::SendMessageA(window_.txtnfo(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    ::SendMessageA(window_.txtnfo(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
    ::SendMessageA(window_.txtnfo(), WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    window_.Pump();
    stop = true;
    watcher.join();
    EXPECT_FALSE(sawPopup);
}

TEST_F(MainWindowTest, ExitEndsWithoutTheCloseHandler) {
    ::SetWindowPos(window_.hwnd(), nullptr, 33, 44, 500, 400, SWP_NOZORDER);
    window_.Command(IDM_mnuExit);
    EXPECT_FALSE(::IsWindow(window_.hwnd()));
    EXPECT_FALSE(placement_.GetDword("MainLeft"));
}

TEST_F(MainWindowTest, CloseBoxStoresThePlacement) {
    ::SetWindowPos(window_.hwnd(), nullptr, 33, 44, 500, 400, SWP_NOZORDER);
    ::SendMessageA(window_.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(window_.hwnd()));
    const int dpi = ScreenDpi();
    EXPECT_EQ(placement_.GetDword("MainLeft"), ::MulDiv(33, 1440, dpi));
    EXPECT_EQ(placement_.GetDword("MainWidth"), ::MulDiv(500, 1440, dpi));
}
