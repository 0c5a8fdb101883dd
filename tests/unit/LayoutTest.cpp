#include <gtest/gtest.h>

#include "app/logic/Layout.h"

TEST(Layout, ButtonsAtCreationSizeForEachDirection) {
    struct Case {
        int direction;
        int tabHeight;
        int lefts[kButtonCount];
        int tops[kButtonCount];
    };
    const Case cases[] = {
        {0, 48, {3, 28, 53, 78, 103, 128, 153}, {54, 54, 54, 54, 54, 54, 54}},
        {1, 48, {3, 28, 53, 78, 103, 128, 153}, {6, 6, 6, 6, 6, 6, 6}},
        {2, 0, {225, 225, 225, 225, 225, 225, 225}, {3, 28, 53, 78, 103, 128, 153}},
        {3, 0, {6, 6, 6, 6, 6, 6, 6}, {3, 28, 53, 78, 103, 128, 153}},
    };
    for (const Case& c : cases) {
        TStripLayout l = LayoutFor(c.direction, 256, 82);
        EXPECT_EQ(l.TabHeight, c.tabHeight) << c.direction;
        for (int k = 1; k <= kButtonCount; ++k) {
            int left = 0, top = 0;
            ButtonPosition(l, k, left, top);
            EXPECT_EQ(left, c.lefts[k - 1]) << "direction " << c.direction << " button " << k;
            EXPECT_EQ(top, c.tops[k - 1]) << "direction " << c.direction << " button " << k;
        }
    }
}

TEST(Layout, DirectionOutsideRangeFallsBackToTop) {
    for (int d : {-1, 4, 7}) {
        TStripLayout l = LayoutFor(d, 256, 82);
        EXPECT_EQ(l.Direction, 0);
        EXPECT_EQ(l.Position, TabPosition::Top);
    }
}

TEST(Layout, SmallestStripKeepsTheRowUnderTinyTabs) {
    TStripLayout l = LayoutFor(0, kMinStripSize, kMinStripSize);
    EXPECT_EQ(l.TabHeight, 6);
    EXPECT_EQ(l.Y0, 12);
}

TEST(Layout, HitTestZones) {
    const int W = 256, H = 82;
    struct Case {
        int x, y, code;
    };
    const Case cases[] = {
        {4, 4, kHtTopLeft},        {W - 5, H - 5, kHtCaption},
        {W - 4, 2, kHtTopRight},   {W - 4, H - 4, kHtBottomRight},
        {0, H - 1, kHtBottomLeft}, {0, 40, kHtLeft},
        {5, 40, kHtCaption},       {W - 1, 40, kHtRight},
        {100, 0, kHtTop},          {100, 5, kHtCaption},
        {100, H - 4, kHtBottom},   {100, 40, kHtCaption},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HitTestBorder(c.x, c.y, W, H), c.code) << c.x << "," << c.y;
    }
}
