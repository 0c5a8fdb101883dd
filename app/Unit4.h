// The tag list editor: the base drawing's tag list in a two-column grid, where names and jump
// texts are edited and tags moved, inserted and deleted. OK commits the grid into the tag list;
// the list is touched nowhere else.
#pragma once

#include <array>

#include "app/Grid.h"
#include "app/Ui.h"
#include "app/logic/GridModel.h"

class TForm4 : public ui::ModalDialog {
  public:
    // No default button: Enter presses only a button that has the focus.
    TForm4() : ModalDialog(0) {}

    bool Accepted = false;

    // Creates the hidden dialog at start-up (after Form1); false when it could not be.
    bool Create();
    // Fills the grid from TagLists (FormShow), then the modal loop; OK commits the edited tags.
    void ShowModal(HWND owner);
    void SetGeometry(int left, int top, int width, int height, int col0Width, int col1Width);
    void GetGeometry(int& left, int& top, int& width, int& height, int& col0Width,
                     int& col1Width) const;
    // Handle comes from ui::ModalDialog.

  private:
    bool OnCreate() override;
    RECT PanelRect() const override;
    void OnCommand(int id, int code, HWND control) override;
    void OnSize(int width, int height) override;
    void ArrangeChildren();

    HWND FormShow() override;
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();

    std::array<HWND, 6> buttons_{};  // Button1 ... Button6
    HWND StatusBar1 = nullptr;
    TGridModel model_;
    TStringGrid SG1{model_};
};

extern TForm4* Form4;
