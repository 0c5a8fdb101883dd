// Windows brought back within reach from places a settings file may hold.
#include <gtest/gtest.h>

#include <climits>

#include "app/logic/OnScreen.h"

namespace {

using platform::Rect;

TEST(FitOnWorkArea, MovesOntoTheWorkAreaAndShrinksOnlyWhatDoesNotFit) {
    const Rect work{0, 0, 1280, 1000};  // a task bar below
    const struct {
        const char* what;
        Rect window;
        Rect fitted;
    } cases[] = {
        {"inside stays", {192, 107, 448, 189}, {192, 107, 448, 189}},
        {"touching every edge stays", {0, 0, 1280, 1000}, {0, 0, 1280, 1000}},
        {"left and top 5000", {5000, 5000, 5256, 5082}, {1024, 918, 1280, 1000}},
        {"height 5000", {192, 107, 448, 5107}, {192, 0, 448, 1000}},
        {"partly off the right", {1200, 10, 1456, 92}, {1024, 10, 1280, 92}},
        {"left of the screen", {-300, 10, -44, 92}, {0, 10, 256, 92}},
        {"above the screen", {10, -5000, 266, -4918}, {10, 0, 266, 82}},
        {"under the task bar", {10, 990, 266, 1072}, {10, 918, 266, 1000}},
        {"wider and taller than the screen", {-10, -10, 3000, 3000}, {0, 0, 1280, 1000}},
        {"inverted keeps nothing of its size", {300, 300, 200, 200}, {300, 300, 300, 300}},
        {"int limits", {INT_MAX - 10, INT_MIN, INT_MAX, INT_MIN + 82}, {1270, 0, 1280, 82}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitOnWorkArea(c.window, work), c.fitted) << c.what;
    }
}

TEST(FitOnWorkArea, SecondMonitorKeepsItsOwnCoordinates) {
    const Rect right{1280, 0, 2560, 1024};
    EXPECT_EQ(FitOnWorkArea({5000, 100, 5256, 182}, right), (Rect{2304, 100, 2560, 182}));
    const Rect left{-1920, -200, 0, 880};  // left of and above the primary monitor
    EXPECT_EQ(FitOnWorkArea({-5000, -5000, -4744, -4918}, left), (Rect{-1920, -200, -1664, -118}));
}

TEST(FitOnWorkArea, EmptyWorkAreaLeavesTheWindowAlone) {
    const Rect window{5000, 5000, 5256, 5082};
    EXPECT_EQ(FitOnWorkArea(window, {0, 0, 0, 0}), window);
    EXPECT_EQ(FitOnWorkArea(window, {10, 10, 5, 20}), window);
}

TEST(RectOfPlace, EndsStopAtTheLimitsOfInt) {
    EXPECT_EQ(RectOfPlace(192, 107, 256, 82), (Rect{192, 107, 448, 189}));
    EXPECT_EQ(RectOfPlace(INT_MAX - 10, INT_MIN + 5, 256, -82),
              (Rect{INT_MAX - 10, INT_MIN + 5, INT_MAX, INT_MIN}));
}

}  // namespace

namespace {

TEST(ScreenWatch, ChangedOnlyWhenAMonitorOrItsWorkAreaChanged) {
    const Rect big{0, 0, 1280, 1024};
    const Rect bar{0, 0, 1280, 984};
    const Rect small{0, 0, 1024, 768};
    ScreenWatch watch;
    EXPECT_FALSE(watch.Changed({big, bar})) << "the first look";
    EXPECT_FALSE(watch.Changed({big, bar}));
    EXPECT_TRUE(watch.Changed({small, small})) << "a smaller screen";
    EXPECT_FALSE(watch.Changed({small, small})) << "seen once";
    EXPECT_TRUE(watch.Changed({small, {0, 0, 1024, 740}})) << "a task bar appeared";
    EXPECT_TRUE(watch.Changed({small, small, {1024, 0, 2304, 1024}, {1024, 0, 2304, 1024}}))
        << "a monitor added";
}

}  // namespace
