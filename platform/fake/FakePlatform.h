// A deterministic in-memory desktop for native tests: windows with titles, owners,
// visibility, processes, z-order and placement; a key-event log; a clipboard; a registry; file
// associations; processes that create windows when started; files in memory with failure
// injection; and a clock that only moves when the test (or a wait) moves it.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform {

class FakePlatform : public Platform {
  public:
    struct Window {
        WindowHandle handle = 0;
        std::string title;  // Shift-JIS
        WindowHandle owner = 0;
        bool visible = true;
        ProcessId pid = 0;
        WindowPlacement placement;
        bool iconic = false;
        bool maximized = false;
        // When false, SetWindowPlacement fails for this window, as a desktop may refuse it for
        // another process's window.
        bool acceptsPlacement = true;
        // When true, SetForegroundWindow never brings this window to the front.
        bool refusesFront = false;
        // When true, the window's program takes no messages: calls that wait for it block.
        bool hung = false;
    };

    struct KeyEvent {
        std::uint8_t vk = 0;
        bool down = false;
        WindowHandle foreground = 0;  // who had the focus when the event was injected
        std::uint32_t tick = 0;       // the fake clock at that moment
        bool operator==(const KeyEvent&) const = default;
    };

    struct Start {
        std::string commandLine;
        std::string folder;
    };

    FakePlatform();

    // ---- Test set-up and inspection ------------------------------------------------------
    // Adds a window on top of the z-order and returns its handle.
    WindowHandle AddWindow(const std::string& title, ProcessId pid = 1, bool visible = true,
                           WindowHandle owner = 0);
    // Adds a window at the bottom of the z-order.
    WindowHandle AddWindowAtBottom(const std::string& title, ProcessId pid = 1);
    void CloseWindow(WindowHandle w);
    void BringToTop(WindowHandle w);
    // Sets the foreground as the desktop does on its own (0: none for a moment).
    void SetForeground(WindowHandle w) { foreground_ = w; }
    Window* Find(WindowHandle w);
    std::vector<WindowHandle> ZOrder() const { return zOrder_; }

    void SetClipboardText(const std::string& text) { clipboard_ = text; }
    void ClearClipboard() { clipboard_.reset(); }
    const std::optional<std::string>& Clipboard() const { return clipboard_; }

    void SetRegistryString(const std::string& key, const std::string& subKey,
                           const std::string& name, const std::string& value);
    // The value exists but cannot be read as a string.
    void SetRegistryBroken(const std::string& key, const std::string& subKey,
                           const std::string& name);

    void Associate(const std::string& extensionUpper, const std::string& program) {
        associations_[extensionUpper] = program;
    }

    void PutFile(const std::string& path, const std::string& bytes);
    std::optional<std::string> FileBytes(const std::string& path) const;
    std::vector<std::string> FilePaths() const;

    // Keys down now: those the user holds (HoldKey, no event), then as KeyDown and KeyUp left
    // them. Shift, Ctrl and Alt stand for their left keys, as the system takes an injected one;
    // IsKeyDown of them asks for either side.
    void HoldKey(std::uint8_t vk) { down_[SideOf(vk)] = true; }
    // Side codes, ascending.
    std::vector<std::uint8_t> KeysDown() const;

    void Advance(std::uint32_t ms) { tick_ += ms; }
    void SetTick(std::uint32_t tick) { tick_ = tick; }

    // ---- Hooks a test sets ---------------------------------------------------------------
    // Runs inside every ProcessMessages: the application's pending messages (a tick, a click).
    std::function<void()> onMessages;
    // Runs after every injected key event: lets a test play the part of the CAD program.
    std::function<void(const KeyEvent&)> onKey;
    // Decides what a started process does; the default creates no process.
    std::function<std::optional<ProcessId>(const std::string& commandLine,
                                           const std::string& folder)>
        onStart;
    // Asked before each file operation ("create", "write", "flush", "close", "rename",
    // "delete", "read"); true makes that operation fail.
    std::function<bool(const std::string& op, const std::string& path)> failFileOp;

    // ---- What the core did ---------------------------------------------------------------
    std::vector<KeyEvent> keys;
    std::vector<Start> starts;
    std::vector<std::uint32_t> beeps;
    std::vector<std::pair<WindowHandle, int>> shows;  // ShowWindow calls
    std::vector<WindowHandle> foregroundRequests;
    // Calls that wait for the window's program, made while it was hung: on a real desktop each
    // would have frozen the strip.
    int blockingCallsOnHungWindows = 0;
    int messagePumps = 0;    // ProcessMessages calls
    int enumerations = 0;    // EnumWindows calls: each of the strip's scans is one
    int clipboardOpens = 0;  // successful OpenClipboard calls
    bool clipboardIsOpen = false;

    // ---- Behaviour switches --------------------------------------------------------------
    bool clipboardUnavailable = false;  // OpenClipboard fails
    int refuseForeground = 0;           // this many SetForegroundWindow calls do nothing
    // How long a started process takes to become input-idle (UINT32_MAX: never). StartProcess
    // waits for it in 20 ms slices, handling messages in between, as the real one does.
    std::uint32_t startIdleMs = 0;
    std::vector<ProcessId> endedProcesses;
    std::string executablePath = "C:\\QB\\quillbox.exe";

    // ---- Platform ------------------------------------------------------------------------
    void EnumWindows(const std::function<bool(WindowHandle)>& visit) override;
    WindowHandle GetOwner(WindowHandle w) override;
    bool IsWindowVisible(WindowHandle w) override;
    std::string GetWindowText(WindowHandle w, int maxCount) override;
    ProcessId GetWindowProcessId(WindowHandle w) override;
    bool IsWindow(WindowHandle w) override;
    void ShowWindow(WindowHandle w, int command) override;
    bool IsIconic(WindowHandle w) override;
    void OpenIcon(WindowHandle w) override;
    bool SetForegroundWindow(WindowHandle w) override;
    WindowHandle GetForegroundWindow() override { return foreground_; }
    bool GetWindowPlacement(WindowHandle w, WindowPlacement& placement) override;
    bool SetWindowPlacement(WindowHandle w, const WindowPlacement& placement) override;
    bool MoveWindow(WindowHandle w, const Rect& rect) override;
    bool IsWindowHung(WindowHandle w) override;

    void KeyDown(std::uint8_t vk) override { Key(vk, true); }
    void KeyUp(std::uint8_t vk) override { Key(vk, false); }
    bool IsKeyDown(std::uint8_t vk) override;

    bool OpenClipboard() override;
    bool EmptyClipboard() override;
    void CloseClipboard() override;
    bool IsClipboardTextAvailable() override { return clipboard_.has_value(); }
    std::string GetClipboardText() override;

    std::optional<ProcessId> StartProcess(const std::string& commandLine,
                                          const std::string& workingFolder,
                                          std::uint32_t idleTimeoutMs) override;
    bool IsProcessRunning(ProcessId pid) override;
    std::string FindExecutable(const std::string& documentPath) override;
    std::string ExecutablePath() override { return executablePath; }

    RegistryRead ReadUserString(const std::string& key, const std::string& subKey,
                                const std::string& valueName, std::string& value) override;

    bool FileExists(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to, bool replace) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    std::unique_ptr<OutFile> CreateFile(const std::string& path) override;

    std::uint32_t GetTickCount() override { return tick_; }
    void ProcessMessages() override;
    // Moves the clock on by the whole timeout: nothing else happens on a fake desktop.
    void WaitForMessage(std::uint32_t timeoutMs) override { tick_ += timeoutMs; }
    void MessageBeep(std::uint32_t type) override { beeps.push_back(type); }

  private:
    friend class FakeOutFile;
    void Key(std::uint8_t vk, bool down);
    static std::uint8_t SideOf(std::uint8_t vk);
    bool Fails(const std::string& op, const std::string& path);
    static std::string FileKey(const std::string& path);

    std::map<WindowHandle, Window> windows_;
    std::vector<WindowHandle> zOrder_;  // topmost first
    WindowHandle nextHandle_ = 0x10010;
    WindowHandle foreground_ = 0;
    std::optional<std::string> clipboard_;
    struct RegistryValue {
        std::string text;
        bool broken = false;
    };
    std::map<std::string, RegistryValue> registry_;
    std::map<std::string, std::string> associations_;
    std::map<std::string, std::pair<std::string, std::string>> files_;  // key -> (path, bytes)
    std::uint32_t tick_ = 1000;
    std::array<bool, 256> down_{};
};

// Installs a fake as the current platform for the lifetime of a test fixture.
class ScopedFakePlatform {
  public:
    ScopedFakePlatform() { SetCurrent(&fake); }
    ~ScopedFakePlatform() { SetCurrent(nullptr); }
    FakePlatform fake;
};

}  // namespace platform
