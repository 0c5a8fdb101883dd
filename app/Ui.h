// The window base the four windows share: the application title, the one font, the icon, the
// class registration, the window object with one typed handler per message, command tables and
// owned subclasses.
#pragma once

#include <cstddef>

#include "platform/win32/WinInclude.h"

#include <commctrl.h>
#include <shellapi.h>

namespace ui {

inline constexpr wchar_t kAppTitle[] = L"Quillbox";
inline constexpr int kIconId = 1;

// "ＭＳ ゴシック", 13 px character height, Shift-JIS character set; created once.
HFONT Font();
HICON Icon();
HINSTANCE Instance();

// Registers the class of a top-level window: the program's icon, the arrow cursor, the
// background given.
bool RegisterWindowClass(const wchar_t* name, WNDPROC proc, HBRUSH background);
// Registers the class of a control of our own: no icon, the arrow cursor, no background (the
// control paints all of itself), the class styles given.
bool RegisterControlClass(const wchar_t* name, WNDPROC proc, UINT style);

// The object behind a window of one of our classes, and the owner of that window: the window
// is destroyed with the object. The class's procedure is WindowProc: it binds the object at
// WM_NCCREATE, so every message of the creation reaches it too, and detaches it at
// WM_NCDESTROY. Each message goes to its own handler below with its arguments unpacked; a
// handler not overridden gives the message its default handling (Default), and so does every
// message without a handler.
class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }

  protected:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // CreateWindowExW with this object behind the window. OnCreate runs inside it, with hwnd_
    // already the window; false when the window could not be created (or OnCreate refused).
    bool CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                      int left, int top, int width, int height, HWND parent = nullptr, int id = 0);

    // The default handling of the message being handled.
    LRESULT Default();

    // ---- The window's life ----
    // WM_CREATE, and WM_INITDIALOG for a dialog: the place to create the children. false
    // fails the creation.
    virtual bool OnCreate() { return true; }
    virtual void OnSize(int /*width*/, int /*height*/) {}
    virtual void OnTimer(UINT_PTR /*id*/) { Default(); }
    // WM_COMMAND: a control's id, its notification code and its window (nullptr for a menu or
    // an accelerator).
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { Default(); }
    virtual LRESULT OnNotify(const NMHDR& /*header*/) { return Default(); }
    virtual void OnPaint() { Default(); }
    // Nonzero: the background is erased.
    virtual LRESULT OnEraseBackground(HDC /*dc*/) { return Default(); }
    virtual void OnClose() { Default(); }
    virtual void OnDestroy() {}
    // A point in screen coordinates; the part of the window there (HTCLIENT, HTCAPTION, ...).
    virtual LRESULT OnNcHitTest(int /*x*/, int /*y*/) { return Default(); }
    virtual void OnDisplayChange() { Default(); }
    // WM_SETTINGCHANGE: the SPI_ value of the setting that changed.
    virtual void OnSettingChange(UINT /*action*/) { Default(); }
    // WM_ENDSESSION: whether the session really ends.
    virtual void OnEndSession(bool /*ending*/) { Default(); }
    // WM_DROPFILES: files dropped onto a window that accepts them.
    virtual void OnDropFiles(HDROP /*drop*/) { Default(); }

    // ---- Keyboard and mouse; points in client coordinates ----
    // message: the key message the dialog manager asks about, or nullptr.
    virtual LRESULT OnGetDlgCode(const MSG* /*message*/) { return Default(); }
    virtual void OnSetFocus(HWND /*previous*/) { Default(); }
    virtual void OnKillFocus(HWND /*next*/) { Default(); }
    virtual void OnKeyDown(UINT /*key*/) { Default(); }
    virtual void OnChar(wchar_t /*c*/) { Default(); }
    virtual void OnImeStartComposition() { Default(); }
    virtual void OnLButtonDown(int /*x*/, int /*y*/) { Default(); }
    virtual void OnLButtonDoubleClick(int /*x*/, int /*y*/) { Default(); }
    virtual void OnLButtonUp(int /*x*/, int /*y*/) { Default(); }
    virtual void OnMouseMove(int /*x*/, int /*y*/) { Default(); }
    virtual void OnCaptureChanged() { Default(); }
    // TRUE: the cursor is set.
    virtual LRESULT OnSetCursor(UINT /*hitTest*/) { return Default(); }
    // A scroll bar's request code (SB_LINEUP, ...).
    virtual void OnVScroll(int /*code*/) { Default(); }
    virtual void OnHScroll(int /*code*/) { Default(); }
    // In multiples of WHEEL_DELTA, positive away from the user.
    virtual void OnMouseWheel(int /*delta*/) { Default(); }

    HWND hwnd_ = nullptr;

    // ---- For the dialog base ----

    // The default handling: DefWindowProcW for a window; for a dialog, "not handled", so that
    // the dialog manager handles it.
    virtual LRESULT DefaultFor(UINT msg, WPARAM wParam, LPARAM lParam);
    // Hands the message to its handler, Default as the message being handled.
    LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam);
    // The window forgets the object, and the object the window.
    void Detach();
    // Detach, then DestroyWindow: no message of the destruction reaches an object in its
    // destructor.
    void DestroyOwned();

    int slot_ = GWLP_USERDATA;  // where the window keeps the object

  private:
    struct Message {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    // The plain dispatch, in two halves: the window's life, and keyboard and mouse.
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DispatchInput(UINT msg, WPARAM wParam, LPARAM lParam);

    Message current_{};  // the message being handled, for Default
};

// id -> handler tables: a control's id and the member function its clicks run.
template <typename Owner>
struct CommandEntry {
    int id;
    void (Owner::*handler)();
};

// Runs the handler of id in table; false when id has none.
template <typename Owner, std::size_t N>
bool RunCommand(Owner& owner, const CommandEntry<Owner> (&table)[N], int id) {
    for (const CommandEntry<Owner>& entry : table) {
        if (entry.id == id) {
            (owner.*entry.handler)();
            return true;
        }
    }
    return false;
}

// A window subclass owned by an object: installed by Attach, removed by Detach, at the latest
// when the owner goes (and by the subclass procedure itself at WM_NCDESTROY, see Detach). Each
// object's subclass is its own, also beside another with the same procedure on one window.
class Subclass {
  public:
    Subclass() = default;
    Subclass(const Subclass&) = delete;
    Subclass& operator=(const Subclass&) = delete;
    ~Subclass() { Detach(); }

    bool Attach(HWND window, SUBCLASSPROC proc, DWORD_PTR data);
    // Safe to call at any time, also from the subclass procedure at WM_NCDESTROY.
    void Detach();
    bool Attached() const { return window_ != nullptr; }

  private:
    HWND window_ = nullptr;
    SUBCLASSPROC proc_ = nullptr;
};

// A control of a system class (an edit, a tab control) whose messages this object takes
// first, through a subclass, by the same typed handlers as any Window; what a handler leaves
// to Default goes on to the control's own procedure. The control belongs to its parent: the
// object never destroys it, it only lets go of it.
class SubclassedControl : public Window {
  public:
    ~SubclassedControl() override { Release(); }
    // false when the subclass could not be installed.
    bool Take(HWND control);
    // The control goes on alone; safe at any time, and done by itself when the control goes.
    void Release();

  protected:
    LRESULT DefaultFor(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);

    Subclass subclass_;
};

// A control that holds controls of its own (buttons on a tab control) and hands their
// commands on to its parent, as if they were the parent's.
class CommandForwarder : public SubclassedControl {
  private:
    void OnCommand(int id, int code, HWND control) override {
        SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(control));
    }
};

}  // namespace ui
