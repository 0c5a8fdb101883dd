// The tag name dialog: asks for the name of a new tag, proposing the caller's. Refuses an empty
// name and nothing else.
#pragma once

#include <string>

#include "platform/win32/WinInclude.h"

class TForm3 {
  public:
    bool Accepted = false;
    std::string TagNameText;  // Shift-JIS; in: the proposal, out: the name, on a successful OK

    // Creates the hidden window at start-up (after Form1).
    void Create();
    // FormShow, then the modal loop; returns when the dialog is closed.
    void ShowModal(HWND owner);
    void SetPosition(int left, int top);
    void GetPosition(int& left, int& top) const;
    HWND Handle() const { return hwnd_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    void KeepWithinLimit();

    void FormShow();
    void Button1Click();
    void Button2Click();

    HWND hwnd_ = nullptr;
    HWND Edit1 = nullptr;
    HWND Button1 = nullptr;
    HWND Button2 = nullptr;
    HWND focus_ = nullptr;  // where the focus goes when the dialog is activated
    bool done_ = false;
};

extern TForm3* Form3;
