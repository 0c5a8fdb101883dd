#include "app/Grid.h"

#include <commctrl.h>

#include <algorithm>

#include "app/Ui.h"
#include "platform/win32/Codepage.h"

namespace {

constexpr wchar_t kClassName[] = L"QuillboxStringGrid";
constexpr int kRowHeight = 24;
constexpr int kLine = 1;
constexpr int kRowPitch = kRowHeight + kLine;
constexpr int kTextInset = 2;
constexpr int kSizingZone = 2;  // pixels either side of a header line that start a sizing drag
constexpr int kMinColWidth = 1;
constexpr COLORREF kCellLine = RGB(192, 192, 192);
constexpr COLORREF kFixedLine = RGB(0, 0, 0);
constexpr int kFixedRows = TGridModel::FixedRows;

void Fill(HDC dc, const RECT& r, COLORREF color) {
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
    RECT r{x1, y1, std::max(x2, x1 + 1), std::max(y2, y1 + 1)};
    Fill(dc, r, color);
}

}  // namespace

// ---- Creation ------------------------------------------------------------------------------

HWND TStringGrid::Create(HWND parent, int id, int left, int top, int width, int height) {
    static const bool registered = ui::RegisterControlClass(kClassName, WindowProc, CS_DBLCLKS);
    (void)registered;
    CreateHandle(WS_EX_CLIENTEDGE, kClassName, L"",
                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_GROUP | WS_VSCROLL |
                     WS_HSCROLL | WS_CLIPCHILDREN,
                 left, top, width, height, parent, id);
    // No length limit on a cell.
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd_, nullptr,
                            ui::Instance(), nullptr);
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(ui::Font()), FALSE);
    SendMessageW(edit_, EM_LIMITTEXT, 0, 0);
    SetWindowSubclass(edit_, EditProc, 0, reinterpret_cast<DWORD_PTR>(this));
    UpdateScrollBars();
    return hwnd_;
}

int TStringGrid::ColWidth(int col) const {
    return colWidths_[static_cast<std::size_t>(col)];
}

void TStringGrid::SetColWidth(int col, int width) {
    if (col < 0 || col >= TGridModel::ColCount) {
        return;
    }
    colWidths_[static_cast<std::size_t>(col)] = std::max(width, 0);
    UpdateScrollBars();
    PlaceEdit();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::ModelChanged() {
    ClampScroll();
    ScrollToCursor();
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

// ---- Geometry ------------------------------------------------------------------------------

int TStringGrid::ClientWidth() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r.right;
}

int TStringGrid::ClientHeight() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r.bottom;
}

int TStringGrid::TotalWidth() const {
    int width = 0;
    for (int w : colWidths_) {
        width += w + kLine;
    }
    return width;
}

int TStringGrid::ColLeft(int col) const {
    int x = -scrollX_;
    for (int c = 0; c < col; ++c) {
        x += colWidths_[static_cast<std::size_t>(c)] + kLine;
    }
    return x;
}

int TStringGrid::RowTop(int row) const {
    if (row < kFixedRows) {
        return row * kRowPitch;
    }
    return kFixedRows * kRowPitch + (row - topRow_) * kRowPitch;
}

int TStringGrid::VisibleRows() const {
    return std::max(1, (ClientHeight() - kFixedRows * kRowPitch) / kRowPitch);
}

RECT TStringGrid::CellRect(int col, int row) const {
    const int x = ColLeft(col);
    const int y = RowTop(row);
    return RECT{x, y, x + colWidths_[static_cast<std::size_t>(col)], y + kRowHeight};
}

bool TStringGrid::CellAt(int x, int y, int& col, int& row) const {
    if (y < 0 || x < 0) {
        return false;
    }
    if (y < kFixedRows * kRowPitch) {
        row = y / kRowPitch;
    } else {
        row = topRow_ + (y - kFixedRows * kRowPitch) / kRowPitch;
        if (row >= model_.RowCount()) {
            return false;
        }
    }
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        const int left = ColLeft(c);
        if (x >= left && x < left + colWidths_[static_cast<std::size_t>(c)] + kLine) {
            col = c;
            return true;
        }
    }
    return false;
}

int TStringGrid::SizingColAt(int x, int y) const {
    if (y < 0 || y >= kFixedRows * kRowPitch) {
        return -1;
    }
    // The last column whose line is near wins, so a column sized down to nothing can still be
    // pulled open again.
    for (int c = TGridModel::ColCount - 1; c >= 0; --c) {
        const int line = ColLeft(c) + colWidths_[static_cast<std::size_t>(c)];
        if (x >= line - kSizingZone && x <= line + kSizingZone) {
            return c;
        }
    }
    return -1;
}

// ---- Cursor and scrolling ------------------------------------------------------------------

void TStringGrid::MoveCursor(int col, int row) {
    EndEdit(true);
    model_.SetCursor(col, row);
    ScrollToCursor();
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::ScrollToCursor() {
    const int row = model_.Row();
    if (row < topRow_) {
        topRow_ = row;
    } else if (row >= topRow_ + VisibleRows()) {
        topRow_ = row - VisibleRows() + 1;
    }
    const int left = ColLeft(model_.Col()) + scrollX_;
    const int right = left + colWidths_[static_cast<std::size_t>(model_.Col())] + kLine;
    if (right - scrollX_ > ClientWidth()) {
        scrollX_ = right - ClientWidth();
    }
    if (left < scrollX_) {
        scrollX_ = left;
    }
    ClampScroll();
}

void TStringGrid::ClampScroll() {
    const int maxTop = std::max(kFixedRows, model_.RowCount() - VisibleRows());
    topRow_ = std::clamp(topRow_, kFixedRows, maxTop);
    scrollX_ = std::clamp(scrollX_, 0, std::max(0, TotalWidth() - ClientWidth()));
}

void TStringGrid::UpdateScrollBars() {
    // Showing or hiding a bar resizes the client area, which comes back here through WM_SIZE.
    if (updatingBars_) {
        return;
    }
    updatingBars_ = true;
    for (int pass = 0; pass < 2; ++pass) {
        ClampScroll();
        SCROLLINFO v{};
        v.cbSize = sizeof v;
        v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        v.nMin = 0;
        v.nMax = model_.RowCount() - kFixedRows - 1;
        v.nPage = static_cast<UINT>(VisibleRows());
        v.nPos = topRow_ - kFixedRows;
        SetScrollInfo(hwnd_, SB_VERT, &v, TRUE);
        SCROLLINFO h{};
        h.cbSize = sizeof h;
        h.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        h.nMin = 0;
        h.nMax = TotalWidth() - 1;
        h.nPage = static_cast<UINT>(std::max(0, ClientWidth()));
        h.nPos = scrollX_;
        SetScrollInfo(hwnd_, SB_HORZ, &h, TRUE);
    }
    updatingBars_ = false;
}

void TStringGrid::OnScroll(int bar, int request) {
    EndEdit(true);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, bar, &info);
    const bool vertical = bar == SB_VERT;
    const int line = vertical ? 1 : 16;
    const int page = vertical ? VisibleRows() : std::max(1, ClientWidth());
    int pos = info.nPos;
    switch (request) {
        case SB_LINEUP:
            pos -= line;
            break;
        case SB_LINEDOWN:
            pos += line;
            break;
        case SB_PAGEUP:
            pos -= page;
            break;
        case SB_PAGEDOWN:
            pos += page;
            break;
        // The view follows the thumb while it is dragged.
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = info.nTrackPos;
            break;
        case SB_TOP:
            pos = info.nMin;
            break;
        case SB_BOTTOM:
            pos = info.nMax;
            break;
        default:
            return;
    }
    if (vertical) {
        topRow_ = kFixedRows + pos;
    } else {
        scrollX_ = pos;
    }
    ClampScroll();
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::OnWheel(int delta) {
    // As the grid's keyboard does: each notch moves the selected cell one row.
    wheel_ += delta;
    int row = model_.Row();
    while (wheel_ >= WHEEL_DELTA) {
        wheel_ -= WHEEL_DELTA;
        --row;
    }
    while (wheel_ <= -WHEEL_DELTA) {
        wheel_ += WHEEL_DELTA;
        ++row;
    }
    if (row != model_.Row()) {
        MoveCursor(model_.Col(), row);
    }
}

// ---- Painting ------------------------------------------------------------------------------

void TStringGrid::OnPaint() {
    PAINTSTRUCT ps;
    HDC target = BeginPaint(hwnd_, &ps);
    RECT client{};
    GetClientRect(hwnd_, &client);
    // Drawn off screen and copied at once, so scrolling and sizing do not flicker.
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, std::max<LONG>(client.right, 1),
                                            std::max<LONG>(client.bottom, 1));
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, ui::Font());
    Fill(dc, client, GetSysColor(COLOR_WINDOW));

    const int lastRow = std::min(model_.RowCount() - 1, topRow_ + VisibleRows());
    for (int row = 0; row <= lastRow; ++row) {
        if (row >= kFixedRows && row < topRow_) {
            row = topRow_ - 1;
            continue;
        }
        for (int col = 0; col < TGridModel::ColCount; ++col) {
            const RECT r = CellRect(col, row);
            if (r.right > 0 && r.left < client.right) {
                PaintCell(dc, col, row, r);
            }
        }
    }
    PaintLines(dc, client);

    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(hwnd_, &ps);
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
    ExtTextOutW(dc, r.left + kTextInset, r.top + kTextInset, ETO_CLIPPED, &r, wide.c_str(),
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
    const int fixedBottom = kFixedRows * kRowPitch;
    const int shownRows = std::min(model_.RowCount() - topRow_, VisibleRows() + 1);
    const int gridBottom = std::min<int>(fixedBottom + shownRows * kRowPitch, client.bottom);
    const int gridRight = std::min<int>(ColLeft(TGridModel::ColCount), client.right);
    // Below each row, across the columns.
    for (int i = 1; i <= kFixedRows; ++i) {
        Line(dc, 0, i * kRowPitch - kLine, gridRight, i * kRowPitch, kFixedLine);
    }
    for (int i = 1; i <= shownRows; ++i) {
        const int y = fixedBottom + i * kRowPitch - kLine;
        Line(dc, 0, y, gridRight, y + kLine, kCellLine);
    }
    // Right of each column, down the rows.
    for (int c = 0; c < TGridModel::ColCount; ++c) {
        const int x = ColLeft(c) + colWidths_[static_cast<std::size_t>(c)];
        if (x >= 0 && x < client.right) {
            Line(dc, x, 0, x + kLine, fixedBottom, kFixedLine);
            Line(dc, x, fixedBottom, x + kLine, gridBottom, kCellLine);
        }
    }
}

// ---- Keyboard and mouse --------------------------------------------------------------------

void TStringGrid::OnKeyDown(WPARAM key) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const int col = model_.Col();
    const int row = model_.Row();
    const int last = model_.RowCount() - 1;
    switch (key) {
        case VK_UP:
            MoveCursor(col, row - 1);
            break;
        case VK_DOWN:
            MoveCursor(col, row + 1);
            break;
        case VK_LEFT:
            MoveCursor(col - 1, row);
            break;
        case VK_RIGHT:
            MoveCursor(col + 1, row);
            break;
        case VK_PRIOR:
            MoveCursor(col, row - VisibleRows());
            break;
        case VK_NEXT:
            MoveCursor(col, row + VisibleRows());
            break;
        case VK_HOME:
            MoveCursor(0, ctrl ? kFixedRows : row);
            break;
        case VK_END:
            MoveCursor(TGridModel::ColCount - 1, ctrl ? last : row);
            break;
        case VK_F2:
        case VK_RETURN:
            BeginEdit(nullptr);
            break;
    }
}

void TStringGrid::OnChar(wchar_t c) {
    // A typed character starts editing and replaces the cell's text.
    if (c >= L' ' && c != 0x7F) {
        const wchar_t typed[2] = {c, L'\0'};
        BeginEdit(typed);
    }
}

void TStringGrid::OnLButtonDown(int x, int y) {
    SetFocus(hwnd_);
    const int sizing = SizingColAt(x, y);
    if (sizing >= 0) {
        sizingCol_ = sizing;
        sizingStartX_ = x;
        sizingStartWidth_ = colWidths_[static_cast<std::size_t>(sizing)];
        SetCapture(hwnd_);
        return;
    }
    int col = 0;
    int row = 0;
    if (CellAt(x, y, col, row) && row >= kFixedRows) {
        MoveCursor(col, row);
        selecting_ = true;
        SetCapture(hwnd_);
    }
}

void TStringGrid::OnMouseMove(int x, int y) {
    if (sizingCol_ >= 0) {
        const int width = std::max(kMinColWidth, sizingStartWidth_ + x - sizingStartX_);
        if (width != colWidths_[static_cast<std::size_t>(sizingCol_)]) {
            colWidths_[static_cast<std::size_t>(sizingCol_)] = width;
            UpdateScrollBars();
            InvalidateRect(hwnd_, nullptr, FALSE);
        }
        return;
    }
    int col = 0;
    int row = 0;
    if (selecting_ && CellAt(x, std::max(y, kFixedRows * kRowPitch), col, row) &&
        (col != model_.Col() || row != model_.Row())) {
        MoveCursor(col, row);
    }
}

// ---- In-place editing ----------------------------------------------------------------------

void TStringGrid::BeginEdit(const wchar_t* typed) {
    if (editing_) {
        return;
    }
    ScrollToCursor();
    UpdateScrollBars();
    editing_ = true;
    editCol_ = model_.Col();
    editRow_ = model_.Row();
    if (typed) {
        SetWindowTextW(edit_, typed);
        SendMessageW(edit_, EM_SETSEL, 1, 1);
    } else {
        ui::SetTextSjis(edit_, model_.Cell(editCol_, editRow_));
        SendMessageW(edit_, EM_SETSEL, 0, -1);
    }
    PlaceEdit();
    ShowWindow(edit_, SW_SHOW);
    SetFocus(edit_);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::PlaceEdit() {
    if (!editing_) {
        return;
    }
    const RECT r = CellRect(editCol_, editRow_);
    SetWindowPos(edit_, nullptr, r.left + kTextInset, r.top + kTextInset,
                 std::max<LONG>(0, r.right - r.left - kTextInset),
                 std::max<LONG>(0, r.bottom - r.top - kTextInset), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TStringGrid::EndEdit(bool keep) {
    FinishEdit(keep, true);
}

void TStringGrid::FinishEdit(bool keep, bool refocus) {
    if (!editing_ || ending_) {
        return;
    }
    ending_ = true;
    if (keep) {
        model_.SetCell(editCol_, editRow_, ui::GetTextSjis(edit_));
    }
    editing_ = false;
    // The focus goes back to the grid before the edit hides, or it would go nowhere.
    if (refocus && GetFocus() == edit_) {
        SetFocus(hwnd_);
    }
    ShowWindow(edit_, SW_HIDE);
    ending_ = false;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

// ---- Messages ------------------------------------------------------------------------------

LRESULT TStringGrid::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (msg) {
        case WM_GETDLGCODE: {
            // Arrows and characters are the grid's; so is Enter, which starts editing.
            LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
            const auto* m = reinterpret_cast<const MSG*>(lParam);
            if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            UpdateScrollBars();
            PlaceEdit();
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(wParam);
            return 0;
        case WM_CHAR:
            OnChar(static_cast<wchar_t>(wParam));
            return 0;
        case WM_IME_STARTCOMPOSITION:
            // Japanese input goes to the cell's editor, as typed characters do.
            BeginEdit(nullptr);
            return DefWindowProcW(hwnd_, msg, wParam, lParam);
        case WM_LBUTTONDOWN:
            OnLButtonDown(x, y);
            return 0;
        case WM_LBUTTONDBLCLK: {
            int col = 0;
            int row = 0;
            if (SizingColAt(x, y) < 0 && CellAt(x, y, col, row) && row >= kFixedRows) {
                MoveCursor(col, row);
                BeginEdit(nullptr);
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            OnMouseMove(x, y);
            return 0;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (sizingCol_ >= 0 || selecting_) {
                sizingCol_ = -1;
                selecting_ = false;
                if (msg == WM_LBUTTONUP) {
                    ReleaseCapture();
                }
            }
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT p{};
                GetCursorPos(&p);
                ScreenToClient(hwnd_, &p);
                if (sizingCol_ >= 0 || SizingColAt(p.x, p.y) >= 0) {
                    SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
                    return TRUE;
                }
            }
            break;
        case WM_VSCROLL:
            OnScroll(SB_VERT, LOWORD(wParam));
            return 0;
        case WM_HSCROLL:
            OnScroll(SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TStringGrid::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, EditProc, 0);
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    return reinterpret_cast<TStringGrid*>(data)->OnEditMessage(msg, wParam, lParam);
}

LRESULT TStringGrid::OnEditMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE: {
            LRESULT code = DefSubclassProc(edit_, msg, wParam, lParam);
            const auto* m = reinterpret_cast<const MSG*>(lParam);
            if (m && m->message == WM_KEYDOWN &&
                (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE)) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_KEYDOWN:
            switch (wParam) {
                case VK_RETURN:
                    EndEdit(true);
                    return 0;
                case VK_ESCAPE:
                    EndEdit(false);
                    return 0;
                case VK_UP:
                case VK_DOWN:
                case VK_PRIOR:
                case VK_NEXT:
                    // Moving to another row keeps the text, as leaving the cell does.
                    EndEdit(true);
                    OnKeyDown(wParam);
                    return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\r' || wParam == 0x1B) {
                return 0;  // handled on key down; no beep
            }
            break;
        case WM_KILLFOCUS:
            // Leaving the cell keeps the text; the focus is already on its way elsewhere.
            FinishEdit(true, false);
            break;
    }
    return DefSubclassProc(edit_, msg, wParam, lParam);
}
