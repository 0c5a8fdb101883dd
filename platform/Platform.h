// The one narrow layer between Quillbox's portable core and the operating system.
//
// Every text that crosses this interface is Shift-JIS bytes in a std::string; the Win32
// implementation converts to and from UTF-16 with code page 932, whatever the system locale.
// The core reaches the platform only through Current(), which the program entry (or a test)
// points at a real or a fake implementation.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// A top-level window. 0 is "no window". Win32 window handles carry 32 significant bits.
using WindowHandle = std::uintptr_t;
using ProcessId = std::uint32_t;

// ShowWindow commands the core uses.
constexpr int kSwShowNormal = 1;
constexpr int kSwShowMinimized = 2;
constexpr int kSwShowMaximized = 3;
constexpr int kSwShow = 5;
constexpr int kSwMinimize = 6;
constexpr int kSwRestore = 9;

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

// Mirrors WINDOWPLACEMENT (length 44 on Win32): show state, minimised and maximised
// positions, and the normal (restored) rectangle.
struct WindowPlacement {
    std::uint32_t flags = 0;
    std::uint32_t showCmd = 0;
    Point minPosition;
    Point maxPosition;
    Rect normalPosition;
    bool operator==(const WindowPlacement&) const = default;
};

// Outcome of reading one string value from the registry.
enum class RegistryRead {
    Ok,       // the value exists and is a string
    Missing,  // the key, sub-key or value does not exist
    Error,    // anything else: wrong type, access denied, ...
};

// A file opened for writing. Every operation reports failure instead of throwing; the
// destructor closes without flushing guarantees (call Close to know the outcome).
class OutFile {
  public:
    virtual ~OutFile() = default;
    virtual bool Write(std::string_view bytes) = 0;
    // The pieces one after the other, as one Write of them joined would write them: a file
    // made of parts of another is then never joined in memory first.
    virtual bool WritePieces(std::span<const std::string_view> pieces) {
        for (std::string_view piece : pieces) {
            if (!Write(piece)) {
                return false;
            }
        }
        return true;
    }
    // Pushes the written bytes to the disk (FlushFileBuffers), so that a rename that follows
    // cannot publish a file whose content is still in flight.
    virtual bool Flush() = 0;
    virtual bool Close() = 0;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // ---- Windows -------------------------------------------------------------------------
    // Calls visit for each top-level window, topmost first, until visit answers false.
    virtual void EnumWindows(const std::function<bool(WindowHandle)>& visit) = 0;
    virtual WindowHandle GetOwner(WindowHandle w) = 0;
    virtual bool IsWindowVisible(WindowHandle w) = 0;
    // The title as Shift-JIS bytes, at most maxCount - 1 of them (GetWindowTextA's contract).
    virtual std::string GetWindowText(WindowHandle w, int maxCount) = 0;
    virtual ProcessId GetWindowProcessId(WindowHandle w) = 0;
    virtual bool IsWindow(WindowHandle w) = 0;
    virtual void ShowWindow(WindowHandle w, int command) = 0;
    virtual bool IsIconic(WindowHandle w) = 0;
    virtual void OpenIcon(WindowHandle w) = 0;
    // Asks for the switch; the answer is only the platform's word. Check GetForegroundWindow.
    virtual bool SetForegroundWindow(WindowHandle w) = 0;
    // 0 when no program's window is in front (the desktop counts as none).
    virtual WindowHandle GetForegroundWindow() = 0;
    virtual bool GetWindowPlacement(WindowHandle w, WindowPlacement& placement) = 0;
    virtual bool SetWindowPlacement(WindowHandle w, const WindowPlacement& placement) = 0;
    // Moves and sizes a window without activating it (screen coordinates). For another
    // program's window the request is posted, never waited for.
    virtual bool MoveWindow(WindowHandle w, const Rect& rect) = 0;
    // True when the window's program does not take its messages (busy starting, hung): a call
    // that waits for it (SetWindowPlacement) would freeze us with it. (A default, so that a
    // platform of a test or benchmark that never hangs need not say so.)
    virtual bool IsWindowHung(WindowHandle /*w*/) { return false; }

    // ---- Keys ----------------------------------------------------------------------------
    // One synthetic key event with a Windows virtual-key code, no scan code, not extended; only
    // the right-hand modifiers and the Windows keys carry what tells their side (the extended
    // flag, right Shift's scan code), else the system takes them for the left key.
    virtual void KeyDown(std::uint8_t vk) = 0;
    virtual void KeyUp(std::uint8_t vk) = 0;
    // Whether a key is down now, whoever holds it: the user's hand as much as our own events.
    // (A default, so that a platform without a keyboard need not say that nothing is held.)
    virtual bool IsKeyDown(std::uint8_t /*vk*/) { return false; }

    // ---- Clipboard -----------------------------------------------------------------------
    // Opens the clipboard without an owner window, retrying briefly (and pumping messages)
    // while another program holds it. False when it stayed unavailable.
    virtual bool OpenClipboard() = 0;
    virtual bool EmptyClipboard() = 0;
    virtual void CloseClipboard() = 0;
    virtual bool IsClipboardTextAvailable() = 0;
    // The clipboard's text as Shift-JIS up to its first zero byte; empty when there is none.
    // Only valid while the clipboard is open.
    virtual std::string GetClipboardText() = 0;

    // ---- Processes and shell -------------------------------------------------------------
    // Starts a process from a full command line in a working folder (empty: ours), waits at
    // most idleTimeoutMs for it to become input-idle while dispatching this thread's messages,
    // and releases its handles. The id when a process was created.
    virtual std::optional<ProcessId> StartProcess(const std::string& commandLine,
                                                  const std::string& workingFolder,
                                                  std::uint32_t idleTimeoutMs) = 0;
    // Asked between the slices of StartProcess's idle wait: true ends the wait at once (the
    // user closes the strip while Jw_cad starts).
    std::function<bool()> stopIdleWait;
    // True while a process we started has not ended; by default none is known to run.
    virtual bool IsProcessRunning(ProcessId /*pid*/) { return false; }
    // The program associated with a document (FindExecutable); empty when there is none.
    virtual std::string FindExecutable(const std::string& documentPath) = 0;
    // The full path of our own executable.
    virtual std::string ExecutablePath() = 0;

    // ---- Registry ------------------------------------------------------------------------
    // Reads a string value under HKEY_CURRENT_USER\key\subKey with read access only; never
    // creates a key.
    virtual RegistryRead ReadUserString(const std::string& key, const std::string& subKey,
                                        const std::string& valueName, std::string& value) = 0;

    // ---- Files ---------------------------------------------------------------------------
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
    // Renames; fails when target exists unless replace is set.
    virtual bool RenameFile(const std::string& from, const std::string& to, bool replace) = 0;
    // Reads a whole file; nullopt when it cannot be opened or read.
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    // Creates (or empties) a file for writing; null when it cannot be created.
    virtual std::unique_ptr<OutFile> CreateFile(const std::string& path) = 0;

    // ---- Time, messages, sound -----------------------------------------------------------
    // Milliseconds since the system started; wraps after 2^32.
    virtual std::uint32_t GetTickCount() = 0;
    // Dispatches every message waiting in this thread's queue, then returns.
    virtual void ProcessMessages() = 0;
    // Blocks until a message arrives for this thread or timeoutMs has passed.
    virtual void WaitForMessage(std::uint32_t timeoutMs) = 0;
    virtual void MessageBeep(std::uint32_t type) = 0;
};

// The platform in force. Set once by the program entry, or by a test's fixture.
Platform& Current();
void SetCurrent(Platform* platform);

}  // namespace platform
