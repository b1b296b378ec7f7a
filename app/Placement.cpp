// The main window's placement: restored from the registry at start-up and
// kept there when the window closes in the normal state. Positions and
// sizes are twips.
#include "app/frmMain.h"

#include "common/NumberFormat.h"
#include "common/Registry.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace quorvel {

namespace {

// The outer size used when no placement is stored, in twips.
constexpr float kDefaultWidthTw = 8355;
constexpr float kDefaultHeightTw = 6855;

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

// Rounds to a 32-bit integer, halves to even, as the placement is stored.
std::int32_t PlacementToStore(double twips) {
    return RoundToInt32(twips).value_or(0);
}

RECT WindowRect(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

} // namespace

void frmMain::ApplyPlacement() {
    // The steps are taken on a window rectangle in whole pixels, as the
    // window would take each one, and the window is placed once at the end.
    const std::string key = placementKey();
    const auto read = [&](const char* name, const RegValue& fallback) {
        return ReadRegValue(HKEY_CURRENT_USER, key, name, fallback);
    };
    RECT rc = WindowRect(hwnd_);
    const auto moveTo = [&](double leftTw, double topTw) {
        ::OffsetRect(&rc, TwipsToPixels(leftTw, dpi_.x) - rc.left,
                     TwipsToPixels(topTw, dpi_.y) - rc.top);
    };
    // Centred on the primary screen at the window's present size.
    const auto centre = [&] {
        const double screenW = PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), dpi_.x);
        const double screenH = PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), dpi_.y);
        moveTo(std::trunc(std::nearbyint(screenW - PixelsToTwips(rc.right - rc.left, dpi_.x)) / 2),
               std::trunc(std::nearbyint(screenH - PixelsToTwips(rc.bottom - rc.top, dpi_.y)) / 2));
    };
    moveTo(PlacementNumber(read("MainLeft", std::string("0")), 0.0f),
           PixelsToTwips(rc.top, dpi_.y));
    moveTo(PixelsToTwips(rc.left, dpi_.x),
           PlacementNumber(read("MainTop", std::string("0")), 0.0f));
    if (rc.left == 0 && rc.top == 0)
        centre();
    rc.right = rc.left + std::max(0, TwipsToPixels(PlacementSize(read("MainWidth", std::int32_t{8355}),
                                                                 kDefaultWidthTw),
                                                   dpi_.x));
    rc.bottom = rc.top + std::max(0, TwipsToPixels(PlacementSize(read("MainHeight", std::int32_t{6855}),
                                                                 kDefaultHeightTw),
                                                   dpi_.y));
    const auto place = [&] {
        ::SetWindowPos(hwnd_, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        rc = WindowRect(hwnd_);
    };
    place();

    // A placement on a screen that is gone, or edited by hand, would open
    // the window where no one can see or reach it: such a window is centred
    // as on a first start, at its stored size.
    if (!::MonitorFromRect(&rc, MONITOR_DEFAULTTONULL)) {
        centre();
        place();
    }
}

void frmMain::StorePlacement() {
    const std::string key = placementKey();
    WriteRegDword(HKEY_CURRENT_USER, key, "MainLeft", PlacementToStore(LeftTw()));
    WriteRegDword(HKEY_CURRENT_USER, key, "MainTop", PlacementToStore(TopTw()));
    WriteRegDword(HKEY_CURRENT_USER, key, "MainWidth", PlacementToStore(WidthTw()));
    WriteRegDword(HKEY_CURRENT_USER, key, "MainHeight", PlacementToStore(HeightTw()));
}

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

} // namespace quorvel
