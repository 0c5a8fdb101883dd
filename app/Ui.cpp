#include "app/Ui.h"

namespace ui {

namespace {

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
    const LRESULT result = Dispatch(msg, wParam, lParam);
    current_ = outer;
    return result;
}

namespace {

int PointX(LPARAM lParam) {
    return static_cast<short>(LOWORD(lParam));
}

int PointY(LPARAM lParam) {
    return static_cast<short>(HIWORD(lParam));
}

}  // namespace

LRESULT Window::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
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
        case WM_ERASEBKGND:
            return OnEraseBackground(reinterpret_cast<HDC>(wParam));
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return Default();
        case WM_NCHITTEST:
            return OnNcHitTest(PointX(lParam), PointY(lParam));
        case WM_DISPLAYCHANGE:
            OnDisplayChange();
            return 0;
        case WM_SETTINGCHANGE:
            OnSettingChange(static_cast<UINT>(wParam));
            return 0;
        case WM_ENDSESSION:
            OnEndSession(wParam != FALSE);
            return 0;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        default:
            return DispatchInput(msg, wParam, lParam);
    }
}

LRESULT Window::DispatchInput(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE:
            return OnGetDlgCode(reinterpret_cast<const MSG*>(lParam));
        case WM_SETFOCUS:
            OnSetFocus(reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus(reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(static_cast<UINT>(wParam));
            return 0;
        case WM_CHAR:
            OnChar(static_cast<wchar_t>(wParam));
            return 0;
        case WM_IME_STARTCOMPOSITION:
            OnImeStartComposition();
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(PointX(lParam), PointY(lParam));
            return 0;
        case WM_LBUTTONDBLCLK:
            OnLButtonDoubleClick(PointX(lParam), PointY(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(PointX(lParam), PointY(lParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(PointX(lParam), PointY(lParam));
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged();
            return 0;
        case WM_SETCURSOR:
            return OnSetCursor(LOWORD(lParam));
        case WM_VSCROLL:
            OnVScroll(LOWORD(wParam));
            return 0;
        case WM_HSCROLL:
            OnHScroll(LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        default:
            return Default();
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
    // The object is the subclass's id: the system takes a second subclass with the same
    // procedure and id for the first one, whose data it would then quietly replace.
    if (!SetWindowSubclass(window, proc, reinterpret_cast<UINT_PTR>(this), data)) {
        return false;
    }
    window_ = window;
    proc_ = proc;
    return true;
}

void Subclass::Detach() {
    if (window_) {
        RemoveWindowSubclass(window_, proc_, reinterpret_cast<UINT_PTR>(this));
        window_ = nullptr;
    }
}

// ---- SubclassedControl ---------------------------------------------------------------------

bool SubclassedControl::Take(HWND control) {
    Release();
    if (!subclass_.Attach(control, Procedure, reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    hwnd_ = control;
    return true;
}

void SubclassedControl::Release() {
    subclass_.Detach();
    hwnd_ = nullptr;
}

LRESULT SubclassedControl::DefaultFor(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK SubclassedControl::Procedure(HWND, UINT msg, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<SubclassedControl*>(data);
    const LRESULT result = self->Route(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->Release();
    }
    return result;
}

}  // namespace ui
