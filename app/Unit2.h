// The settings dialog: tag direction, re-scan interval, key wait and maximise-on-send, edited on
// the dialog's own copy, in its own units. The caller writes the fields, shows it modally, and
// reads the fields back when Accepted.
#pragma once

#include <array>
#include <cstdint>

#include "app/Ui.h"
#include "tags/Settings.h"

class TForm2 : public ui::ModalDialog {
  public:
    TForm2() : ModalDialog(IDOK) {}

    bool Accepted = false;
    TSettingsValues Values;

    // Creates the hidden dialog at start-up (after Form1); false when it could not be.
    bool Create();
    // FormShow, then the modal loop; returns when the dialog is closed.
    void ShowModal(HWND owner);
    // SetPosition, GetPosition and Handle come from ui::ModalDialog.

  private:
    bool OnCreate() override;
    RECT PanelRect() const override;
    void OnCommand(int id, int code, HWND control) override;
    void SelectDirection(int index);
    int SelectedDirection() const;

    HWND FormShow() override;
    void Button1Click();
    void Button2Click();

    HWND RadioGroup1 = nullptr;
    std::array<HWND, 4> radios_{};  // 上 下 左 右
    HWND Edit1 = nullptr;
    HWND Edit2 = nullptr;
    HWND CheckBox1 = nullptr;
    HWND Button1 = nullptr;
    HWND Button2 = nullptr;
};

extern TForm2* Form2;
