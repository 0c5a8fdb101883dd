#include "app/Ui.h"

#include <algorithm>

#include "app/ScopedGdi.h"
#include "app/logic/OnScreen.h"
#include "platform/win32/Codepage.h"

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

// ---- Window --------------------------------------------------------------------------------

Window::~Window() {
    DestroyOwned();
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        // The creation parameter is the Window part of the object, as CreateHandle passes it:
        // in a window with another base class first (the strip) not the object's own address.
        auto* self = static_cast<Window*>(create->lpCreateParams);
        if (self) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->hwnd_ = hwnd;
        }
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    const LRESULT result = self->Route(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->Detach();
    }
    return result;
}

bool Window::CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* title,
                          DWORD style, int left, int top, int width, int height, HWND parent,
                          int id) {
    slot_ = GWLP_USERDATA;
    HWND created =
        CreateWindowExW(exStyle, className, title, style, left, top, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), this);
    return created != nullptr && created == hwnd_;
}

LRESULT Window::Route(UINT msg, WPARAM wParam, LPARAM lParam) {
    const Message outer = current_;
    current_ = {msg, wParam, lParam};
    const LRESULT result = OnMessage(msg, wParam, lParam);
    current_ = outer;
    return result;
}

LRESULT Window::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return Default();
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ACTIVATE:
            OnActivate(wParam);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return Default();
        default:
            return OnOtherMessage(msg, wParam, lParam);
    }
}

LRESULT Window::Default() {
    return DefaultFor(current_.msg, current_.wParam, current_.lParam);
}

LRESULT Window::DefaultFor(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void Window::Detach() {
    if (hwnd_ && reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd_, slot_)) == this) {
        SetWindowLongPtrW(hwnd_, slot_, 0);
    }
    hwnd_ = nullptr;
}

void Window::DestroyOwned() {
    HWND window = hwnd_;
    if (window == nullptr) {
        return;
    }
    Detach();
    DestroyWindow(window);
}

// ---- Subclass ------------------------------------------------------------------------------

bool Subclass::Attach(HWND window, SUBCLASSPROC proc, DWORD_PTR data) {
    Detach();
    if (!SetWindowSubclass(window, proc, 0, data)) {
        return false;
    }
    window_ = window;
    proc_ = proc;
    return true;
}

void Subclass::Detach() {
    if (window_) {
        RemoveWindowSubclass(window_, proc_, 0);
        window_ = nullptr;
    }
}

// ---- Modal dialogs -------------------------------------------------------------------------

void RunModal(HWND dialog, HWND owner, const bool& done, HWND focus) {
    if (owner) {
        EnableWindow(owner, FALSE);
    }
    ShowWindow(dialog, SW_SHOW);
    // Jw_cad may have been raised a moment ago by a command; the dialog must not open under it.
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOOWNERZORDER);
    SetForegroundWindow(dialog);
    if (focus) {
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    }
    MSG msg;
    bool quit = false;
    int quitCode = 0;
    while (!done && IsWindowVisible(dialog)) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // Enable the owner before hiding, or Windows activates some other program's window.
    if (owner) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    ShowWindow(dialog, SW_HIDE);
    // Owned while shown only: an owner and its owned windows share the top-most band, so a
    // hidden dialog still owned by the strip could take the strip out of it with itself.
    SetWindowLongPtrW(dialog, GWLP_HWNDPARENT, 0);
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

bool RetryCancel(HWND owner, const std::wstring& text) {
    return Box(owner, text, L"エラー", MB_RETRYCANCEL | MB_ICONERROR, nullptr, nullptr, nullptr,
               L"再試行(&R)", L"キャンセル(&N)") == IDRETRY;
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

HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                const geometry::Box& place, int id, DWORD exStyle) {
    return AddControl(parent, className, text, style, place.left, place.top, place.width,
                      place.height, id, exStyle);
}

HWND AddLabel(HWND parent, const wchar_t* text, const geometry::Box& place) {
    return AddLabel(parent, text, place.left, place.top, place.width, place.height);
}

namespace {

// Set on a label until it has grown to its text; a static control leaves its user data alone.
constexpr LONG_PTR kLabelToFit = 0x4C424C;  // "LBL"

BOOL CALLBACK FitLabel(HWND control, LPARAM) {
    if (GetWindowLongPtrW(control, GWLP_USERDATA) != kLabelToFit) {
        return TRUE;
    }
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    const std::wstring text = GetText(control);
    SIZE extent{};
    {
        ScopedGetDC dc(control);
        ScopedSelectObject font(dc, Font());
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    RECT r{};
    GetClientRect(control, &r);
    if (extent.cx > r.right || extent.cy > r.bottom) {
        SetWindowPos(control, nullptr, 0, 0, std::max<int>(r.right, extent.cx),
                     std::max<int>(r.bottom, extent.cy),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

}  // namespace

HWND AddLabel(HWND parent, const wchar_t* text, int left, int top, int width, int height) {
    HWND label = AddControl(parent, L"STATIC", text, SS_LEFTNOWORDWRAP | SS_NOPREFIX, left, top,
                            width, height);
    if (label != nullptr) {
        SetWindowLongPtrW(label, GWLP_USERDATA, kLabelToFit);
    }
    return label;
}

void FitLabels(HWND window) {
    EnumChildWindows(window, FitLabel, 0);
}

void InputError(HWND dialog, HWND field, const wchar_t* text) {
    MessageBeep(0xFFFF);
    PlainMessage(dialog, text);
    // As when tabbing into the field: its text selected, ready to be typed over.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

void PaintRaisedPanel(HDC dc, const RECT& panel) {
    RECT r = panel;
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
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

void KeepReachable(HWND window) {
    // A minimised or maximised window is put back by the system itself.
    if (IsIconic(window) || IsZoomed(window)) {
        return;
    }
    const RECT now = RestoredRect(window);
    const RECT fitted = ReachableRect(now);
    if (EqualRect(&now, &fitted)) {
        return;
    }
    SetWindowPos(window, nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        auto& areas = *reinterpret_cast<std::vector<platform::Rect>*>(data);
        for (const RECT& r : {info.rcMonitor, info.rcWork}) {
            areas.push_back({r.left, r.top, r.right, r.bottom});
        }
    }
    return TRUE;
}

}  // namespace

std::vector<platform::Rect> MonitorAreas() {
    std::vector<platform::Rect> areas;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&areas));
    return areas;
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

namespace {

// A dialog template without items: the dialog manager's own class, no menu, no title (set
// afterwards), no font (every control is given the program's font). Place and size come in
// pixels once the dialog exists.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE head;
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

}  // namespace

ModalDialog::~ModalDialog() {
    DestroyOwned();
}

bool ModalDialog::CreateDialogBox(const wchar_t* title, DWORD style, DWORD exStyle,
                                  const DialogPlace& place) {
    EmptyDialogTemplate tmpl{};
    tmpl.head.style = style & ~static_cast<DWORD>(WS_VISIBLE);
    tmpl.head.dwExtendedStyle = exStyle;
    place_ = place;
    created_ = false;
    HWND dialog = CreateDialogIndirectParamW(Instance(), &tmpl.head, nullptr, DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (dialog == nullptr || !created_) {
        DestroyOwned();
        return false;
    }
    SetWindowTextW(dialog, title);
    return true;
}

void ModalDialog::Bind(HWND hwnd) {
    // Sized in pixels before the object hears of the window, so OnCreate makes the controls
    // in the final client area and no WM_SIZE comes before them.
    RECT outer{0, 0, place_.width, place_.height};
    if (place_.clientSize) {
        AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    }
    SetWindowPos(hwnd, nullptr, place_.left, place_.top, outer.right - outer.left,
                 outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Icon()));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon()));
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
    slot_ = DWLP_USER;
    hwnd_ = hwnd;
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ModalDialog*>(lParam);
        self->Bind(hwnd);
        self->created_ = self->OnCreate();
        if (self->defaultButton_ != 0) {
            SendMessageW(hwnd, DM_SETDEFID, static_cast<WPARAM>(self->defaultButton_), 0);
        }
        // FALSE: no focus now; a focus set in a hidden dialog would activate it.
        return FALSE;
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    const bool outer = self->unhandled_;
    self->unhandled_ = false;
    const LRESULT result = self->Route(msg, wParam, lParam);
    const bool unhandled = self->unhandled_;
    self->unhandled_ = outer;
    if (msg == WM_NCDESTROY) {
        self->Detach();
        return FALSE;
    }
    if (unhandled) {
        return FALSE;
    }
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

LRESULT ModalDialog::DefaultFor(UINT, WPARAM, LPARAM) {
    unhandled_ = true;
    return 0;
}

void ModalDialog::RunModalOver(HWND owner) {
    // A monitor may have gone since the place was set: a modal dialog out of sight would leave
    // the strip disabled with nothing to answer.
    const RECT now = RestoredRect(hwnd_);
    PlaceReachable(hwnd_, now.left, now.top, now.right - now.left, now.bottom - now.top);
    SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    HWND focus = FormShow();
    FitLabels(hwnd_);
    done_ = false;
    RunModal(hwnd_, owner, done_, focus);
}

void ModalDialog::OnPaint() {
    ScopedPaint dc(hwnd_);
    PaintRaisedPanel(dc, PanelRect());
}

void ModalDialog::OnClose() {
    // FormClose does nothing: the close box acts as Cancel.
    done_ = true;
}

}  // namespace ui
