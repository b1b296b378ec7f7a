// The program at 96, 120, 144 and 192 DPI. Wine takes the screen's DPI from
// HKCU\Control Panel\Desktop\LogPixels when a process starts, so this test
// program starts itself again at each DPI to create the main window and its
// dialogs in-process, where fonts can be read: every size is its design in
// twips or points at that DPI, and no control or text is cut off.
#include "about/frmAbout.h"
#include "app/frmGotoLine.h"
#include "app/resource.h"
#include "appearance/frmTransP.h"
#include "common/Handles.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

constexpr char kDpiVariable[] = "QUORVEL_TEST_DPI";
using Problems = std::vector<std::string>;

template <typename... Parts> void Add(Problems& problems, const Parts&... parts) {
    std::ostringstream text;
    (text << ... << parts);
    problems.push_back(text.str());
}

int Px(double twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

RECT ClientRect(HWND hwnd) {
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    return rc;
}

RECT RectInParent(HWND child) {
    RECT rc{};
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::string Describe(const RECT& rc) {
    std::ostringstream text;
    text << "(" << rc.left << "," << rc.top << ")-(" << rc.right << "," << rc.bottom << ")";
    return text.str();
}

// What `measure` finds in a screen context of the control holding its font.
template <typename Measure> auto InControlFont(HWND control, Measure measure) {
    HDC dc = ::GetDC(control);
    const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0));
    const HGDIOBJ old = ::SelectObject(dc, font);
    const auto result = measure(dc);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return result;
}

// The font asks for the designed point size at `dpi` and comes out that
// high within a tenth (at least a pixel), which a raster font only does in
// the sizes it has.
void CheckFont(HWND control, int centiPoints, int dpi, Problems& problems) {
    LOGFONTA lf{};
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    if (!font || !::GetObjectA(font, sizeof lf, &lf))
        return Add(problems, "#", ::GetDlgCtrlID(control), ": no font of its own");
    const int got = InControlFont(control, [](HDC dc) {
        TEXTMETRICA tm{};
        ::GetTextMetricsA(dc, &tm);
        return tm.tmHeight - tm.tmInternalLeading;
    });
    const int want = ::MulDiv(centiPoints, dpi, 7200);
    if (lf.lfHeight != -want || std::abs(got - want) > std::max(1, want / 10))
        Add(problems, "#", ::GetDlgCtrlID(control), ": ", lf.lfFaceName, " of height ", lf.lfHeight,
            " is ", got, " pixels high, not ", want);
}

// `text`, drawn as the control draws it, fits its client area: a label
// breaks lines at blanks, a button keeps one line inside its edges, a text
// box holds one line.
void CheckText(HWND control, const std::string& text, Problems& problems) {
    char cls[32] = {};
    ::GetClassNameA(control, cls, sizeof cls);
    const RECT client = ClientRect(control);
    const UINT prefix = (::GetWindowLongA(control, GWL_STYLE) & SS_NOPREFIX) ? DT_NOPREFIX : 0u;
    const SIZE need = InControlFont(control, [&](HDC dc) {
        RECT rc{0, 0, client.right, 0};
        if (lstrcmpiA(cls, "Static") == 0) {
            ::DrawTextA(dc, text.c_str(), -1, &rc,
                        DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | prefix);
        } else if (lstrcmpiA(cls, "Button") == 0) {
            rc = RECT{};
            ::DrawTextA(dc, text.c_str(), -1, &rc, DT_CALCRECT | DT_SINGLELINE);
            return SIZE{rc.right + 4, rc.bottom + 4}; // two pixels of edge on each side
        } else if (lstrcmpiA(cls, "Edit") == 0) {
            TEXTMETRICA tm{};
            ::GetTextMetricsA(dc, &tm);
            rc.bottom = tm.tmHeight;
        }
        return SIZE{rc.right, rc.bottom};
    });
    if (need.cx > client.right || need.cy > client.bottom)
        Add(problems, "#", ::GetDlgCtrlID(control), ": \"", text, "\" needs ", need.cx, " x ",
            need.cy, ", has ", client.right, " x ", client.bottom);
}

// A control in twips, its font in hundredths of a point (0: none of its
// own) and a longer text it must hold too.
struct Control {
    int id;
    double left, top, width, height;
    int centiPoints = 0;
    const char* longest = nullptr;
};

struct Dialog {
    double clientWidth, clientHeight;
    std::vector<Control> controls;
    int growsDown = 0; // shows all its text; the client area keeps 60 twips below it
};

const Dialog kGotoLine{2760, 1080, {
    {frmGotoLine::kLblInfo, 105, 105, 2505, 270, 675},
    {frmGotoLine::kTxtLineNr, 105, 285, 2475, 270, 675},
    {frmGotoLine::kLblCount, 105, 675, 1560, 195, 675, "Line(s) Count: 99999"},
    {frmGotoLine::kCmdGoto, 1695, 615, 900, 345, 675}}};
const Dialog kTransparency{3750, 1005, {
    {frmTransP::kSlider, 105, 135, 2985, 390},
    {frmTransP::kLblTransp, 3075, 225, 525, 180, 675, "100%"},
    {frmTransP::kCmdSave, 2370, 585, 1275, 315, 675}}};
const Dialog kAbout{6870, 3855, {
    {IDC_lblTitle, 2280, 90, 4335, 240, 975},
    {IDC_Picture3, 0, 0, 6870, 780},
    {IDC_Picture1, 240, 1200, 6375, 1215},
    {IDC_Frame1, 0, 2640, 6855, 40},
    {IDC_lblHomePage, 2280, 2940, 735, 195, 825},
    {IDC_lblEMail, 3240, 2940, 765, 195, 825},
    {IDC_cmdSysInfo, 4200, 2880, 1245, 400, 825},
    {IDC_cmdok, 5520, 2880, 1155, 400, 825},
    {IDC_Frame2, 0, 3480, 6855, 40},
    {IDC_lblCopyright, 3420, 3600, 3315, 195, 825}}, IDC_lblCopyright};

void CheckDialog(HWND dialog, const Dialog& design, int dpi, Problems& problems) {
    if (!dialog)
        return Add(problems, "a dialog did not open");
    const RECT client = ClientRect(dialog);
    int clientHeight = Px(design.clientHeight, dpi);
    for (const Control& c : design.controls) {
        HWND control = ::GetDlgItem(dialog, c.id);
        const RECT rc = RectInParent(control);
        const RECT want{Px(c.left, dpi), Px(c.top, dpi), Px(c.left, dpi) + Px(c.width, dpi),
                        Px(c.top, dpi) + Px(c.height, dpi)};
        const bool grows = c.id == design.growsDown;
        if (!control || rc.left != want.left || rc.top != want.top || rc.right != want.right ||
            (grows ? rc.bottom < want.bottom : rc.bottom != want.bottom))
            Add(problems, "#", c.id, " at ", Describe(rc), ", not ", Describe(want));
        if (grows)
            clientHeight = std::max<int>(clientHeight, rc.bottom + Px(60, dpi));
        if (control && c.centiPoints) {
            CheckFont(control, c.centiPoints, dpi, problems);
            CheckText(control, WindowText(control), problems);
            if (c.longest)
                CheckText(control, c.longest, problems);
        }
    }
    if (client.right != Px(design.clientWidth, dpi) || client.bottom != clientHeight)
        Add(problems, "client area ", Describe(client), ", not ", Px(design.clientWidth, dpi),
            " x ", clientHeight);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const RECT rc = RectInParent(child);
        if (::IsWindowVisible(child) &&
            (rc.left < 0 || rc.top < 0 || rc.right > client.right || rc.bottom > client.bottom))
            Add(problems, "#", ::GetDlgCtrlID(child), " \"", WindowText(child), "\" at ",
                Describe(rc), " reaches outside the client area");
    }
}

// Runs this test program again with only the in-process checks, the screen
// DPI set to `dpi` for its start and the prefix's own value (or none) back
// afterwards; its output joins this one's. Its exit code and report.
std::pair<DWORD, std::string> RunInProcessChecksAt(DWORD dpi) {
    constexpr char kKey[] = "Control Panel\\Desktop", kValue[] = "LogPixels";
    DWORD old = 0, size = sizeof old;
    const bool had = ::RegGetValueA(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr,
                                    &old, &size) == ERROR_SUCCESS;
    ::RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof dpi);
    ::SetEnvironmentVariableA(kDpiVariable, std::to_string(dpi).c_str());
    TempFolder folder("dpichild");
    char self[MAX_PATH * 4] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine = "\"" + std::string(self) + "\" --gtest_also_run_disabled_tests" +
                              " --gtest_filter=HiDpiTest.DISABLED_* \"--gtest_output=xml:" +
                              (folder / "report.xml") + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const bool started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &si, &pi);
    UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    DWORD exitCode = ~0u;
    if (started && ::WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, exitCode);
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::GetExitCodeProcess(pi.hProcess, &exitCode);
    ::SetEnvironmentVariableA(kDpiVariable, nullptr);
    if (had)
        ::RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &old, sizeof old);
    else
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, kValue);
    return {exitCode, ReadFileBytes(folder / "report.xml")};
}

} // namespace

TEST(HiDpiTest, LayoutAt96To192Dpi) {
    for (const DWORD dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const auto [exitCode, report] = RunInProcessChecksAt(dpi);
        EXPECT_EQ(exitCode, 0u);
        EXPECT_NE(report.find("<testsuites tests=\"1\" failures=\"0\""), std::string::npos)
            << report;
    }
}

// Run by LayoutAt96To192Dpi in a process started at each DPI, hence never
// on its own.
TEST(HiDpiTest, DISABLED_FontsAndDialogsInProcess) {
    const int dpi = ScreenDpi();
    if (const char* expected = std::getenv(kDpiVariable)) {
        ASSERT_EQ(dpi, std::atoi(expected)) << "the process did not start at the DPI set";
    }
    PlacementKey placement;
    WindowUnderTest window;
    ASSERT_TRUE(window.Start());
    // A first start: the default outer size, the text box filling the client area.
    RECT outer{};
    ::GetWindowRect(window.hwnd(), &outer);
    EXPECT_EQ(outer.right - outer.left, Px(8355, dpi));
    EXPECT_EQ(outer.bottom - outer.top, Px(6855, dpi));
    EXPECT_EQ(Describe(RectInParent(window.txtnfo())), Describe(ClientRect(window.hwnd())));
    Problems problems;
    CheckFont(window.txtnfo(), 600, dpi, problems);
    window.Command(IDM_mnuGoto);
    CheckDialog(window.frm().gotoLineWindow(), kGotoLine, dpi, problems);
    ::SendMessageA(window.frm().gotoLineWindow(), WM_CLOSE, 0, 0);
    window.Command(IDM_mnuTransP);
    CheckDialog(window.frm().transPWindow(), kTransparency, dpi, problems);
    ::SendMessageA(window.frm().transPWindow(), WM_CLOSE, 0, 0);
    // The About box is modal: it is checked from the driver's thread.
    DialogDriver driver("About ", [&](HWND box) {
        CheckDialog(box, kAbout, dpi, problems);
        PressButton(box, IDOK);
    });
    window.Command(IDM_mnuAbout);
    ASSERT_TRUE(driver.Finish()) << "no About box";
    EXPECT_EQ(problems, Problems{});
}
