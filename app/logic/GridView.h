// What the tag list editor's grid shows of its model and where: column widths, the rows and
// pixels scrolled away, which cell or header line a point is on, and how keys, scroll bars, the
// wheel and a sizing drag move all of that. The grid window only paints what this says and feeds
// it the user's input, so the arithmetic is tested without a window.
#pragma once

#include <array>

#include "app/logic/Geometry.h"
#include "app/logic/GridModel.h"
#include "platform/Platform.h"

// The keys that move the selected cell.
enum class GridKey { Up, Down, Left, Right, PageUp, PageDown, Home, End };

// A scroll bar's request, as the window's scroll messages carry it.
enum class GridScroll { LineUp, LineDown, PageUp, PageDown, Track, Top, Bottom };

// What one scroll bar shows: positions min..max, a page of page, the thumb at pos.
struct TGridBar {
    int Min = 0;
    int Max = 0;
    int Page = 0;
    int Pos = 0;
    bool operator==(const TGridBar&) const = default;
};

class TGridView {
  public:
    // Every cell is followed by a grid line of one pixel, to its right and below it.
    static constexpr int RowHeight = 24;
    static constexpr int Line = 1;
    static constexpr int RowPitch = RowHeight + Line;
    static constexpr int TextInset = 2;
    static constexpr int SizingZone = 2;  // pixels either side of a header line that start a drag
    static constexpr int MinColWidth = 1;
    static constexpr int HorizontalLine = 16;  // pixels one arrow of the horizontal bar scrolls
    static constexpr int WheelNotch = 120;     // the wheel's unit of one notch

    explicit TGridView(const TGridModel& model) : model_(model) {}

    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }

    int ColWidth(int col) const;
    // Out-of-range columns are ignored; a negative width is taken as 0.
    void SetColWidth(int col, int width);

    int TopRow() const { return topRow_; }    // first scrolling row shown
    int ScrollX() const { return scrollX_; }  // pixels scrolled to the left
    int TotalWidth() const;                   // every column with its line
    int ColLeft(int col) const;               // in client coordinates, scrolling included
    int RowTop(int row) const;                // in client coordinates; fixed rows never scroll
    int VisibleRows() const;                  // whole scrolling rows below the fixed rows, >= 1
    int FixedBottom() const { return TGridModel::FixedRows * RowPitch; }
    platform::Rect CellRect(int col, int row) const;
    // The cell under a client point, lines included with the cell before them.
    bool CellAt(int x, int y, int& col, int& row) const;
    // The column whose right line is under x in the header, -1 when none.
    int SizingColAt(int x, int y) const;
    // The last row drawn: the one partly shown below the whole ones included.
    int LastShownRow() const;

    // Brings the model's cursor into view, then keeps the scrolling within its range.
    void ScrollToCursor();
    void ClampScroll();
    TGridBar VerticalBar() const;
    TGridBar HorizontalBar() const;
    // A scroll bar's request; trackPos is the thumb's place for Track.
    void Scroll(bool vertical, GridScroll request, int trackPos);

    // Where a key moves the cursor from where it is now (not clamped: the model does that).
    void KeyTarget(GridKey key, bool ctrl, int& col, int& row) const;
    // Wheel movement in the units of the window message; answers the rows to move the cursor,
    // up negative, keeping what is not yet a whole notch.
    int WheelRows(int delta);

    // Sizing a column by dragging its header line.
    void BeginSizing(int col, int x);
    bool Sizing() const { return sizingCol_ >= 0; }
    // The drag moved to x: answers whether the column's width changed.
    bool DragSizing(int x);
    void EndSizing() { sizingCol_ = -1; }

  private:
    const TGridModel& model_;
    std::array<int, TGridModel::ColCount> colWidths_{geometry::taglist::kCol0Width,
                                                     geometry::taglist::kCol1Width};
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int topRow_ = TGridModel::FixedRows;
    int scrollX_ = 0;
    int wheel_ = 0;
    int sizingCol_ = -1;
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
};
