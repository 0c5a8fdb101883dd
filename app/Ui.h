// What the four windows share: the application title, the one font, the icon, the modal
// loop, and the message boxes with the program's own button texts.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

inline constexpr wchar_t kAppTitle[] = L"Quillbox";
inline constexpr int kIconId = 1;

// "ＭＳ ゴシック", 13 px character height, Shift-JIS character set; created once.
HFONT Font();
HICON Icon();
HINSTANCE Instance();

// Gives the window and every child the shared font.
void ApplyFont(HWND window);

// Shows window modally over owner, as DialogBox would: the owner is disabled, the window's
// keyboard interface (Tab, Enter, Escape) works, and the call returns once done is true or the
// window was hidden. The owner is enabled and activated again before the window hides.
void RunModal(HWND window, HWND owner, const bool& done);

// A plain message box: application title as caption, the text, one OK button.
void PlainMessage(HWND owner, const wchar_t* text);

// The strip's boxes, with the button texts of this program whatever the system's language.
void ErrorBox(HWND owner, const std::wstring& text);      // "エラー", OK
bool ConfirmYesNo(HWND owner, const std::wstring& text);  // "確認", はい(&Y)/いいえ(&N)
void InfoOk(HWND owner, const std::wstring& text);        // "確認", OK

// Window text as UTF-16 / as Shift-JIS.
std::wstring GetText(HWND control);
std::string GetTextSjis(HWND control);
void SetTextSjis(HWND control, const std::string& sjis);

// ---- What the three dialogs share ----

// A control at a place in pixels, in the shared font.
HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int left,
                int top, int width, int height, int id = 0, DWORD exStyle = 0);

// A one-line label that grows to its text, so a substitute font with wider glyphs neither wraps
// nor clips it.
HWND AddLabel(HWND parent, const wchar_t* text, int left, int top, int width, int height);

// An input error in a dialog: the message beep 0xFFFF, the plain message, and the keyboard focus
// back on the field.
void InputError(HWND dialog, HWND field, const wchar_t* text);

// A panel with the default raised bevel, drawn on the dialog's own face under its controls. Only
// the edge is drawn: the face is the dialog's background, erased under the controls as well
// (a dialog that clips its children leaves the inside of a group box unpainted).
void PaintRaisedPanel(HDC dc, const RECT& panel);

// The button that Enter presses: the push button that has the focus, else fallback (0: none).
// The answer to DM_GETDEFID, which the keyboard interface of RunModal asks for.
int EnterButtonId(HWND dialog, int fallback);

// WM_NEXTDLGCTL for a window that is not a dialog box, so the keyboard interface of RunModal
// can move the focus (arrow keys, access keys of group boxes).
void NextDialogControl(HWND dialog, WPARAM wParam, LPARAM lParam);

// WM_ACTIVATE for a dialog: remembers the focused control when the dialog is deactivated and
// gives the focus back to it (or to the control the dialog chose on showing) when reactivated.
void KeepFocusOnActivate(HWND dialog, WPARAM wParam, HWND& focus);

// The window's rectangle as it is when neither minimised nor maximised.
RECT RestoredRect(HWND window);

}  // namespace ui
