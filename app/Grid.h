// SG1, the tag list editor's string grid: a thin window over TGridModel, laid out by TGridView.
// Two columns, the model's fixed rows drawn as headers, grid lines everywhere, column widths
// sized by dragging the lines between the header cells, one selected cell moved by keys and
// mouse, and in-place editing of a cell in an edit control (F2, typing or a double click starts
// it; Enter or leaving the cell keeps the text; Escape drops it).
#pragma once

#include <string>

#include "app/Ui.h"
#include "app/logic/GridModel.h"
#include "app/logic/GridView.h"

class TStringGrid : public ui::Window {
  public:
    explicit TStringGrid(TGridModel& model) : model_(model), view_(model) {}

    // Handle comes from ui::Window.
    HWND Create(HWND parent, int id, int left, int top, int width, int height);

    int ColWidth(int col) const { return view_.ColWidth(col); }
    void SetColWidth(int col, int width);

    // The model was changed from outside (filled, rows moved): scroll the cursor into view and
    // draw again.
    void ModelChanged();
    // Ends in-place editing, keeping the typed text or dropping it; nothing when not editing.
    void EndEdit(bool keep);

  private:
    bool OnCreate() override;
    void OnSize(int width, int height) override;
    void OnPaint() override;
    LRESULT OnGetDlgCode(const MSG* message) override;
    LRESULT OnEraseBackground(HDC dc) override;
    void OnSetFocus(HWND previous) override;
    void OnKillFocus(HWND next) override;
    void OnKeyDown(UINT key) override;
    void OnChar(wchar_t c) override;
    void OnImeStartComposition() override;
    void OnLButtonDown(int x, int y) override;
    void OnLButtonDoubleClick(int x, int y) override;
    void OnMouseMove(int x, int y) override;
    void OnLButtonUp(int x, int y) override;
    void OnCaptureChanged() override;
    LRESULT OnSetCursor(UINT hitTest) override;
    void OnVScroll(int code) override;
    void OnHScroll(int code) override;
    void OnMouseWheel(int delta) override;
    void OnScrollBar(int bar, int code);

    // The edit of in-place editing, with the keys that end an edit or move on taken over.
    class CellEditor : public ui::SubclassedControl {
      public:
        explicit CellEditor(TStringGrid& grid) : grid_(grid) {}

      private:
        LRESULT OnGetDlgCode(const MSG* message) override;
        void OnKeyDown(UINT key) override;
        void OnChar(wchar_t c) override;
        void OnKillFocus(HWND next) override;

        TStringGrid& grid_;
    };

    // Painting (GridPaint.cpp).
    void Paint(HDC dc, const RECT& client);
    void PaintCell(HDC dc, int col, int row, const RECT& r);
    void PaintLines(HDC dc, const RECT& client);

    void Redraw();
    void SyncClientSize();
    void MoveCursor(int col, int row);
    void UpdateScrollBars();
    void EndDrag(bool release);
    void BeginEdit(const wchar_t* typed);
    void PlaceEdit();
    void FinishEdit(bool keep, bool refocus);

    TGridModel& model_;
    TGridView view_;
    CellEditor edit_{*this};
    bool editing_ = false;
    bool ending_ = false;
    int editCol_ = 0;
    int editRow_ = 0;
    bool selecting_ = false;  // the left button is down on the cells
    bool updatingBars_ = false;
};
