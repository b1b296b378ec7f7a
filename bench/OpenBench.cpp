// How long the program takes to show an NFO, against the floor set by the
// text box itself: a bare Unicode multi-line edit control of the same style
// and font taking the same text, and against another build of the program
// (an older one) taken in the same turns. Prints a table; judges nothing.
#include "text/NfoText.h"
#include "app/resource.h"
#include "appearance/CarriedFont.h"
#include "common/Twips.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// CP437 art in lines of 78 bytes plus CR LF: boxes, shades and text.
std::string MakeNfo(std::size_t size) {
    const std::string rows[] = {
        "\xC9" + std::string(76, '\xCD') + "\xBB",
        "\xBA  \xB0\xB1\xB2\xDB Release notes and greetings, drawn in code page 437 " +
            std::string(17, ' ') + "\xDB\xB2\xB1\xB0\xBA",
        "\xBA " + std::string(74, '\xDC') + " \xBA",
        "\xC8" + std::string(76, '\xCD') + "\xBC",
    };
    std::string out;
    out.reserve(size + 100);
    for (std::size_t i = 0; out.size() < size; ++i) {
        std::string row = rows[i % 4];
        row.resize(78, ' ');
        out += row + "\r\n";
    }
    out.resize(size - 2);
    out += "\r\n";
    return out;
}

struct Launch {
    double seconds = -1;
    SIZE_T peakWorkingSet = 0;
};

HWND FindWindowOf(DWORD pid, const char* className) {
    struct Args {
        DWORD pid;
        const char* className;
        HWND found;
    } args{pid, className, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* a = reinterpret_cast<Args*>(lp);
            DWORD p = 0;
            ::GetWindowThreadProcessId(hwnd, &p);
            char cls[64] = {};
            ::GetClassNameA(hwnd, cls, sizeof cls);
            if (p == a->pid && lstrcmpA(cls, a->className) == 0 && ::IsWindowVisible(hwnd)) {
                a->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&args));
    return args.found;
}

// From process start until the window is shown holding the whole text.
Launch TimeProgram(const std::string& exe, const std::string& file, std::size_t expectedLength) {
    Launch result;
    std::string line = "\"" + exe + "\"";
    if (!file.empty())
        line += " " + file;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double start = Now();
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return result;
    const double deadline = start + 600;
    while (Now() < deadline) {
        HWND main = FindWindowOf(pi.dwProcessId, "Quorvel.frmMain");
        if (main) {
            HWND text = ::GetDlgItem(main, IDC_txtnfo);
            DWORD_PTR length = 0;
            ::SendMessageTimeoutA(text, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 60000, &length);
            if (length == expectedLength) {
                result.seconds = Now() - start;
                PROCESS_MEMORY_COUNTERS pmc{};
                pmc.cb = sizeof pmc;
                if (::GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc))
                    result.peakWorkingSet = pmc.PeakWorkingSetSize;
                ::PostMessageA(main, WM_COMMAND, IDM_mnuExit, 0);
                break;
            }
        }
        ::Sleep(2);
    }
    if (::WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return result;
}

// From process start until the bare window of BareWindow.exe is shown.
double TimeBareWindow(const std::string& exe) {
    std::string line = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double start = Now();
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    double seconds = -1;
    for (const double deadline = start + 60; Now() < deadline; ::Sleep(2)) {
        if (HWND bare = FindWindowOf(pi.dwProcessId, "Quorvel.BareWindow")) {
            // Shown and answering, as the program is timed: its edit
            // control replies once the message loop runs.
            DWORD_PTR length = 0;
            ::SendMessageTimeoutA(::GetWindow(bare, GW_CHILD), WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK,
                                  60000, &length);
            seconds = Now() - start;
            ::PostMessageA(bare, WM_CLOSE, 0, 0);
            break;
        }
    }
    if (::WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return seconds;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The floor: a bare Unicode edit control of the same style, size and font.
double TimeBareControl(const std::u16string& text) {
    const quorvel::Dpi dpi = quorvel::SystemDpi();
    RECT rc{0, 0, quorvel::TwipsToPixels(8355, dpi.x), quorvel::TwipsToPixels(6855, dpi.y)};
    HWND top = ::CreateWindowExW(0, L"STATIC", L"floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 rc.right, rc.bottom, nullptr, nullptr, nullptr, nullptr);
    RECT client{};
    ::GetClientRect(top, &client);
    HWND edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                      ES_READONLY,
                                  0, 0, client.right, client.bottom, top, nullptr, nullptr, nullptr);
    ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    const quorvel::NfoFont font =
        quorvel::ChooseTextBoxFont(::GetModuleHandleW(nullptr), IDR_NFO_FONT_12, 6, dpi.y);
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font.font.get()), FALSE);
    const double start = Now();
    ::SetWindowTextW(edit, reinterpret_cast<const wchar_t*>(text.c_str()));
    ::UpdateWindow(top);
    const double seconds = Now() - start;
    ::DestroyWindow(top);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
    return seconds;
}

// The text box's font choice alone, after the process's first use of a
// font (which every window pays): "Terminal" made and asked, as the start
// always does, against the whole choice, which where that font would not
// draw code page 437 also loads the carried font and asks for it.
void TimeFontChoice() {
    const int dpiY = quorvel::SystemDpi().y;
    quorvel::DescribeRealizedFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    double start = Now();
    quorvel::DescribeRealizedFont(quorvel::CreateSystemNfoFont(6, dpiY).get());
    const double asked = Now() - start;
    start = Now();
    const quorvel::NfoFont chosen =
        quorvel::ChooseTextBoxFont(::GetModuleHandleW(nullptr), IDR_NFO_FONT_12, 6, dpiY);
    const double choice = Now() - start;
    std::printf("text box font: \"Terminal\" made and asked %.2f ms; the whole choice %.2f ms (%s)\n\n",
                asked * 1000, choice * 1000,
                chosen.carried ? "the carried font loaded" : "the system's Terminal, nothing loaded");
}

// Noise from the rest of the machine only ever adds time, so the fastest of
// several runs is the best estimate of each cost.
double Fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

} // namespace

// Start-up side by side: the program with an empty command line and the
// bare window, taken in turns so both see the same machine. A second
// program (an older build) named on the command line is timed in the same
// turns, for a before-and-after figure. Returns the program's fastest start.
double CompareStarts(const std::string& exe, const std::string& bareExe,
                     const std::string& otherExe, int repeats) {
    std::vector<double> empty;
    std::vector<double> bare;
    std::vector<double> other;
    for (int r = 0; r < std::max(repeats, 5); ++r) {
        empty.push_back(TimeProgram(exe, "", 0).seconds);
        bare.push_back(TimeBareWindow(bareExe));
        if (!otherExe.empty())
            other.push_back(TimeProgram(otherExe, "", 0).seconds);
    }
    std::printf("start, median of %zu: program (empty command line) %.3f s, bare window %.3f s, "
                "ratio %.2f (target < 1.20)\n",
                empty.size(), Median(empty), Median(bare), Median(empty) / Median(bare));
    if (!otherExe.empty())
        std::printf("start, median of %zu: %s %.3f s, ratio to the bare window %.2f; "
                    "fastest %.3f s\n",
                    other.size(), otherExe.c_str(), Median(other), Median(other) / Median(bare),
                    Fastest(other));
    std::printf("empty command line: %.3f s (fastest of %zu)\n\n", Fastest(empty), empty.size());
    return Fastest(empty);
}

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    char self[MAX_PATH * 4] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    std::string folder(self);
    folder.resize(folder.find_last_of('\\'));
    const std::string exe = folder + "\\Quorvel.exe";
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(sizeof temp, temp);

    struct Case {
        const char* name;
        std::size_t size;
    };
    const Case cases[] = {{"16 KB", 16 * 1024}, {"1 MB", 1024 * 1024}, {"10 MB", 10 * 1024 * 1024}};

    const std::string otherExe = argc > 2 ? argv[2] : "";
    TimeFontChoice();
    const double emptyStart =
        CompareStarts(exe, folder + "\\quorvel_bare_window.exe", otherExe, repeats);
    std::printf("%-6s %10s %10s %10s %10s %9s %12s %10s\n", "file", "program s", "floor s", "own s",
                "own/floor", "target", "peak WS MB", "other/this");

    for (const Case& c : cases) {
        const std::string path = std::string(temp) + "quorvel-bench-" + std::to_string(c.size) + ".nfo";
        const std::string bytes = MakeNfo(c.size);
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        const std::u16string text = quorvel::DecodeNfo(bytes).text;
        std::vector<double> program, floor, other;
        SIZE_T peak = 0;
        const int n = c.size >= 10 * 1024 * 1024 ? std::min(repeats, 2) : repeats;
        for (int r = 0; r < n; ++r) {
            const Launch l = TimeProgram(exe, path, text.size());
            program.push_back(l.seconds);
            peak = std::max(peak, l.peakWorkingSet);
            floor.push_back(TimeBareControl(text));
            if (!otherExe.empty())
                other.push_back(TimeProgram(otherExe, path, text.size()).seconds);
        }
        const double p = Fastest(program);
        const double f = Fastest(floor);
        const double own = p - emptyStart - f;
        char speedUp[32] = "-";
        if (!other.empty())
            std::snprintf(speedUp, sizeof speedUp, "%.2fx", Fastest(other) / p);
        std::printf("%-6s %10.3f %10.3f %10.3f %9.1f%% %9s %12.1f %10s\n", c.name, p, f, own,
                    100.0 * own / f, "< 10%", static_cast<double>(peak) / (1024.0 * 1024.0),
                    speedUp);
        ::DeleteFileA(path.c_str());
    }
    return 0;
}
