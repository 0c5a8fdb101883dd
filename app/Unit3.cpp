#include "app/Unit3.h"

#include "app/Ui.h"
#include "app/logic/DialogRules.h"
#include "platform/win32/Codepage.h"
#include "tags/Func_.h"

TForm3* Form3 = nullptr;

namespace {

constexpr wchar_t kClassName[] = L"QuillboxTagName";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_TOPMOST;
constexpr int kClientWidth = 239;
constexpr int kClientHeight = 93;
constexpr RECT kPanel1{0, 0, 239, 57};
constexpr int kEdit1Id = 301;
// Tag names are at most 80 bytes of Shift-JIS wherever they are cut, so the field counts bytes.
constexpr int kNameLimit = 80;

}  // namespace

// ---- Creation ------------------------------------------------------------------------------

void TForm3::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ui::Instance();
    wc.hIcon = ui::Icon();
    wc.hIconSm = ui::Icon();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);

    RECT outer{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    hwnd_ = CreateWindowExW(kExStyle, kClassName, L"タグ名入力", kStyle, 237, 131,
                            outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                            ui::Instance(), this);

    // Panel1's controls sit on the window itself (the panel is at 0, 0); creation order is tab
    // order.
    ui::AddLabel(hwnd_, L"タグ名を入力して下さい。", 8, 8, 156, 13);
    Edit1 = ui::AddControl(hwnd_, L"EDIT", L"", WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, 24, 24, 209,
                           21, kEdit1Id, WS_EX_CLIENTEDGE);
    SendMessageW(Edit1, EM_LIMITTEXT, kNameLimit, 0);
    Button1 = ui::AddControl(hwnd_, L"BUTTON", L"ＯＫ(&Y)",
                             WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 24, 64, 75, 25, IDOK);
    Button2 = ui::AddControl(hwnd_, L"BUTTON", L"キャンセル(&N)",
                             WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 120, 64, 115, 25, IDCANCEL);
}

// ---- The exchange --------------------------------------------------------------------------

void TForm3::ShowModal(HWND owner) {
    SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    FormShow();
    done_ = false;
    ui::RunModal(hwnd_, owner, done_);
}

void TForm3::SetPosition(int left, int top) {
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm3::GetPosition(int& left, int& top) const {
    const RECT r = ui::RestoredRect(hwnd_);
    left = r.left;
    top = r.top;
}

// ---- Handlers ------------------------------------------------------------------------------

void TForm3::FormShow() {
    Accepted = false;
    ui::SetTextSjis(Edit1, TagNameText);
    // The proposal is selected, so typing replaces it.
    SendMessageW(Edit1, EM_SETSEL, 0, -1);
    focus_ = Edit1;
}

void TForm3::Button1Click() {
    const std::string name = ui::GetTextSjis(Edit1);
    const std::string error = TagNameError(name);
    if (!error.empty()) {
        focus_ = Edit1;
        ui::InputError(hwnd_, Edit1, platform::Utf8ToWide(error).c_str());
        return;
    }
    Accepted = true;
    TagNameText = name;
    done_ = true;
}

void TForm3::Button2Click() {
    done_ = true;
}

// The edit control counts characters; a name is limited in Shift-JIS bytes. A text that went
// over (a double-byte character typed or pasted at the end) loses its tail, never half a
// character.
void TForm3::KeepWithinLimit() {
    const std::string text = ui::GetTextSjis(Edit1);
    if (static_cast<int>(text.size()) <= kNameLimit) {
        return;
    }
    int taken = 0;
    ui::SetTextSjis(Edit1, MbcsCopy(text, 1, kNameLimit, taken));
    SendMessageW(Edit1, EM_SETSEL, GetWindowTextLengthW(Edit1), GetWindowTextLengthW(Edit1));
}

// ---- Messages ------------------------------------------------------------------------------

LRESULT CALLBACK TForm3::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TForm3*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->hwnd_) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return self->OnMessage(msg, wParam, lParam);
}

LRESULT TForm3::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(ui::EnterButtonId(hwnd_, IDOK), DC_HASDEFID);
        case WM_NEXTDLGCTL:
            ui::NextDialogControl(hwnd_, wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            ui::KeepFocusOnActivate(hwnd_, wParam, focus_);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            ui::PaintRaisedPanel(dc, kPanel1);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_CLOSE:
            // FormClose does nothing: the close box acts as Cancel.
            done_ = true;
            return 0;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void TForm3::OnCommand(int id, int code) {
    switch (id) {
        case kEdit1Id:
            if (code == EN_CHANGE) {
                KeepWithinLimit();
            }
            break;
        case IDOK:
            Button1Click();
            break;
        case IDCANCEL:
            Button2Click();
            break;
    }
}
