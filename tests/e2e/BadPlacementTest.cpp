// A placement key holding values of the wrong type, places off every
// screen or sizes of nothing: the window still comes up on the screen with
// a usable size, each bad value counting as missing.
#include "tests/e2e/BadInput.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

using namespace quorvel;
using namespace quorvel::test;

namespace {

int Px(double twips) { return static_cast<int>(std::lround(twips * ScreenDpi() / 1440.0)); }
double Tw(int pixels) { return pixels * 1440.0 / ScreenDpi(); }

struct Placement {
    double left, top, width, height; // twips
};

// Where a window of the given size goes when it is centred on the primary
// screen: the difference in twips rounded, halved toward zero.
RECT Centred(double widthTw, double heightTw) {
    const int w = Px(widthTw);
    const int h = Px(heightTw);
    const int left = Px(std::trunc(std::nearbyint(Tw(::GetSystemMetrics(SM_CXSCREEN) - w)) / 2));
    const int top = Px(std::trunc(std::nearbyint(Tw(::GetSystemMetrics(SM_CYSCREEN) - h)) / 2));
    return RECT{left, top, left + w, top + h};
}

RECT At(const Placement& p) {
    return RECT{Px(p.left), Px(p.top), Px(p.left) + Px(p.width), Px(p.top) + Px(p.height)};
}

std::string Dword(std::int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string Qword(std::int64_t v) { return std::string(reinterpret_cast<const char*>(&v), 8); }

struct PlacementRow {
    std::string input;
    std::function<void(const PlacementKey&)> store;
    RECT expected;
};

constexpr Placement kStored{1500, 900, 9000, 6000};
constexpr double kDefaultWidth = 8355, kDefaultHeight = 6855;

void StoreAll(const PlacementKey& key, const Placement& p) {
    key.SetDword("MainLeft", static_cast<std::int32_t>(p.left));
    key.SetDword("MainTop", static_cast<std::int32_t>(p.top));
    key.SetDword("MainWidth", static_cast<std::int32_t>(p.width));
    key.SetDword("MainHeight", static_cast<std::int32_t>(p.height));
}

std::string Describe(const RECT& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + " " +
           std::to_string(rc.right - rc.left) + "x" + std::to_string(rc.bottom - rc.top);
}

class BadPlacementTest : public ::testing::Test {
protected:
    void Check(const PlacementRow& row) {
        SCOPED_TRACE(row.input);
        placement_.Clear();
        row.store(placement_);
        ASSERT_TRUE(program_.Start(""));
        ExpectMessageThenWindow(program_, "");
        EXPECT_EQ(Describe(program_.WindowRect()), Describe(row.expected));
        ExpectCleanExit(program_);
    }

    PlacementKey placement_;
    ProgramUnderTest program_;
};

} // namespace

TEST_F(BadPlacementTest, ValuesOfTheWrongTypeCountAsMissing) {
    // Each value in turn holds the wrong type; the other three are good.
    const struct {
        const char* name;
        DWORD type;
        std::string bytes;
    } kinds[] = {
        {"text that is no number", REG_SZ, std::string("wide\0", 5)},
        {"REG_BINARY", REG_BINARY, Dword(1200)},
        {"REG_QWORD", REG_QWORD, Qword(1200)},
        {"REG_MULTI_SZ", REG_MULTI_SZ, std::string("1200\0\0", 6)},
    };
    const char* names[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    for (int which = 0; which < 4; ++which) {
        // Left or top missing counts as 0; only both at 0 centre the window.
        Placement p = kStored;
        (which == 0 ? p.left : which == 1 ? p.top : which == 2 ? p.width : p.height) =
            which == 0 || which == 1 ? 0 : which == 2 ? kDefaultWidth : kDefaultHeight;
        for (const auto& kind : kinds)
            Check({std::string(names[which]) + " as " + kind.name,
                   [&](const PlacementKey& key) {
                       StoreAll(key, kStored);
                       key.SetValue(names[which], kind.type, kind.bytes);
                   },
                   At(p)});
    }
}

TEST_F(BadPlacementTest, PlacesOffEveryScreenAreCentred) {
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
    const RECT centred = Centred(kStored.width, kStored.height);
    const PlacementRow rows[] = {
        {"far right and below", [](auto& k) { StoreAll(k, {2e9, 2e9, 9000, 6000}); }, centred},
        {"far left and above", [](auto& k) { StoreAll(k, {-2e9, -2e9, 9000, 6000}); }, centred},
        {"the extremes of the type",
         [](auto& k) {
             StoreAll(k, kStored);
             k.SetDword("MainLeft", INT_MAX);
             k.SetDword("MainTop", INT_MIN);
         },
         centred},
        {"one pixel right of the screen",
         [&](auto& k) { StoreAll(k, {Tw(screenW + 1), 900, 9000, 6000}); }, centred},
        {"just below the screen",
         [&](auto& k) { StoreAll(k, {1500, Tw(screenH + 1), 9000, 6000}); }, centred},
        {"as text, far off", [](auto& k) {
             StoreAll(k, kStored);
             k.SetString("MainLeft", "1E+9");
         },
         centred},
        // A window that still shows a part of itself stays where it was put.
        {"partly off the screen",
         [&](auto& k) { StoreAll(k, {Tw(screenW - 100), Tw(-200), 9000, 6000}); },
         At({Tw(screenW - 100), Tw(-200), 9000, 6000})},
    };
    for (const auto& row : rows)
        Check(row);
}

TEST_F(BadPlacementTest, SizesOfZeroOrLessCountAsMissing) {
    const PlacementRow rows[] = {
        {"width 0", [](auto& k) { StoreAll(k, {1500, 900, 0, 6000}); },
         At({1500, 900, kDefaultWidth, 6000})},
        {"height 0", [](auto& k) { StoreAll(k, {1500, 900, 9000, 0}); },
         At({1500, 900, 9000, kDefaultHeight})},
        {"both negative", [](auto& k) { StoreAll(k, {1500, 900, -9000, -6000}); },
         At({1500, 900, kDefaultWidth, kDefaultHeight})},
        {"the most negative width", [](auto& k) { StoreAll(k, {1500, 900, INT_MIN, 6000}); },
         At({1500, 900, kDefaultWidth, 6000})},
        {"negative width as text",
         [](auto& k) {
             StoreAll(k, kStored);
             k.SetString("MainWidth", "-15");
         },
         At({1500, 900, kDefaultWidth, 6000})},
        // With nothing stored for left and top as well, the window is
        // centred first (at its designed size), as on a first start.
        {"zero everywhere", [](auto& k) { StoreAll(k, {0, 0, 0, 0}); }, [] {
             const SIZE design = DesignedWindowSize();
             RECT rc = Centred(Tw(design.cx), Tw(design.cy));
             rc.right = rc.left + Px(kDefaultWidth);
             rc.bottom = rc.top + Px(kDefaultHeight);
             return rc;
         }()},
    };
    for (const auto& row : rows)
        Check(row);
}
