#include "app/logic/GridModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The grid as name cells of the tag rows with their handles: "a:7" is name a, window 7.
std::vector<std::string> Tags(const TGridModel& g) {
    std::vector<std::string> out;
    for (int r = TGridModel::FixedRows; r < g.RowCount(); ++r) {
        out.push_back(g.Cell(0, r) + ":" + std::to_string(g.RowHandle(r)));
    }
    return out;
}

// A list of count entries: entry i is named "b" for the base, else "t<i>", with jump "j<i>" and
// window 100 + i.
std::vector<TTagLists> List(int count) {
    std::vector<TTagLists> lists;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        lists.push_back(TTagLists{i == 0 ? "b" : "t" + n, "j" + n,
                                  static_cast<platform::WindowHandle>(100 + i)});
    }
    return lists;
}

TGridModel Filled(int count, int cursorRow) {
    TGridModel g;
    g.Fill(List(count), count);
    g.SetCursor(0, cursorRow);
    return g;
}

TEST(GridModelTest, FillShowsHeaderBaseAndTags) {
    const struct {
        int count, rows;
        std::vector<std::string> tags;
    } cases[] = {
        {0, 3, {":0"}},
        {1, 3, {":0"}},
        {2, 3, {"t1:101"}},
        {4, 5, {"t1:101", "t2:102", "t3:103"}},
    };
    for (const auto& c : cases) {
        TGridModel g;
        g.Fill(List(c.count), c.count);
        EXPECT_EQ(g.RowCount(), c.rows) << c.count;
        EXPECT_EQ(Tags(g), c.tags) << c.count;
        EXPECT_EQ(g.Cell(0, 0), "\x83\x5e\x83\x4f\x96\xbc");  // タグ名
        EXPECT_EQ(g.Cell(1, 0), "\x83\x5e\x83\x4f\x83\x57\x83\x83\x83\x93\x83\x76\x93\xe0\x97\x65");
        EXPECT_EQ(g.Cell(0, 1), c.count > 0 ? "b" : "");
        EXPECT_EQ(g.Cell(1, 1), c.count > 0 ? "j0" : "");
    }
}

TEST(GridModelTest, RefillClearsRowsOfTheLastShowing) {
    TGridModel g = Filled(5, 2);
    g.SetCell(0, 2, "typed");
    g.Fill(List(1), 1);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(Tags(g), (std::vector<std::string>{":0"}));
    // A count beyond the entries that exist leaves the missing rows blank.
    g.Fill(List(2), 4);
    EXPECT_EQ(Tags(g), (std::vector<std::string>{"t1:101", ":0", ":0"}));
}

TEST(GridModelTest, CursorStaysOnTagRowsAndSurvivesRefillWhereItCan) {
    TGridModel g = Filled(6, 5);
    EXPECT_EQ(g.Row(), 5);
    g.Fill(List(6), 6);
    EXPECT_EQ(g.Row(), 5);
    g.Fill(List(3), 3);  // rows 0 to 3
    EXPECT_EQ(g.Row(), 3);
    g.SetCursor(1, 0);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Col(), 1);
    g.SetCursor(7, 99);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_EQ(g.Col(), 1);
    g.SetCursor(-1, 1);
    EXPECT_EQ(g.Col(), 0);
    EXPECT_EQ(g.Row(), 2);
}

TEST(GridModelTest, FixedRowsCannotBeWritten) {
    TGridModel g = Filled(2, 2);
    g.SetCell(0, 0, "x");
    g.SetCell(0, 1, "x");
    g.SetCell(2, 2, "x");
    g.SetCell(0, 3, "x");
    EXPECT_EQ(g.Cell(0, 1), "b");
    EXPECT_EQ(g.Cell(0, 0), "\x83\x5e\x83\x4f\x96\xbc");
    EXPECT_EQ(g.Cell(0, 2), "t1");
    EXPECT_EQ(g.Cell(5, 5), "");
}

TEST(GridModelTest, ButtonsMoveInsertAndDeleteRowsWithTheirWindows) {
    enum Op { Up, Down, Ins, Del };
    const struct {
        int count, cursor;
        Op op;
        std::vector<std::string> tags;
        int cursorAfter;
    } cases[] = {
        // The first tag cannot pass the base drawing, the last cannot go further down.
        {4, 2, Up, {"t1:101", "t2:102", "t3:103"}, 2},
        {4, 4, Down, {"t1:101", "t2:102", "t3:103"}, 4},
        {2, 2, Up, {"t1:101"}, 2},
        {2, 2, Down, {"t1:101"}, 2},
        // The cursor follows the moved tag.
        {4, 4, Up, {"t1:101", "t3:103", "t2:102"}, 3},
        {4, 2, Down, {"t2:102", "t1:101", "t3:103"}, 3},
        // Insert leaves a blank row, with no window, under the cursor.
        {3, 2, Ins, {":0", "t1:101", "t2:102"}, 2},
        {3, 3, Ins, {"t1:101", ":0", "t2:102"}, 3},
        {1, 2, Ins, {":0", ":0"}, 2},
        // Delete keeps at least one blank tag row.
        {1, 2, Del, {":0"}, 2},
        {2, 2, Del, {":0"}, 2},
        {4, 2, Del, {"t2:102", "t3:103"}, 2},
        {4, 3, Del, {"t1:101", "t3:103"}, 3},
        {4, 4, Del, {"t1:101", "t2:102"}, 3},
    };
    for (const auto& c : cases) {
        TGridModel g = Filled(c.count, c.cursor);
        switch (c.op) {
            case Up:
                g.MoveUp();
                break;
            case Down:
                g.MoveDown();
                break;
            case Ins:
                g.Insert();
                break;
            case Del:
                g.Delete();
                break;
        }
        EXPECT_EQ(Tags(g), c.tags) << "count " << c.count << " row " << c.cursor << " op " << c.op;
        EXPECT_EQ(g.Row(), c.cursorAfter) << "count " << c.count << " op " << c.op;
        EXPECT_EQ(g.Cell(0, 1), c.count > 0 ? "b" : "");
    }
}

TEST(GridModelTest, MovesKeepJumpTextsWithNames) {
    TGridModel g = Filled(3, 3);
    g.MoveUp();
    EXPECT_EQ(g.Cell(0, 2), "t2");
    EXPECT_EQ(g.Cell(1, 2), "j2");
    EXPECT_EQ(g.Cell(1, 3), "j1");
    EXPECT_EQ(g.Col(), 0);
}

TEST(GridModelTest, ChangedJumpTextLetsGoOfTheWindow) {
    TGridModel g = Filled(3, 2);
    g.SetCell(0, 2, "renamed");
    EXPECT_EQ(g.RowHandle(2), 101u);
    g.SetCell(1, 2, "j1");
    EXPECT_EQ(g.RowHandle(2), 101u);
    g.SetCell(1, 2, "C:\\other.jww");
    EXPECT_EQ(g.RowHandle(2), 0u);
}

TEST(GridModelTest, EditedRowsAreTheTagRowsAsTyped) {
    TGridModel g = Filled(3, 3);
    const std::string longName(81, 'n');
    g.SetCell(0, 3, longName);
    g.SetCell(1, 3, "C:\\a b.jww /p");
    g.Insert();
    g.SetCursor(0, 2);
    g.MoveDown();
    const std::vector<TEditedRow> want = {
        {"", "", 0},
        {"t1", "j1", 101},
        {longName, "C:\\a b.jww /p", 0},
    };
    EXPECT_EQ(g.EditedRows(), want);
}

TEST(GridModelTest, EmptyListCommitsOneBlankTag) {
    TGridModel g = Filled(1, 2);
    EXPECT_EQ(g.EditedRows(), (std::vector<TEditedRow>{{"", "", 0}}));
}

}  // namespace
