#include "about/frmAbout.h"

#include "about/AboutArtwork.h"
#include "about/AboutText.h"
#include "app/frmMain.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace quorvel {

namespace {

// Client area as designed, and the margin kept below the copyright line.
constexpr double kClientWidthTw = 6870;
constexpr double kClientHeightTw = 3855;
constexpr double kBottomMarginTw = 60;

constexpr COLORREF kLinkColor = 0x00C00000;      // dark blue, 0x00BBGGRR
constexpr COLORREF kCopyrightColor = 0x00404040; // dark grey
constexpr COLORREF kBannerColor = RGB(255, 255, 255);

// Query and set values, create and list sub-keys, notify, create links and
// read the security: not the read-only mask.
constexpr REGSAM kKeyValueAccess = 0x2003F;

// The parts of the program's version information the box shows.
struct OwnVersion {
    std::string description;
    std::uint16_t major = 0;
    std::uint16_t revision = 0;
    std::string copyright;
};

std::string VersionString(const std::vector<char>& data, const std::string& prefix,
                          const char* name) {
    char* text = nullptr;
    UINT length = 0;
    const std::string path = prefix + name;
    if (!::VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
        !text)
        return {};
    return std::string(text, ::strnlen(text, length));
}

OwnVersion ReadOwnVersion(HINSTANCE instance) {
    OwnVersion version;
    char path[MAX_PATH * 4] = {};
    if (!::GetModuleFileNameA(instance, path, static_cast<DWORD>(sizeof path)))
        return version;
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return version;
    std::vector<char> data(size);
    if (!::GetFileVersionInfoA(path, 0, size, data.data()))
        return version;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
        length >= sizeof *fixed) {
        version.major = HIWORD(fixed->dwFileVersionMS);
        version.revision = LOWORD(fixed->dwFileVersionLS);
    }

    // The strings live in the block of the first language listed.
    char prefix[64] = "\\StringFileInfo\\040904E4\\";
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    if (::VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                         reinterpret_cast<void**>(&translation), &length) &&
        translation && length >= sizeof *translation)
        std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04x%04x\\",
                      static_cast<unsigned>(translation->language),
                      static_cast<unsigned>(translation->codePage));
    version.description = VersionString(data, prefix, "FileDescription");
    version.copyright = VersionString(data, prefix, "LegalCopyright");
    return version;
}

// Hidden and system files do not count, and neither do folders.
bool IsNormalFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

// Starts the program with a normal, activated window, without waiting.
bool StartProgram(const std::string& path) {
    if (path.empty())
        return false;
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return false;
    UniqueKernelHandle process(pi.hProcess);
    UniqueKernelHandle thread(pi.hThread);
    return true;
}

std::string ControlText(HWND control) {
    const int length = ::GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    const int got = ::GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

// Whether `font` really comes out at the character height `lfHeight` asks
// for, within a tenth: a raster face such as "MS Sans Serif" has a few
// sizes only, and at a high DPI its largest is far too small.
bool ReachesHeight(HFONT font, LONG lfHeight) {
    HDC dc = ::GetDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICA tm{};
    const bool measured = ::GetTextMetricsA(dc, &tm) != FALSE;
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    if (!measured || (tm.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)))
        return true;
    const LONG got = tm.tmHeight - tm.tmInternalLeading;
    const LONG want = lfHeight < 0 ? -lfHeight : lfHeight;
    return (want - got) * 10 <= want;
}

UniqueHfont MakeFont(const char* face, double points, int weight, bool underline, int dpiY) {
    LOGFONTA lf{};
    lf.lfHeight = PointsToFontHeight(points, dpiY);
    lf.lfWeight = weight;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    UniqueHfont font(::CreateFontIndirectA(&lf));
    if (font && !ReachesHeight(font.get(), lf.lfHeight)) {
        // The TrueType successor of MS Sans Serif scales to any size; where
        // it is missing, the font mapper takes the nearest TrueType face.
        lstrcpynA(lf.lfFaceName, "Microsoft Sans Serif", LF_FACESIZE);
        lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
        if (UniqueHfont scalable{::CreateFontIndirectA(&lf)})
            font = std::move(scalable);
    }
    return font;
}

// An empty dialog template: the controls are made at run time, at their
// twips positions.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu;
    WORD windowClass;
    WORD title;
};

} // namespace

frmAbout::frmAbout(HINSTANCE instance) : instance_(instance), dpi_(SystemDpi()) {}

void frmAbout::Show(HWND above) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    EmptyDialogTemplate tmpl{};
    tmpl.header.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    above_ = above;
    // The window above which the box stays is its owner: Windows keeps an
    // owned window in front and disables the owner while the box is modal.
    ::DialogBoxIndirectParamA(instance_, &tmpl.header, above, DlgProc,
                              reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
}

INT_PTR CALLBACK frmAbout::DlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<frmAbout*>(lParam);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    }
    auto* self = reinterpret_cast<frmAbout*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    return self ? self->HandleMessage(msg, wParam, lParam) : FALSE;
}

INT_PTR frmAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (msg) {
        case WM_INITDIALOG:
            CreateControls();
            Form_Load();
            FitCopyrightAndCentre(above_);
            ::SetFocus(::GetDlgItem(hwnd_, IDC_cmdok));
            return FALSE; // the focus is set
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<INT_PTR>(
                OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam))) {
                ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CLOSE:
            ::EndDialog(hwnd_, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    } catch (...) {
        // Nothing a control does may end the dialog's message loop.
        return FALSE;
    }
}

void frmAbout::OnCommand(int id, int code) {
    switch (id) {
    case IDC_cmdok:
        cmdok_Click();
        break;
    case IDCANCEL:
        ::EndDialog(hwnd_, IDCANCEL);
        break;
    case IDC_cmdSysInfo:
        if (code == BN_CLICKED)
            cmdSysInfo_Click();
        break;
    case IDC_lblEMail:
        if (code == STN_CLICKED)
            lblEMail_Click();
        break;
    case IDC_lblHomePage:
        if (code == STN_CLICKED)
            lblHomePage_Click();
        break;
    default:
        break;
    }
}

HBRUSH frmAbout::OnCtlColorStatic(HDC dc, HWND control) {
    switch (::GetDlgCtrlID(control)) {
    case IDC_lblTitle:
        // The title sits on the white banner.
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, kBannerColor);
        return bannerBrush_.get();
    case IDC_lblHomePage:
    case IDC_lblEMail:
        ::SetTextColor(dc, kLinkColor);
        break;
    case IDC_lblCopyright:
        ::SetTextColor(dc, kCopyrightColor);
        break;
    default:
        return nullptr;
    }
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

bool frmAbout::OnSetCursor(HWND over) {
    const int id = ::GetDlgCtrlID(over);
    if (::GetParent(over) != hwnd_ || (id != IDC_lblHomePage && id != IDC_lblEMail))
        return false;
    ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
    return true;
}

void frmAbout::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == static_cast<UINT>(IDC_Picture3))
        DrawAboutBanner(item.hDC, item.rcItem, dpi_);
    else if (item.CtlID == static_cast<UINT>(IDC_Picture1))
        DrawAboutPanel(item.hDC, item.rcItem, dpi_, dialogFont_.get());
}

HWND frmAbout::AddControl(const char* className, const char* text, DWORD style, int id,
                          double leftTw, double topTw, double widthTw, double heightTw,
                          HFONT font) {
    HWND control =
        ::CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style,
                          TwipsToPixels(leftTw, dpi_.x), TwipsToPixels(topTw, dpi_.y),
                          TwipsToPixels(widthTw, dpi_.x), TwipsToPixels(heightTw, dpi_.y), hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (control && font)
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void frmAbout::CreateControls() {
    titleFont_ = MakeFont("Arial", 9.75, FW_BOLD, false, dpi_.y);
    linkFont_ = MakeFont("MS Sans Serif", 8.25, FW_BOLD, true, dpi_.y);
    copyrightFont_ = MakeFont("Verdana", 8.25, FW_NORMAL, false, dpi_.y);
    dialogFont_ = MakeFont("MS Sans Serif", 8.25, FW_NORMAL, false, dpi_.y);
    bannerBrush_.reset(::CreateSolidBrush(kBannerColor));

    // The title first: it lies on the banner and stays above it, and the
    // pictures clip it out of what they paint.
    AddControl("STATIC", "Program Name and v3.0", SS_LEFT | SS_NOPREFIX, IDC_lblTitle, 2280, 90,
               4335, 240, titleFont_.get());
    AddControl("STATIC", "", SS_OWNERDRAW | WS_CLIPSIBLINGS, IDC_Picture3, 0, 0, 6870, 780,
               nullptr);
    AddControl("STATIC", "", SS_OWNERDRAW | WS_CLIPSIBLINGS, IDC_Picture1, 240, 1200, 6375, 1215,
               nullptr);
    AddControl("STATIC", "", SS_ETCHEDFRAME, IDC_Frame1, 0, 2640, 6855, 40, nullptr);
    HWND home = AddControl("STATIC", "WebSite", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, IDC_lblHomePage,
                           2280, 2940, 735, 195, linkFont_.get());
    HWND mail = AddControl("STATIC", "Email me", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, IDC_lblEMail,
                           3240, 2940, 765, 195, linkFont_.get());
    AddControl("BUTTON", "&System Info...", BS_PUSHBUTTON | WS_TABSTOP, IDC_cmdSysInfo, 4200, 2880,
               1245, 400, dialogFont_.get());
    AddControl("BUTTON", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDC_cmdok, 5520, 2880, 1155, 400,
               dialogFont_.get());
    AddControl("STATIC", "", SS_ETCHEDFRAME, IDC_Frame2, 0, 3480, 6855, 40, nullptr);
    AddControl("STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_lblCopyright, 3420, 3600, 3315, 195,
               copyrightFont_.get());
    ::SetWindowPos(::GetDlgItem(hwnd_, IDC_lblTitle), HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    tooltip_ =
        ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    AddTooltip(home, kAboutHomePage);
    AddTooltip(mail, kAboutEMail);
}

void frmAbout::AddTooltip(HWND control, const char* text) {
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(text);
    ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

std::string frmAbout::TooltipText(HWND control) const {
    char text[1024] = {};
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = text;
    ::SendMessageA(tooltip_, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return text;
}

void frmAbout::Form_Load() {
    ::SetWindowTextA(hwnd_, "About ");
    const OwnVersion version = ReadOwnVersion(instance_);
    ::SetDlgItemTextA(hwnd_, IDC_lblTitle,
                      AboutTitleLine(version.description, version.major, version.revision).c_str());
    ::SetDlgItemTextA(hwnd_, IDC_lblCopyright, AboutCopyrightText(version.copyright).c_str());
}

void frmAbout::FitCopyrightAndCentre(HWND above) {
    // The copyright line breaks where its text says; the label grows to show
    // every line, and the box grows with it rather than cut a line off.
    HWND copyright = ::GetDlgItem(hwnd_, IDC_lblCopyright);
    RECT label{};
    ::GetWindowRect(copyright, &label);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&label), 2);
    const std::string text = ControlText(copyright);
    RECT needed{0, 0, label.right - label.left, 0};
    HDC dc = ::GetDC(copyright);
    const HGDIOBJ old = ::SelectObject(dc, copyrightFont_.get());
    ::DrawTextA(dc, text.c_str(), -1, &needed,
                DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(copyright, dc);
    const int labelHeight = std::max<int>(label.bottom - label.top, needed.bottom);
    ::SetWindowPos(copyright, nullptr, 0, 0, label.right - label.left, labelHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const int clientWidth = TwipsToPixels(kClientWidthTw, dpi_.x);
    const int clientHeight =
        std::max<int>(TwipsToPixels(kClientHeightTw, dpi_.y),
                      label.top + labelHeight + TwipsToPixels(kBottomMarginTw, dpi_.y));
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    // Centred on the window it belongs to, kept on that window's screen.
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT centreOn = area;
    if (above && ::IsWindow(above) && !::IsIconic(above))
        ::GetWindowRect(above, &centreOn);
    int x = (centreOn.left + centreOn.right - width) / 2;
    int y = (centreOn.top + centreOn.bottom - height) / 2;
    x = std::clamp(x, static_cast<int>(area.left), std::max<int>(area.left, area.right - width));
    y = std::clamp(y, static_cast<int>(area.top), std::max<int>(area.top, area.bottom - height));
    ::SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmAbout::cmdok_Click() {
    ::EndDialog(hwnd_, IDOK);
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::lblEMail_Click() {
    const std::string title = ControlText(::GetDlgItem(hwnd_, IDC_lblTitle));
    ::ShellExecuteA(hwnd_, "open", AboutMailTarget(kAboutEMail, title).c_str(), nullptr, "C:\\",
                    SW_SHOW);
}

void frmAbout::lblHomePage_Click() {
    const std::string target = TooltipText(::GetDlgItem(hwnd_, IDC_lblHomePage));
    ::ShellExecuteA(hwnd_, "open", target.c_str(), "", "", SW_SHOW);
}

void frmAbout::StartSysInfo() {
    try {
        std::string path;
        bool found = GetKeyValue(HKEY_LOCAL_MACHINE, kSysInfoPathKey, kSysInfoPathValue, path);
        if (!found &&
            GetKeyValue(HKEY_LOCAL_MACHINE, kSysInfoFolderKey, kSysInfoFolderValue, path)) {
            path += "\\MSINFO32.EXE";
            found = IsNormalFile(path);
        }
        // The path from the first location is started as it is; a file that
        // is not there fails to start and gets the message too.
        if (found && StartProgram(path))
            return;
    } catch (...) {
    }
    ::MessageBoxA(hwnd_, kSysInfoUnavailable, kProductTitle, MB_OK);
}

bool frmAbout::GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                           std::string& KeyVal) {
    UniqueHkey key;
    if (::RegOpenKeyExA(KeyRoot, KeyName.c_str(), 0, kKeyValueAccess, key.put()) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    std::string buffer(1024, '\0');
    DWORD size = 1024;
    DWORD type = 0;
    if (::RegQueryValueExA(key.get(), SubKeyRef.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    const std::string kept = KeptRegistryText(buffer, size);
    if (type == REG_SZ)
        KeyVal = kept;
    else if (type == REG_DWORD)
        KeyVal = DwordRegistryText(KeyVal, kept);
    return true;
}

} // namespace quorvel
