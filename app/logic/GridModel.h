// The tag list editor's working copy: the rows of its grid and the grid's cursor. Row 0 is the
// header, row 1 the base drawing (both fixed), rows 2 and up the tags. The grid window only
// draws this and forwards the user's edits; the buttons' editing rules live here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "tags/UnitV.h"

class TGridModel {
  public:
    static constexpr int ColCount = 2;
    static constexpr int FixedRows = 2;
    static constexpr int MinRowCount = FixedRows + 1;

    TGridModel();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const std::string& Cell(int col, int row) const;
    // Writes a cell of a tag row; fixed rows and cells outside the grid are left alone. A jump
    // text that changes lets go of the window the row knew: that window shows another drawing.
    void SetCell(int col, int row, const std::string& text);
    platform::WindowHandle RowHandle(int row) const;

    // The cursor: always on a tag row (2 or below) and a real column.
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCursor(int col, int row);

    // Shows the list: the header, entry 0 on row 1, entries 1 and up below, and at least one
    // tag row, blank when the list has no tags. The cursor stays where it was if that row still
    // exists, else it goes to the last row.
    void Fill(const std::vector<TTagLists>& lists, std::int32_t count);

    void MoveUp();    // ▲
    void MoveDown();  // ▼
    void Insert();    // 挿入
    void Delete();    // 削除

    // The tag rows (2 and below) in order, each with the window of the entry it came from.
    std::vector<TEditedRow> EditedRows() const;

  private:
    struct TRow {
        std::array<std::string, ColCount> Cells;
        platform::WindowHandle Handle = 0;
    };

    void ClampCursor();

    std::vector<TRow> rows_;
    int col_ = 0;
    int row_ = FixedRows;
};
