// What the four windows share: the application title, the one font, the icon, the class
// registration, the window base with one handler per message, owned subclasses, the dialog
// base over the dialog manager with its modal loop, and the message boxes with the program's
// own button texts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/logic/Geometry.h"
#include "platform/Platform.h"
#include "platform/win32/WinInclude.h"

#include <commctrl.h>

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
// WM_NCDESTROY. OnMessage hands each message to its named handler below; a handler not
// overridden gives the message its default handling (Default).
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

    // Routes a message to its handler. Overriding it is for the rare message without one.
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being handled.
    LRESULT Default();

    // WM_CREATE, and WM_INITDIALOG for a dialog: the place to create the children. false
    // fails the creation.
    virtual bool OnCreate() { return true; }
    virtual void OnSize(int /*width*/, int /*height*/) {}
    virtual void OnTimer(UINT_PTR /*id*/) {}
    // WM_COMMAND: a control's id, its notification code and its window (nullptr for a menu or
    // an accelerator).
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
    virtual void OnPaint() { Default(); }
    virtual void OnActivate(WPARAM /*state*/) { Default(); }
    virtual void OnClose() { Default(); }
    virtual void OnDestroy() {}
    // Any other message.
    virtual LRESULT OnOtherMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
        return Default();
    }

    HWND hwnd_ = nullptr;

    // ---- For the dialog base ----

    // The default handling: DefWindowProcW for a window; for a dialog, "not handled", so that
    // the dialog manager handles it.
    virtual LRESULT DefaultFor(UINT msg, WPARAM wParam, LPARAM lParam);
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
// when the owner goes (and by the subclass procedure itself at WM_NCDESTROY, see Detach).
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

// Shows dialog modally over owner, as DialogBox would: the owner is disabled, the focus goes to
// focus, the dialog manager gives the keyboard interface (Tab, Enter, Escape), and the call
// returns once done is true or the dialog was hidden. The owner is enabled and activated again
// before the dialog hides.
void RunModal(HWND dialog, HWND owner, const bool& done, HWND focus);

// A plain message box: application title as caption, the text, one OK button.
void PlainMessage(HWND owner, const wchar_t* text);

// The strip's boxes, with the button texts of this program whatever the system's language.
void ErrorBox(HWND owner, const std::wstring& text);      // "エラー", OK
bool ConfirmYesNo(HWND owner, const std::wstring& text);  // "確認", はい(&Y)/いいえ(&N)
bool RetryCancel(HWND owner, const std::wstring& text);  // "エラー", 再試行(&R)/キャンセル(&N)
void InfoOk(HWND owner, const std::wstring& text);  // "確認", OK

// Window text as UTF-16 / as Shift-JIS.
std::wstring GetText(HWND control);
std::string GetTextSjis(HWND control);
void SetTextSjis(HWND control, const std::string& sjis);

// ---- What the three dialogs share ----

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

// An input error in a dialog: the message beep 0xFFFF, the plain message, and the keyboard focus
// back on the field.
void InputError(HWND dialog, HWND field, const wchar_t* text);

// A panel with the default raised bevel, drawn on the dialog's own face under its controls. Only
// the edge is drawn: the face is the dialog's background, erased under the controls as well
// (a dialog that clips its children leaves the inside of a group box unpainted).
void PaintRaisedPanel(HDC dc, const RECT& panel);

// The window's rectangle as it is when neither minimised nor maximised.
RECT RestoredRect(HWND window);

// r moved (and shrunk only where it does not fit) onto the work area of the monitor nearest to
// it, so that a place saved for another screen, or typed into the settings file, stays reachable.
RECT ReachableRect(const RECT& r);
// Moves and sizes a window onto its nearest monitor's work area without activating it.
void PlaceReachable(HWND window, int left, int top, int width, int height);
// After a change of screen: a window no longer all on its nearest monitor's work area is moved
// back onto it (shrunk only where it does not fit); one still all on it stays where it is.
void KeepReachable(HWND window);
// Every monitor's whole area and work area, in the system's order.
std::vector<platform::Rect> MonitorAreas();

// Where a dialog stands when it is created, in pixels: its top-left corner and either its
// client area's size (clientSize) or its outer size.
struct DialogPlace {
    int left, top, width, height;
    bool clientSize;
};

// A modal dialog of this program: a real dialog box of the dialog manager, made from an
// in-memory template without items; its controls are made in OnCreate (WM_INITDIALOG) at pixel
// positions, after the dialog has its size in pixels. It lives hidden until RunModalOver shows
// it; the close box acts as Cancel; it paints its raised panel under the controls.
class ModalDialog : public Window {
  public:
    ~ModalDialog() override;

    // Where the dialog stands: its top-left corner, as it is when not minimised.
    void SetPosition(int left, int top);
    void GetPosition(int& left, int& top) const;

  protected:
    // defaultButton: the button Enter presses while no push button has the focus (0: none).
    explicit ModalDialog(int defaultButton) : defaultButton_(defaultButton) {}

    // Creates the hidden dialog; false when it could not be.
    bool CreateDialogBox(const wchar_t* title, DWORD style, DWORD exStyle,
                         const DialogPlace& place);

    // Fills the controls from the caller's values; returns the control to take the focus.
    virtual HWND FormShow() = 0;
    // The raised panel under the controls, in client coordinates.
    virtual RECT PanelRect() const = 0;

    // Makes owner the dialog's owner, FormShow, then the modal loop until done_.
    void RunModalOver(HWND owner);

    bool done_ = false;

    void OnPaint() override;
    void OnClose() override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Bind(HWND hwnd);
    LRESULT DefaultFor(UINT msg, WPARAM wParam, LPARAM lParam) override;

    const int defaultButton_;
    DialogPlace place_{};
    bool created_ = false;
    bool unhandled_ = false;  // the message being handled goes on to the dialog manager
};

}  // namespace ui
