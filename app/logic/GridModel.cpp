#include "app/logic/GridModel.h"

#include <algorithm>
#include <utility>

namespace {

// "タグ名" and "タグジャンプ内容" in Shift-JIS, as every text of the grid is held.
const std::string kNameHeader = "\x83\x5e\x83\x4f\x96\xbc";
const std::string kJumpHeader = "\x83\x5e\x83\x4f\x83\x57\x83\x83\x83\x93\x83\x76\x93\xe0\x97\x65";

const std::string kNoText;

}  // namespace

TGridModel::TGridModel() : rows_(MinRowCount) {
    rows_[0].Cells = {kNameHeader, kJumpHeader};
}

const std::string& TGridModel::Cell(int col, int row) const {
    if (col < 0 || col >= ColCount || row < 0 || row >= RowCount()) {
        return kNoText;
    }
    return rows_[static_cast<std::size_t>(row)].Cells[static_cast<std::size_t>(col)];
}

void TGridModel::SetCell(int col, int row, const std::string& text) {
    if (col < 0 || col >= ColCount || row < FixedRows || row >= RowCount()) {
        return;
    }
    TRow& r = rows_[static_cast<std::size_t>(row)];
    std::string& cell = r.Cells[static_cast<std::size_t>(col)];
    if (col == 1 && cell != text) {
        r.Handle = 0;
    }
    cell = text;
}

platform::WindowHandle TGridModel::RowHandle(int row) const {
    if (row < 0 || row >= RowCount()) {
        return 0;
    }
    return rows_[static_cast<std::size_t>(row)].Handle;
}

void TGridModel::SetCursor(int col, int row) {
    col_ = col;
    row_ = row;
    ClampCursor();
}

void TGridModel::Fill(const std::vector<TTagLists>& lists, std::int32_t count) {
    rows_.assign(static_cast<std::size_t>(count > 1 ? count + 1 : MinRowCount), TRow{});
    rows_[0].Cells = {kNameHeader, kJumpHeader};
    // Never trust the count beyond the entries that really exist.
    const std::int32_t n = std::min<std::int32_t>(count, static_cast<std::int32_t>(lists.size()));
    for (std::int32_t i = 0; i < n; ++i) {
        const TTagLists& e = lists[static_cast<std::size_t>(i)];
        rows_[static_cast<std::size_t>(i) + 1] = TRow{{e.TagName, e.TagJump}, e.Handle};
    }
    ClampCursor();
}

void TGridModel::MoveUp() {
    // The first tag cannot pass the base drawing.
    if (row_ <= FixedRows) {
        return;
    }
    std::swap(rows_[static_cast<std::size_t>(row_) - 1], rows_[static_cast<std::size_t>(row_)]);
    --row_;
}

void TGridModel::MoveDown() {
    if (row_ >= RowCount() - 1) {
        return;
    }
    std::swap(rows_[static_cast<std::size_t>(row_)], rows_[static_cast<std::size_t>(row_) + 1]);
    ++row_;
}

void TGridModel::Insert() {
    rows_.insert(rows_.begin() + row_, TRow{});
}

void TGridModel::Delete() {
    if (RowCount() <= MinRowCount) {
        rows_[FixedRows] = TRow{};
        return;
    }
    rows_.erase(rows_.begin() + row_);
    ClampCursor();
}

std::vector<TEditedRow> TGridModel::EditedRows() const {
    std::vector<TEditedRow> out;
    for (int r = FixedRows; r < RowCount(); ++r) {
        const TRow& row = rows_[static_cast<std::size_t>(r)];
        out.push_back(TEditedRow{row.Cells[0], row.Cells[1], row.Handle});
    }
    return out;
}

void TGridModel::ClampCursor() {
    col_ = std::clamp(col_, 0, ColCount - 1);
    row_ = std::clamp(row_, static_cast<int>(FixedRows), RowCount() - 1);
}
