#include "about/frmAbout.h"

#include "about/AboutText.h"
#include "about/OwnVersion.h"
#include "appearance/modGeneral.h"
#include "common/Files.h"
#include "common/Registry.h"
#include "common/Unicode.h"
#include "common/Window.h"

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

// Reading only: a program without registry virtualization (64-bit, or with
// a manifest) gets no write access to HKEY_LOCAL_MACHINE as a normal user.
constexpr REGSAM kKeyValueAccess = KEY_READ;

// The controls, in the order of their layers: a control lies above the
// ones after it, and the pictures (WS_CLIPSIBLINGS) paint around what lies
// on them. The two bitmaps are drawn at build time for 96 dpi and stretched
// to their place at any other.
constexpr DWORD kPicture = SS_BITMAP | SS_REALSIZECONTROL;
constexpr ControlSpec kControls[] = {
    {"STATIC", "Program Name and v3.0", SS_LEFT | SS_NOPREFIX, 0, IDC_lblTitle, 2280, 90, 4335,
     240},
    {"STATIC", "ABOUT_BANNER", kPicture | WS_CLIPSIBLINGS, 0, IDC_Picture3, 0, 0, 6870, 780},
    {"STATIC", "ABOUT_LOGO", kPicture, 0, IDC_Image2, 5640, 1360, 720, 720},
    {"STATIC",
     "Quorvel shows NFO files the way they were drawn: in the OEM Terminal font, with their "
     "lines, boxes and shaded blocks.",
     SS_LEFT | SS_NOPREFIX, 0, IDC_lblAbout, 420, 1380, 5070, 915},
    {"STATIC", "", SS_WHITERECT | WS_CLIPSIBLINGS, WS_EX_CLIENTEDGE, IDC_Picture1, 240, 1200, 6375,
     1215},
    {"STATIC", "", SS_ETCHEDFRAME, 0, IDC_Frame1, 0, 2640, 6855, 40},
    {"STATIC", "WebSite", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0, IDC_lblHomePage, 2280, 2940, 735,
     195},
    {"STATIC", "Email me", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0, IDC_lblEMail, 3240, 2940, 765,
     195},
    {"BUTTON", "&System Info...", BS_PUSHBUTTON | WS_TABSTOP, 0, IDC_cmdSysInfo, 4200, 2880, 1245,
     400},
    {"BUTTON", "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, IDC_cmdok, 5520, 2880, 1155, 400},
    {"STATIC", "", SS_ETCHEDFRAME, 0, IDC_Frame2, 0, 3480, 6855, 40},
    {"STATIC", "", SS_LEFT | SS_NOPREFIX, 0, IDC_lblCopyright, 3420, 3600, 3315, 195},
};

// Hidden and system files do not count, and neither do folders.
bool IsNormalFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

// Starts the program with a normal, activated window, without waiting.
bool StartProgram(const std::string& path) {
    if (path.empty())
        return false;
    std::wstring commandLine = Wide("\"" + path + "\"");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return false;
    UniqueKernelHandle process(pi.hProcess);
    UniqueKernelHandle thread(pi.hThread);
    return true;
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
    ::DialogBoxIndirectParamW(instance_, &tmpl.header, above, DlgProc,
                              reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
}

INT_PTR CALLBACK frmAbout::DlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<frmAbout*>(lParam);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* self = reinterpret_cast<frmAbout*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
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
                ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
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
    case IDC_lblAbout:
        // Texts on the white pictures.
        ::SetTextColor(dc, ::GetDlgCtrlID(control) == IDC_lblTitle ? RGB(0, 0, 0) : kCopyrightColor);
        ::SetBkColor(dc, RGB(255, 255, 255));
        return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
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
    ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649))); // IDC_HAND
    return true;
}

void frmAbout::CreateControls() {
    titleFont_ = CreatePointFont("Arial", 9.75, FW_BOLD, false, dpi_.y);
    linkFont_ = CreatePointFont("MS Sans Serif", 8.25, FW_BOLD, true, dpi_.y);
    copyrightFont_ = CreatePointFont("Verdana", 8.25, FW_NORMAL, false, dpi_.y);
    dialogFont_ = CreatePointFont("MS Sans Serif", 8.25, FW_NORMAL, false, dpi_.y);
    quorvel::CreateControls(hwnd_, instance_, dpi_, dialogFont_.get(), kControls);
    for (const auto& [id, font] : {std::pair{IDC_lblTitle, titleFont_.get()},
                                   {IDC_lblHomePage, linkFont_.get()},
                                   {IDC_lblEMail, linkFont_.get()},
                                   {IDC_lblCopyright, copyrightFont_.get()}})
        ::SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const auto picture = [this](int id, const wchar_t* name, UniqueHbitmap& bitmap) {
        bitmap.reset(static_cast<HBITMAP>(::LoadImageW(instance_, name, IMAGE_BITMAP, 0, 0, 0)));
        ::SendDlgItemMessageW(hwnd_, id, STM_SETIMAGE, IMAGE_BITMAP,
                              reinterpret_cast<LPARAM>(bitmap.get()));
    };
    picture(IDC_Picture3, L"ABOUT_BANNER", banner_);
    picture(IDC_Image2, L"ABOUT_LOGO", logo_);

    tooltip_ =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    AddTooltip(::GetDlgItem(hwnd_, IDC_lblHomePage), kAboutHomePage);
    AddTooltip(::GetDlgItem(hwnd_, IDC_lblEMail), kAboutEMail);
}

void frmAbout::AddTooltip(HWND control, const char* text) {
    std::wstring wide = Wide(text);
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = wide.data();
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

std::string frmAbout::TooltipText(HWND control) const {
    wchar_t text[1024] = {};
    TTTOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = hwnd_;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = text;
    ::SendMessageW(tooltip_, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&info));
    return Utf8(text);
}

void frmAbout::Form_Load() {
    SetWindowTextUtf8(hwnd_, "About ");
    const OwnVersion version = ReadOwnVersion(instance_);
    SetWindowTextUtf8(::GetDlgItem(hwnd_, IDC_lblTitle),
                      AboutTitleLine(version.description, version.major, version.revision));
    SetWindowTextUtf8(::GetDlgItem(hwnd_, IDC_lblCopyright),
                      AboutCopyrightText(version.copyright));
}

void frmAbout::FitCopyrightAndCentre(HWND above) {
    // The copyright line breaks where its text says; the label grows to show
    // every line, and the box grows with it rather than cut a line off.
    HWND copyright = ::GetDlgItem(hwnd_, IDC_lblCopyright);
    RECT label{};
    ::GetWindowRect(copyright, &label);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&label), 2);
    RECT needed{0, 0, label.right - label.left, 0};
    {
        const WindowDC dc(copyright);
        const SelectGuard select(dc.get(), copyrightFont_.get());
        ::DrawTextW(dc.get(), Wide(GetWindowTextAll(copyright)).c_str(), -1, &needed,
                    DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    }
    const int labelHeight = std::max<int>(label.bottom - label.top, needed.bottom);
    ::SetWindowPos(copyright, nullptr, 0, 0, label.right - label.left, labelHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    RECT frame{0, 0, TwipsToPixels(kClientWidthTw, dpi_.x),
               std::max<int>(TwipsToPixels(kClientHeightTw, dpi_.y),
                             label.top + labelHeight + TwipsToPixels(kBottomMarginTw, dpi_.y))};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    // Centred on the window it belongs to, kept on that window's screen.
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
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
    const std::string title = GetWindowTextAll(::GetDlgItem(hwnd_, IDC_lblTitle));
    ::ShellExecuteW(hwnd_, L"open", Wide(AboutMailTarget(kAboutEMail, title)).c_str(), nullptr,
                    L"C:\\", SW_SHOW);
}

void frmAbout::lblHomePage_Click() {
    const std::string target = TooltipText(::GetDlgItem(hwnd_, IDC_lblHomePage));
    ::ShellExecuteW(hwnd_, L"open", Wide(target).c_str(), L"", L"", SW_SHOW);
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
    ::MessageBoxW(hwnd_, Wide(kSysInfoUnavailable).c_str(), Wide(kProductTitle).c_str(), MB_OK);
}

bool frmAbout::GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                           std::string& KeyVal) {
    // Room for 1024 characters of text (UTF-16).
    const auto data = QueryRegistryValue(KeyRoot, KeyName, SubKeyRef, kKeyValueAccess, 2048);
    if (!data) {
        KeyVal.clear();
        return false;
    }
    if (data->type == REG_SZ) {
        const std::string text = data->Text();
        KeyVal = KeptRegistryText(text, text.size());
    } else if (data->type == REG_DWORD) {
        KeyVal = DwordRegistryText(KeyVal, KeptRegistryText(data->bytes, data->bytes.size()));
    }
    return true;
}

void mnuAbout_Click(HINSTANCE instance, HWND window, ToggleCaptions& captions,
                    SettingsWriter& settings) {
    settings.Write("ALWAYSONTOP", "0");
    captions.SetCaption(Toggle::OnTop, "Set Always On Top (False)");
    SetTopMost(window, false);

    frmAbout about(instance);
    about.Show(window);
}

} // namespace quorvel
