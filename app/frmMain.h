#pragma once
// The program's main window: one big text box, the menu bar and the hidden
// box that holds the translucency level.
#include <windows.h>

#include "common/Handles.h"
#include "common/Twips.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quorvel {

class clsBinaryEncryptor;

inline constexpr char kFrmMainClass[] = "Quorvel.frmMain";
inline constexpr char kProductTitle[] = "Quorvel";

// Where the program runs from and what it was asked to open. Only WinMain
// reads these from the process, so tests can start the window anywhere.
struct StartupArgs {
    std::string programFolder;   // no trailing backslash
    std::string programFileName; // e.g. "Quorvel.exe"
    std::string commandLine;     // the whole argument string, unchanged
};

StartupArgs StartupArgsFromProcess();

class frmMain {
public:
    frmMain();
    ~frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Creates the window, runs the start-up sequence and shows it.
    bool Create(HINSTANCE instance, const StartupArgs& args, int showCommand);
    // The program ends when this window goes; tests keep their own loop.
    void SetQuitOnDestroy(bool quit) { quitOnDestroy_ = quit; }
    // Accelerators of the main window and keyboard handling of its
    // modeless dialogs; true when the message was used up.
    bool PreTranslateMessage(MSG& msg);

    HWND hwnd() const { return hwnd_; }
    HWND txtnfo() const { return txtnfo_; }
    HWND txtTransp() const { return txtTransp_; }
    HMENU menu() const { return menu_; }
    HFONT font() const { return font_.get(); }
    // The text box's colours as stored: 0x00BBGGRR, or a system colour
    // (0x80000000 + index).
    std::uint32_t foreColor() const { return foreColor_; }
    std::uint32_t backColor() const { return backColor_; }
    const std::string& currentFile() const { return currentFile_; }
    const std::string& programFolder() const { return args_.programFolder; }
    const std::string& settingsPath() const { return settingsPath_; }
    std::string placementKey() const;
    // The modeless dialogs while they are open (null otherwise).
    HWND gotoLineWindow() const { return ::IsWindow(gotoLineDlg_) ? gotoLineDlg_ : nullptr; }
    HWND transPWindow() const { return ::IsWindow(transPDlg_) ? transPDlg_ : nullptr; }

    // Settings file access (one key at a time).
    void SaveBPD(const void* TheForm, const std::string& strFileName, const std::string& KeySection,
                 const std::string& KeyKey, const std::string& KeyValue);
    void LoadBPD(const void* TheForm, const std::string& strFileName, const std::string& KeySection,
                 const std::string& KeyKey);
    const std::string& settingsValue() const { return settingsValue_; }
    // Stores the settings value under `key`, with the file kept scrambled.
    void WriteSetting(const std::string& key);

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TextBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    bool OnCommand(UINT id) noexcept;
    HBRUSH OnCtlColor(HDC dc, HWND control) noexcept;

    // Start-up, layout, close.
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void CreateControls();
    void ApplyPlacement();
    void ShowFileInCaption();

    // Form geometry in twips, as the placement and caption rules use it.
    double LeftTw() const;
    double TopTw() const;
    double WidthTw() const;
    double HeightTw() const;
    void MoveTo(double leftTw, double topTw);
    void SizeTo(double widthTw, double heightTw);

    // Colours and font of the text box.
    // False when the value is not a colour; the colour stays then.
    bool SetForeColor(std::uint32_t color);
    bool SetBackColor(std::uint32_t color);
    void SetLocked(bool locked);

    // Settings applied at start-up.
    void Load_Config();

    // Menu commands.
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuMakeWrite_Click();
    void mnuFC_Click();
    void mnuBC_Click();
    void mnuOnTop_Click();
    void mnuTransP_Click();
    void mnuAss_Click();
    void mnuUrl_Click();
    void mnuUndo_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuDelete_Click();
    void mnuGoto_Click();
    void mnuSelAll_Click();
    void mnuNow_Click();
    void mnuAbout_Click();
    void txtnfo_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);

    bool PickColor(std::uint32_t current, std::uint32_t& chosen);
    void ReadSetting(const std::string& plainPath, const char* key);
    std::string ProgramPath() const;

    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND txtnfo_ = nullptr;
    HWND txtTransp_ = nullptr;
    HMENU menu_ = nullptr;
    HACCEL accel_ = nullptr;
    UniqueHfont font_;
    UniqueHbrush backBrush_;
    std::uint32_t foreColor_ = 0x80000008; // the system's window text colour
    std::uint32_t backColor_ = 0x00FFFFFF;
    Dpi dpi_;
    bool quitOnDestroy_ = false;

    StartupArgs args_;
    std::string productTitle_;
    std::string currentFile_;
    // The text box shows a file whose NUL bytes it cannot hold; saving it
    // back would change the file, so Save refuses.
    bool textHasNulBytes_ = false;

    // Settings store.
    std::unique_ptr<clsBinaryEncryptor> encryptor_;
    std::string settingsPath_;
    std::string settingsValue_;
    std::string alwaysOnTopHolder_;
    std::string foreColorHolder_;
    std::string backColorHolder_;
    std::string fileAssHolder_;
    std::string urlProtHolder_;
    std::string makeWriteHolder_;
    COLORREF dialogColor_ = 0;

    // Modeless dialogs; each window owns its own object and frees it when
    // it is destroyed.
    HWND gotoLineDlg_ = nullptr;
    HWND transPDlg_ = nullptr;
    COLORREF customColors_[16] = {};
};

} // namespace quorvel
