#include "app/MessageBoxes.h"

#include "app/Ui.h"

namespace ui {

namespace {

HHOOK boxHook = nullptr;
const wchar_t* boxYes = nullptr;
const wchar_t* boxNo = nullptr;
const wchar_t* boxOk = nullptr;
const wchar_t* boxRetry = nullptr;
const wchar_t* boxCancel = nullptr;

// Renames the standard box's buttons as it is shown, so they read the same on an English or
// a Japanese system.
LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        if (boxYes) {
            SetDlgItemTextW(box, IDYES, boxYes);
        }
        if (boxNo) {
            SetDlgItemTextW(box, IDNO, boxNo);
        }
        if (boxOk) {
            SetDlgItemTextW(box, IDOK, boxOk);
        }
        if (boxRetry) {
            SetDlgItemTextW(box, IDRETRY, boxRetry);
        }
        if (boxCancel) {
            SetDlgItemTextW(box, IDCANCEL, boxCancel);
        }
        HHOOK hook = boxHook;
        UnhookWindowsHookEx(hook);
        boxHook = nullptr;
        return CallNextHookEx(hook, code, wParam, lParam);
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

// When a box closes, its owner may be activated again only a moment later: the switch of the
// foreground is asynchronous. A command that activates Jw_cad right after the box would lose
// that race and see its keys stopped, so wait (bounded) until the owner really is in front.
void SettleActivation(HWND owner) {
    if (owner == nullptr) {
        return;
    }
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetForegroundWindow() != owner && GetTickCount() - start < 300) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

int Box(HWND owner, const std::wstring& text, const wchar_t* caption, UINT type, const wchar_t* yes,
        const wchar_t* no, const wchar_t* ok, const wchar_t* retry = nullptr,
        const wchar_t* cancel = nullptr) {
    boxYes = yes;
    boxNo = no;
    boxOk = ok;
    boxRetry = retry;
    boxCancel = cancel;
    boxHook = SetWindowsHookExW(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
    int answer = MessageBoxW(owner, text.c_str(), caption, type);
    if (boxHook) {
        UnhookWindowsHookEx(boxHook);
        boxHook = nullptr;
    }
    SettleActivation(owner);
    return answer;
}

}  // namespace

void PlainMessage(HWND owner, const wchar_t* text) {
    Box(owner, text, kAppTitle, MB_OK, nullptr, nullptr, nullptr);
}

void ErrorBox(HWND owner, const std::wstring& text) {
    Box(owner, text, L"エラー", MB_OK | MB_ICONERROR, nullptr, nullptr, L"OK");
}

bool ConfirmYesNo(HWND owner, const std::wstring& text) {
    return Box(owner, text, L"確認", MB_YESNO | MB_ICONQUESTION, L"はい(&Y)", L"いいえ(&N)",
               nullptr) == IDYES;
}

bool RetryCancel(HWND owner, const std::wstring& text) {
    return Box(owner, text, L"エラー", MB_RETRYCANCEL | MB_ICONERROR, nullptr, nullptr, nullptr,
               L"再試行(&R)", L"キャンセル(&N)") == IDRETRY;
}

void InfoOk(HWND owner, const std::wstring& text) {
    Box(owner, text, L"確認", MB_OK | MB_ICONINFORMATION, nullptr, nullptr, L"OK");
}

}  // namespace ui
