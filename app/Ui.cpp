#include "app/Ui.h"

#include <algorithm>

#include "app/logic/OnScreen.h"
#include "platform/win32/Codepage.h"

namespace ui {

namespace {

HHOOK boxHook = nullptr;
const wchar_t* boxYes = nullptr;
const wchar_t* boxNo = nullptr;
const wchar_t* boxOk = nullptr;

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
        HHOOK hook = boxHook;
        UnhookWindowsHookEx(hook);
        boxHook = nullptr;
        return CallNextHookEx(hook, code, wParam, lParam);
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

// When a box closes, its owner is activated again a moment later on some systems (Wine).
// A command that activates Jw_cad right after the box would lose that race and see its keys
// stopped, so wait (bounded) until the owner really is in front again.
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

bool Register(const wchar_t* name, WNDPROC proc, HBRUSH background, UINT style, HICON icon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = Instance();
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

int Box(HWND owner, const std::wstring& text, const wchar_t* caption, UINT type, const wchar_t* yes,
        const wchar_t* no, const wchar_t* ok) {
    boxYes = yes;
    boxNo = no;
    boxOk = ok;
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

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

HFONT Font() {
    static HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック");
    return font;
}

HICON Icon() {
    static HICON icon = static_cast<HICON>(
        LoadImageW(Instance(), MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    return icon;
}

bool RegisterWindowClass(const wchar_t* name, WNDPROC proc, HBRUSH background) {
    return Register(name, proc, background, 0, Icon());
}

bool RegisterControlClass(const wchar_t* name, WNDPROC proc, UINT style) {
    return Register(name, proc, nullptr, style, nullptr);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->hwnd_) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return self->OnMessage(msg, wParam, lParam);
}

void Window::CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* title,
                          DWORD style, int left, int top, int width, int height, HWND parent,
                          int id) {
    // The creation parameter is the Window part of the object, as WindowProc reads it back: in
    // a window with another base class first (the strip) that is not the object's own address.
    hwnd_ = CreateWindowExW(exStyle, className, title, style, left, top, width, height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), this);
}

void RunModal(HWND window, HWND owner, const bool& done) {
    if (owner) {
        EnableWindow(owner, FALSE);
    }
    ShowWindow(window, SW_SHOW);
    // Jw_cad may have been raised a moment ago by a command; the dialog must not open under it.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOOWNERZORDER);
    SetForegroundWindow(window);
    MSG msg;
    bool quit = false;
    int quitCode = 0;
    while (!done && IsWindowVisible(window)) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // Enable the owner before hiding, or Windows activates some other program's window.
    if (owner) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    ShowWindow(window, SW_HIDE);
    // Owned while shown only: an owner and its owned windows share the top-most band, so a
    // hidden dialog still owned by the strip could take the strip out of it with itself.
    SetWindowLongPtrW(window, GWLP_HWNDPARENT, 0);
    if (quit) {
        PostQuitMessage(quitCode);
    }
}

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

void InfoOk(HWND owner, const std::wstring& text) {
    Box(owner, text, L"確認", MB_OK | MB_ICONINFORMATION, nullptr, nullptr, L"OK");
}

std::wstring GetText(HWND control) {
    int n = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    n = GetWindowTextW(control, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return text;
}

std::string GetTextSjis(HWND control) {
    return platform::WideToSjis(GetText(control));
}

void SetTextSjis(HWND control, const std::string& sjis) {
    SetWindowTextW(control, platform::SjisToWide(sjis).c_str());
}

HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int left,
                int top, int width, int height, int id, DWORD exStyle) {
    HWND control = CreateWindowExW(
        exStyle, className, text, WS_CHILD | WS_VISIBLE | style, left, top, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    return control;
}

HWND AddLabel(HWND parent, const wchar_t* text, int left, int top, int width, int height) {
    HDC dc = GetDC(parent);
    HGDIOBJ old = SelectObject(dc, Font());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
    SelectObject(dc, old);
    ReleaseDC(parent, dc);
    return AddControl(parent, L"STATIC", text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, left, top,
                      std::max<int>(width, extent.cx), std::max<int>(height, extent.cy));
}

void InputError(HWND dialog, HWND field, const wchar_t* text) {
    MessageBeep(0xFFFF);
    PlainMessage(dialog, text);
    SetFocus(field);
    // As when tabbing into the field: its text selected, ready to be typed over.
    SendMessageW(field, EM_SETSEL, 0, -1);
}

void PaintRaisedPanel(HDC dc, const RECT& panel) {
    RECT r = panel;
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
}

int EnterButtonId(HWND dialog, int fallback) {
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == dialog &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) !=
            0) {
        return GetDlgCtrlID(focus);
    }
    return fallback;
}

void NextDialogControl(HWND dialog, WPARAM wParam, LPARAM lParam) {
    HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
    if (next) {
        SetFocus(next);
    }
}

void KeepFocusOnActivate(HWND dialog, WPARAM wParam, HWND& focus) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND now = GetFocus();
        if (now && IsChild(dialog, now)) {
            focus = now;
        }
    } else if (!HIWORD(wParam) && focus && IsWindowVisible(focus)) {
        SetFocus(focus);
    }
}

RECT RestoredRect(HWND window) {
    RECT r{};
    if (IsIconic(window) || IsZoomed(window)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (GetWindowPlacement(window, &placement)) {
            return placement.rcNormalPosition;
        }
    }
    GetWindowRect(window, &r);
    return r;
}

RECT ReachableRect(const RECT& r) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return r;
    }
    const RECT& work = monitor.rcWork;
    const platform::Rect fitted = FitOnWorkArea({r.left, r.top, r.right, r.bottom},
                                                {work.left, work.top, work.right, work.bottom});
    return {fitted.left, fitted.top, fitted.right, fitted.bottom};
}

void PlaceReachable(HWND window, int left, int top, int width, int height) {
    const platform::Rect place = RectOfPlace(left, top, width, height);
    const RECT fitted = ReachableRect({place.left, place.top, place.right, place.bottom});
    SetWindowPos(window, nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void ModalDialog::SetPosition(int left, int top) {
    const RECT now = RestoredRect(hwnd_);
    PlaceReachable(hwnd_, left, top, now.right - now.left, now.bottom - now.top);
}

void ModalDialog::GetPosition(int& left, int& top) const {
    const RECT r = RestoredRect(hwnd_);
    left = r.left;
    top = r.top;
}

void ModalDialog::RunModalOver(HWND owner) {
    // A monitor may have gone since the place was set: a modal dialog out of sight would leave
    // the strip disabled with nothing to answer.
    const RECT now = RestoredRect(hwnd_);
    PlaceReachable(hwnd_, now.left, now.top, now.right - now.left, now.bottom - now.top);
    SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    FormShow();
    done_ = false;
    RunModal(hwnd_, owner, done_);
}

LRESULT ModalDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case DM_GETDEFID: {
            const int id = EnterButtonId(hwnd_, enterButton_);
            return id ? MAKELRESULT(id, DC_HASDEFID) : 0;
        }
        case WM_NEXTDLGCTL:
            NextDialogControl(hwnd_, wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            KeepFocusOnActivate(hwnd_, wParam, focus_);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            PaintRaisedPanel(dc, PanelRect());
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_CLOSE:
            // FormClose does nothing: the close box acts as Cancel.
            done_ = true;
            return 0;
    }
    return OnOtherMessage(msg, wParam, lParam);
}

LRESULT ModalDialog::OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace ui
