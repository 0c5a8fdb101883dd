#include "app/Unit4.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "app/Controls.h"
#include "app/Screen.h"
#include "app/logic/Geometry.h"
#include "tags/UnitV.h"

TForm4* Form4 = nullptr;

namespace {

namespace g = geometry::taglist;

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kGridId = 410;
constexpr COLORREF kStatusColor = RGB(192, 220, 192);

constexpr const wchar_t* kCaptions[6] = {L"▲",    L"▼",        L"挿入",
                                         L"削除", L"ＯＫ(&Y)", L"キャンセル(&N)"};

}  // namespace

// ---- Creation ------------------------------------------------------------------------------

bool TForm4::Create() {
    const geometry::Box& w = g::kWindow;
    return CreateDialogBox(L"タグ名リストの編集", kStyle, 0,
                           {w.left, w.top, w.width, w.height, false});
}

// Panel1's buttons sit on the dialog itself (the panel is at 0, 0); creation order is tab
// order: the six buttons, then the grid.
bool TForm4::OnCreate() {
    for (int i = 0; i < 6; ++i) {
        const g::ButtonSpan& b = g::kButtons[i];
        buttons_[static_cast<std::size_t>(i)] =
            ui::AddControl(hwnd_, L"BUTTON", kCaptions[i], WS_TABSTOP | BS_PUSHBUTTON, b.left,
                           g::kButtonTop, b.width, g::kButtonHeight, kFirstButtonId + i);
    }
    if (SG1.Create(hwnd_, kGridId, 0, g::kPanelHeight, 0, 0) == nullptr) {
        return false;
    }

    // Placed by ArrangeChildren, not by the status bar's own sizing.
    StatusBar1 = ui::AddControl(
        hwnd_, STATUSCLASSNAMEW, L"",
        WS_CLIPSIBLINGS | SBARS_SIZEGRIP | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0, 0,
        0, g::kStatusHeight);
    // A themed status bar ignores its background colour; this one keeps the classic look.
    SetWindowTheme(StatusBar1, L" ", L" ");
    SendMessageW(StatusBar1, SB_SIMPLE, TRUE, 0);
    SendMessageW(StatusBar1, SB_SETBKCOLOR, 0, kStatusColor);
    SendMessageW(
        StatusBar1, SB_SETTEXTW, SB_SIMPLEID,
        reinterpret_cast<LPARAM>(L"タグジャンプ内容に無効な内容を入力しないよう注意して下さい。"));
    ArrangeChildren();
    return true;
}

// Panel1 along the top, StatusBar1 along the bottom, SG1 in between. Moved together and
// redrawn whole, so neither carries the other's old pixels along while the window is sized.
void TForm4::ArrangeChildren() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int gridHeight = std::max<int>(0, client.bottom - g::kPanelHeight - g::kStatusHeight);
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS;
    HDWP positions = BeginDeferWindowPos(2);
    positions = DeferWindowPos(positions, StatusBar1, nullptr, 0, client.bottom - g::kStatusHeight,
                               width, g::kStatusHeight, kFlags);
    positions = DeferWindowPos(positions, SG1.Handle(), nullptr, 0, g::kPanelHeight, width,
                               gridHeight, kFlags);
    EndDeferWindowPos(positions);
    RECT panel{0, 0, width, g::kPanelHeight};
    InvalidateRect(hwnd_, &panel, TRUE);
}

// ---- The exchange --------------------------------------------------------------------------

void TForm4::ShowModal(HWND owner) {
    RunModalOver(owner);
    SG1.EndEdit(false);
}

void TForm4::SetGeometry(int left, int top, int width, int height, int col0Width, int col1Width) {
    ui::PlaceReachable(hwnd_, left, top, width, height);
    SG1.SetColWidth(0, col0Width);
    SG1.SetColWidth(1, col1Width);
}

void TForm4::GetGeometry(int& left, int& top, int& width, int& height, int& col0Width,
                         int& col1Width) const {
    const RECT r = ui::RestoredRect(hwnd_);
    left = r.left;
    top = r.top;
    width = r.right - r.left;
    height = r.bottom - r.top;
    col0Width = SG1.ColWidth(0);
    col1Width = SG1.ColWidth(1);
}

// ---- Handlers ------------------------------------------------------------------------------

HWND TForm4::FormShow() {
    SG1.EndEdit(false);
    model_.Fill(TagLists, TagCount);
    SG1.ModelChanged();
    return buttons_[0];
}

void TForm4::Button1Click() {
    model_.MoveUp();
    SG1.ModelChanged();
}

void TForm4::Button2Click() {
    model_.MoveDown();
    SG1.ModelChanged();
}

void TForm4::Button3Click() {
    model_.Insert();
    SG1.ModelChanged();
}

void TForm4::Button4Click() {
    model_.Delete();
    SG1.ModelChanged();
}

bool TForm4::OnOk() {
    // A cell being edited keeps its text.
    SG1.EndEdit(true);
    CommitEditedTags(model_.EditedRows());
    return true;
}

// ---- Messages ------------------------------------------------------------------------------

// Panel1 spans the window's width.
RECT TForm4::PanelRect() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    return RECT{0, 0, client.right, g::kPanelHeight};
}

void TForm4::OnSize(int, int) {
    ArrangeChildren();
}

void TForm4::OnControl(int id, int, HWND) {
    static constexpr ui::CommandEntry<TForm4> kCommands[] = {
        {kFirstButtonId + 0, &TForm4::Button1Click},
        {kFirstButtonId + 1, &TForm4::Button2Click},
        {kFirstButtonId + 2, &TForm4::Button3Click},
        {kFirstButtonId + 3, &TForm4::Button4Click},
    };
    // A cell being edited keeps its text before any button acts on the grid.
    if (id >= kFirstButtonId && id < kFirstButtonId + 4) {
        SG1.EndEdit(true);
    }
    ui::RunCommand(*this, kCommands, id);
}
