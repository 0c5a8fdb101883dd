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

}  // namespace ui
