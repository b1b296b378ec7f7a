// The About command and the About box as the user meets them: the real box
// over the real main window, read and clicked from a second thread while
// the command waits for it.
#include "about/frmAbout.h"
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <cmath>
#include <functional>
#include <map>
#include <optional>

using namespace quorvel;
using namespace quorvel::test;

namespace {

int Px(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

RECT ChildRect(HWND parent, int id) {
    RECT rc{};
    ::GetWindowRect(::GetDlgItem(parent, id), &rc);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

RECT TwipsRect(double left, double top, double width, double height) {
    const int dpi = ScreenDpi();
    return RECT{Px(left, dpi), Px(top, dpi), Px(left, dpi) + Px(width, dpi),
                Px(top, dpi) + Px(height, dpi)};
}

// Rectangles as text, so a mismatch shows both.
std::string Text(const RECT& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + " - " +
           std::to_string(rc.right) + "," + std::to_string(rc.bottom);
}

LOGFONTA FontOf(HWND control) {
    LOGFONTA lf{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof lf,
                 &lf);
    return lf;
}

COLORREF TextColorOf(HWND dialog, int id) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
    const COLORREF color = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return color;
}

BOOL CALLBACK FindTooltip(HWND hwnd, LPARAM lParam) {
    auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(lParam);
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0 && ::GetWindow(hwnd, GW_OWNER) == found->first) {
        found->second = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::string TooltipOf(HWND dialog, int id) {
    std::pair<HWND, HWND> found{dialog, nullptr};
    ::EnumThreadWindows(::GetWindowThreadProcessId(dialog, nullptr), FindTooltip,
                        reinterpret_cast<LPARAM>(&found));
    char text[512] = {};
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = dialog;
    info.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(dialog, id));
    info.lpszText = text;
    ::SendMessageA(found.second, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return text;
}

// The cursor the box sets when the mouse is over a control.
HCURSOR CursorOver(HWND dialog, int id) {
    const DWORD ui = ::GetWindowThreadProcessId(dialog, nullptr);
    ::AttachThreadInput(::GetCurrentThreadId(), ui, TRUE);
    ::SetCursor(nullptr);
    ::SendMessageA(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, id)),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    const HCURSOR cursor = ::GetCursor();
    ::AttachThreadInput(::GetCurrentThreadId(), ui, FALSE);
    return cursor;
}

// Processes named MSINFO32.EXE that this test process started.
std::vector<DWORD> StartedTools() {
    std::vector<DWORD> pids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more;
         more = ::Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == ::GetCurrentProcessId() &&
            lstrcmpiA(entry.szExeFile, "MSINFO32.EXE") == 0)
            pids.push_back(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return pids;
}

void EndProcess(DWORD pid) {
    if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
        ::TerminateProcess(process, 0);
        ::WaitForSingleObject(process, 10000);
        ::CloseHandle(process);
    }
}

const char kToolKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kToolFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char kScratch[] = "Software\\Brenmoor\\QuorvelTest\\About";

void SetText(HKEY root, const char* key, const char* name, const std::string& text) {
    ASSERT_EQ(::RegSetKeyValueA(root, key, name, REG_SZ, text.c_str(),
                                static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
}

// What a click on System Info... led to.
struct SysInfoOutcome {
    std::string message;      // the message box's text, if one came
    bool okOnly = false;      // it offered OK alone
    std::vector<DWORD> tools; // the tool processes started
    bool toolWindowShown = false;
};

// Points the shell's open command of a URL scheme at cmd.exe writing the URL
// it is given into `marker`, and puts the old command back afterwards, so a
// click on a link opens no browser or mail program.
class SchemeHandler {
  public:
    SchemeHandler(const std::string& scheme, const std::string& marker)
        : key_(scheme + "\\shell\\open\\command") {
        char data[1024] = {};
        DWORD size = sizeof data;
        if (::RegGetValueA(HKEY_CLASSES_ROOT, key_.c_str(), "", RRF_RT_REG_SZ, nullptr, data,
                           &size) == ERROR_SUCCESS)
            old_ = data;
        char system[MAX_PATH] = {};
        ::GetSystemDirectoryA(system, MAX_PATH);
        Set(std::string(system) + "\\cmd.exe /c echo %1> \"" + marker + "\"");
    }
    SchemeHandler(const SchemeHandler&) = delete;
    SchemeHandler& operator=(const SchemeHandler&) = delete;
    ~SchemeHandler() {
        if (old_)
            Set(*old_);
        else
            ::RegDeleteKeyValueA(HKEY_CLASSES_ROOT, key_.c_str(), "");
    }

  private:
    void Set(const std::string& command) {
        ::RegSetKeyValueA(HKEY_CLASSES_ROOT, key_.c_str(), "", REG_SZ, command.c_str(),
                          static_cast<DWORD>(command.size() + 1));
    }
    std::string key_;
    std::optional<std::string> old_;
};

// The line a handler wrote, once it is complete.
std::string HandledUrl(const std::string& marker) {
    std::string text;
    WaitUntil(
        [&] {
            text = ReadFileBytes(marker);
            return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0;
        },
        30000);
    return text.size() >= 2 ? text.substr(0, text.size() - 2) : text;
}

// The location-1 key as the prefix stores it (Wine comes with an empty one),
// so the test can leave it as it found it; empty when there is none.
std::string StoredToolKeyName() {
    HKEY tools = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools", 0, KEY_READ,
                        &tools) != ERROR_SUCCESS)
        return {};
    std::string found;
    char name[256];
    DWORD size = sizeof name;
    for (DWORD i = 0; ::RegEnumKeyExA(tools, i, name, &size, nullptr, nullptr, nullptr, nullptr) ==
                      ERROR_SUCCESS;
         ++i, size = sizeof name)
        if (lstrcmpiA(name, "MSINFO") == 0)
            found = name;
    ::RegCloseKey(tools);
    return found;
}

class AboutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        toolKeyName_ = StoredToolKeyName();
        Clean();
    }
    void TearDown() override {
        for (DWORD pid : StartedTools())
            EndProcess(pid);
        Clean();
        if (!toolKeyName_.empty()) {
            HKEY key = nullptr;
            ::RegCreateKeyA(HKEY_LOCAL_MACHINE,
                            ("SOFTWARE\\Microsoft\\Shared Tools\\" + toolKeyName_).c_str(), &key);
            ::RegCloseKey(key);
        }
    }
    static void Clean() {
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kToolKey);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kToolFolderKey);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brenmoor\\QuorvelTest");
    }

    // Opens About by its command; `inside` runs on a helper thread while the
    // box is open, after which the box is closed with OK.
    void WithAbout(const std::function<void(HWND)>& inside) {
        DialogDriver driver("About ", [&](HWND box) {
            inside(box);
            PressButton(box, IDOK);
        });
        window_.Command(IDM_mnuAbout);
        ASSERT_TRUE(driver.Finish()) << "the About box did not open";
    }

    // A real program as the system information tool: a copy of Quorvel.
    std::string PlaceTool(const TempFolder& folder) {
        const std::string tool = folder / "MSINFO32.EXE";
        EXPECT_TRUE(
            ::CopyFileA((TestProgramFolder() + "\\Quorvel.exe").c_str(), tool.c_str(), FALSE));
        return tool;
    }

    SysInfoOutcome ClickSysInfo() {
        SysInfoOutcome outcome;
        const DWORD pid = ::GetCurrentProcessId();
        WithAbout([&](HWND box) {
            PressButton(box, IDC_cmdSysInfo);
            HWND message = nullptr;
            WaitUntilQuiet(
                [&] {
                    message = FindProcessWindow(pid, "#32770", "Quorvel");
                    outcome.tools = StartedTools();
                    return message || !outcome.tools.empty();
                },
                20000);
            for (DWORD tool : outcome.tools)
                outcome.toolWindowShown = WaitUntilQuiet(
                    [&] {
                        HWND main = FindProcessWindow(tool, kFrmMainClass);
                        return main && ::IsWindowVisible(main) && !::IsIconic(main);
                    },
                    20000);
            if (message) {
                outcome.message = MessageBoxText(message);
                outcome.okOnly = ::GetDlgItem(message, IDOK) && !::GetDlgItem(message, IDCANCEL);
                PressButton(message, IDOK);
                WaitUntilQuiet([&] { return !::IsWindow(message); });
                // Nothing was started before the message came.
                outcome.tools = StartedTools();
            }
        });
        return outcome;
    }

    std::string Settings() const { return UnscrambleSettings(window_ / "config.bin"); }

    std::string toolKeyName_;
    PlacementKey placement_;
    WindowUnderTest window_;
};

} // namespace

TEST_F(AboutTest, LayoutFontsColoursAndLinks) {
    ASSERT_TRUE(window_.Start());
    std::string caption;
    std::map<int, RECT> rects;
    RECT client{};
    LOGFONTA title{}, home{}, mail{}, copyright{};
    COLORREF homeColor = 0, mailColor = 0, copyrightColor = 0;
    std::string homeTip, mailTip;
    HCURSOR overHome = nullptr, overMail = nullptr, overTitle = nullptr;
    WithAbout([&](HWND box) {
        caption = WindowText(box);
        ::GetClientRect(box, &client);
        for (int id : {IDC_lblTitle, IDC_Frame1, IDC_lblHomePage, IDC_lblEMail, IDC_cmdSysInfo,
                       IDC_cmdok, IDC_Frame2, IDC_lblCopyright, IDC_Picture3, IDC_Picture1})
            rects[id] = ChildRect(box, id);
        title = FontOf(::GetDlgItem(box, IDC_lblTitle));
        home = FontOf(::GetDlgItem(box, IDC_lblHomePage));
        mail = FontOf(::GetDlgItem(box, IDC_lblEMail));
        copyright = FontOf(::GetDlgItem(box, IDC_lblCopyright));
        homeColor = TextColorOf(box, IDC_lblHomePage);
        mailColor = TextColorOf(box, IDC_lblEMail);
        copyrightColor = TextColorOf(box, IDC_lblCopyright);
        homeTip = TooltipOf(box, IDC_lblHomePage);
        mailTip = TooltipOf(box, IDC_lblEMail);
        overHome = CursorOver(box, IDC_lblHomePage);
        overMail = CursorOver(box, IDC_lblEMail);
        overTitle = CursorOver(box, IDC_lblTitle);
    });

    EXPECT_EQ(caption, "About ");
    const int dpi = ScreenDpi();
    EXPECT_EQ(client.right, Px(6870, dpi));
    EXPECT_GE(client.bottom, Px(3855, dpi));
    EXPECT_EQ(Text(rects[IDC_lblTitle]), Text(TwipsRect(2280, 90, 4335, 240)));
    EXPECT_EQ(Text(rects[IDC_Frame1]), Text(TwipsRect(0, 2640, 6855, 40)));
    EXPECT_EQ(Text(rects[IDC_lblHomePage]), Text(TwipsRect(2280, 2940, 735, 195)));
    EXPECT_EQ(Text(rects[IDC_lblEMail]), Text(TwipsRect(3240, 2940, 765, 195)));
    EXPECT_EQ(Text(rects[IDC_cmdSysInfo]), Text(TwipsRect(4200, 2880, 1245, 400)));
    EXPECT_EQ(Text(rects[IDC_cmdok]), Text(TwipsRect(5520, 2880, 1155, 400)));
    EXPECT_EQ(Text(rects[IDC_Frame2]), Text(TwipsRect(0, 3480, 6855, 40)));
    EXPECT_EQ(Text(rects[IDC_Picture3]), Text(TwipsRect(0, 0, 6870, 780)));
    EXPECT_EQ(Text(rects[IDC_Picture1]), Text(TwipsRect(240, 1200, 6375, 1215)));
    const RECT lbl = rects[IDC_lblCopyright];
    const RECT designed = TwipsRect(3420, 3600, 3315, 195);
    EXPECT_EQ(lbl.left, designed.left);
    EXPECT_EQ(lbl.top, designed.top);
    EXPECT_EQ(lbl.right, designed.right);
    EXPECT_LE(lbl.bottom, client.bottom) << "the copyright line is cut off";

    EXPECT_STREQ(title.lfFaceName, "Arial");
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    EXPECT_EQ(title.lfHeight, -std::lround(9.75 * dpi / 72));
    for (const LOGFONTA& link : {home, mail}) {
        EXPECT_STREQ(link.lfFaceName, "MS Sans Serif");
        EXPECT_EQ(link.lfWeight, FW_BOLD);
        EXPECT_TRUE(link.lfUnderline);
        EXPECT_EQ(link.lfHeight, -std::lround(8.25 * dpi / 72));
    }
    EXPECT_STREQ(copyright.lfFaceName, "Verdana");
    EXPECT_EQ(copyright.lfHeight, -std::lround(8.25 * dpi / 72));
    EXPECT_EQ(homeColor, 0x00C00000u);
    EXPECT_EQ(mailColor, 0x00C00000u);
    EXPECT_EQ(copyrightColor, 0x00404040u);

    EXPECT_EQ(homeTip, "https://quorvel.example");
    EXPECT_EQ(mailTip, "support@quorvel.example");
    const HCURSOR hand = ::LoadCursor(nullptr, IDC_HAND);
    EXPECT_EQ(overHome, hand);
    EXPECT_EQ(overMail, hand);
    EXPECT_NE(overTitle, hand);
}

TEST_F(AboutTest, TitleAndCopyrightComeFromTheVersionInformation) {
    ASSERT_TRUE(window_.Start());
    std::string title, copyright;
    int lines = 0;
    LONG neededHeight = 0, labelHeight = 0;
    WithAbout([&](HWND box) {
        title = WindowText(::GetDlgItem(box, IDC_lblTitle));
        HWND label = ::GetDlgItem(box, IDC_lblCopyright);
        copyright = WindowText(label);
        RECT rc{};
        ::GetClientRect(label, &rc);
        labelHeight = rc.bottom;
        HDC dc = ::GetDC(label);
        const HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0)));
        TEXTMETRICA tm{};
        ::GetTextMetricsA(dc, &tm);
        ::DrawTextA(dc, copyright.c_str(), -1, &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        ::SelectObject(dc, old);
        ::ReleaseDC(label, dc);
        neededHeight = rc.bottom;
        lines = tm.tmHeight ? static_cast<int>(rc.bottom / tm.tmHeight) : 0;
    });
    // Version 3.0.0.172: major and revision, not the minor version.
    EXPECT_EQ(title, "Quorvel v3.172");
    EXPECT_EQ(copyright, "\xA9 2026 Brenmoor.\r\nQuorvel is free to use and share.");
    EXPECT_EQ(lines, 2);
    EXPECT_GE(labelHeight, neededHeight) << "a line of the copyright is cut off";
}

TEST_F(AboutTest, AboutWhileTopmostSwitchesItOffForGood) {
    WriteScrambledSettings(window_ / "config.bin", "[INIT]\r\nALWAYSONTOP=1\r\n");
    ASSERT_TRUE(window_.Start());
    const auto topMost = [&] {
        return (::GetWindowLongA(window_.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    ASSERT_TRUE(topMost());
    bool enabledWhileOpen = true, topMostWhileOpen = true;
    HWND owner = nullptr;
    WithAbout([&](HWND box) {
        enabledWhileOpen = ::IsWindowEnabled(window_.hwnd()) != FALSE;
        topMostWhileOpen = topMost();
        owner = ::GetWindow(box, GW_OWNER);
    });
    EXPECT_FALSE(enabledWhileOpen) << "the main window took input under the modal box";
    EXPECT_FALSE(topMostWhileOpen);
    EXPECT_EQ(owner, window_.hwnd());
    EXPECT_TRUE(::IsWindowEnabled(window_.hwnd()));
    EXPECT_FALSE(topMost());
    EXPECT_EQ(window_.MenuCaption(IDM_mnuOnTop), "Set Always On Top (False)");
    EXPECT_EQ(Settings(), "[INIT]\r\nALWAYSONTOP=0\r\n");
}

TEST_F(AboutTest, SysInfoWithNeitherLocationSaysItIsUnavailable) {
    ASSERT_TRUE(window_.Start());
    const SysInfoOutcome outcome = ClickSysInfo();
    EXPECT_EQ(outcome.message, "System Information Is Unavailable At This Time");
    EXPECT_TRUE(outcome.okOnly);
    EXPECT_TRUE(outcome.tools.empty());
}

TEST_F(AboutTest, SysInfoTakesLocationOneAsItIsAndNeverTriesLocationTwo) {
    TempFolder folder("tool");
    PlaceTool(folder);
    SetText(HKEY_LOCAL_MACHINE, kToolFolderKey, "MSINFO", folder.path());
    SetText(HKEY_LOCAL_MACHINE, kToolKey, "PATH", folder / "missing\\msinfo32.exe");
    ASSERT_TRUE(window_.Start());
    const SysInfoOutcome outcome = ClickSysInfo();
    EXPECT_EQ(outcome.message, "System Information Is Unavailable At This Time");
    EXPECT_TRUE(outcome.tools.empty()) << "the valid second location was tried";
}

TEST_F(AboutTest, SysInfoStartsTheToolFromEitherLocation) {
    TempFolder folder("tool");
    const std::string tool = PlaceTool(folder);
    SetText(HKEY_LOCAL_MACHINE, kToolFolderKey, "MSINFO", folder.path());
    ASSERT_TRUE(window_.Start());
    SysInfoOutcome outcome = ClickSysInfo();
    EXPECT_EQ(outcome.message, "");
    ASSERT_EQ(outcome.tools.size(), 1u);
    EXPECT_TRUE(outcome.toolWindowShown);
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, outcome.tools[0]);
    char image[MAX_PATH * 4] = {};
    DWORD size = sizeof image;
    ASSERT_TRUE(::QueryFullProcessImageNameA(process, 0, image, &size));
    ::CloseHandle(process);
    EXPECT_EQ(lstrcmpiA(image, tool.c_str()), 0) << image;
    EndProcess(outcome.tools[0]);

    // A hidden copy does not count.
    ::SetFileAttributesA(tool.c_str(), FILE_ATTRIBUTE_HIDDEN);
    outcome = ClickSysInfo();
    EXPECT_EQ(outcome.message, "System Information Is Unavailable At This Time");
    EXPECT_TRUE(outcome.tools.empty());

    // The first location's path is started without the folder's rule.
    SetText(HKEY_LOCAL_MACHINE, kToolKey, "PATH", tool);
    outcome = ClickSysInfo();
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(outcome.tools.size(), 1u);
}

TEST_F(AboutTest, GetKeyValueReadsTextAndNumbers) {
    std::string value = "old";
    EXPECT_FALSE(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, "PATH", value));
    EXPECT_EQ(value, "");

    SetText(HKEY_CURRENT_USER, kScratch, "PATH", "C:\\Tools\\msinfo32.exe");
    EXPECT_TRUE(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, "PATH", value));
    EXPECT_EQ(value, "C:\\Tools\\msinfo32.exe");
    value = "old";
    EXPECT_FALSE(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, "Missing", value));
    EXPECT_EQ(value, "");

    // Stored without its NUL, every byte is kept.
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, kScratch, "Bare", REG_SZ, "abc", 3),
              ERROR_SUCCESS);
    EXPECT_TRUE(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, "Bare", value));
    EXPECT_EQ(value, "abc");

    const DWORD number = 0x12345678;
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, kScratch, "Number", REG_DWORD, &number, 4),
              ERROR_SUCCESS);
    value.clear();
    EXPECT_TRUE(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, "Number", value));
    EXPECT_EQ(value, "&h12345678");

    // Other types are read but leave the text as it was.
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, kScratch, "Bytes", REG_BINARY, "\1\2", 2),
              ERROR_SUCCESS);
    value = "kept";
    EXPECT_TRUE(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, "Bytes", value));
    EXPECT_EQ(value, "kept");

    // More than the 1024-byte buffer is a failed read.
    SetText(HKEY_CURRENT_USER, kScratch, "Long", std::string(1500, 'x'));
    EXPECT_FALSE(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, "Long", value));
    EXPECT_EQ(value, "");
}

TEST_F(AboutTest, LinksOpenTheirAddressesThroughTheShell) {
    TempFolder markers("links");
    const SchemeHandler mail("mailto", markers / "mail.txt");
    const SchemeHandler web("https", markers / "web.txt");
    ASSERT_TRUE(window_.Start());
    WithAbout([&](HWND box) {
        for (int id : {IDC_lblEMail, IDC_lblHomePage})
            ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
    });
    // The subject carries the title line as shown, unescaped.
    EXPECT_EQ(HandledUrl(markers / "mail.txt"),
              "mailto:support@quorvel.example?subject=I have question on Quorvel v3.172");
    EXPECT_EQ(HandledUrl(markers / "web.txt"), "https://quorvel.example");
}
