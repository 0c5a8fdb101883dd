#include "app/Unit2.h"

#include <imm.h>

#include "app/Controls.h"
#include "app/logic/DialogRules.h"
#include "app/logic/Geometry.h"
#include "platform/win32/Codepage.h"

TForm2* Form2 = nullptr;

namespace {

namespace g = geometry::settings;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kFirstRadioId = 201;
constexpr int kEdit1Id = 211;
constexpr int kEdit2Id = 212;
constexpr int kCheckBox1Id = 213;
constexpr int kEditLimit = 6;

constexpr const wchar_t* kDirections[kDirectionItems] = {L"上", L"下", L"左", L"右"};

}  // namespace

// ---- Creation ------------------------------------------------------------------------------

bool TForm2::Create() {
    const geometry::Box& w = g::kWindow;
    return CreateDialogBox(L"設定", kStyle, 0, {w.left, w.top, w.width, w.height, true});
}

// The controls of Panel1 sit on the dialog itself (the panel is at 0, 0), so the dialog manager
// reaches them and their notifications come here. Creation order is tab order.
bool TForm2::OnCreate() {
    RadioGroup1 =
        ui::AddControl(hwnd_, L"BUTTON", L"タグの向き(&T)", BS_GROUPBOX, g::kDirectionGroup);
    for (int i = 0; i < kDirectionItems; ++i) {
        const DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        radios_[static_cast<std::size_t>(i)] =
            ui::AddControl(hwnd_, L"BUTTON", kDirections[i], style, g::Radio(i, kDirectionItems),
                           kFirstRadioId + i);
    }
    constexpr DWORD kField = WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL;
    ui::AddLabel(hwnd_, L"アプリケーション検索割込時間", g::kIntervalLabel);
    Edit1 =
        ui::AddControl(hwnd_, L"EDIT", L"", kField, g::kIntervalEdit, kEdit1Id, WS_EX_CLIENTEDGE);
    ui::AddLabel(hwnd_, L"秒", g::kIntervalUnit);
    ui::AddLabel(hwnd_, L"コマンドキー送信ウエイト時間", g::kKeyWaitLabel);
    Edit2 =
        ui::AddControl(hwnd_, L"EDIT", L"", kField, g::kKeyWaitEdit, kEdit2Id, WS_EX_CLIENTEDGE);
    ui::AddLabel(hwnd_, L"秒", g::kKeyWaitUnit);
    CheckBox1 = ui::AddControl(hwnd_, L"BUTTON", L"キー送信時、最大化表示する",
                               WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, g::kMaximize, kCheckBox1Id);
    Button1 = ui::AddControl(hwnd_, L"BUTTON", L"ＯＫ(&Y)",
                             WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, g::kOk, IDOK);
    Button2 = ui::AddControl(hwnd_, L"BUTTON", L"キャンセル(&N)",
                             WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, g::kCancel, IDCANCEL);

    for (HWND edit : {Edit1, Edit2}) {
        ui::SetEditLimit(edit, kEditLimit);
        // Numbers only: typing goes in as plain half-width characters.
        ImmAssociateContext(edit, nullptr);
    }
    return true;
}

// ---- The exchange --------------------------------------------------------------------------

void TForm2::ShowModal(HWND owner) {
    RunModalOver(owner);
}

// ---- Handlers ------------------------------------------------------------------------------

HWND TForm2::FormShow() {
    const TSettingsView view = ShowSettings(Values);
    SelectDirection(view.RadioIndex);
    SetWindowTextW(Edit1, platform::SjisToWide(view.IntervalText).c_str());
    SetWindowTextW(Edit2, platform::SjisToWide(view.KeyWaitText).c_str());
    ui::SetChecked(CheckBox1, view.Ticked);
    return radios_[static_cast<std::size_t>(view.RadioIndex)];
}

bool TForm2::OnOk() {
    TSettingsView input;
    input.RadioIndex = SelectedDirection();
    input.IntervalText = ui::GetTextSjis(Edit1);
    input.KeyWaitText = ui::GetTextSjis(Edit2);
    input.Ticked = ui::IsChecked(CheckBox1);
    const TSettingsCheck check = CheckSettings(input);
    if (check.Failed != TSettingsField::None) {
        HWND field = check.Failed == TSettingsField::Interval ? Edit1 : Edit2;
        ui::InputError(hwnd_, field, platform::Utf8ToWide(check.Message).c_str());
        return false;
    }
    Values = check.Values;
    return true;
}

// ---- Radio group ---------------------------------------------------------------------------

// The checked item carries the group's tab stop, so Tab enters the group on it.
void TForm2::SelectDirection(int index) {
    for (int i = 0; i < kDirectionItems; ++i) {
        HWND radio = radios_[static_cast<std::size_t>(i)];
        ui::SetChecked(radio, i == index);
        LONG_PTR style = GetWindowLongPtrW(radio, GWL_STYLE);
        style = i == index ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP);
        SetWindowLongPtrW(radio, GWL_STYLE, style);
    }
}

int TForm2::SelectedDirection() const {
    for (int i = 0; i < kDirectionItems; ++i) {
        if (ui::IsChecked(radios_[static_cast<std::size_t>(i)])) {
            return i;
        }
    }
    return 0;
}

// ---- Messages ------------------------------------------------------------------------------

RECT TForm2::PanelRect() const {
    const geometry::Box& p = g::kPanel;
    return RECT{p.left, p.top, p.left + p.width, p.top + p.height};
}

void TForm2::OnControl(int id, int code, HWND) {
    if (id >= kFirstRadioId && id < kFirstRadioId + kDirectionItems && code == BN_CLICKED) {
        SelectDirection(id - kFirstRadioId);
    }
}
