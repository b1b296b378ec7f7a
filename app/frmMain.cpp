#include "app/frmMain.h"

#include "app/CommandLine.h"
#include "app/resource.h"
#include "appearance/CarriedFont.h"
#include "common/Files.h"
#include "common/Menus.h"
#include "common/StringUtil.h"
#include "common/Unicode.h"
#include "settings/Load_Config.h"
#include "settings/SettingsStore.h"
#include "text/TextFile.h"

#include <windowsx.h>

namespace quorvel {

namespace {

// The window's designed client area, in twips.
constexpr double kDesignClientWidthTw = 7950;
constexpr double kDesignClientHeightTw = 4590;

constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_APPWINDOW;

// The text box's font: "Terminal" in the OEM character set, so bytes
// 0x80-0xFF show as line and block glyphs; where the system's Terminal
// would not draw them as code page 437 has them, the font the program
// carries takes its place at the same size.
constexpr double kTextFontPoints = 6;

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

UINT MenuId(Toggle toggle) {
    switch (toggle) {
    case Toggle::OnTop:
        return IDM_mnuOnTop;
    case Toggle::MakeWrite:
        return IDM_mnuMakeWrite;
    case Toggle::FileAssociation:
        return IDM_mnuAss;
    case Toggle::UrlProtocol:
        return IDM_mnuUrl;
    }
    return 0;
}

} // namespace

StartupArgs StartupArgsFromProcess() {
    StartupArgs args;
    const std::string full = ModuleFileName(nullptr);
    args.programFolder = FolderOf(full);
    if (!args.programFolder.empty())
        args.programFolder.pop_back(); // the folder is kept without its backslash
    args.programFileName = FileNameOf(full);

    args.commandLine = ArgumentString(Utf8(::GetCommandLineW()));
    return args;
}

frmMain::frmMain() = default;

frmMain::~frmMain() {
    if (hwnd_ && ::IsWindow(hwnd_)) {
        quitOnDestroy_ = false;
        ::DestroyWindow(hwnd_);
    }
}

const std::string& frmMain::settingsPath() const {
    static const std::string none;
    return settings_ ? settings_->path() : none;
}

std::string frmMain::placementKey() const {
    return "Software\\Brenmoor\\" + WithoutExtension(args_.programFileName) + "\\Main";
}

std::string frmMain::ProgramPath() const {
    return args_.programFolder + "\\" + WithoutExtension(args_.programFileName);
}

bool frmMain::Create(HINSTANCE instance, const StartupArgs& args, int showCommand) {
    instance_ = instance;
    args_ = args;
    dpi_ = SystemDpi();
    // Shared icons: the system keeps them for as long as the class needs them.
    const HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUORVEL));
    const HICON smallIcon = static_cast<HICON>(::LoadImageW(
        instance, MAKEINTRESOURCEW(IDI_QUORVEL), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
        ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (!RegisterClassOnce(instance, kFrmMainClass, CS_HREDRAW | CS_VREDRAW, icon, smallIcon))
        return false;

    // The window takes over the menu once it exists; until then, and if it
    // cannot be made, the menu and the shortcuts are freed here.
    UniqueHmenu menu(::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU)));
    accel_.reset(::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCEL)));
    if (!menu || !accel_)
        return false;

    // The designed client area, grown by the frame and menu bar.
    RECT rc{0, 0, TwipsToPixels(kDesignClientWidthTw, dpi_.x),
            TwipsToPixels(kDesignClientHeightTw, dpi_.y)};
    ::AdjustWindowRectEx(&rc, kMainStyle, TRUE, kMainExStyle);
    ::OffsetRect(&rc, -rc.left, -rc.top);
    if (!CreateWindowFor(instance, kMainExStyle, kFrmMainClass, kProductTitle, kMainStyle, rc,
                         menu.get())) {
        accel_.reset();
        return false;
    }
    menu.release();

    Form_Load();
    ::ShowWindow(hwnd_, showCommand);
    ::UpdateWindow(hwnd_);
    controls_.Activate(instance, IDR_CONTROLS_MANIFEST);
    return true;
}

void frmMain::CreateControls() {
    // Multi-line with a vertical scroll bar only, so long lines wrap at the
    // box's width; locked until the settings say otherwise. A Unicode box:
    // the file's bytes reach it as characters of the program's own tables.
    txtnfo_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                                    ES_AUTOVSCROLL | ES_READONLY,
                                0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(IDC_txtnfo), instance_,
                                nullptr);
    // The default limit of 30,000 characters would refuse typing and pasting
    // into any real file.
    ::SendMessageW(txtnfo_, EM_SETLIMITTEXT, 0, 0);

    NfoFont chosen = ChooseTextBoxFont(instance_, IDR_NFO_FONT_12, kTextFontPoints, dpi_.y);
    font_ = std::move(chosen.font);
    carriedFont_ = std::move(chosen.carried);
    ::SendMessageW(txtnfo_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    SetBackColor(backColor_);
    HookControl(txtnfo_, TextBoxHook, this);

    txtTransp_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 0, 0, hwnd_,
                                   reinterpret_cast<HMENU>(IDC_txtTransp), instance_, nullptr);
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
            return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam)));
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
        if (quitOnDestroy_)
            ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void frmMain::OnWindowGone() noexcept {
    txtnfo_ = nullptr;
    txtTransp_ = nullptr;
    accel_.reset();
}

LRESULT frmMain::TextBoxHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, void* selfPtr) {
    auto* self = static_cast<frmMain*>(selfPtr);
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
    return CallControlProc(hwnd, msg, wParam, lParam);
}

HBRUSH frmMain::OnCtlColor(HDC dc) noexcept {
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
        return accel_ && ::TranslateAcceleratorW(hwnd_, accel_.get(), &msg) != 0;
    for (HWND dialog : {gotoLineDlg_, transPDlg_})
        if (dialog && root == dialog && ::IsWindow(dialog))
            return ::IsDialogMessageW(dialog, &msg) != 0;
    return false;
}

// --- Start-up, layout and close -------------------------------------------

void frmMain::Form_Load() {
    Form_Resize();
    productTitle_ = kProductTitle;
    ::SetWindowTextW(hwnd_, Wide(productTitle_).c_str());

    // The window's cipher instance and settings path.
    settings_ = std::make_unique<SettingsStore>(args_.programFolder);
    Load_Config(*settings_, hwnd_, txtTransp_, *this, *this);

    // The text box gets the file's text only once the window has its final
    // size: a wrapping box lays out its whole text again when its width
    // changes, which for a large file costs as much as the load itself.
    NfoText text;
    bool haveText = false;
    if (!args_.commandLine.empty()) {
        currentFile_ = args_.commandLine;
        const auto outcome = ReadTextFile(hwnd_, currentFile_, text);
        haveText = outcome != LoadOutcome::Failed;
        if (haveText)
            encoding_ = text.encoding;
        NoteLoad(outcome);
        ShowFileInCaption();
    }
    ApplyPlacement();
    if (haveText)
        SetTextBoxText(txtnfo_, text.text);
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
    if (!::IsIconic(hwnd_) && !::IsZoomed(hwnd_))
        StorePlacement();
}

void frmMain::txtnfo_MouseDown(std::int16_t Button, std::int16_t, float X, float Y) {
    if (Button != 4)
        return;
    POINT pt{TwipsToPixels(X, dpi_.x), TwipsToPixels(Y, dpi_.y)};
    ::ClientToScreen(txtnfo_, &pt);
    ::TrackPopupMenu(::GetSubMenu(menu(), 0), 0, pt.x, pt.y, 0, hwnd_, nullptr);
}

// --- The toggles' captions and the text box's look ------------------------

std::string frmMain::Caption(Toggle toggle) const {
    return GetMenuCaption(menu(), MenuId(toggle));
}

void frmMain::SetCaption(Toggle toggle, const std::string& caption) {
    SetMenuCaption(menu(), MenuId(toggle), caption);
}

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
    UniqueHbrush brush(::CreateSolidBrush(ResolveColor(color)));
    if (!brush)
        return false;
    backColor_ = color;
    backBrush_ = std::move(brush);
    if (txtnfo_)
        ::InvalidateRect(txtnfo_, nullptr, TRUE);
    return true;
}

void frmMain::SetLocked(bool locked) {
    ::SendMessageW(txtnfo_, EM_SETREADONLY, locked ? TRUE : FALSE, 0);
    SetMenuItemEnabled(menu(), IDM_mnuSave, !locked);
}

} // namespace quorvel
