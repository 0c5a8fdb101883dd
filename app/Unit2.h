// The settings dialog: tag direction, re-scan interval, key wait and maximise-on-send, edited on
// the dialog's own copy, in its own units. The caller writes Values, shows it modally, and reads
// Values back when Accepted (the exchange of ui::ModalDialog).
#pragma once

#include <array>
#include <cstdint>

#include "app/ModalDialog.h"
#include "tags/Settings.h"

class TForm2 : public ui::ModalDialog {
  public:
    TForm2() : ModalDialog(IDOK, IDCANCEL, IDOK) {}

    TSettingsValues Values;

    // Creates the hidden dialog at start-up (after Form1); false when it could not be.
    bool Create();
    // FormShow, then the modal loop; returns when the dialog is closed.
    void ShowModal(HWND owner);
    // Accepted, SetPosition, GetPosition and Handle come from ui::ModalDialog.

  private:
    bool OnCreate() override;
    RECT PanelRect() const override;
    void OnControl(int id, int code, HWND control) override;
    void SelectDirection(int index);
    int SelectedDirection() const;

    HWND FormShow() override;
    // OK (Button1): checks both times, then writes Values. Cancel (Button2) is the base's.
    bool OnOk() override;

    HWND RadioGroup1 = nullptr;
    std::array<HWND, 4> radios_{};  // 上 下 左 右
    HWND Edit1 = nullptr;
    HWND Edit2 = nullptr;
    HWND CheckBox1 = nullptr;
    HWND Button1 = nullptr;
    HWND Button2 = nullptr;
};

extern TForm2* Form2;
