// The message boxes, with the button texts of this program whatever the system's language.
#pragma once

#include <string>

#include "platform/win32/WinInclude.h"

namespace ui {

// A plain message box: application title as caption, the text, one OK button.
void PlainMessage(HWND owner, const wchar_t* text);

// The strip's boxes, with the button texts of this program whatever the system's language.
void ErrorBox(HWND owner, const std::wstring& text);      // "エラー", OK
bool ConfirmYesNo(HWND owner, const std::wstring& text);  // "確認", はい(&Y)/いいえ(&N)
bool RetryCancel(HWND owner, const std::wstring& text);  // "エラー", 再試行(&R)/キャンセル(&N)
void InfoOk(HWND owner, const std::wstring& text);  // "確認", OK

}  // namespace ui
