// The dialog base over the dialog manager: an in-memory dialog made in pixels, its modal loop,
// and the OK and Cancel exchange with its caller.
#pragma once

#include "app/Ui.h"

namespace ui {

// Shows dialog modally over owner, as DialogBox would: the owner is disabled, the focus goes to
// focus, the dialog manager gives the keyboard interface (Tab, Enter, Escape), and the call
// returns once done is true or the dialog was hidden. The owner is enabled and activated again
// before the dialog hides.
void RunModal(HWND dialog, HWND owner, const bool& done, HWND focus);

// An input error in a dialog: the message beep 0xFFFF, the plain message, and the keyboard focus
// back on the field.
void InputError(HWND dialog, HWND field, const wchar_t* text);

// A panel with the default raised bevel, drawn on the dialog's own face under its controls. Only
// the edge is drawn: the face is the dialog's background, erased under the controls as well
// (a dialog that clips its children leaves the inside of a group box unpainted).
void PaintRaisedPanel(HDC dc, const RECT& panel);

// Where a dialog stands when it is created, in pixels: its top-left corner and either its
// client area's size (clientSize) or its outer size.
struct DialogPlace {
    int left, top, width, height;
    bool clientSize;
};

// A modal dialog of this program: a real dialog box of the dialog manager, made from an
// in-memory template without items; its controls are made in OnCreate (WM_INITDIALOG) at pixel
// positions, after the dialog has its size in pixels. It lives hidden until RunModalOver shows
// it; it paints its raised panel under the controls.
//
// The exchange with the caller is the base's: the caller writes the dialog's fields, shows it,
// reads Accepted and, when true, the fields. OK runs the dialog's OnOk and closes when it agrees;
// Cancel, Escape (where the dialog's Cancel is IDCANCEL) and the close box close it leaving the
// caller's fields alone.
class ModalDialog : public Window {
  public:
    ~ModalDialog() override;

    // True only after a successful OK of the last showing.
    bool Accepted = false;

    // Where the dialog stands: its top-left corner, as it is when not minimised.
    void SetPosition(int left, int top);
    void GetPosition(int& left, int& top) const;

  protected:
    // okId, cancelId: the commands of the OK and Cancel buttons. defaultButton: the button Enter
    // presses while no push button has the focus (0: none).
    ModalDialog(int okId, int cancelId, int defaultButton)
        : okId_(okId), cancelId_(cancelId), defaultButton_(defaultButton) {}

    // Creates the hidden dialog; false when it could not be.
    bool CreateDialogBox(const wchar_t* title, DWORD style, DWORD exStyle,
                         const DialogPlace& place);

    // Fills the controls from the caller's values; returns the control to take the focus.
    virtual HWND FormShow() = 0;
    // The raised panel under the controls, in client coordinates.
    virtual RECT PanelRect() const = 0;
    // OK's own work: checks the input and writes the fields. false keeps the dialog open; the
    // check has told the user why.
    virtual bool OnOk() { return true; }
    // A command other than OK and Cancel: a control's id, its notification code and its window.
    virtual void OnControl(int /*id*/, int /*code*/, HWND /*control*/) {}

    // Makes owner the dialog's owner, clears Accepted, FormShow, then the modal loop until OK
    // or Cancel closes it.
    void RunModalOver(HWND owner);
    void Ok();
    void Cancel();

    void OnPaint() override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Bind(HWND hwnd);
    LRESULT DefaultFor(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code, HWND control) final;
    void OnClose() final;

    const int okId_;
    const int cancelId_;
    const int defaultButton_;
    DialogPlace place_{};
    bool done_ = false;
    bool created_ = false;
    bool unhandled_ = false;  // the message being handled goes on to the dialog manager
};

}  // namespace ui
