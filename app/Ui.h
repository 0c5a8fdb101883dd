// What the four windows share: the application title, the one font, the icon, the class
// registration and the window procedure, the modal loop, the dialogs' keyboard interface, and
// the message boxes with the program's own button texts.
#pragma once

#include <string>

#include "platform/win32/WinInclude.h"

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

// The object behind a window of one of our classes. The class's procedure is WindowProc: it
// finds the object through the window and hands it every message once CreateHandle has
// returned. The messages of the creation itself get the default handling: the object's
// controls do not exist yet then.
class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() = default;

    HWND Handle() const { return hwnd_; }

  protected:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

    // CreateWindowExW with this object behind the window; hwnd_ is the window when it returns.
    void CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                      int left, int top, int width, int height, HWND parent = nullptr, int id = 0);

    HWND hwnd_ = nullptr;
};

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

// r moved (and shrunk only where it does not fit) onto the work area of the monitor nearest to
// it, so that a place saved for another screen, or typed into the settings file, stays reachable.
RECT ReachableRect(const RECT& r);
// Moves and sizes a window onto its nearest monitor's work area without activating it.
void PlaceReachable(HWND window, int left, int top, int width, int height);

// A modal dialog of this program, run by RunModal over its owner. It answers the keyboard
// interface (Enter, Tab, arrows, the focus kept across activations), paints its raised panel,
// takes the close box for Cancel, and hands its controls' notifications to OnCommand.
class ModalDialog : public Window {
  public:
    // Where the dialog stands: its top-left corner, as it is when not minimised.
    void SetPosition(int left, int top);
    void GetPosition(int& left, int& top) const;

  protected:
    // enterButton: the button Enter presses while no push button has the focus (0: none).
    explicit ModalDialog(int enterButton) : enterButton_(enterButton) {}

    // Fills the controls from the caller's values and chooses focus_.
    virtual void FormShow() = 0;
    // The raised panel under the controls, in client coordinates.
    virtual RECT PanelRect() const = 0;
    // WM_COMMAND: a control's id and notification code.
    virtual void OnCommand(int id, int code) = 0;
    // Any message the dialog does not handle itself; the default handling unless overridden.
    virtual LRESULT OnOtherMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    // Makes owner the dialog's owner, FormShow, then the modal loop until done_.
    void RunModalOver(HWND owner);

    HWND focus_ = nullptr;  // where the focus goes when the dialog is activated
    bool done_ = false;

  private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) final;

    const int enterButton_;
};

}  // namespace ui
