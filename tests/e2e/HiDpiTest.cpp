// The program at 96, 120, 144 and 192 DPI. Wine takes the screen's DPI from
// HKCU\Control Panel\Desktop\LogPixels when a process starts, so each test
// sets it, starts the real Quorvel.exe and checks the main window and the
// three dialogs across processes: sizes are the designed twips turned into
// pixels at that DPI and no control reaches outside its window. Fonts can
// only be read inside the process that made them, so the test also runs
// this test program again at that DPI with only HiDpiWindowTest, which
// creates the main window and its dialogs in-process and checks the font
// sizes and that every text fits its control.
#include "about/frmAbout.h"
#include "app/frmGotoLine.h"
#include "app/resource.h"
#include "appearance/frmTransP.h"
#include "tests/e2e/HiDpiChecks.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// Twips to pixels at `dpi`, the way a designed position or size is shown.
int Px(double twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

struct DesignedControl {
    int id;
    const char* name;
    double left, top, width, height; // twips
};

// The dialogs as designed, in twips: client area and controls.
constexpr double kGotoClientTw[2] = {2760, 1080};
const std::vector<DesignedControl> kGotoControls = {
    {frmGotoLine::kLblInfo, "lblInfo", 105, 105, 2505, 270},
    {frmGotoLine::kTxtLineNr, "txtLineNr", 105, 285, 2475, 270},
    {frmGotoLine::kLblCount, "lblCount", 105, 675, 1560, 195},
    {frmGotoLine::kCmdGoto, "cmdGoto", 1695, 615, 900, 345},
};
constexpr double kTransPClientTw[2] = {3750, 1005};
const std::vector<DesignedControl> kTransPControls = {
    {frmTransP::kSlider, "Slider", 105, 135, 2985, 390},
    {frmTransP::kLblTransp, "lblTransp", 3075, 225, 525, 180},
    {frmTransP::kCmdSave, "cmdSave", 2370, 585, 1275, 315},
};
constexpr double kAboutClientTw[2] = {6870, 3855};
// The copyright label grows downwards to show every line of its text.
const std::vector<DesignedControl> kAboutControls = {
    {IDC_lblTitle, "lblTitle", 2280, 90, 4335, 240},
    {IDC_Picture3, "Picture3", 0, 0, 6870, 780},
    {IDC_Picture1, "Picture1", 240, 1200, 6375, 1215},
    {IDC_Frame1, "Frame1", 0, 2640, 6855, 40},
    {IDC_lblHomePage, "lblHomePage", 2280, 2940, 735, 195},
    {IDC_lblEMail, "lblEMail", 3240, 2940, 765, 195},
    {IDC_cmdSysInfo, "cmdSysInfo", 4200, 2880, 1245, 400},
    {IDC_cmdok, "cmdok", 5520, 2880, 1155, 400},
    {IDC_Frame2, "Frame2", 0, 3480, 6855, 40},
    {IDC_lblCopyright, "lblCopyright", 3420, 3600, 3315, 195},
};

RECT ClientRect(HWND hwnd) {
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    return rc;
}

// Each control where its design puts it, at this DPI. `growsDown` names a
// control whose height may exceed the design.
void ExpectDesignedControls(HWND dialog, const std::vector<DesignedControl>& controls, int dpi,
                            int growsDown = 0) {
    for (const DesignedControl& c : controls) {
        SCOPED_TRACE(c.name);
        HWND control = ::GetDlgItem(dialog, c.id);
        ASSERT_NE(control, nullptr);
        const RECT rc = RectInParent(control);
        EXPECT_EQ(rc.left, Px(c.left, dpi));
        EXPECT_EQ(rc.top, Px(c.top, dpi));
        EXPECT_EQ(rc.right - rc.left, Px(c.width, dpi));
        if (c.id == growsDown)
            EXPECT_GE(rc.bottom - rc.top, Px(c.height, dpi));
        else
            EXPECT_EQ(rc.bottom - rc.top, Px(c.height, dpi));
    }
}

HWND WaitWindowOf(const ProgramUnderTest& program, const char* className, const char* title) {
    HWND found = nullptr;
    WaitUntilQuiet(
        [&] { return (found = FindProcessWindow(program.pid(), className, title)) != nullptr; },
        20000);
    return found;
}

bool WaitGone(HWND hwnd) {
    return WaitUntilQuiet([&] { return !::IsWindow(hwnd); }, 20000);
}

// The screen DPI of the processes started while it lives; the value the
// prefix had (or its absence) comes back afterwards.
class ScreenDpiSetting {
public:
    explicit ScreenDpiSetting(int dpi) {
        DWORD value = 0;
        DWORD size = sizeof value;
        hadValue_ = ::RegGetValueA(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr,
                                   &value, &size) == ERROR_SUCCESS;
        old_ = value;
        Set(static_cast<DWORD>(dpi));
    }
    ScreenDpiSetting(const ScreenDpiSetting&) = delete;
    ScreenDpiSetting& operator=(const ScreenDpiSetting&) = delete;
    ~ScreenDpiSetting() {
        if (hadValue_)
            Set(old_);
        else
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, kValue);
    }

private:
    static constexpr char kKey[] = "Control Panel\\Desktop";
    static constexpr char kValue[] = "LogPixels";
    static void Set(DWORD dpi) {
        ::RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof dpi);
    }
    bool hadValue_ = false;
    DWORD old_ = 0;
};

// Runs this test program again, started now (so at the DPI now set), with
// only the in-process checks; their output comes back for the report.
struct ChildRun {
    bool finished = false;
    DWORD exitCode = 1;
    std::string output;
};

ChildRun RunInProcessChecks(int dpi) {
    ChildRun run;
    TempFolder folder("dpichild");
    const std::string outPath = folder / "out.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = ::CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return run;
    char self[MAX_PATH * 4] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine = std::string("\"") + self + "\" --gtest_filter=HiDpiWindowTest.*";
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');

    ::SetEnvironmentVariableA(kExpectedDpiVariable, std::to_string(dpi).c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi{};
    const bool started = ::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &si, &pi) != 0;
    ::SetEnvironmentVariableA(kExpectedDpiVariable, nullptr);
    ::CloseHandle(out);
    if (!started)
        return run;
    run.finished = ::WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0;
    if (!run.finished) {
        ::TerminateProcess(pi.hProcess, 1);
        ::WaitForSingleObject(pi.hProcess, 10000);
    }
    ::GetExitCodeProcess(pi.hProcess, &run.exitCode);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    run.output = ReadFileBytes(outPath);
    return run;
}

class HiDpiTest : public ::testing::Test {
protected:
    void CheckLayoutAt(int dpi);
    void CheckMainWindow(int dpi);
    void CheckTransparencyDialog(int dpi);
    void CheckGotoLineDialog(int dpi);
    void CheckAboutBox(int dpi);

    PlacementKey placement_;
    ProgramUnderTest program_;
};

void HiDpiTest::CheckMainWindow(int dpi) {
    HWND main = program_.mainWindow();
    const RECT outer = program_.WindowRect();
    const RECT client = ClientRect(main);
    // First start: the default outer size.
    EXPECT_EQ(outer.right - outer.left, Px(8355, dpi));
    EXPECT_EQ(outer.bottom - outer.top, Px(6855, dpi));

    // Centred while it still had its designed client area (the frame and
    // menu bar around it are the window's own).
    const int frameW = (outer.right - outer.left) - (client.right - client.left);
    const int frameH = (outer.bottom - outer.top) - (client.bottom - client.top);
    const double designedW = (Px(7950, dpi) + frameW) * 1440.0 / dpi;
    const double designedH = (Px(4590, dpi) + frameH) * 1440.0 / dpi;
    const double screenW = ::GetSystemMetrics(SM_CXSCREEN) * 1440.0 / dpi;
    const double screenH = ::GetSystemMetrics(SM_CYSCREEN) * 1440.0 / dpi;
    EXPECT_EQ(outer.left, Px(std::trunc(std::nearbyint(screenW - designedW) / 2), dpi));
    EXPECT_EQ(outer.top, Px(std::trunc(std::nearbyint(screenH - designedH) / 2), dpi));

    // The text box fills the client area, now and after a resize.
    HWND box = program_.textBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(SameRect(RectInParent(box), client))
        << "text box " << Describe(RectInParent(box)) << ", client " << Describe(client);
    const LONG style = ::GetWindowLongA(box, GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & WS_HSCROLL);
    ::SetWindowPos(main, nullptr, 0, 0, Px(6000, dpi), Px(4000, dpi),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntilQuiet([&] { return SameRect(RectInParent(box), ClientRect(main)); }, 10000))
        << "text box " << Describe(RectInParent(box)) << ", client "
        << Describe(ClientRect(main));
    EXPECT_LT(ClientRect(main).right, client.right);
}

void HiDpiTest::CheckTransparencyDialog(int dpi) {
    program_.Command(IDM_mnuTransP);
    HWND dialog = WaitWindowOf(program_, frmTransP::kClassName, frmTransP::kCaption);
    ASSERT_NE(dialog, nullptr) << "no transparency dialog";
    const RECT client = ClientRect(dialog);
    EXPECT_EQ(client.right, Px(kTransPClientTw[0], dpi));
    EXPECT_EQ(client.bottom, Px(kTransPClientTw[1], dpi));
    ExpectDesignedControls(dialog, kTransPControls, dpi);
    EXPECT_EQ(ChildrenOutside(dialog), std::vector<std::string>{});
    // Unchanged, so it closes without asking.
    ::PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitGone(dialog));
}

void HiDpiTest::CheckGotoLineDialog(int dpi) {
    program_.Command(IDM_mnuGoto);
    HWND dialog = WaitWindowOf(program_, frmGotoLine::kClassName, frmGotoLine::kCaption);
    ASSERT_NE(dialog, nullptr) << "no go-to-line dialog";
    const RECT client = ClientRect(dialog);
    EXPECT_EQ(client.right, Px(kGotoClientTw[0], dpi));
    EXPECT_EQ(client.bottom, Px(kGotoClientTw[1], dpi));
    ExpectDesignedControls(dialog, kGotoControls, dpi);
    EXPECT_EQ(ChildrenOutside(dialog), std::vector<std::string>{});
    ::PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitGone(dialog));
}

void HiDpiTest::CheckAboutBox(int dpi) {
    program_.Command(IDM_mnuAbout);
    HWND box = program_.WaitDialog("About ");
    ASSERT_NE(box, nullptr) << "no About box";
    const RECT client = ClientRect(box);
    EXPECT_EQ(client.right, Px(kAboutClientTw[0], dpi));
    // Taller than designed only to show the whole copyright text, with the
    // designed margin below it.
    const RECT copyright = RectInParent(::GetDlgItem(box, IDC_lblCopyright));
    if (client.bottom != Px(kAboutClientTw[1], dpi)) {
        EXPECT_GT(client.bottom, Px(kAboutClientTw[1], dpi));
        EXPECT_EQ(client.bottom, copyright.bottom + Px(60, dpi));
    }
    ExpectDesignedControls(box, kAboutControls, dpi, IDC_lblCopyright);
    EXPECT_EQ(ChildrenOutside(box), std::vector<std::string>{});
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitGone(box));
}

void HiDpiTest::CheckLayoutAt(int dpi) {
    ScreenDpiSetting setting(dpi);
    ASSERT_TRUE(program_.Start(""));
    ASSERT_NE(program_.WaitMainWindow(), nullptr);
    {
        SCOPED_TRACE("main window");
        CheckMainWindow(dpi);
    }
    {
        SCOPED_TRACE("transparency dialog");
        CheckTransparencyDialog(dpi);
    }
    {
        SCOPED_TRACE("go-to-line dialog");
        CheckGotoLineDialog(dpi);
    }
    {
        SCOPED_TRACE("About box");
        CheckAboutBox(dpi);
    }
    program_.Close();
    EXPECT_TRUE(program_.WaitExit());

    // Fonts and the fit of each text, inside a process at this DPI.
    const ChildRun child = RunInProcessChecks(dpi);
    EXPECT_TRUE(child.finished && child.exitCode == 0 &&
                child.output.find("[  PASSED  ] 1 test.") != std::string::npos)
        << "in-process checks at " << dpi << " DPI "
        << (child.finished ? "exited with " + std::to_string(child.exitCode) : "did not finish")
        << ":\n"
        << child.output;
}

} // namespace

TEST_F(HiDpiTest, LayoutAt96Dpi) { CheckLayoutAt(96); }
TEST_F(HiDpiTest, LayoutAt120Dpi) { CheckLayoutAt(120); }
TEST_F(HiDpiTest, LayoutAt144Dpi) { CheckLayoutAt(144); }
TEST_F(HiDpiTest, LayoutAt192Dpi) { CheckLayoutAt(192); }
