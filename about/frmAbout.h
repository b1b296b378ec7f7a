#pragma once
// The About box: the product's description, version and copyright from the
// program's version information, two contact links, a button that starts
// the Windows system information tool, and OK.
#include <windows.h>

#include "common/Handles.h"
#include "common/MainWindowParts.h"
#include "common/Twips.h"

#include <string>

namespace quorvel {

// The contact addresses; the links' tooltips hold them.
inline constexpr char kAboutHomePage[] = "https://quorvel.example";
inline constexpr char kAboutEMail[] = "support@quorvel.example";

inline constexpr char kSysInfoUnavailable[] = "System Information Is Unavailable At This Time";
// Where the system information tool is registered, under HKEY_LOCAL_MACHINE:
// its full path, or else the folder that holds MSINFO32.EXE.
inline constexpr char kSysInfoPathKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char kSysInfoPathValue[] = "PATH";
inline constexpr char kSysInfoFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char kSysInfoFolderValue[] = "MSINFO";

// Control ids of the dialog; cmdok is IDOK.
inline constexpr int IDC_lblTitle = 3001;
inline constexpr int IDC_Frame1 = 3002;
inline constexpr int IDC_lblHomePage = 3003;
inline constexpr int IDC_lblEMail = 3004;
inline constexpr int IDC_cmdSysInfo = 3005;
inline constexpr int IDC_Frame2 = 3006;
inline constexpr int IDC_lblCopyright = 3007;
inline constexpr int IDC_Picture3 = 3008;
inline constexpr int IDC_Picture1 = 3009;
inline constexpr int IDC_Image3 = 3010;
inline constexpr int IDC_Image2 = 3011;
inline constexpr int IDC_lblAbout = 3012;
inline constexpr int IDC_cmdok = IDOK;

class frmAbout {
  public:
    explicit frmAbout(HINSTANCE instance);
    frmAbout(const frmAbout&) = delete;
    frmAbout& operator=(const frmAbout&) = delete;

    // Loads the dialog and shows it modally, centred on and above `above`,
    // which takes no input meanwhile. Returns when the dialog is closed.
    void Show(HWND above);

    // Starts the system information tool found in the registry, or says that
    // it is unavailable.
    void StartSysInfo();

    // Reads the value `SubKeyRef` of `KeyName` into `KeyVal`: the text of a
    // REG_SZ value, "&h" and hexadecimal digits for a REG_DWORD one; other
    // types leave `KeyVal` as it was. False, with `KeyVal` empty, when the
    // key or the value cannot be read.
    static bool GetKeyValue(HKEY KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                            std::string& KeyVal);

  private:
    static INT_PTR CALLBACK DlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    void OnCommand(int id, int code);
    HBRUSH OnCtlColorStatic(HDC dc, HWND control);
    bool OnSetCursor(HWND over);

    void CreateControls();
    void AddTooltip(HWND control, const char* text);
    std::string TooltipText(HWND control) const;
    void Form_Load();
    void FitCopyrightAndCentre(HWND above);

    void cmdok_Click();
    void cmdSysInfo_Click();
    void lblEMail_Click();
    void lblHomePage_Click();

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HWND above_ = nullptr;
    HWND tooltip_ = nullptr;
    Dpi dpi_;
    UniqueHfont titleFont_;
    UniqueHfont linkFont_;
    UniqueHfont copyrightFont_;
    UniqueHfont dialogFont_;
    UniqueHbitmap banner_;
    UniqueHbitmap logo_;
};

// The About command: always-on-top goes off for good (the caption, the
// setting and the window), then the About box opens over `window`.
void mnuAbout_Click(HINSTANCE instance, HWND window, ToggleCaptions& captions,
                    SettingsWriter& settings);

} // namespace quorvel
