#include "app/Unit2.h"

#include <imm.h>

#include "app/Ui.h"
#include "app/logic/DialogRules.h"
#include "platform/win32/Codepage.h"

TForm2* Form2 = nullptr;

namespace {

constexpr wchar_t kClassName[] = L"QuillboxSettings";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kClientWidth = 293;
constexpr int kClientHeight = 166;
constexpr RECT kPanel1{0, 0, 293, 129};
constexpr int kFirstRadioId = 201;
constexpr int kEdit1Id = 211;
constexpr int kEdit2Id = 212;
constexpr int kCheckBox1Id = 213;
constexpr int kEditLimit = 6;

constexpr const wchar_t* kDirections[kDirectionItems] = {L"上", L"下", L"左", L"右"};

}  // namespace

// ---- Creation ------------------------------------------------------------------------------

void TForm2::Create() {
    ui::RegisterWindowClass(kClassName, WindowProc, GetSysColorBrush(COLOR_BTNFACE));
    RECT outer{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
    CreateHandle(0, kClassName, L"設定", kStyle, 192, 110, outer.right - outer.left,
                 outer.bottom - outer.top);
    CreateControls();
}

// The controls of Panel1 sit on the window itself (the panel is at 0, 0), so the keyboard
// interface reaches them and their notifications come here. Creation order is tab order.
void TForm2::CreateControls() {
    RadioGroup1 = ui::AddControl(hwnd_, L"BUTTON", L"タグの向き(&T)", BS_GROUPBOX, 8, 3, 273, 41);
    // Four columns, laid out as a radio group does: 10 pixels of frame, the rest shared.
    const int columnWidth = (273 - 10) / kDirectionItems;
    for (int i = 0; i < kDirectionItems; ++i) {
        const DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        radios_[i] =
            ui::AddControl(hwnd_, L"BUTTON", kDirections[i], style, 8 + 8 + i * columnWidth, 3 + 14,
                           columnWidth, 23, kFirstRadioId + i);
    }
    ui::AddLabel(hwnd_, L"アプリケーション検索割込時間", 8, 60, 182, 13);
    Edit1 = ui::AddControl(hwnd_, L"EDIT", L"", WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, 208, 56, 57,
                           21, kEdit1Id, WS_EX_CLIENTEDGE);
    ui::AddLabel(hwnd_, L"秒", 272, 64, 13, 13);
    ui::AddLabel(hwnd_, L"コマンドキー送信ウエイト時間", 8, 84, 182, 13);
    Edit2 = ui::AddControl(hwnd_, L"EDIT", L"", WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, 208, 80, 57,
                           21, kEdit2Id, WS_EX_CLIENTEDGE);
    ui::AddLabel(hwnd_, L"秒", 272, 88, 13, 13);
    CheckBox1 =
        ui::AddControl(hwnd_, L"BUTTON", L"キー送信時、最大化表示する",
                       WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, 8, 104, 217, 17, kCheckBox1Id);
    Button1 = ui::AddControl(hwnd_, L"BUTTON", L"ＯＫ(&Y)",
                             WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 80, 136, 75, 25, IDOK);
    Button2 = ui::AddControl(hwnd_, L"BUTTON", L"キャンセル(&N)",
                             WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 176, 136, 115, 25, IDCANCEL);

    for (HWND edit : {Edit1, Edit2}) {
        SendMessageW(edit, EM_LIMITTEXT, kEditLimit, 0);
        // Numbers only: typing goes in as plain half-width characters.
        ImmAssociateContext(edit, nullptr);
    }
}

// ---- The exchange --------------------------------------------------------------------------

void TForm2::ShowModal(HWND owner) {
    RunModalOver(owner);
}

// ---- Handlers ------------------------------------------------------------------------------

void TForm2::FormShow() {
    Accepted = false;
    const TSettingsView view = ShowSettings(Values);
    SelectDirection(view.RadioIndex);
    SetWindowTextW(Edit1, platform::SjisToWide(view.IntervalText).c_str());
    SetWindowTextW(Edit2, platform::SjisToWide(view.KeyWaitText).c_str());
    SendMessageW(CheckBox1, BM_SETCHECK, view.Ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    focus_ = radios_[static_cast<std::size_t>(view.RadioIndex)];
}

void TForm2::Button1Click() {
    TSettingsView input;
    input.RadioIndex = SelectedDirection();
    input.IntervalText = ui::GetTextSjis(Edit1);
    input.KeyWaitText = ui::GetTextSjis(Edit2);
    input.Ticked = SendMessageW(CheckBox1, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const TSettingsCheck check = CheckSettings(input);
    if (check.Failed != TSettingsField::None) {
        focus_ = check.Failed == TSettingsField::Interval ? Edit1 : Edit2;
        ui::InputError(hwnd_, focus_, platform::Utf8ToWide(check.Message).c_str());
        return;
    }
    Accepted = true;
    Values = check.Values;
    done_ = true;
}

void TForm2::Button2Click() {
    done_ = true;
}

// ---- Radio group ---------------------------------------------------------------------------

// The checked item carries the group's tab stop, so Tab enters the group on it.
void TForm2::SelectDirection(int index) {
    for (int i = 0; i < kDirectionItems; ++i) {
        HWND radio = radios_[static_cast<std::size_t>(i)];
        SendMessageW(radio, BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
        LONG_PTR style = GetWindowLongPtrW(radio, GWL_STYLE);
        style = i == index ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP);
        SetWindowLongPtrW(radio, GWL_STYLE, style);
    }
}

int TForm2::SelectedDirection() const {
    for (int i = 0; i < kDirectionItems; ++i) {
        if (SendMessageW(radios_[static_cast<std::size_t>(i)], BM_GETCHECK, 0, 0) == BST_CHECKED) {
            return i;
        }
    }
    return 0;
}

// ---- Messages ------------------------------------------------------------------------------

RECT TForm2::PanelRect() const {
    return kPanel1;
}

void TForm2::OnCommand(int id, int code) {
    if (id >= kFirstRadioId && id < kFirstRadioId + kDirectionItems) {
        if (code == BN_CLICKED) {
            SelectDirection(id - kFirstRadioId);
        }
        return;
    }
    switch (id) {
        case IDOK:
            Button1Click();
            break;
        case IDCANCEL:
            Button2Click();
            break;
    }
}
