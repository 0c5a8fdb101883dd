// The tag list editor: the base drawing's tag list in a two-column grid, where names and jump
// texts are edited and tags moved, inserted and deleted. OK commits the grid into the tag list;
// the list is touched nowhere else.
#pragma once

#include <array>

#include "app/Grid.h"
#include "app/ModalDialog.h"
#include "app/logic/GridModel.h"

class TForm4 : public ui::ModalDialog {
  public:
    // OK and Cancel are Button5 and Button6, whose ids Enter and Escape never send; no default
    // button: Enter presses only a button that has the focus.
    TForm4() : ModalDialog(kOkId, kCancelId, 0) {}

    // Creates the hidden dialog at start-up (after Form1); false when it could not be.
    bool Create();
    // Fills the grid from TagLists (FormShow), then the modal loop; OK commits the edited tags.
    void ShowModal(HWND owner);
    void SetGeometry(int left, int top, int width, int height, int col0Width, int col1Width);
    void GetGeometry(int& left, int& top, int& width, int& height, int& col0Width,
                     int& col1Width) const;
    // Accepted and Handle come from ui::ModalDialog.

  private:
    bool OnCreate() override;
    RECT PanelRect() const override;
    static constexpr int kFirstButtonId = 401;  // not IDOK or IDCANCEL
    static constexpr int kOkId = kFirstButtonId + 4;
    static constexpr int kCancelId = kFirstButtonId + 5;

    void OnControl(int id, int code, HWND control) override;
    void OnSize(int width, int height) override;
    void ArrangeChildren();

    HWND FormShow() override;
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    // OK (Button5): commits the grid into the tag list. Cancel (Button6) is the base's.
    bool OnOk() override;

    std::array<HWND, 6> buttons_{};  // Button1 ... Button6
    HWND StatusBar1 = nullptr;
    TGridModel model_;
    TStringGrid SG1{model_};
};

extern TForm4* Form4;
