// Photographs the program for the README: starts Quorvel.exe (beside this
// program) with a file, opens a dialog when asked, waits until the program
// is idle and writes the screen area of its windows as a 24-bit BMP.
//   quorvel_shoot.exe OUT.bmp main|transp|about [FILE]
#include "app/resource.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Found {
    DWORD pid;
    const char* className;
    const char* title;
    HWND hwnd;
};

HWND FindWindowOf(DWORD pid, const char* className, const char* title) {
    Found f{pid, className, title, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* found = reinterpret_cast<Found*>(lp);
            DWORD p = 0;
            ::GetWindowThreadProcessId(hwnd, &p);
            char cls[128] = {};
            char text[256] = {};
            ::GetClassNameA(hwnd, cls, sizeof cls);
            ::GetWindowTextA(hwnd, text, sizeof text);
            if (p == found->pid && ::IsWindowVisible(hwnd) &&
                (!found->className || lstrcmpA(cls, found->className) == 0) &&
                (!found->title || lstrcmpA(text, found->title) == 0)) {
                found->hwnd = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}

HWND WaitFor(DWORD pid, const char* className, const char* title) {
    for (int i = 0; i < 3000; ++i) {
        if (HWND h = FindWindowOf(pid, className, title))
            return h;
        ::Sleep(10);
    }
    return nullptr;
}

bool SaveBmp(const char* path, RECT rc) {
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = static_cast<DWORD>(((w * 3) + 3) & ~3);
    const DWORD size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bool ok = false;
    if (FILE* f = std::fopen(path, "wb")) {
        ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 &&
             std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, 1, size, f) == size;
        ok = std::fclose(f) == 0 && ok;
    }
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

RECT Union(RECT a, HWND b) {
    RECT r{};
    if (b && ::GetWindowRect(b, &r))
        ::UnionRect(&a, &a, &r);
    return a;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: quorvel_shoot OUT.bmp main|transp|about [FILE]\n");
        return 2;
    }
    const std::string view = argv[2];
    char self[MAX_PATH * 4] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    std::string folder(self);
    folder.resize(folder.find_last_of('\\'));
    std::string line = "\"" + folder + "\\Quorvel.exe\"";
    if (argc > 3)
        line += std::string(" ") + argv[3];
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    if (!::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &si, &pi))
        return 1;
    HWND main = WaitFor(pi.dwProcessId, "Quorvel.frmMain", nullptr);
    HWND dialog = nullptr;
    if (main) {
        ::WaitForInputIdle(pi.hProcess, 10000);
        if (view == "transp") {
            ::PostMessageA(main, WM_COMMAND, IDM_mnuTransP, 0);
            dialog = WaitFor(pi.dwProcessId, nullptr, "  Transparency Settings");
        } else if (view == "about") {
            ::PostMessageA(main, WM_COMMAND, IDM_mnuAbout, 0);
            dialog = WaitFor(pi.dwProcessId, nullptr, "About ");
        }
        ::WaitForInputIdle(pi.hProcess, 10000);
        ::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ::Sleep(500); // let the virtual desktop show the last paint
    }
    RECT rc{};
    if (main)
        ::GetWindowRect(main, &rc);
    rc = Union(rc, dialog);
    // Only what is on the screen can be copied; a large window at a high DPI
    // may reach past its edge.
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::IntersectRect(&rc, &rc, &screen);
    const bool ok = main && (view == "main" || dialog) && SaveBmp(argv[1], rc);
    ::TerminateProcess(pi.hProcess, 0);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return ok ? 0 : 1;
}
