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
    ui::RegisterWindowClass(kClassName, WindowProc, GetSysColorBrush(COLOR_BTNFACE));
    RECT outer{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    CreateHandle(kExStyle, kClassName, L"タグ名入力", kStyle, 237, 131, outer.right - outer.left,
                 outer.bottom - outer.top);

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
    RunModalOver(owner);
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

RECT TForm3::PanelRect() const {
    return kPanel1;
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
