#include "app/logic/GridView.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int kFixedRows = TGridModel::FixedRows;

}  // namespace

void TGridView::SetClientSize(int width, int height) {
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
}

int TGridView::ColWidth(int col) const {
    return colWidths_[static_cast<std::size_t>(col)];
}

void TGridView::SetColWidth(int col, int width) {
    if (col < 0 || col >= TGridModel::ColCount) {
        return;
    }
    colWidths_[static_cast<std::size_t>(col)] = std::max(width, 0);
}

int TGridView::TotalWidth() const {
    int width = 0;
    for (int w : colWidths_) {
        width += w + Line;
    }
    return width;
}

int TGridView::ColLeft(int col) const {
    int x = -scrollX_;
    for (int c = 0; c < col; ++c) {
        x += colWidths_[static_cast<std::size_t>(c)] + Line;
    }
    return x;
}

int TGridView::RowTop(int row) const {
    if (row < kFixedRows) {
        return row * RowPitch;
    }
    return FixedBottom() + (row - topRow_) * RowPitch;
}

int TGridView::VisibleRows() const {
    return std::max(1, (clientHeight_ - FixedBottom()) / RowPitch);
}

platform::Rect TGridView::CellRect(int col, int row) const {
    const int x = ColLeft(col);
    const int y = RowTop(row);
    return {x, y, x + colWidths_[static_cast<std::size_t>(col)], y + RowHeight};
}

bool TGridView::CellAt(int x, int y, int& col, int& row) const {
    if (y < 0 || x < 0) {
        return false;
    }
    int r = 0;
    if (y < FixedBottom()) {
        r = y / RowPitch;
    } else {
        r = topRow_ + (y - FixedBottom()) / RowPitch;
        if (r >= model_.RowCount()) {
            return false;
        }
    }
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        const int left = ColLeft(c);
        if (x >= left && x < left + colWidths_[static_cast<std::size_t>(c)] + Line) {
            col = c;
            row = r;
            return true;
        }
    }
    return false;
}

int TGridView::SizingColAt(int x, int y) const {
    if (y < 0 || y >= FixedBottom()) {
        return -1;
    }
    // The last column whose line is near wins, so a column sized down to nothing can still be
    // pulled open again.
    for (int c = TGridModel::ColCount - 1; c >= 0; --c) {
        const int line = ColLeft(c) + colWidths_[static_cast<std::size_t>(c)];
        if (x >= line - SizingZone && x <= line + SizingZone) {
            return c;
        }
    }
    return -1;
}

int TGridView::LastShownRow() const {
    return std::min(model_.RowCount() - 1, topRow_ + VisibleRows());
}

void TGridView::ScrollToCursor() {
    const int row = model_.Row();
    if (row < topRow_) {
        topRow_ = row;
    } else if (row >= topRow_ + VisibleRows()) {
        topRow_ = row - VisibleRows() + 1;
    }
    const int left = ColLeft(model_.Col()) + scrollX_;
    const int right = left + colWidths_[static_cast<std::size_t>(model_.Col())] + Line;
    if (right - scrollX_ > clientWidth_) {
        scrollX_ = right - clientWidth_;
    }
    if (left < scrollX_) {
        scrollX_ = left;
    }
    ClampScroll();
}

void TGridView::ClampScroll() {
    const int maxTop = std::max(kFixedRows, model_.RowCount() - VisibleRows());
    topRow_ = std::clamp(topRow_, kFixedRows, maxTop);
    scrollX_ = std::clamp(scrollX_, 0, std::max(0, TotalWidth() - clientWidth_));
}

TGridBar TGridView::VerticalBar() const {
    return {0, model_.RowCount() - kFixedRows - 1, VisibleRows(), topRow_ - kFixedRows};
}

TGridBar TGridView::HorizontalBar() const {
    return {0, TotalWidth() - 1, clientWidth_, scrollX_};
}

void TGridView::Scroll(bool vertical, GridScroll request, int trackPos) {
    const TGridBar bar = vertical ? VerticalBar() : HorizontalBar();
    const int line = vertical ? 1 : HorizontalLine;
    const int page = vertical ? VisibleRows() : std::max(1, clientWidth_);
    int pos = bar.Pos;
    switch (request) {
        case GridScroll::LineUp:
            pos -= line;
            break;
        case GridScroll::LineDown:
            pos += line;
            break;
        case GridScroll::PageUp:
            pos -= page;
            break;
        case GridScroll::PageDown:
            pos += page;
            break;
        case GridScroll::Track:
            pos = trackPos;
            break;
        case GridScroll::Top:
            pos = bar.Min;
            break;
        case GridScroll::Bottom:
            pos = bar.Max;
            break;
    }
    if (vertical) {
        topRow_ = kFixedRows + pos;
    } else {
        scrollX_ = pos;
    }
    ClampScroll();
}

void TGridView::KeyTarget(GridKey key, bool ctrl, int& col, int& row) const {
    col = model_.Col();
    row = model_.Row();
    switch (key) {
        case GridKey::Up:
            --row;
            break;
        case GridKey::Down:
            ++row;
            break;
        case GridKey::Left:
            --col;
            break;
        case GridKey::Right:
            ++col;
            break;
        case GridKey::PageUp:
            row -= VisibleRows();
            break;
        case GridKey::PageDown:
            row += VisibleRows();
            break;
        case GridKey::Home:
            col = 0;
            row = ctrl ? kFixedRows : row;
            break;
        case GridKey::End:
            col = TGridModel::ColCount - 1;
            row = ctrl ? model_.RowCount() - 1 : row;
            break;
    }
}

int TGridView::WheelRows(int delta) {
    // As the grid's keyboard does: each notch moves the selected cell one row.
    wheel_ += delta;
    int rows = 0;
    while (wheel_ >= WheelNotch) {
        wheel_ -= WheelNotch;
        --rows;
    }
    while (wheel_ <= -WheelNotch) {
        wheel_ += WheelNotch;
        ++rows;
    }
    return rows;
}

void TGridView::BeginSizing(int col, int x) {
    sizingCol_ = col;
    sizingStartX_ = x;
    sizingStartWidth_ = ColWidth(col);
}

bool TGridView::DragSizing(int x) {
    if (sizingCol_ < 0) {
        return false;
    }
    const int width = std::max(int{MinColWidth}, sizingStartWidth_ + x - sizingStartX_);
    auto& current = colWidths_[static_cast<std::size_t>(sizingCol_)];
    if (width == current) {
        return false;
    }
    current = width;
    return true;
}
