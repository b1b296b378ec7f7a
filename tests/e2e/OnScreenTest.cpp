// The main window on the screen: it comes back where it was closed, kept in
// twips at any DPI, and draws NFO art as DOS drew it. NfoArtTest runs again
// in a plain prefix and in one with the Japanese ANSI code page.
#include "appearance/NfoFont.h"
#include "tests/e2e/ProgramHarness.h"
#include "tests/support/Cp437Cells.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <span>
#include <vector>

using namespace quorvel;
using namespace quorvel::test;

namespace {

class PlacementTest : public ::testing::Test {
  protected:
    using Box = std::array<long, 4>; // left, top, width, height
    using Values = std::vector<std::optional<std::int32_t>>;
    static Box BoxOf(RECT r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }
    static long Px(double twips, int dpi = 96) { return std::lround(twips * dpi / 1440.0); }
    // The left or top of `size` pixels centred on `screen` pixels, halved in twips.
    static long Centred(int screen, int size) { return Px(std::trunc((screen - size) * 7.5)); }

    void Store(const Values& values) {
        for (std::size_t i = 0; i < 4; ++i)
            placement_.SetDword(kNames[i], *values[i]);
    }
    Values Stored() const {
        return {placement_.GetDword(kNames[0]), placement_.GetDword(kNames[1]), placement_.GetDword(kNames[2]),
                placement_.GetDword(kNames[3])};
    }
    // Starts the program, has `act` change its window, closes it; what is stored.
    Values CloseAfter(const std::function<void(ProgramUnderTest&)>& act,
                      const char* name = "Quorvel.exe") {
        ProgramUnderTest program(name, name);
        EXPECT_TRUE(program.Show());
        act(program);
        program.Close();
        EXPECT_TRUE(program.WaitExit());
        return Stored();
    }
    static void MoveTo(ProgramUnderTest& program, int left, int top, int width, int height) {
        ::SetWindowPos(program.mainWindow(), nullptr, left, top, width, height, SWP_NOZORDER);
        WaitUntilQuiet([&] { return program.WindowRect().left == left; });
    }

    static constexpr const char* kNames[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    PlacementKey placement_;
};

} // namespace

TEST_F(PlacementTest, StartUpPlacesTheWindowFromTheStoredTwips) {
    ASSERT_EQ(ScreenDpi(), 96);
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
    const SIZE design = DesignedWindowSize();
    const long cx = Centred(screenW, design.cx), cy = Centred(screenH, design.cy);
    const struct { const char* what; Values stored; Box expected; } rows[] = {
        {"first start: centred as designed, then sized", {}, {cx, cy, Px(8355), Px(6855)}},
        {"restored, rounded to pixels", {1508, 907, 9007, 6008}, {101, 60, 600, 401}},
        {"zero-zero: centred as designed", {0, 0, 7500, 5250}, {cx, cy, 500, 350}},
        {"off the screen: centred as it is", {-30000, 900, 7500, 5250},
         {Centred(screenW, 500), Centred(screenH, 350), 500, 350}},
    };
    for (const auto& row : rows) {
        placement_.Clear();
        if (!row.stored.empty())
            Store(row.stored);
        ProgramUnderTest program;
        ASSERT_TRUE(program.Show());
        EXPECT_EQ(BoxOf(program.WindowRect()), row.expected) << row.what;
        EXPECT_EQ(Stored(), row.stored.empty() ? Values(4) : row.stored) << "start-up stores nothing";
    }
}

TEST_F(PlacementTest, ClosingNormalStoresItMaximisedOrMinimisedKeepsTheStoredOne) {
    Store({300, 450, 7000, 5000});
    for (const WPARAM state : {SC_MAXIMIZE, SC_MINIMIZE}) {
        const auto act = [&](ProgramUnderTest& program) {
            ::PostMessageW(program.mainWindow(), WM_SYSCOMMAND, state, 0);
            WaitUntilQuiet([&] { return (state == SC_MAXIMIZE ? ::IsZoomed : ::IsIconic)(program.mainWindow()); });
        };
        EXPECT_EQ(CloseAfter(act), (Values{300, 450, 7000, 5000}));
    }
    const Values moved = {-1200, 600, 9000, 6300};
    EXPECT_EQ(CloseAfter([](ProgramUnderTest& program) { MoveTo(program, -80, 40, 600, 420); }),
              moved);
    // A copy under another name, beyond the ANSI code page, keeps its own
    // placement under that name.
    PlacementKey other("Ωviewer");
    CloseAfter([](ProgramUnderTest& program) { MoveTo(program, 10, 20, 600, 420); }, "Ωviewer.exe");
    EXPECT_EQ(other.GetDword("MainTop"), 300);
    EXPECT_EQ(Stored(), moved);
}

// The outer size is its design in twips at the DPI the program starts with;
// the placement is stored rounded, halves to even (at 100 DPI a pixel is
// 14.4 twips, at 192 DPI 7.5).
TEST_F(PlacementTest, SizeAndStoredPlacementFollowTheDpi) {
    const LogPixels logPixels;
    for (const int dpi : {100, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        placement_.Clear();
        logPixels.Set(dpi);
        const Values stored = CloseAfter([&](ProgramUnderTest& program) {
            LogPixels::Set(96);
            const Box outer = BoxOf(program.WindowRect());
            EXPECT_EQ((Box{Px(8355, dpi), Px(6855, dpi)}), (Box{outer[2], outer[3]}));
            MoveTo(program, 7, 33, 601, 403);
        });
        Values expected;
        for (int pixels : {7, 33, 601, 403})
            expected.push_back(static_cast<std::int32_t>(std::nearbyint(pixels * 1440.0 / dpi)));
        EXPECT_EQ(stored, expected);
    }
}

namespace {

// The window's client area as it is on the screen: whether each pixel is
// dark, row by row.
struct Photo {
    int width = 0, height = 0;
    std::vector<char> dark;
    bool operator==(const Photo&) const = default;
    bool At(int x, int y) const { return x < width && y < height && dark[y * width + x]; }
};

Photo Photograph(HWND hwnd) {
    RECT rc{};
    POINT origin{0, 0};
    ::GetClientRect(hwnd, &rc);
    ::ClientToScreen(hwnd, &origin);
    BITMAPINFO bi{}; // 32-bit pixels, the first row at the top
    bi.bmiHeader = {sizeof bi.bmiHeader, rc.right, -rc.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const WindowDC screen(nullptr);
    const UniqueHdc mem(::CreateCompatibleDC(screen.get()));
    const UniqueHbitmap dib(::CreateDIBSection(mem.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const SelectGuard select(mem.get(), dib.get());
    ::BitBlt(mem.get(), 0, 0, rc.right, rc.bottom, screen.get(), origin.x, origin.y, SRCCOPY);
    ::GdiFlush();
    Photo photo{rc.right, rc.bottom, {}};
    for (const auto& p : std::span(static_cast<const RGBQUAD*>(bits), std::size_t(rc.right * rc.bottom)))
        photo.dark.push_back(p.rgbRed + p.rgbGreen + p.rgbBlue < 3 * 128);
    return photo;
}

// The grid of an NFO that holds every byte: a row per high nibble, each
// between two bars; NUL, TAB, LF and CR, whose rules change the text, as
// blanks.
std::string GridBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes += b % 16 == 0 ? "|" : "";
        bytes += b == 0 || b == '\t' || b == '\n' || b == '\r' ? ' ' : static_cast<char>(b);
        bytes += b % 16 == 15 ? "|\r\n" : "";
    }
    return bytes;
}

// Whether the box shows the grid cell by cell as `c` draws the bytes: each
// at its own column, glyph for glyph. Looks for the grid's first bar near
// the box's top left corner, where its margin puts the text.
::testing::AssertionResult DrawsTheGrid(const Photo& photo, const Cells& c, const std::string& grid) {
    for (int top = 0; top < 24; ++top) {
        for (int left = 0; left < 24; ++left) {
            const auto dark = [&](int x, int y) { return photo.At(x, y); };
            if (DrawnCell(dark, left, top, c) != c.rows['|'])
                continue;
            for (int row = 0; row < 16; ++row) {
                for (int col = 0; col < 18; ++col) {
                    const auto b = static_cast<unsigned char>(grid[static_cast<std::size_t>(row * 20 + col)]);
                    const auto drawn = DrawnCell(dark, left + col * c.width, top + row * c.height, c);
                    if (drawn != c.rows[b])
                        return ::testing::AssertionFailure()
                               << "byte 0x" << std::hex << int(b) << " at row " << std::dec << row
                               << ", column " << col << ": drew " << Picture(drawn, c.width)
                               << ", not " << Picture(c.rows[b], c.width);
                }
            }
            return ::testing::AssertionSuccess();
        }
    }
    return ::testing::AssertionFailure() << "no grid where the text starts";
}

} // namespace

// NFO art as DOS drew it, from a CP437, a UTF-8 and a UTF-16 file, at 96
// and 144 DPI, in the prefix this runs in (the prepared one, a plain one as
// a user's own new one is, one with the Japanese ANSI code page 932): every
// byte draws as its CP437 cell in a column of its own, and every file saves
// back to its own bytes.
TEST(NfoArtTest, EveryByteDrawsAsItsCp437CellAndEachFileSavesBack) {
    if (const char* acp = std::getenv("QUORVEL_TEST_ACP")) {
        ASSERT_EQ(::GetACP(), std::strtoul(acp, nullptr, 10)) << "the prefix's ANSI code page";
    }
    const std::vector<Cells> sizes = ReadCells();
    ASSERT_FALSE(sizes.empty());
    const std::string grid = GridBytes();
    const std::wstring text = Cp437Wide(grid); // from the system's own CP437 table
    const std::string utf16(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    const std::pair<const char*, std::string> files[] = {
        {"", grid}, {" [UTF-8]", Utf8(text)}, {" [UTF-16]", "\xFF\xFE" + utf16}};

    const LogPixels logPixels;
    const PlacementKey placement;
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        logPixels.Set(dpi);
        const int cell = CarriedCellHeight(-PointsToFontHeight(6, dpi));
        const Cells& c = *std::find_if(sizes.begin(), sizes.end(), [&](auto& s) { return s.height == cell; });
        ProgramUnderTest program;
        WriteScrambledSettings(program / "config.bin", "[INIT]\r\nMAKEWRITE=0\r\n"); // Save works
        std::optional<Photo> first;
        for (const auto& [tag, bytes] : files) {
            SCOPED_TRACE(*tag ? tag : " [CP437]");
            const std::string nfo = program / "grid.nfo";
            WriteFileBytes(nfo, bytes);
            ASSERT_TRUE(program.Show(nfo));
            EXPECT_EQ(program.Caption(), "Quorvel - " + nfo + tag);
            // The caret away from the grid, at the end of the text.
            ::SendMessageW(program.textBox(), EM_SETSEL, WPARAM(-1), -1);
            Photo photo;
            EXPECT_TRUE(WaitUntil([&] { return DrawsTheGrid(photo = Photograph(program.textBox()), c, grid); }))
                << DrawsTheGrid(photo, c, grid).message();
            EXPECT_TRUE(!first || photo == *first) << "drawn otherwise than the CP437 file";
            first = first.value_or(photo);
            ASSERT_TRUE(program.SendCommand(IDM_mnuSave));
            EXPECT_EQ(ReadFileBytes(nfo), bytes) << "saved back otherwise";
        }
    }
}
