// The main window and its three dialogs created in this process, at the DPI
// this process was started with: every font is asked for at its point size
// turned into pixels at that DPI and really comes out that size, and every
// text fits its control when drawn with the control's own font. HiDpiTest
// runs this again in a process started at 96, 120, 144 and 192 DPI; run on
// its own it checks the DPI of the test run.
#include "about/frmAbout.h"
#include "app/frmGotoLine.h"
#include "app/resource.h"
#include "appearance/frmTransP.h"
#include "tests/e2e/HiDpiChecks.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/e2e/WindowHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

int ThisProcessDpi() {
    HDC dc = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(nullptr, dc);
    return dpi;
}

// A point size given in hundredths, as LOGFONT's height at `dpi`.
int FontHeight(int centiPoints, int dpi) { return -::MulDiv(centiPoints, dpi, 7200); }

HFONT FontOf(HWND control) {
    return reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
}

// What is wrong with the font of `control`, or nothing: the height asked
// for must be the design's point size at `dpi`, and the font that Windows
// gives for it must come within a tenth (at least a pixel) of that height,
// which a raster font only does in the sizes it has.
std::vector<std::string> FontProblems(HWND control, int centiPoints, int dpi) {
    std::vector<std::string> problems;
    HFONT font = FontOf(control);
    LOGFONTA lf{};
    if (!font || !::GetObjectA(font, sizeof lf, &lf))
        return {ControlName(control) + ": no font of its own"};
    const int want = FontHeight(centiPoints, dpi);
    if (lf.lfHeight != want)
        problems.push_back(ControlName(control) + ": asks for height " +
                           std::to_string(lf.lfHeight) + ", not " + std::to_string(want));
    HDC dc = ::GetDC(control);
    const HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    char face[LF_FACESIZE] = {};
    ::GetTextFaceA(dc, sizeof face, face);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    const int got = tm.tmHeight - tm.tmInternalLeading;
    const int slack = std::max(1, -want / 10);
    if (std::abs(got + want) > slack)
        problems.push_back(ControlName(control) + ": " + face + " comes out " +
                           std::to_string(got) + " pixels high, not " + std::to_string(-want));
    return problems;
}

// Why `text`, drawn in `control` with the control's font the way the
// control draws it, does not fit the control's client area; empty when it
// fits. Labels break lines at blanks; buttons keep one line inside their
// edges; a text box must hold one line of its font.
std::string TextMisfit(HWND control, const std::string& text) {
    char cls[32] = {};
    ::GetClassNameA(control, cls, sizeof cls);
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    RECT client{};
    ::GetClientRect(control, &client);
    HDC dc = ::GetDC(control);
    const HGDIOBJ old = ::SelectObject(dc, FontOf(control));
    RECT need{0, 0, client.right, 0};
    bool fits = true;
    if (lstrcmpiA(cls, "Static") == 0) {
        UINT flags = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS;
        if (style & SS_NOPREFIX)
            flags |= DT_NOPREFIX;
        ::DrawTextA(dc, text.c_str(), -1, &need, flags);
        fits = need.right <= client.right && need.bottom <= client.bottom;
    } else if (lstrcmpiA(cls, "Button") == 0) {
        need = RECT{};
        ::DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE);
        // Two pixels of edge on each side.
        fits = need.right + 4 <= client.right && need.bottom + 4 <= client.bottom;
    } else if (lstrcmpiA(cls, "Edit") == 0) {
        TEXTMETRICA tm{};
        ::GetTextMetricsA(dc, &tm);
        need = RECT{0, 0, client.right, tm.tmHeight};
        fits = tm.tmHeight <= client.bottom;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    if (fits)
        return {};
    return ControlName(control) + ": \"" + text + "\" needs " + std::to_string(need.right) + " x " +
           std::to_string(need.bottom) + ", has " + std::to_string(client.right) + " x " +
           std::to_string(client.bottom);
}

std::string ControlText(HWND control) {
    char text[512] = {};
    ::GetWindowTextA(control, text, sizeof text);
    return text;
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Fonts and texts of the controls `ids` of `dialog`, each designed in a
// font of `centiPoints` hundredths of a point.
void CheckControls(HWND dialog, const std::vector<int>& ids, int centiPoints, int dpi,
                   std::vector<std::string>& problems) {
    for (int id : ids) {
        HWND control = ::GetDlgItem(dialog, id);
        if (!control) {
            problems.push_back("no control #" + std::to_string(id));
            continue;
        }
        Append(problems, FontProblems(control, centiPoints, dpi));
        if (std::string misfit = TextMisfit(control, ControlText(control)); !misfit.empty())
            problems.push_back(misfit);
    }
}

class HiDpiWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        dpi_ = ThisProcessDpi();
        if (const char* expected = std::getenv(kExpectedDpiVariable)) {
            ASSERT_EQ(dpi_, std::atoi(expected)) << "the process did not start at the DPI set";
        }
        ASSERT_TRUE(window_.Start());
    }

    int dpi_ = 96;
    PlacementKey placement_;
    WindowUnderTest window_;
};

} // namespace

TEST_F(HiDpiWindowTest, FontsAndTextsFitAtTheSystemDpi) {
    // The text box: Terminal, OEM, bold, 6 pt, filling the client area.
    {
        SCOPED_TRACE("main window");
        HWND box = window_.txtnfo();
        EXPECT_EQ(FontOf(box), window_.frm().font());
        LOGFONTA lf{};
        ASSERT_TRUE(::GetObjectA(window_.frm().font(), sizeof lf, &lf));
        EXPECT_EQ(lf.lfHeight, -::MulDiv(6, dpi_, 72));
        EXPECT_STREQ(lf.lfFaceName, "Terminal");
        EXPECT_EQ(lf.lfCharSet, OEM_CHARSET);
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
        EXPECT_EQ(FontProblems(box, 600, dpi_), std::vector<std::string>{});
        RECT client{};
        ::GetClientRect(window_.hwnd(), &client);
        EXPECT_TRUE(SameRect(RectInParent(box), client)) << Describe(RectInParent(box));
    }

    // The go-to-line dialog, all in Verdana 6.75 pt. The count label must
    // also hold the count of a long file.
    {
        SCOPED_TRACE("go-to-line dialog");
        window_.Command(IDM_mnuGoto);
        HWND dialog = window_.frm().gotoLineWindow();
        ASSERT_NE(dialog, nullptr);
        std::vector<std::string> problems;
        CheckControls(dialog,
                      {frmGotoLine::kLblInfo, frmGotoLine::kTxtLineNr, frmGotoLine::kLblCount,
                       frmGotoLine::kCmdGoto},
                      675, dpi_, problems);
        if (std::string misfit = TextMisfit(::GetDlgItem(dialog, frmGotoLine::kLblCount),
                                            "Line(s) Count: 99999");
            !misfit.empty())
            problems.push_back(misfit);
        EXPECT_EQ(problems, std::vector<std::string>{});
        ::SendMessageA(dialog, WM_CLOSE, 0, 0);
        window_.Pump();
        EXPECT_EQ(window_.frm().gotoLineWindow(), nullptr);
    }

    // The transparency dialog, in Verdana 6.75 pt; its label shows up to
    // "100%".
    {
        SCOPED_TRACE("transparency dialog");
        window_.Command(IDM_mnuTransP);
        HWND dialog = window_.frm().transPWindow();
        ASSERT_NE(dialog, nullptr);
        std::vector<std::string> problems;
        CheckControls(dialog, {frmTransP::kLblTransp, frmTransP::kCmdSave}, 675, dpi_, problems);
        if (std::string misfit = TextMisfit(::GetDlgItem(dialog, frmTransP::kLblTransp), "100%");
            !misfit.empty())
            problems.push_back(misfit);
        EXPECT_EQ(problems, std::vector<std::string>{});
        ::SendMessageA(dialog, WM_CLOSE, 0, 0);
        window_.Pump();
        EXPECT_EQ(window_.frm().transPWindow(), nullptr);
    }

    // The About box: title Arial 9.75 pt, links MS Sans Serif 8.25 pt,
    // buttons in the dialog's 8.25 pt, copyright Verdana 8.25 pt. It is
    // modal: the checks run on the driver's thread while it is open.
    {
        SCOPED_TRACE("About box");
        std::vector<std::string> problems;
        const int dpi = dpi_;
        DialogDriver driver("About ", [&problems, dpi](HWND box) {
            CheckControls(box, {IDC_lblTitle}, 975, dpi, problems);
            CheckControls(box, {IDC_lblHomePage, IDC_lblEMail, IDC_cmdSysInfo, IDC_cmdok}, 825,
                          dpi, problems);
            CheckControls(box, {IDC_lblCopyright}, 825, dpi, problems);
            PressButton(box, IDOK);
        });
        window_.Command(IDM_mnuAbout);
        ASSERT_TRUE(driver.Finish()) << "no About box";
        EXPECT_EQ(problems, std::vector<std::string>{});
    }
}
