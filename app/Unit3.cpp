#include "app/Unit3.h"

#include "app/Controls.h"
#include "app/logic/DialogRules.h"
#include "app/logic/Geometry.h"
#include "platform/win32/Codepage.h"
#include "tags/Func_.h"
#include "tags/UnitV.h"

TForm3* Form3 = nullptr;

namespace {

namespace g = geometry::tagname;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_TOPMOST;
constexpr int kEdit1Id = 301;
// Tag names are cut in bytes of Shift-JIS, so the field counts bytes.
constexpr int kNameLimit = kMaxTagNameBytes;

}  // namespace

// ---- Creation ------------------------------------------------------------------------------

bool TForm3::Create() {
    const geometry::Box& w = g::kWindow;
    return CreateDialogBox(L"タグ名入力", kStyle, kExStyle,
                           {w.left, w.top, w.width, w.height, true});
}

// Panel1's controls sit on the dialog itself (the panel is at 0, 0); creation order is tab
// order.
bool TForm3::OnCreate() {
    ui::AddLabel(hwnd_, L"タグ名を入力して下さい。", g::kPrompt);
    Edit1 = ui::AddControl(hwnd_, L"EDIT", L"", WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, g::kName,
                           kEdit1Id, WS_EX_CLIENTEDGE);
    ui::SetEditLimit(Edit1, kNameLimit);
    Button1 = ui::AddControl(hwnd_, L"BUTTON", L"ＯＫ(&Y)",
                             WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, g::kOk, IDOK);
    Button2 = ui::AddControl(hwnd_, L"BUTTON", L"キャンセル(&N)",
                             WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, g::kCancel, IDCANCEL);
    return true;
}

// ---- The exchange --------------------------------------------------------------------------

void TForm3::ShowModal(HWND owner) {
    RunModalOver(owner);
}

// ---- Handlers ------------------------------------------------------------------------------

HWND TForm3::FormShow() {
    ui::SetTextSjis(Edit1, TagNameText);
    // The proposal is selected, so typing replaces it.
    ui::SelectAllText(Edit1);
    return Edit1;
}

bool TForm3::OnOk() {
    const std::string name = ui::GetTextSjis(Edit1);
    const std::string error = TagNameError(name);
    if (!error.empty()) {
        ui::InputError(hwnd_, Edit1, platform::Utf8ToWide(error).c_str());
        return false;
    }
    TagNameText = name;
    return true;
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
    const int end = GetWindowTextLengthW(Edit1);
    ui::SelectText(Edit1, end, end);
}

// ---- Messages ------------------------------------------------------------------------------

RECT TForm3::PanelRect() const {
    const geometry::Box& p = g::kPanel;
    return RECT{p.left, p.top, p.left + p.width, p.top + p.height};
}

void TForm3::OnControl(int id, int code, HWND) {
    if (id == kEdit1Id && code == EN_CHANGE) {
        KeepWithinLimit();
    }
}
