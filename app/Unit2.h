// The settings dialog: tag direction, re-scan interval, key wait and maximise-on-send, edited on
// the dialog's own copy, in its own units. The caller writes the fields, shows it modally, and
// reads the fields back when Accepted.
#pragma once

#include <array>
#include <cstdint>

#include "platform/win32/WinInclude.h"

class TForm2 {
  public:
    bool Accepted = false;
    std::int32_t TagDirection = 0;
    std::int32_t SearchInterval = 0;  // ms
    std::int32_t KeyWaitMs = 0;
    std::int32_t MaximizeOnSend = 0;

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
    void CreateControls();
    void SelectDirection(int index);
    int SelectedDirection() const;

    void FormShow();
    void Button1Click();
    void Button2Click();

    HWND hwnd_ = nullptr;
    HWND RadioGroup1 = nullptr;
    std::array<HWND, 4> radios_{};  // 上 下 左 右
    HWND Edit1 = nullptr;
    HWND Edit2 = nullptr;
    HWND CheckBox1 = nullptr;
    HWND Button1 = nullptr;
    HWND Button2 = nullptr;
    HWND focus_ = nullptr;  // where the focus goes when the dialog is activated
    bool done_ = false;
};

extern TForm2* Form2;
