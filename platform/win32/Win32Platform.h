// The platform over the real Win32 desktop. Every text crosses as Shift-JIS (code page 932)
// and reaches Win32 through the wide APIs, so the result does not depend on the system locale.
#pragma once

#include "platform/Platform.h"

namespace platform {

// Wait until activation settles: the policy for everything that brings a window to the front.
// The desktop grants a foreground switch asynchronously. SetForegroundWindow returns before the
// switch has happened, and its result says little either way; the window comes to the front a
// few milliseconds later, or later still when a window manager hands the focus over in its own
// time, and focus events still queued for the window that had the front can take it back just
// after. Between two activations the desktop window itself is in front for a moment. A program
// that has just reached input idle may list its main window a moment after that. So this
// platform reports the desktop window as no foreground at all, and whoever activates or waits
// for a window asks again and polls, bounded, until the window is in front and has stayed there
// (the key runner's FrontRequest, the launch's window poll), never a fixed sleep.
class Win32Platform : public Platform {
  public:
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
    WindowHandle GetForegroundWindow() override;
    bool GetWindowPlacement(WindowHandle w, WindowPlacement& placement) override;
    bool SetWindowPlacement(WindowHandle w, const WindowPlacement& placement) override;
    bool MoveWindow(WindowHandle w, const Rect& rect) override;
    bool IsWindowHung(WindowHandle w) override;

    void KeyDown(std::uint8_t vk) override;
    void KeyUp(std::uint8_t vk) override;
    bool IsKeyDown(std::uint8_t vk) override;

    bool OpenClipboard() override;
    bool EmptyClipboard() override;
    void CloseClipboard() override;
    bool IsClipboardTextAvailable() override;
    std::string GetClipboardText() override;

    std::optional<ProcessId> StartProcess(const std::string& commandLine,
                                          const std::string& workingFolder,
                                          std::uint32_t idleTimeoutMs) override;
    bool IsProcessRunning(ProcessId pid) override;
    std::string FindExecutable(const std::string& documentPath) override;
    std::string ExecutablePath() override;

    RegistryRead ReadUserString(const std::string& key, const std::string& subKey,
                                const std::string& valueName, std::string& value) override;

    bool FileExists(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to, bool replace) override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    std::unique_ptr<OutFile> CreateFile(const std::string& path) override;

    std::uint32_t GetTickCount() override;
    void ProcessMessages() override;
    void WaitForMessage(std::uint32_t timeoutMs) override;
    void MessageBeep(std::uint32_t type) override;
};

}  // namespace platform
