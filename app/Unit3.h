// The tag name dialog: asks for the name of a new tag, proposing the caller's. Refuses an empty
// name and nothing else.
#pragma once

#include <string>

#include "app/ModalDialog.h"

class TForm3 : public ui::ModalDialog {
  public:
    TForm3() : ModalDialog(IDOK, IDCANCEL, IDOK) {}

    std::string TagNameText;  // Shift-JIS; in: the proposal, out: the name, on a successful OK

    // Creates the hidden dialog at start-up (after Form1); false when it could not be.
    bool Create();
    // FormShow, then the modal loop; returns when the dialog is closed.
    void ShowModal(HWND owner);
    // Accepted, SetPosition, GetPosition and Handle come from ui::ModalDialog.

  private:
    bool OnCreate() override;
    RECT PanelRect() const override;
    void OnControl(int id, int code, HWND control) override;
    void KeepWithinLimit();

    HWND FormShow() override;
    // OK (Button1): refuses an empty name, then writes TagNameText. Cancel (Button2) is the
    // base's.
    bool OnOk() override;

    HWND Edit1 = nullptr;
    HWND Button1 = nullptr;
    HWND Button2 = nullptr;
};

extern TForm3* Form3;
