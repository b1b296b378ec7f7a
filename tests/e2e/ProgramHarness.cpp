#include "tests/e2e/ProgramHarness.h"

#include "app/frmMain.h"
#include "app/resource.h"
#include "tests/support/Wait.h"

#include <cmath>
#include <stdexcept>
#include <vector>

namespace quorvel::test {

namespace {

std::string ClassName(HWND hwnd) {
    char cls[256] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    return cls;
}

// The first child window for which `take` holds.
template <typename Take> HWND FindChild(HWND parent, Take take) {
    std::pair<Take*, HWND> args{&take, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM lParam) -> BOOL {
            auto& a = *reinterpret_cast<std::pair<Take*, HWND>*>(lParam);
            return (*a.first)(child) ? (a.second = child, FALSE) : TRUE;
        },
        reinterpret_cast<LPARAM>(&args));
    return args.second;
}

} // namespace

HWND FindProcessWindow(DWORD pid, const char* className, const char* title) {
    struct Args {
        DWORD pid;
        const char *className, *title;
        HWND found;
    } args{pid, className, title, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto& a = *reinterpret_cast<Args*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            if (owner != a.pid || !::IsWindowVisible(hwnd) || ClassName(hwnd) != a.className ||
                (a.title && WindowText(hwnd) != a.title))
                return TRUE;
            a.found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&args));
    return args.found;
}

std::string WindowText(HWND hwnd) {
    if (!hwnd)
        return {};
    std::string text(static_cast<std::size_t>(::SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1,
                     '\0');
    text.resize(static_cast<std::size_t>(::SendMessageA(
        hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::string MessageBoxText(HWND box) {
    if (const std::string t = WindowText(::GetDlgItem(box, 0xFFFF)); !t.empty())
        return t;
    return WindowText(FindChild(box, [](HWND child) {
        return lstrcmpiA(ClassName(child).c_str(), "Static") == 0 && !WindowText(child).empty();
    }));
}

HICON MessageBoxIcon(HWND box) {
    HWND icon = FindChild(box, [](HWND child) {
        return (::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    });
    return icon ? reinterpret_cast<HICON>(::SendMessageA(icon, STM_GETICON, 0, 0)) : nullptr;
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

PlacementKey::PlacementKey(const std::string& exeBaseName)
    : parent_("Software\\Brenmoor\\" + exeBaseName), path_(parent_ + "\\Main") {
    Clear();
}

PlacementKey::~PlacementKey() { Clear(); }

void PlacementKey::Clear() const { ::RegDeleteTreeA(HKEY_CURRENT_USER, parent_.c_str()); }

void PlacementKey::SetValue(const char* name, DWORD type, const std::string& bytes) const {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create " + path_);
    ::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(key);
}

void PlacementKey::SetDword(const char* name, std::int32_t value) const {
    SetValue(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

void PlacementKey::SetString(const char* name, const std::string& value) const {
    SetValue(name, REG_SZ, std::string(value.c_str(), value.size() + 1));
}

void PlacementKey::SetBinary(const char* name, const std::string& bytes) const {
    SetValue(name, REG_BINARY, bytes);
}

std::optional<std::int32_t> PlacementKey::GetDword(const char* name) const {
    DWORD value = 0, size = sizeof value, type = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, path_.c_str(), name, RRF_RT_ANY, &type, &value, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

ProgramUnderTest::ProgramUnderTest(const std::string& exeName)
    : folder_("prog"), exe_(folder_ / exeName) {
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
    return StartCommandLine("\"" + exe_ + "\"" + (arguments.empty() ? "" : " " + arguments));
}

bool ProgramUnderTest::StartCommandLine(const std::string& commandLine) {
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
    DWORD_PTR result = 0;
    return main_ && ::SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result);
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
