#include "app/Grid.h"

#include <commctrl.h>

#include <algorithm>

#include "app/Controls.h"

namespace {

constexpr wchar_t kClassName[] = L"QuillboxStringGrid";
constexpr int kFixedRows = TGridModel::FixedRows;

// The keys that move the selected cell; false for any other key.
bool CursorKey(UINT key, GridKey& out) {
    static constexpr struct {
        UINT Key;
        GridKey Move;
    } kKeys[] = {
        {VK_UP, GridKey::Up},       {VK_DOWN, GridKey::Down},    {VK_LEFT, GridKey::Left},
        {VK_RIGHT, GridKey::Right}, {VK_PRIOR, GridKey::PageUp}, {VK_NEXT, GridKey::PageDown},
        {VK_HOME, GridKey::Home},   {VK_END, GridKey::End},
    };
    for (const auto& k : kKeys) {
        if (k.Key == key) {
            out = k.Move;
            return true;
        }
    }
    return false;
}

// A scroll bar's request code; false for the ones that move nothing (SB_ENDSCROLL).
bool ScrollRequest(int code, GridScroll& out) {
    static constexpr struct {
        int Code;
        GridScroll Request;
    } kRequests[] = {
        {SB_LINEUP, GridScroll::LineUp},
        {SB_LINEDOWN, GridScroll::LineDown},
        {SB_PAGEUP, GridScroll::PageUp},
        {SB_PAGEDOWN, GridScroll::PageDown},
        // The view follows the thumb while it is dragged.
        {SB_THUMBTRACK, GridScroll::Track},
        {SB_THUMBPOSITION, GridScroll::Track},
        {SB_TOP, GridScroll::Top},
        {SB_BOTTOM, GridScroll::Bottom},
    };
    for (const auto& r : kRequests) {
        if (r.Code == code) {
            out = r.Request;
            return true;
        }
    }
    return false;
}

void SetBar(HWND hwnd, int bar, const TGridBar& shown) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = shown.Min;
    info.nMax = shown.Max;
    info.nPage = static_cast<UINT>(std::max(0, shown.Page));
    info.nPos = shown.Pos;
    SetScrollInfo(hwnd, bar, &info, TRUE);
}

}  // namespace

// ---- Creation and what the editor asks of it -----------------------------------------------

HWND TStringGrid::Create(HWND parent, int id, int left, int top, int width, int height) {
    static const bool registered = ui::RegisterControlClass(kClassName, WindowProc, CS_DBLCLKS);
    (void)registered;
    CreateHandle(WS_EX_CLIENTEDGE, kClassName, L"",
                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_GROUP | WS_VSCROLL |
                     WS_HSCROLL | WS_CLIPCHILDREN,
                 left, top, width, height, parent, id);
    return hwnd_;
}

bool TStringGrid::OnCreate() {
    // No length limit on a cell.
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd_,
                                nullptr, ui::Instance(), nullptr);
    if (edit == nullptr || !edit_.Take(edit)) {
        return false;
    }
    ui::SetFont(edit);
    ui::SetEditLimit(edit, 0);
    UpdateScrollBars();
    return true;
}

void TStringGrid::SetColWidth(int col, int width) {
    view_.SetColWidth(col, width);
    UpdateScrollBars();
    PlaceEdit();
    Redraw();
}

void TStringGrid::ModelChanged() {
    SyncClientSize();
    view_.ClampScroll();
    view_.ScrollToCursor();
    UpdateScrollBars();
    Redraw();
}

void TStringGrid::EndEdit(bool keep) {
    FinishEdit(keep, true);
}

// ---- Cursor, scrolling, dragging -----------------------------------------------------------

void TStringGrid::Redraw() {
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::SyncClientSize() {
    RECT r{};
    GetClientRect(hwnd_, &r);
    view_.SetClientSize(r.right, r.bottom);
}

void TStringGrid::MoveCursor(int col, int row) {
    EndEdit(true);
    model_.SetCursor(col, row);
    view_.ScrollToCursor();
    UpdateScrollBars();
    Redraw();
}

void TStringGrid::UpdateScrollBars() {
    // Showing or hiding a bar resizes the client area, which comes back here through WM_SIZE;
    // the second pass settles on the size the bars leave.
    if (updatingBars_) {
        return;
    }
    updatingBars_ = true;
    for (int pass = 0; pass < 2; ++pass) {
        SyncClientSize();
        view_.ClampScroll();
        SetBar(hwnd_, SB_VERT, view_.VerticalBar());
        SyncClientSize();
        SetBar(hwnd_, SB_HORZ, view_.HorizontalBar());
    }
    updatingBars_ = false;
}

void TStringGrid::EndDrag(bool release) {
    if (view_.Sizing() || selecting_) {
        view_.EndSizing();
        selecting_ = false;
        if (release) {
            ReleaseCapture();
        }
    }
}

// ---- In-place editing ----------------------------------------------------------------------

void TStringGrid::BeginEdit(const wchar_t* typed) {
    if (editing_) {
        return;
    }
    view_.ScrollToCursor();
    UpdateScrollBars();
    editing_ = true;
    editCol_ = model_.Col();
    editRow_ = model_.Row();
    if (typed) {
        SetWindowTextW(edit_.Handle(), typed);
        ui::SelectText(edit_.Handle(), 1, 1);
    } else {
        ui::SetTextSjis(edit_.Handle(), model_.Cell(editCol_, editRow_));
        ui::SelectAllText(edit_.Handle());
    }
    PlaceEdit();
    ShowWindow(edit_.Handle(), SW_SHOW);
    SetFocus(edit_.Handle());
    Redraw();
}

void TStringGrid::PlaceEdit() {
    if (!editing_) {
        return;
    }
    const platform::Rect r = view_.CellRect(editCol_, editRow_);
    constexpr int inset = TGridView::TextInset;
    SetWindowPos(edit_.Handle(), nullptr, r.left + inset, r.top + inset,
                 std::max(0, r.right - r.left - inset), std::max(0, r.bottom - r.top - inset),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TStringGrid::FinishEdit(bool keep, bool refocus) {
    if (!editing_ || ending_) {
        return;
    }
    ending_ = true;
    if (keep) {
        model_.SetCell(editCol_, editRow_, ui::GetTextSjis(edit_.Handle()));
    }
    editing_ = false;
    // The focus goes back to the grid before the edit hides, or it would go nowhere.
    if (refocus && GetFocus() == edit_.Handle()) {
        SetFocus(hwnd_);
    }
    ShowWindow(edit_.Handle(), SW_HIDE);
    ending_ = false;
    Redraw();
}

// ---- Messages ------------------------------------------------------------------------------

LRESULT TStringGrid::OnGetDlgCode(const MSG* message) {
    // Arrows and characters are the grid's; so is Enter, which starts editing.
    LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) {
        code |= DLGC_WANTMESSAGE;
    }
    return code;
}

LRESULT TStringGrid::OnEraseBackground(HDC) {
    return 1;  // painting covers every pixel
}

void TStringGrid::OnSize(int, int) {
    UpdateScrollBars();
    PlaceEdit();
    Redraw();
}

// The selected cell looks different with and without the focus.
void TStringGrid::OnSetFocus(HWND) {
    Redraw();
}

void TStringGrid::OnKillFocus(HWND) {
    Redraw();
}

void TStringGrid::OnKeyDown(UINT key) {
    GridKey move{};
    if (CursorKey(key, move)) {
        int col = 0;
        int row = 0;
        view_.KeyTarget(move, GetKeyState(VK_CONTROL) < 0, col, row);
        MoveCursor(col, row);
    } else if (key == VK_F2 || key == VK_RETURN) {
        BeginEdit(nullptr);
    }
}

void TStringGrid::OnChar(wchar_t c) {
    // A typed character starts editing and replaces the cell's text.
    if (c >= L' ' && c != 0x7F) {
        const wchar_t typed[2] = {c, L'\0'};
        BeginEdit(typed);
    }
}

void TStringGrid::OnImeStartComposition() {
    // Japanese input goes to the cell's editor, as typed characters do.
    BeginEdit(nullptr);
    Default();
}

void TStringGrid::OnLButtonDown(int x, int y) {
    SetFocus(hwnd_);
    const int sizing = view_.SizingColAt(x, y);
    if (sizing >= 0) {
        view_.BeginSizing(sizing, x);
        SetCapture(hwnd_);
        return;
    }
    int col = 0;
    int row = 0;
    if (view_.CellAt(x, y, col, row) && row >= kFixedRows) {
        MoveCursor(col, row);
        selecting_ = true;
        SetCapture(hwnd_);
    }
}

void TStringGrid::OnLButtonDoubleClick(int x, int y) {
    int col = 0;
    int row = 0;
    if (view_.SizingColAt(x, y) < 0 && view_.CellAt(x, y, col, row) && row >= kFixedRows) {
        MoveCursor(col, row);
        BeginEdit(nullptr);
    }
}

void TStringGrid::OnMouseMove(int x, int y) {
    if (view_.Sizing()) {
        if (view_.DragSizing(x)) {
            UpdateScrollBars();
            Redraw();
        }
        return;
    }
    int col = 0;
    int row = 0;
    if (selecting_ && view_.CellAt(x, std::max(y, view_.FixedBottom()), col, row) &&
        (col != model_.Col() || row != model_.Row())) {
        MoveCursor(col, row);
    }
}

void TStringGrid::OnLButtonUp(int, int) {
    EndDrag(true);
}

void TStringGrid::OnCaptureChanged() {
    EndDrag(false);
}

LRESULT TStringGrid::OnSetCursor(UINT hitTest) {
    if (hitTest == HTCLIENT) {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(hwnd_, &p);
        if (view_.Sizing() || view_.SizingColAt(p.x, p.y) >= 0) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        }
    }
    return Default();
}

void TStringGrid::OnVScroll(int code) {
    OnScrollBar(SB_VERT, code);
}

void TStringGrid::OnHScroll(int code) {
    OnScrollBar(SB_HORZ, code);
}

void TStringGrid::OnScrollBar(int bar, int code) {
    GridScroll request{};
    if (!ScrollRequest(code, request)) {
        return;
    }
    EndEdit(true);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(hwnd_, bar, &info);
    view_.Scroll(bar == SB_VERT, request, info.nTrackPos);
    UpdateScrollBars();
    Redraw();
}

void TStringGrid::OnMouseWheel(int delta) {
    // As the grid's keyboard does: each notch moves the selected cell one row.
    const int rows = view_.WheelRows(delta);
    if (rows != 0) {
        MoveCursor(model_.Col(), model_.Row() + rows);
    }
}

// ---- The cell editor -----------------------------------------------------------------------

LRESULT TStringGrid::CellEditor::OnGetDlgCode(const MSG* message) {
    LRESULT code = Default();
    if (message && message->message == WM_KEYDOWN &&
        (message->wParam == VK_RETURN || message->wParam == VK_ESCAPE)) {
        code |= DLGC_WANTMESSAGE;
    }
    return code;
}

void TStringGrid::CellEditor::OnKeyDown(UINT key) {
    if (key == VK_RETURN || key == VK_ESCAPE) {
        grid_.EndEdit(key == VK_RETURN);
    } else if (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT) {
        // Moving to another row keeps the text, as leaving the cell does.
        grid_.EndEdit(true);
        grid_.OnKeyDown(key);
    } else {
        Default();
    }
}

void TStringGrid::CellEditor::OnChar(wchar_t c) {
    if (c != L'\r' && c != 0x1B) {  // those were handled on key down; no beep
        Default();
    }
}

void TStringGrid::CellEditor::OnKillFocus(HWND) {
    // Leaving the cell keeps the text; the focus is already on its way elsewhere.
    grid_.FinishEdit(true, false);
    Default();
}
