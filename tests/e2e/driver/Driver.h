// The end-to-end test driver: a Win32 program that starts jwsim (and Quillbox), finds their
// windows, sends real key events, and reads back what arrived: jwsim's event log, the
// clipboard, the registry, window titles and tab captions of another process.
//
// Every wait takes a deadline and polls the condition; nothing sleeps a fixed time and hopes.
// The build hands the paths in through the environment (see tests/e2e/CMakeLists.txt):
// QB_JWSIM_EXE, QB_QUILLBOX_EXE (only once the program is built), QB_E2E_SCRATCH.
#pragma once

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinInclude.h"

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kDefaultWaitMs = 5000;

// The one real platform the tests drive keys, clipboard and registry through.
platform::Win32Platform& Platform();

// ---- Text ------------------------------------------------------------------------------
std::string Sjis(const std::wstring& wide);
std::wstring FromSjis(const std::string& sjis);
std::string Utf8(const std::wstring& wide);
std::wstring FromUtf8(const std::string& utf8);

// ---- Paths and files -------------------------------------------------------------------
// A path from the build as Windows programs see it: "/a/b" -> "Z:\a\b" under Wine,
// "C:/a/b" -> "C:\a\b" on Windows.
std::wstring WinPath(const std::string& unixPath);
// An environment variable that the build must set; fails the test when it is missing.
std::string RequiredEnv(const char* name);
std::wstring JwsimExe();
std::wstring QuillboxExe();  // empty when quillbox.exe is not built yet
bool MakeFolders(const std::wstring& folder);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// The CR LF lines of a file our programs wrote (a last line without CR LF is left out).
std::vector<std::string> Lines(const std::string& text);

// ---- Waiting ---------------------------------------------------------------------------
// Polls condition every 10 ms (pumping this thread's messages) until it holds or timeoutMs
// passed. The last answer of the condition.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultWaitMs);

// ---- Processes -------------------------------------------------------------------------
using EnvOverrides = std::map<std::wstring, std::wstring>;

// A started process, ended (TerminateProcess) when the object goes while it still runs.
class Process {
  public:
    Process() = default;
    Process(HANDLE process, DWORD pid) : handle_(process), pid_(pid) {}
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    bool started() const { return handle_ != nullptr; }
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return handle_; }
    bool Running() const;
    bool WaitExit(DWORD timeoutMs = kDefaultWaitMs) const;
    void Kill();

  private:
    HANDLE handle_ = nullptr;
    DWORD pid_ = 0;
};

// Starts a command line in a folder (empty: ours). The child gets our environment with every
// JWSIM_* switch removed, then env added, so one test's switches never leak into another's
// programs. Fails the test when the process cannot be created.
Process Start(const std::wstring& commandLine, const std::wstring& folder = {},
              const EnvOverrides& env = {});

// ---- Windows ---------------------------------------------------------------------------
std::wstring WindowTitle(HWND w);
// The first visible top-level window (owned or not) for which match holds.
HWND FindTopWindow(const std::function<bool(HWND)>& match);
HWND WaitForWindowTitled(const std::wstring& title, DWORD timeoutMs = kDefaultWaitMs);
// The first unowned top-level window of a process, visible or (visibleOnly false) not; with a
// class name, only a window of that class (a program's main window, not its input method's).
HWND FindUnownedWindowOf(DWORD pid, bool visibleOnly = true, const std::wstring& className = {});
// The first visible, unowned top-level window of a process.
HWND WaitForProcessWindow(DWORD pid, DWORD timeoutMs = kDefaultWaitMs);
// A visible window owned by owner (a dialog or message box, not a menu), optionally with a
// given title.
HWND WaitForOwnedWindow(HWND owner, const std::wstring& title = {},
                        DWORD timeoutMs = kDefaultWaitMs);
// Brings w to the front: SetForegroundWindow every 10 ms until it is the foreground window.
// Under Wine the switch is asynchronous; keys sent before it completes go elsewhere.
bool Activate(HWND w, DWORD timeoutMs = 2000);
// A child control by window class (e.g. L"Button", WC_TABCONTROLW) and caption; an empty
// caption matches any.
HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& caption = {});
// Posts BM_CLICK: posting, not sending, so a click that opens a modal dialog does not block us.
bool ClickButton(HWND button);
// The captions of a tab control in another process (the buffers live in that process).
std::vector<std::wstring> TabTexts(HWND tab);
RECT WindowRect(HWND w);

// ---- Real input ------------------------------------------------------------------------
// Runs a shell command line on the Linux side (X tools on this display) and waits for it, 15 s
// at most; its exit status, nullopt when it did not finish. A command that should outlive the
// call goes to the background ("... &").
std::optional<int> RunLinux(const std::string& shellCommand);
// Pointer input through the X server (xdotool), as a user's mouse makes it: a window manager
// sees it too, and moves or sizes a window from it. Screen coordinates are X root coordinates.
// Runs "xdotool <arguments>" and waits for it; false when it could not run or failed.
bool XdoTool(const std::wstring& arguments);
// A left click at the centre of a window.
bool RealClick(HWND w);
// Presses the left button at (x0, y0), moves to (x1, y1) in steps, and releases.
bool RealDrag(int x0, int y0, int x1, int y1);
// Whether the X server shows window upper above window lower: what a user sees, which under a
// window manager need not be the Win32 z-order. Uses the manager's stacking list when there is
// one, else the stacking of the root window's children.
bool XStackedAbove(HWND upper, HWND lower);

// Ends every CAD window still open (jwsim's, by its title), whoever started it: a strip starts
// drawings that no Process of the test owns, and the next test's strip would take them up.
void EndEveryDrawing();

// ---- Keys ------------------------------------------------------------------------------
// Presses and releases a key; with alt, Alt is held around it (as "@X" does).
void TapKey(std::uint8_t vk, bool alt = false);
// Whether any Shift, Ctrl or Alt key is down now: a script must never leave one down.
bool AnyModifierDown();

// ---- Clipboard and registry ------------------------------------------------------------
// Empties the clipboard without taking ownership (OpenClipboard(NULL)).
bool ClearClipboard();
// The clipboard's text in Shift-JIS; nullopt while it offers none.
std::optional<std::string> ClipboardSjis();
// The folder value the CAD program writes, read through the platform; nullopt when missing.
std::optional<std::string> JwFolderValue();
bool DeleteJwFolderValue();

// ---- jwsim's event log -----------------------------------------------------------------
struct Event {
    DWORD pid = 0;
    std::string name;     // start, open, keydown, syskeyup, print, copy, saveprompt, exit, ...
    std::wstring detail;  // the rest of the line
};

struct KeyEvent {
    std::uint8_t vk = 0;
    bool down = false;
    bool operator==(const KeyEvent&) const = default;
};

// A fresh folder for the running test (<scratch>\<suite>.<test>), with jwsim's log in it.
class Workspace {
  public:
    Workspace();
    const std::wstring& folder() const { return folder_; }
    std::wstring Path(const std::wstring& relative) const { return folder_ + L"\\" + relative; }
    const std::wstring& logPath() const { return log_; }

    // Creates a drawing file (and its folders) and returns its full path.
    std::wstring CreateDrawing(const std::wstring& relative);
    // jwsim on a drawing: "<jwsim.exe> <drawing>[ <args>]", logging here; env adds switches.
    Process StartJwsim(const std::wstring& drawing, const std::wstring& args = {},
                       EnvOverrides env = {}) const;
    // A private copy of quillbox.exe in this folder, so its .dat/.tag/.tbk start fresh.
    std::wstring InstallQuillbox() const;

    std::vector<Event> Events() const;
    std::optional<Event> WaitForEvent(const std::function<bool(const Event&)>& match,
                                      DWORD timeoutMs = kDefaultWaitMs) const;
    std::optional<Event> WaitForEvent(DWORD pid, const std::string& name,
                                      DWORD timeoutMs = kDefaultWaitMs) const;
    // Key messages one jwsim received, in order (WM_KEY* and WM_SYSKEY* alike).
    std::vector<KeyEvent> Keys(DWORD pid) const;

  private:
    std::wstring folder_;
    std::wstring log_;
};

}  // namespace e2e
