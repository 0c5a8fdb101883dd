// SG1, the tag list editor's string grid: a thin window over TGridModel. Two columns, the
// model's fixed rows drawn as headers, grid lines everywhere, column widths sized by dragging
// the lines between the header cells, one selected cell moved by keys and mouse, and in-place
// editing of a cell in an edit control (F2, typing or a double click starts it; Enter or leaving
// the cell keeps the text; Escape drops it).
#pragma once

#include <array>
#include <string>

#include "app/Ui.h"
#include "app/logic/GridModel.h"

class TStringGrid : public ui::Window {
  public:
    explicit TStringGrid(TGridModel& model) : model_(model) {}

    // Handle comes from ui::Window.
    HWND Create(HWND parent, int id, int left, int top, int width, int height);

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);

    // The model was changed from outside (filled, rows moved): scroll the cursor into view and
    // draw again.
    void ModelChanged();
    // Ends in-place editing, keeping the typed text or dropping it; nothing when not editing.
    void EndEdit(bool keep);

  private:
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnEditMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    void OnPaint();
    void PaintCell(HDC dc, int col, int row, const RECT& r);
    void PaintLines(HDC dc, const RECT& client);
    void OnKeyDown(WPARAM key);
    void OnChar(wchar_t c);
    void OnLButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnScroll(int bar, int request);
    void OnWheel(int delta);

    // Geometry: every cell is followed by a grid line of one pixel, to its right and below it.
    int ClientWidth() const;
    int ClientHeight() const;
    int TotalWidth() const;
    int ColLeft(int col) const;  // in client coordinates, scrolling included
    int RowTop(int row) const;   // in client coordinates; fixed rows never scroll
    int VisibleRows() const;     // whole scrolling rows that fit below the fixed rows
    RECT CellRect(int col, int row) const;
    bool CellAt(int x, int y, int& col, int& row) const;
    int SizingColAt(int x, int y) const;  // the column whose right line is under x, in the header

    void MoveCursor(int col, int row);
    void ScrollToCursor();
    void ClampScroll();
    void UpdateScrollBars();
    void BeginEdit(const wchar_t* typed);
    void PlaceEdit();
    void FinishEdit(bool keep, bool refocus);

    TGridModel& model_;
    HWND edit_ = nullptr;
    std::array<int, TGridModel::ColCount> colWidths_{81, 296};
    int topRow_ = TGridModel::FixedRows;  // first scrolling row shown
    int scrollX_ = 0;                     // pixels scrolled to the left
    bool editing_ = false;
    bool ending_ = false;
    int editCol_ = 0;
    int editRow_ = 0;
    int sizingCol_ = -1;  // column being sized by a drag, -1 when none
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
    bool selecting_ = false;  // the left button is down on the cells
    int wheel_ = 0;           // wheel movement not yet turned into rows
    bool updatingBars_ = false;
};
