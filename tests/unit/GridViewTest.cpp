#include "app/logic/GridView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A list of the base drawing and tags-1 tags, so the grid has 2 + (tags-1) rows, at least 3.
TGridModel Model(int count) {
    std::vector<TTagLists> lists;
    for (int i = 0; i < count; ++i) {
        lists.push_back(TTagLists{"t" + std::to_string(i), "j", 0});
    }
    TGridModel model;
    model.Fill(lists, count);
    return model;
}

// Client height that shows exactly `rows` whole scrolling rows below the two fixed ones.
constexpr int HeightFor(int rows) {
    return TGridView::RowPitch * (TGridModel::FixedRows + rows) + TGridView::RowPitch / 2;
}

// Column 0 is 81 px wide with its line at x 81, column 1 296 px with its line at x 378.
TEST(GridViewTest, CellAtFindsTheCellAndItsLineWithIt) {
    TGridModel model = Model(21);  // 22 rows
    TGridView view(model);
    view.SetClientSize(400, HeightFor(5));
    const struct {
        int x, y;
        bool found;
        int col, row;
    } cases[] = {
        {0, 0, true, 0, 0},
        {80, 24, true, 0, 0},
        {81, 24, true, 0, 0},
        {82, 25, true, 1, 1},
        {378, 49, true, 1, 1},
        {379, 10, false, 0, 0},
        {10, 50, true, 0, 2},
        {10, 174, true, 0, 6},
        {-1, 10, false, 0, 0},
        {10, -1, false, 0, 0},
        {10, 50 + 25 * 19, true, 0, 21},
        {10, 50 + 25 * 20, false, 0, 0},  // below the last row
    };
    for (const auto& c : cases) {
        int col = -1;
        int row = -1;
        EXPECT_EQ(view.CellAt(c.x, c.y, col, row), c.found) << c.x << "," << c.y;
        if (c.found) {
            EXPECT_EQ(col, c.col) << c.x << "," << c.y;
            EXPECT_EQ(row, c.row) << c.x << "," << c.y;
        }
    }
}

TEST(GridViewTest, ScrolledCellsMoveButTheHeaderRowsStay) {
    TGridModel model = Model(21);
    TGridView view(model);
    view.SetClientSize(100, HeightFor(5));
    model.SetCursor(1, 15);
    view.ScrollToCursor();
    EXPECT_EQ(view.TopRow(), 11);  // row 15 is the last whole row shown
    // Column 1 is wider than the client: its left edge wins over its right one.
    EXPECT_EQ(view.ScrollX(), 82);
    int col = -1;
    int row = -1;
    ASSERT_TRUE(view.CellAt(10, 0, col, row));
    EXPECT_EQ(row, 0);
    ASSERT_TRUE(view.CellAt(10, 50, col, row));
    EXPECT_EQ(row, 11);
    EXPECT_EQ(col, 1);  // column 0 is scrolled out of sight
    EXPECT_EQ(view.RowTop(1), 25);
    EXPECT_EQ(view.RowTop(11), 50);

    model.SetCursor(0, 3);
    view.ScrollToCursor();
    EXPECT_EQ(view.TopRow(), 3);
    EXPECT_EQ(view.ScrollX(), 0);
}

TEST(GridViewTest, SizingZoneIsAroundTheHeaderLines) {
    TGridModel model = Model(3);
    TGridView view(model);
    view.SetClientSize(400, HeightFor(5));
    const struct {
        int x, y, col;
    } cases[] = {
        {79, 10, 0},  {81, 10, 0},  {83, 10, 0},  {84, 10, -1},
        {78, 10, -1}, {378, 49, 1}, {81, 50, -1},  // below the header the lines do not size
    };
    for (const auto& c : cases) {
        EXPECT_EQ(view.SizingColAt(c.x, c.y), c.col) << c.x << "," << c.y;
    }
    // A column sized down to nothing shares its line with the one before; the drag must reach
    // the empty one, or it could never be opened again.
    view.SetColWidth(1, 0);
    EXPECT_EQ(view.SizingColAt(81, 10), 1);
}

TEST(GridViewTest, DraggingAHeaderLineSizesItsColumnToAtLeastOnePixel) {
    TGridModel model = Model(3);
    TGridView view(model);
    view.BeginSizing(0, 81);
    EXPECT_TRUE(view.Sizing());
    EXPECT_TRUE(view.DragSizing(100));
    EXPECT_EQ(view.ColWidth(0), 100);
    EXPECT_FALSE(view.DragSizing(100));
    EXPECT_TRUE(view.DragSizing(-500));
    EXPECT_EQ(view.ColWidth(0), TGridView::MinColWidth);
    view.EndSizing();
    EXPECT_FALSE(view.DragSizing(200));
    EXPECT_EQ(view.ColWidth(0), TGridView::MinColWidth);
}

TEST(GridViewTest, ScrollRequestsStayWithinTheRows) {
    const struct {
        bool vertical;
        GridScroll request;
        int track;
        int top, x;
    } cases[] = {
        {true, GridScroll::LineDown, 0, 3, 0},   {true, GridScroll::LineUp, 0, 2, 0},
        {true, GridScroll::PageDown, 0, 7, 0},   {true, GridScroll::Bottom, 0, 17, 0},
        {true, GridScroll::Track, 9, 11, 0},     {true, GridScroll::Track, 500, 17, 0},
        {false, GridScroll::LineDown, 0, 2, 16}, {false, GridScroll::PageDown, 0, 2, 100},
        {false, GridScroll::Track, 40, 2, 40},   {false, GridScroll::LineUp, 0, 2, 0},
    };
    for (const auto& c : cases) {
        TGridModel model = Model(21);  // 20 tag rows, 5 shown: top row 2..17
        TGridView view(model);
        view.SetClientSize(100, HeightFor(5));
        view.Scroll(c.vertical, c.request, c.track);
        EXPECT_EQ(view.TopRow(), c.top) << static_cast<int>(c.request) << " " << c.vertical;
        EXPECT_EQ(view.ScrollX(), c.x) << static_cast<int>(c.request) << " " << c.vertical;
    }
}

TEST(GridViewTest, BarsShowTheScrollingRowsAndPixels) {
    TGridModel model = Model(21);
    TGridView view(model);
    view.SetClientSize(100, HeightFor(5));
    view.Scroll(true, GridScroll::Track, 4);
    EXPECT_EQ(view.VerticalBar(), (TGridBar{0, 19, 5, 4}));
    EXPECT_EQ(view.HorizontalBar(), (TGridBar{0, 378, 100, 0}));
    // A grid taller than its rows cannot scroll at all.
    TGridModel few = Model(2);
    TGridView small(few);
    small.SetClientSize(400, HeightFor(5));
    small.Scroll(true, GridScroll::Bottom, 0);
    EXPECT_EQ(small.TopRow(), TGridModel::FixedRows);
    EXPECT_EQ(small.LastShownRow(), 2);
}

TEST(GridViewTest, KeysMoveFromTheCursor) {
    TGridModel model = Model(21);
    TGridView view(model);
    view.SetClientSize(400, HeightFor(5));
    model.SetCursor(1, 10);
    const struct {
        GridKey key;
        bool ctrl;
        int col, row;
    } cases[] = {
        {GridKey::Up, false, 1, 9},     {GridKey::Down, false, 1, 11},
        {GridKey::Left, false, 0, 10},  {GridKey::Right, false, 2, 10},
        {GridKey::PageUp, false, 1, 5}, {GridKey::PageDown, false, 1, 15},
        {GridKey::Home, false, 0, 10},  {GridKey::Home, true, 0, 2},
        {GridKey::End, false, 1, 10},   {GridKey::End, true, 1, 21},
    };
    for (const auto& c : cases) {
        int col = -1;
        int row = -1;
        view.KeyTarget(c.key, c.ctrl, col, row);
        EXPECT_EQ(col, c.col) << static_cast<int>(c.key) << " " << c.ctrl;
        EXPECT_EQ(row, c.row) << static_cast<int>(c.key) << " " << c.ctrl;
    }
}

TEST(GridViewTest, WheelMovesOneRowPerWholeNotch) {
    TGridModel model = Model(3);
    TGridView view(model);
    const struct {
        int delta, rows;
    } steps[] = {
        {120, -1}, {60, 0}, {60, -1}, {-240, 2}, {-30, 0}, {-90, 1}, {360, -3},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(view.WheelRows(s.delta), s.rows) << s.delta;
    }
}

}  // namespace
