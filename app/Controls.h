// Controls made in the shared font, their texts in UTF-16 or Shift-JIS, and thin wrappers over
// the messages of the controls the windows use: each a one-line call over SendMessageW.
#pragma once

#include <string>

#include "app/logic/Geometry.h"
#include "platform/win32/WinInclude.h"

#include <commctrl.h>

namespace ui {

// Window text as UTF-16 / as Shift-JIS.
std::wstring GetText(HWND control);
std::string GetTextSjis(HWND control);
void SetTextSjis(HWND control, const std::string& sjis);

// A control at a place in pixels, in the shared font.
HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int left,
                int top, int width, int height, int id = 0, DWORD exStyle = 0);
// The same at a place of the designed geometry.
HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                const geometry::Box& place, int id = 0, DWORD exStyle = 0);

// A one-line label that grows to its text, so a substitute font with wider glyphs neither wraps
// nor clips it. It grows when FitLabels runs over its window, not before: measuring text loads
// its glyphs from the font, memory a dialog that may never open need not take at start-up.
HWND AddLabel(HWND parent, const wchar_t* text, int left, int top, int width, int height);
HWND AddLabel(HWND parent, const wchar_t* text, const geometry::Box& place);
// Grows every label of the window that has not grown to its text yet.
void FitLabels(HWND window);

// The shared font on a control.
void SetFont(HWND control);

// Edit controls.
inline void SetEditLimit(HWND edit, int chars) {
    SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(chars), 0);
}
inline void SelectText(HWND edit, int start, int end) {
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
}
inline void SelectAllText(HWND edit) {
    SelectText(edit, 0, -1);
}

// Check boxes and radio buttons.
inline bool IsChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline void SetChecked(HWND button, bool checked) {
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Moves a dialog's keyboard focus to control as tabbing into it would.
inline void FocusControl(HWND dialog, HWND control) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// A tab control, by its messages.
class TabStrip {
  public:
    TabStrip() = default;
    explicit TabStrip(HWND tab) : hwnd_(tab) {}
    HWND Handle() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }

    int Count() const { return static_cast<int>(SendMessageW(hwnd_, TCM_GETITEMCOUNT, 0, 0)); }
    void Insert(int index, const std::wstring& text) const;
    void DeleteAll() const { SendMessageW(hwnd_, TCM_DELETEALLITEMS, 0, 0); }
    int Selection() const { return static_cast<int>(SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0)); }
    void Select(int index) const { SendMessageW(hwnd_, TCM_SETCURSEL, index, 0); }
    RECT ItemRect(int index) const;
    // A width of 0 leaves the tabs' widths to their texts.
    void SetItemSize(int width, int height) const {
        SendMessageW(hwnd_, TCM_SETITEMSIZE, 0, MAKELPARAM(width, height));
    }

  private:
    HWND hwnd_ = nullptr;
};

// A tool tip control, by its messages.
class ToolTip {
  public:
    ToolTip() = default;
    explicit ToolTip(HWND tip) : hwnd_(tip) {}
    HWND Handle() const { return hwnd_; }

    // A tool that is a window (tool) of owner's, showing text; the tip watches its mouse itself.
    void AddWindowTool(HWND owner, HWND tool, const wchar_t* text) const;
    // A tool that is a window (tool) whose text owner gives each time the tip is about to show
    // (TTN_GETDISPINFOW); the tool's mouse messages reach the tip through TTM_RELAYEVENT.
    void AddCallbackTool(HWND owner, HWND tool) const;
    // Closes the tip if it shows.
    void Pop() const { SendMessageW(hwnd_, TTM_POP, 0, 0); }

  private:
    HWND hwnd_ = nullptr;
};

}  // namespace ui
