#include "tests/e2e/ProgramHarness.h"

#include "app/frmMain.h"
#include "app/resource.h"
#include "tests/support/Wait.h"

#include <cmath>
#include <stdexcept>
#include <vector>

namespace quorvel::test {

namespace {

struct FindArgs {
    DWORD pid;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam) {
    auto* args = reinterpret_cast<FindArgs*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != args->pid || !::IsWindowVisible(hwnd))
        return TRUE;
    char cls[256] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, args->className) != 0)
        return TRUE;
    if (args->title && WindowText(hwnd) != args->title)
        return TRUE;
    args->found = hwnd;
    return FALSE;
}

BOOL CALLBACK StaticTextProc(HWND hwnd, LPARAM lParam) {
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    auto* out = reinterpret_cast<std::string*>(lParam);
    if (lstrcmpiA(cls, "Static") == 0) {
        const std::string text = WindowText(hwnd);
        if (!text.empty()) {
            *out = text;
            return FALSE;
        }
    }
    return TRUE;
}

} // namespace

HWND FindProcessWindow(DWORD pid, const char* className, const char* title) {
    FindArgs args{pid, className, title, nullptr};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

std::string WindowText(HWND hwnd) {
    if (!hwnd)
        return {};
    const LRESULT length = ::SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = ::SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                       reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::string MessageBoxText(HWND box) {
    if (HWND text = ::GetDlgItem(box, 0xFFFF)) {
        const std::string t = WindowText(text);
        if (!t.empty())
            return t;
    }
    std::string found;
    ::EnumChildWindows(box, StaticTextProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

HICON MessageBoxIcon(HWND box) {
    HICON icon = nullptr;
    ::EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
                return TRUE;
            *reinterpret_cast<HICON*>(found) =
                reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&icon));
    return icon;
}

std::string ProcessImage(DWORD pid) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return {};
    char image[MAX_PATH * 4] = {};
    DWORD size = sizeof image;
    const BOOL ok = ::QueryFullProcessImageNameA(process, 0, image, &size);
    ::CloseHandle(process);
    return ok ? std::string(image, size) : std::string();
}

void PressButton(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// --- PlacementKey --------------------------------------------------------------

PlacementKey::PlacementKey(const std::string& exeBaseName)
    : parent_("Software\\Brenmoor\\" + exeBaseName), path_(parent_ + "\\Main") {
    Clear();
}

PlacementKey::~PlacementKey() { Clear(); }

void PlacementKey::Clear() const { ::RegDeleteTreeA(HKEY_CURRENT_USER, parent_.c_str()); }

namespace {
void SetRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create " + path);
    ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
}
} // namespace

void PlacementKey::SetDword(const char* name, std::int32_t value) const {
    SetRaw(path_, name, REG_DWORD, &value, sizeof value);
}

void PlacementKey::SetString(const char* name, const std::string& value) const {
    SetRaw(path_, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void PlacementKey::SetBinary(const char* name, const std::string& bytes) const {
    SetRaw(path_, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void PlacementKey::SetValue(const char* name, DWORD type, const std::string& bytes) const {
    SetRaw(path_, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

std::optional<std::int32_t> PlacementKey::GetDword(const char* name) const {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, path_.c_str(), name, RRF_RT_ANY, &type, &value, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// --- ProgramUnderTest ---------------------------------------------------------

ProgramUnderTest::ProgramUnderTest(const std::string& exeName) : folder_("prog") {
    exe_ = folder_ / exeName;
    const std::string built = TestProgramFolder() + "\\Quorvel.exe";
    if (!::CopyFileA(built.c_str(), exe_.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + built);
}

ProgramUnderTest::~ProgramUnderTest() { EndProcess(); }

void ProgramUnderTest::EndProcess() {
    if (!pi_.hProcess)
        return;
    if (Running()) {
        ::TerminateProcess(pi_.hProcess, 1);
        ::WaitForSingleObject(pi_.hProcess, 10000);
    }
    ::CloseHandle(pi_.hProcess);
    ::CloseHandle(pi_.hThread);
    pi_ = PROCESS_INFORMATION{};
}

bool ProgramUnderTest::Start(const std::string& arguments) {
    std::string commandLine = "\"" + exe_ + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    return StartCommandLine(commandLine);
}

bool ProgramUnderTest::StartCommandLine(const std::string& commandLine) {
    // A second start in the same program folder follows the first one's end.
    EndProcess();
    main_ = nullptr;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    return ::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder_.path().c_str(), &si, &pi_) != 0;
}

HWND ProgramUnderTest::WaitMainWindow(DWORD timeoutMs) {
    WaitUntilQuiet([&] { return (main_ = FindProcessWindow(pid(), kFrmMainClass)) != nullptr; },
                   timeoutMs);
    return main_;
}

HWND ProgramUnderTest::textBox() const { return ::GetDlgItem(main_, IDC_txtnfo); }

RECT ProgramUnderTest::WindowRect() const {
    RECT rc{};
    ::GetWindowRect(main_, &rc);
    return rc;
}

HWND ProgramUnderTest::WaitDialog(const char* title, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntilQuiet([&] { return (found = FindProcessWindow(pid(), "#32770", title)) != nullptr; },
                   timeoutMs);
    return found;
}

void ProgramUnderTest::Command(UINT id) const {
    ::PostMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool ProgramUnderTest::SendCommand(UINT id, DWORD timeoutMs) const {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, timeoutMs,
                                 &result) != 0;
}

bool ProgramUnderTest::Responds(DWORD timeoutMs) const {
    char text[64] = {};
    DWORD_PTR result = 0;
    return main_ && ::SendMessageTimeoutA(main_, WM_GETTEXT, sizeof text,
                                          reinterpret_cast<LPARAM>(text),
                                          SMTO_NORMAL, timeoutMs, &result) != 0;
}

void ProgramUnderTest::Close() const { ::PostMessageA(main_, WM_CLOSE, 0, 0); }

bool ProgramUnderTest::WaitExit(DWORD timeoutMs) const {
    return ::WaitForSingleObject(pi_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ProgramUnderTest::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (pi_.hProcess)
        ::GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

bool ProgramUnderTest::Running() const {
    return pi_.hProcess && ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

int ScreenDpi() {
    HDC dc = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
    ::ReleaseDC(nullptr, dc);
    return dpi;
}

SIZE DesignedWindowSize() {
    // 7950 x 4590 twips of client area, with the frame and the menu bar.
    const int dpi = ScreenDpi();
    RECT rc{0, 0, static_cast<LONG>(std::lround(7950.0 * dpi / 1440)),
            static_cast<LONG>(std::lround(4590.0 * dpi / 1440))};
    ::AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, TRUE, WS_EX_APPWINDOW);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

} // namespace quorvel::test
