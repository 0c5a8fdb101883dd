// The grid's painting: cells, headers and lines, drawn off screen and copied at once so that
// scrolling and sizing do not flicker.
#include <algorithm>
#include <string>

#include "app/Grid.h"
#include "app/ScopedGdi.h"
#include "platform/win32/Codepage.h"

namespace {

constexpr COLORREF kCellLine = RGB(192, 192, 192);
constexpr COLORREF kFixedLine = RGB(0, 0, 0);
constexpr int kFixedRows = TGridModel::FixedRows;
constexpr int kLine = TGridView::Line;

void Fill(HDC dc, const RECT& r, COLORREF color) {
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
    const RECT r{x1, y1, std::max(x2, x1 + 1), std::max(y2, y1 + 1)};
    Fill(dc, r, color);
}

RECT ToRect(const platform::Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

void TStringGrid::OnPaint() {
    ui::BufferedPaint paint(hwnd_);
    ui::ScopedSelectObject font(paint, ui::Font());
    Paint(paint, paint.Client());
}

void TStringGrid::Paint(HDC dc, const RECT& client) {
    Fill(dc, client, GetSysColor(COLOR_WINDOW));
    const int lastRow = view_.LastShownRow();
    for (int row = 0; row <= lastRow; ++row) {
        if (row == kFixedRows) {
            row = view_.TopRow();  // the rows scrolled away are not drawn
        }
        for (int col = 0; col < TGridModel::ColCount; ++col) {
            const RECT r = ToRect(view_.CellRect(col, row));
            if (r.right > 0 && r.left < client.right) {
                PaintCell(dc, col, row, r);
            }
        }
    }
    PaintLines(dc, client);
}

void TStringGrid::PaintCell(HDC dc, int col, int row, const RECT& r) {
    const bool fixed = row < kFixedRows;
    const bool current = !fixed && col == model_.Col() && row == model_.Row();
    const bool focused = GetFocus() == hwnd_ || editing_;
    COLORREF back = GetSysColor(COLOR_WINDOW);
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    if (fixed) {
        back = GetSysColor(COLOR_BTNFACE);
        text = GetSysColor(COLOR_BTNTEXT);
    } else if (current && !focused) {
        // The selected cell shows highlighted while the focus is elsewhere (on a button), so
        // the user sees which row ▲ ▼ 挿入 削除 act on.
        back = GetSysColor(COLOR_HIGHLIGHT);
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    Fill(dc, r, back);
    const std::wstring wide = platform::SjisToWide(model_.Cell(col, row));
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    constexpr int inset = TGridView::TextInset;
    ExtTextOutW(dc, r.left + inset, r.top + inset, ETO_CLIPPED, &r, wide.c_str(),
                static_cast<UINT>(wide.size()), nullptr);
    SetBkMode(dc, OPAQUE);
    if (fixed) {
        RECT edge = r;
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
    } else if (current && focused && !editing_) {
        RECT focus = r;
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
}

void TStringGrid::PaintLines(HDC dc, const RECT& client) {
    constexpr int pitch = TGridView::RowPitch;
    const int fixedBottom = view_.FixedBottom();
    const int shownRows = view_.LastShownRow() - view_.TopRow() + 1;
    const int gridBottom = std::min<int>(fixedBottom + shownRows * pitch, client.bottom);
    const int gridRight = std::min<int>(view_.ColLeft(TGridModel::ColCount), client.right);
    // Below each row, across the columns.
    for (int i = 1; i <= kFixedRows; ++i) {
        Line(dc, 0, i * pitch - kLine, gridRight, i * pitch, kFixedLine);
    }
    for (int i = 1; i <= shownRows; ++i) {
        const int y = fixedBottom + i * pitch - kLine;
        Line(dc, 0, y, gridRight, y + kLine, kCellLine);
    }
    // Right of each column, down the rows.
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        const int x = view_.ColLeft(c) + view_.ColWidth(c);
        if (x >= 0 && x < client.right) {
            Line(dc, x, 0, x + kLine, fixedBottom, kFixedLine);
            Line(dc, x, fixedBottom, x + kLine, gridBottom, kCellLine);
        }
    }
}
