#include "app/frmMain.h"

#include "app/LongDirFix.h"
#include "app/MenuCaption.h"
#include "app/Registry.h"
#include "app/TextFile.h"
#include "app/resource.h"
#include "common/NumberFormat.h"
#include "settings/SettingsFile.h"
#include "settings/clsBinaryEncryptor.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <variant>

namespace quorvel {

namespace {

// The window's designed client area and the outer size used when no
// placement is stored, in twips.
constexpr double kDesignClientWidthTw = 7950;
constexpr double kDesignClientHeightTw = 4590;
constexpr double kDefaultWidthTw = 8355;
constexpr double kDefaultHeightTw = 6855;

constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_APPWINDOW;

// The text box's font: "Terminal" in the OEM character set, so bytes
// 0x80-0xFF show as the line and block glyphs of the OEM code page.
constexpr double kTextFontPoints = 6;

// Converts a placement value read from the registry to a number; text that
// is not a number gives the default.
float PlacementNumber(const RegValue& value, float fallback) {
    if (const auto* n = std::get_if<std::int32_t>(&value))
        return static_cast<float>(*n);
    const auto parsed = ParseSingle(std::get<std::string>(value));
    return parsed && std::isfinite(*parsed) ? *parsed : fallback;
}

// A stored width or height of zero or less (only a damaged or hand-edited
// key holds one) would leave nothing of the window but a piece of its
// caption: it counts as missing.
float PlacementSize(const RegValue& value, float fallback) {
    const float size = PlacementNumber(value, fallback);
    return size > 0 ? size : fallback;
}

// A colour is an RGB value 0x00BBGGRR or a system colour, 0x80000000 plus
// the colour's index.
bool IsColorValue(std::uint32_t color) {
    if ((color & 0xFF000000u) == 0)
        return true;
    return (color & 0xFFFFFF00u) == 0x80000000u && (color & 0xFFu) <= COLOR_MENUBAR;
}

COLORREF ResolveColor(std::uint32_t color) {
    return (color & 0x80000000u) ? ::GetSysColor(static_cast<int>(color & 0xFFu))
                                 : static_cast<COLORREF>(color);
}

// Rounds to a 32-bit integer, halves to even, as the placement is stored.
std::int32_t PlacementToStore(double twips) {
    return RoundToInt32(twips).value_or(0);
}

} // namespace

StartupArgs StartupArgsFromProcess() {
    StartupArgs args;
    char path[MAX_PATH * 4] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, static_cast<DWORD>(sizeof path));
    std::string full(path, n);
    const auto slash = full.find_last_of('\\');
    args.programFolder = slash == std::string::npos ? std::string() : full.substr(0, slash);
    args.programFileName = slash == std::string::npos ? full : full.substr(slash + 1);

    // The argument string is everything after the program's own name, with
    // the blanks that separate it removed; quotes and inner blanks stay.
    const char* p = ::GetCommandLineA();
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    args.commandLine = p;
    return args;
}

frmMain::frmMain() = default;

frmMain::~frmMain() {
    if (hwnd_ && ::IsWindow(hwnd_)) {
        quitOnDestroy_ = false;
        ::DestroyWindow(hwnd_);
    }
}

std::string frmMain::placementKey() const {
    std::string name = args_.programFileName;
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return "Software\\Brenmoor\\" + name + "\\Main";
}

std::string frmMain::ProgramPath() const {
    std::string name = args_.programFileName;
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.resize(dot);
    return args_.programFolder + "\\" + name;
}

bool frmMain::Create(HINSTANCE instance, const StartupArgs& args, int showCommand) {
    instance_ = instance;
    args_ = args;
    dpi_ = SystemDpi();

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExA(instance, kFrmMainClass, &wc)) {
        wc = WNDCLASSEXA{};
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = WndProc;
        wc.hInstance = instance;
        wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_QUORVEL));
        wc.hIconSm = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_QUORVEL),
                                                     IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0));
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kFrmMainClass;
        if (!::RegisterClassExA(&wc))
            return false;
    }

    menu_ = ::LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINMENU));
    accel_ = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCEL));
    if (!menu_ || !accel_)
        return false;

    // The designed client area, grown by the frame and menu bar.
    RECT rc{0, 0, TwipsToPixels(kDesignClientWidthTw, dpi_.x),
            TwipsToPixels(kDesignClientHeightTw, dpi_.y)};
    ::AdjustWindowRectEx(&rc, kMainStyle, TRUE, kMainExStyle);
    hwnd_ = ::CreateWindowExA(kMainExStyle, kFrmMainClass, kProductTitle, kMainStyle, 0, 0,
                              rc.right - rc.left, rc.bottom - rc.top, nullptr, menu_, instance,
                              this);
    if (!hwnd_)
        return false;

    Form_Load();
    ::ShowWindow(hwnd_, showCommand);
    ::UpdateWindow(hwnd_);
    return true;
}

void frmMain::CreateControls() {
    // Multi-line with a vertical scroll bar only, so long lines wrap at the
    // box's width; locked until the settings say otherwise.
    txtnfo_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                                    ES_AUTOVSCROLL | ES_READONLY,
                                0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(IDC_txtnfo), instance_,
                                nullptr);
    // The default limit of 30,000 characters would refuse typing and pasting
    // into any real file.
    ::SendMessageA(txtnfo_, EM_SETLIMITTEXT, 0, 0);

    LOGFONTA lf{};
    lf.lfHeight = PointsToFontHeight(kTextFontPoints, dpi_.y);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = OEM_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynA(lf.lfFaceName, "Terminal", LF_FACESIZE);
    font_.reset(::CreateFontIndirectA(&lf));
    ::SendMessageA(txtnfo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    SetBackColor(backColor_);

    ::SetWindowSubclass(txtnfo_, TextBoxProc, 1, reinterpret_cast<DWORD_PTR>(this));

    txtTransp_ = ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 0, 0, hwnd_,
                                   reinterpret_cast<HMENU>(IDC_txtTransp), instance_, nullptr);
}

LRESULT CALLBACK frmMain::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    frmMain* self = nullptr;
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        self = static_cast<frmMain*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<frmMain*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    return self->HandleMessage(msg, wParam, lParam);
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    switch (msg) {
    case WM_CREATE:
        CreateControls();
        return 0;
    case WM_SIZE:
        Form_Resize();
        return 0;
    case WM_SETFOCUS:
        if (txtnfo_)
            ::SetFocus(txtnfo_);
        return 0;
    case WM_COMMAND:
        if (lParam == 0 && OnCommand(LOWORD(wParam)))
            return 0;
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == txtnfo_)
            return reinterpret_cast<LRESULT>(
                OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        break;
    case WM_CLOSE:
        Form_Unload();
        ::DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        // The program ends with its main window; so do its dialogs.
        for (HWND dialog : {gotoLineDlg_, transPDlg_})
            if (dialog && ::IsWindow(dialog))
                ::DestroyWindow(dialog);
        gotoLineDlg_ = transPDlg_ = nullptr;
        ::RemoveWindowSubclass(txtnfo_, TextBoxProc, 1);
        if (quitOnDestroy_)
            ::PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        txtnfo_ = nullptr;
        txtTransp_ = nullptr;
        menu_ = nullptr; // destroyed with the window
        if (accel_) {
            ::DestroyAcceleratorTable(accel_);
            accel_ = nullptr;
        }
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK frmMain::TextBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR selfPtr) {
    auto* self = reinterpret_cast<frmMain*>(selfPtr);
    if (msg == WM_MBUTTONDOWN) {
        std::int16_t shift = 0;
        if (wParam & MK_SHIFT)
            shift |= 1;
        if (wParam & MK_CONTROL)
            shift |= 2;
        if (::GetKeyState(VK_MENU) < 0)
            shift |= 4;
        const float x = static_cast<float>(PixelsToTwips(GET_X_LPARAM(lParam), self->dpi_.x));
        const float y = static_cast<float>(PixelsToTwips(GET_Y_LPARAM(lParam), self->dpi_.y));
        self->txtnfo_MouseDown(4, shift, x, y);
        return 0;
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

HBRUSH frmMain::OnCtlColor(HDC dc, HWND) noexcept {
    ::SetTextColor(dc, ResolveColor(foreColor_));
    ::SetBkColor(dc, ResolveColor(backColor_));
    return backBrush_.get();
}

bool frmMain::PreTranslateMessage(MSG& msg) {
    if (!hwnd_)
        return false;
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (!root)
        return false;
    // The menu's shortcuts belong to the main window only; the dialogs get
    // their Tab and Enter handling.
    if (root == hwnd_)
        return accel_ && ::TranslateAcceleratorA(hwnd_, accel_, &msg) != 0;
    for (HWND dialog : {gotoLineDlg_, transPDlg_})
        if (dialog && root == dialog && ::IsWindow(dialog))
            return ::IsDialogMessageA(dialog, &msg) != 0;
    return false;
}

bool frmMain::OnCommand(UINT id) noexcept {
    struct Command {
        UINT id;
        void (frmMain::*handler)();
    };
    static constexpr Command kCommands[] = {
        {IDM_mnuOpen, &frmMain::mnuOpen_Click},
        {IDM_mnuSave, &frmMain::mnuSave_Click},
        {IDM_mnuExit, &frmMain::mnuExit_Click},
        {IDM_mnuMakeWrite, &frmMain::mnuMakeWrite_Click},
        {IDM_mnuFC, &frmMain::mnuFC_Click},
        {IDM_mnuBC, &frmMain::mnuBC_Click},
        {IDM_mnuOnTop, &frmMain::mnuOnTop_Click},
        {IDM_mnuTransP, &frmMain::mnuTransP_Click},
        {IDM_mnuAss, &frmMain::mnuAss_Click},
        {IDM_mnuUrl, &frmMain::mnuUrl_Click},
        {IDM_mnuUndo, &frmMain::mnuUndo_Click},
        {IDM_mnuCut, &frmMain::mnuCut_Click},
        {IDM_mnuCopy, &frmMain::mnuCopy_Click},
        {IDM_mnuPaste, &frmMain::mnuPaste_Click},
        {IDM_mnuDelete, &frmMain::mnuDelete_Click},
        {IDM_mnuGoto, &frmMain::mnuGoto_Click},
        {IDM_mnuSelAll, &frmMain::mnuSelAll_Click},
        {IDM_mnuNow, &frmMain::mnuNow_Click},
        {IDM_mnuAbout, &frmMain::mnuAbout_Click},
    };
    for (const auto& c : kCommands) {
        if (c.id == id) {
            // Handlers report their own failures; nothing may escape into
            // the message loop.
            try {
                (this->*c.handler)();
            } catch (...) {
            }
            return true;
        }
    }
    return false;
}

// --- Start-up, layout and close -------------------------------------------

void frmMain::Form_Load() {
    Form_Resize();
    productTitle_ = kProductTitle;
    ::SetWindowTextA(hwnd_, productTitle_.c_str());

    encryptor_ = std::make_unique<clsBinaryEncryptor>();
    settingsPath_ = SettingsPathFor(args_.programFolder);
    Load_Config();

    // The text box gets the file's text only once the window has its final
    // size: a wrapping box lays out its whole text again when its width
    // changes, which for a large file costs as much as the load itself.
    std::string text;
    bool haveText = false;
    if (!args_.commandLine.empty()) {
        currentFile_ = args_.commandLine;
        const auto outcome = ReadTextFile(hwnd_, currentFile_, text);
        haveText = outcome != LoadOutcome::Failed;
        if (haveText)
            textHasNulBytes_ = outcome == LoadOutcome::LoadedNulBytesShownAsBlanks;
        ShowFileInCaption();
    }
    ApplyPlacement();
    if (haveText)
        ::SetWindowTextA(txtnfo_, text.c_str());
}

void frmMain::ApplyPlacement() {
    const std::string key = placementKey();
    const float left = PlacementNumber(
        ReadRegValue(HKEY_CURRENT_USER, key, "MainLeft", std::string("0")), 0.0f);
    MoveTo(left, TopTw());
    const float top =
        PlacementNumber(ReadRegValue(HKEY_CURRENT_USER, key, "MainTop", std::string("0")), 0.0f);
    MoveTo(LeftTw(), top);

    // Centred on the primary screen at the window's present size.
    const auto centre = [this] {
        const double screenW = PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), dpi_.x);
        const double screenH = PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), dpi_.y);
        const double x = std::trunc(std::nearbyint(screenW - WidthTw()) / 2);
        const double y = std::trunc(std::nearbyint(screenH - HeightTw()) / 2);
        MoveTo(x, y);
    };
    if (LeftTw() == 0 && TopTw() == 0)
        centre();

    const float width = PlacementSize(
        ReadRegValue(HKEY_CURRENT_USER, key, "MainWidth", static_cast<std::int32_t>(8355)),
        static_cast<float>(kDefaultWidthTw));
    SizeTo(width, HeightTw());
    const float height = PlacementSize(
        ReadRegValue(HKEY_CURRENT_USER, key, "MainHeight", static_cast<std::int32_t>(6855)),
        static_cast<float>(kDefaultHeightTw));
    SizeTo(WidthTw(), height);

    // A placement on a screen that is gone, or edited by hand, would open
    // the window where no one can see or reach it: such a window is centred
    // as on a first start, at its stored size.
    RECT rc{};
    ::GetWindowRect(hwnd_, &rc);
    if (!::MonitorFromRect(&rc, MONITOR_DEFAULTTONULL))
        centre();
}

void frmMain::Form_Resize() {
    if (!txtnfo_)
        return;
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    ::MoveWindow(txtnfo_, 0, 0, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

void frmMain::Form_Unload() {
    // Only a window in the normal state has a placement worth keeping.
    if (::IsIconic(hwnd_) || ::IsZoomed(hwnd_))
        return;
    const std::string key = placementKey();
    WriteRegDword(HKEY_CURRENT_USER, key, "MainLeft", PlacementToStore(LeftTw()));
    WriteRegDword(HKEY_CURRENT_USER, key, "MainTop", PlacementToStore(TopTw()));
    WriteRegDword(HKEY_CURRENT_USER, key, "MainWidth", PlacementToStore(WidthTw()));
    WriteRegDword(HKEY_CURRENT_USER, key, "MainHeight", PlacementToStore(HeightTw()));
}

void frmMain::mnuExit_Click() {
    // Ends at once: the close handler does not run, so the placement stored
    // last time stays.
    ::DestroyWindow(hwnd_);
}

void frmMain::txtnfo_MouseDown(std::int16_t Button, std::int16_t, float X, float Y) {
    if (Button != 4)
        return;
    POINT pt{TwipsToPixels(X, dpi_.x), TwipsToPixels(Y, dpi_.y)};
    ::ClientToScreen(txtnfo_, &pt);
    ::TrackPopupMenu(::GetSubMenu(menu_, 0), 0, pt.x, pt.y, 0, hwnd_, nullptr);
}

// --- Geometry ----------------------------------------------------------------

namespace {
RECT WindowRect(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}
} // namespace

double frmMain::LeftTw() const { return PixelsToTwips(WindowRect(hwnd_).left, dpi_.x); }
double frmMain::TopTw() const { return PixelsToTwips(WindowRect(hwnd_).top, dpi_.y); }
double frmMain::WidthTw() const {
    const RECT rc = WindowRect(hwnd_);
    return PixelsToTwips(rc.right - rc.left, dpi_.x);
}
double frmMain::HeightTw() const {
    const RECT rc = WindowRect(hwnd_);
    return PixelsToTwips(rc.bottom - rc.top, dpi_.y);
}

void frmMain::MoveTo(double leftTw, double topTw) {
    ::SetWindowPos(hwnd_, nullptr, TwipsToPixels(leftTw, dpi_.x), TwipsToPixels(topTw, dpi_.y), 0,
                   0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMain::SizeTo(double widthTw, double heightTw) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, std::max(0, TwipsToPixels(widthTw, dpi_.x)),
                   std::max(0, TwipsToPixels(heightTw, dpi_.y)),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Text box appearance -------------------------------------------------------

bool frmMain::SetForeColor(std::uint32_t color) {
    if (!IsColorValue(color))
        return false;
    foreColor_ = color;
    if (txtnfo_)
        ::InvalidateRect(txtnfo_, nullptr, TRUE);
    return true;
}

bool frmMain::SetBackColor(std::uint32_t color) {
    if (!IsColorValue(color))
        return false;
    HBRUSH brush = ::CreateSolidBrush(ResolveColor(color));
    if (!brush)
        return false;
    backColor_ = color;
    backBrush_.reset(brush);
    if (txtnfo_)
        ::InvalidateRect(txtnfo_, nullptr, TRUE);
    return true;
}

void frmMain::SetLocked(bool locked) {
    ::SendMessageA(txtnfo_, EM_SETREADONLY, locked ? TRUE : FALSE, 0);
    SetMenuItemEnabled(menu_, IDM_mnuSave, !locked);
}

} // namespace quorvel
