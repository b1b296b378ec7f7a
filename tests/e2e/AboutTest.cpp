// The About command and the About box as the user meets them: the real box
// over the real main window, read and clicked from a second thread while
// the command waits for it. (Its layout and font sizes are HiDpiTest's.)
#include "about/frmAbout.h"
#include "app/resource.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <functional>
#include <map>
#include <optional>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

const char kToolKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kToolFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char kScratch[] = "Software\\Brenmoor\\QuorvelTest\\About";

// A label as the user sees it.
struct Look {
    std::string text, face, tooltip;
    bool bold = false, underlined = false, hand = false;
    COLORREF color = 0;
};

Look LookOf(HWND box, int id) {
    Look look;
    HWND label = ::GetDlgItem(box, id);
    look.text = WindowText(label);
    LOGFONTA lf{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    look.face = lf.lfFaceName;
    look.bold = lf.lfWeight == FW_BOLD;
    look.underlined = lf.lfUnderline != 0;
    // The colour the box gives the label's text.
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageA(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(label));
    look.color = ::GetTextColor(dc);
    ::DeleteDC(dc);
    // The tooltip the box owns for the label.
    HWND tip = nullptr;
    while ((tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) &&
           ::GetWindow(tip, GW_OWNER) != box) {
    }
    char text[512] = {};
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = box;
    info.uId = reinterpret_cast<UINT_PTR>(label);
    info.lpszText = text;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    look.tooltip = text;
    // The cursor the box sets over it.
    const DWORD ui = ::GetWindowThreadProcessId(box, nullptr);
    ::AttachThreadInput(::GetCurrentThreadId(), ui, TRUE);
    ::SetCursor(nullptr);
    ::SendMessageA(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(label),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    look.hand = ::GetCursor() == ::LoadCursor(nullptr, IDC_HAND);
    ::AttachThreadInput(::GetCurrentThreadId(), ui, FALSE);
    return look;
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

void EndStartedTools() {
    for (DWORD pid : StartedTools())
        if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            ::TerminateProcess(process, 0);
            ::WaitForSingleObject(process, 10000);
            ::CloseHandle(process);
        }
}

bool SetValue(HKEY root, const char* key, const char* name, DWORD type, const std::string& bytes) {
    return ::RegSetKeyValueA(root, key, name, type, bytes.data(),
                             static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool SetText(const char* key, const char* name, const std::string& text) {
    return SetValue(HKEY_LOCAL_MACHINE, key, name, REG_SZ, text + '\0');
}

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
        SetValue(HKEY_CLASSES_ROOT, key_.c_str(), "", REG_SZ,
                 std::string(system) + "\\cmd.exe /c echo %1> \"" + marker + "\"" + '\0');
    }
    SchemeHandler(const SchemeHandler&) = delete;
    SchemeHandler& operator=(const SchemeHandler&) = delete;
    ~SchemeHandler() {
        if (old_)
            SetValue(HKEY_CLASSES_ROOT, key_.c_str(), "", REG_SZ, *old_ + '\0');
        else
            ::RegDeleteKeyValueA(HKEY_CLASSES_ROOT, key_.c_str(), "");
    }

  private:
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

class AboutTest : public ::testing::Test {
  protected:
    void SetUp() override { Clean(); }
    void TearDown() override {
        EndStartedTools();
        Clean();
    }
    // The prefix comes with an empty location-1 key: only its value goes.
    static void Clean() {
        ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kToolKey, "PATH");
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

    // What a click on System Info... led to: the message, marked "[OK]"
    // when it offers OK alone, or "started" and the path of the tool that
    // started and showed its window.
    std::string ClickSysInfo() {
        std::string outcome;
        WithAbout([&](HWND box) {
            PressButton(box, IDC_cmdSysInfo);
            HWND shown = nullptr;
            WaitUntilQuiet(
                [&] {
                    shown = FindProcessWindow(::GetCurrentProcessId(), "#32770", "Quorvel");
                    return shown || !StartedTools().empty();
                },
                20000);
            if (!shown)
                return;
            const bool okOnly = ::GetDlgItem(shown, IDOK) && !::GetDlgItem(shown, IDCANCEL);
            outcome = MessageBoxText(shown) + (okOnly ? " [OK]" : "");
            PressButton(shown, IDOK);
            WaitUntilQuiet([&] { return !::IsWindow(shown); });
        });
        for (DWORD tool : StartedTools()) {
            const bool windowShown = WaitUntilQuiet(
                [&] {
                    HWND main = FindProcessWindow(tool, kFrmMainClass);
                    return main && !::IsIconic(main);
                },
                20000);
            outcome += "started " + ProcessImage(tool) + (windowShown ? "" : " without a window");
        }
        EndStartedTools();
        return outcome;
    }

    PlacementKey placement_;
    WindowUnderTest window_;
};

} // namespace

TEST_F(AboutTest, ShowsTheVersionCopyrightAndLinksThatOpenTheirAddresses) {
    TempFolder markers("links");
    const SchemeHandler mail("mailto", markers / "mail.txt");
    const SchemeHandler web("https", markers / "web.txt");
    ASSERT_TRUE(window_.Start());
    std::map<int, Look> looks;
    WithAbout([&](HWND box) { // found by its caption, "About "
        for (int id : {IDC_lblTitle, IDC_lblHomePage, IDC_lblEMail, IDC_lblCopyright})
            looks[id] = LookOf(box, id);
        for (int id : {IDC_lblEMail, IDC_lblHomePage})
            ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
    });
    const Look& title = looks[IDC_lblTitle];
    // Version 3.0.0.172: major and revision, not the minor version.
    EXPECT_EQ(title.text, "Quorvel v3.172");
    EXPECT_TRUE(title.face == "Arial" && title.bold && !title.hand) << title.face;
    const Look& copyright = looks[IDC_lblCopyright];
    EXPECT_EQ(copyright.text, "\xA9 2026 Brenmoor.\r\nQuorvel is free to use and share.");
    EXPECT_EQ(copyright.face, "Verdana");
    EXPECT_EQ(copyright.color, 0x00404040u);
    for (const auto& [id, tip] : {std::pair{IDC_lblHomePage, "https://quorvel.example"},
                                  std::pair{IDC_lblEMail, "support@quorvel.example"}}) {
        const Look& link = looks[id];
        EXPECT_EQ(link.face, "MS Sans Serif") << tip;
        EXPECT_TRUE(link.bold && link.underlined && link.hand) << tip;
        EXPECT_EQ(link.color, 0x00C00000u) << tip;
        EXPECT_EQ(link.tooltip, tip);
    }
    // The subject carries the title line as shown, unescaped.
    EXPECT_EQ(HandledUrl(markers / "mail.txt"),
              "mailto:support@quorvel.example?subject=I have question on Quorvel v3.172");
    EXPECT_EQ(HandledUrl(markers / "web.txt"), "https://quorvel.example");
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
    EXPECT_EQ(UnscrambleSettings(window_ / "config.bin"), "[INIT]\r\nALWAYSONTOP=0\r\n");
}

TEST_F(AboutTest, SysInfoStartsTheToolFromTheFirstLocationThatNamesIt) {
    const std::string unavailable = "System Information Is Unavailable At This Time [OK]";
    // A real program as the system information tool: a copy of Quorvel.
    TempFolder folder("tool");
    const std::string tool = folder / "MSINFO32.EXE";
    const std::string started = "started " + tool;
    ASSERT_TRUE(::CopyFileA((TestProgramFolder() + "\\Quorvel.exe").c_str(), tool.c_str(), FALSE));
    ASSERT_TRUE(window_.Start());
    EXPECT_EQ(ClickSysInfo(), unavailable) << "neither location";

    // Location 2 names the tool's folder; a hidden copy does not count.
    ASSERT_TRUE(SetText(kToolFolderKey, "MSINFO", folder.path()));
    EXPECT_STRCASEEQ(ClickSysInfo().c_str(), started.c_str());
    ::SetFileAttributesA(tool.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ClickSysInfo(), unavailable) << "hidden in location 2";
    ::SetFileAttributesA(tool.c_str(), FILE_ATTRIBUTE_NORMAL);

    // Location 1 is taken as it is: a missing file gets the message, and the
    // valid location 2 is not tried; a hidden file is started.
    ASSERT_TRUE(SetText(kToolKey, "PATH", folder / "missing\\msinfo32.exe"));
    EXPECT_EQ(ClickSysInfo(), unavailable) << "missing in location 1";
    ::SetFileAttributesA(tool.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(SetText(kToolKey, "PATH", tool));
    EXPECT_STRCASEEQ(ClickSysInfo().c_str(), started.c_str());
}

TEST_F(AboutTest, GetKeyValueReadsTextAndNumbers) {
    const DWORD number = 0x12345678;
    const struct {
        const char* name;
        DWORD type;
        std::string bytes; // empty: no such value
        const char* before;
        bool read;
        const char* after;
    } cases[] = {
        {"PATH", REG_SZ, std::string("C:\\msinfo32.exe", 16), "old", true, "C:\\msinfo32.exe"},
        {"Missing", REG_SZ, "", "old", false, ""},
        {"Bare", REG_SZ, "abc", "old", true, "abc"}, // without its NUL every byte counts
        {"Number", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4), "", true,
         "&h12345678"},
        {"Bytes", REG_BINARY, "\1\2", "kept", true, "kept"}, // other types leave the text
        {"Long", REG_SZ, std::string(1500, 'x') + '\0', "old", false, ""}, // over 1024 bytes
    };
    std::string value = "old";
    EXPECT_FALSE(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, "PATH", value));
    EXPECT_EQ(value, "") << "no key";
    for (const auto& c : cases) {
        ASSERT_TRUE(c.bytes.empty() ||
                    SetValue(HKEY_CURRENT_USER, kScratch, c.name, c.type, c.bytes));
        value = c.before;
        EXPECT_EQ(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, c.name, value), c.read)
            << c.name;
        EXPECT_EQ(value, c.after) << c.name;
    }

    // A key a normal user may read but not change, as HKEY_LOCAL_MACHINE is
    // under UAC: still read.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kScratch, 0, READ_CONTROL | WRITE_DAC, &key), 0);
    const UniqueHkey owned(key);
    const auto setDacl = [&](const char* sddl) {
        PSECURITY_DESCRIPTOR sd = nullptr;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                           &sd, nullptr));
        EXPECT_EQ(::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), 0);
        ::LocalFree(sd);
    };
    setDacl("D:P(A;;KR;;;WD)");
    HKEY writable = nullptr;
    const bool writeDenied =
        ::RegOpenKeyExA(HKEY_CURRENT_USER, kScratch, 0, KEY_SET_VALUE, &writable) != 0;
    if (!writeDenied)
        ::RegCloseKey(writable);
    value.clear();
    EXPECT_TRUE(frmAbout::GetKeyValue(HKEY_CURRENT_USER, kScratch, "PATH", value));
    EXPECT_EQ(value, "C:\\msinfo32.exe");
    setDacl("D:(A;;KA;;;WD)");
    EXPECT_TRUE(writeDenied) << "the system gave write access: the key cannot tell the masks apart";
}
