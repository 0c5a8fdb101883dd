#include "app/ModalDialog.h"

#include "app/Controls.h"
#include "app/MessageBoxes.h"
#include "app/ScopedGdi.h"
#include "app/Screen.h"

namespace ui {

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
        FocusControl(dialog, focus);
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

void InputError(HWND dialog, HWND field, const wchar_t* text) {
    MessageBeep(0xFFFF);
    PlainMessage(dialog, text);
    // As when tabbing into the field: its text selected, ready to be typed over.
    FocusControl(dialog, field);
    SelectAllText(field);
}

void PaintRaisedPanel(HDC dc, const RECT& panel) {
    RECT r = panel;
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
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
    Accepted = false;
    HWND focus = FormShow();
    FitLabels(hwnd_);
    done_ = false;
    RunModal(hwnd_, owner, done_, focus);
}

void ModalDialog::Ok() {
    if (OnOk()) {
        Accepted = true;
        done_ = true;
    }
}

void ModalDialog::Cancel() {
    done_ = true;
}

void ModalDialog::OnCommand(int id, int code, HWND control) {
    if (id == okId_) {
        Ok();
    } else if (id == cancelId_) {
        Cancel();
    } else {
        OnControl(id, code, control);
    }
}

void ModalDialog::OnPaint() {
    ScopedPaint dc(hwnd_);
    PaintRaisedPanel(dc, PanelRect());
}

void ModalDialog::OnClose() {
    // FormClose does nothing: the close box acts as Cancel.
    Cancel();
}

}  // namespace ui
