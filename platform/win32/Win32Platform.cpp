#include "platform/win32/Win32Platform.h"

#include "platform/Sjis.h"
#include "platform/win32/Codepage.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/WinInclude.h"

#include <algorithm>

#include <vector>

namespace platform {

namespace {

HWND ToHwnd(WindowHandle w) {
    return reinterpret_cast<HWND>(w);
}
WindowHandle FromHwnd(HWND h) {
    return reinterpret_cast<WindowHandle>(h);
}

// keybd_event takes the release flag as its third argument; naming the two cases keeps it
// from ever landing in the scan-code slot.
enum class KeyAction { Press, Release };

void SendKeyEvent(std::uint8_t vk, KeyAction action) {
    DWORD flags = action == KeyAction::Release ? KEYEVENTF_KEYUP : 0;
    BYTE scan = 0;
    // A right Ctrl or Alt without the extended flag lands on the left key (measured under Wine;
    // Windows keeps the flag as the keyboard sends it), so a held right key would stay down.
    if (vk == VK_RCONTROL || vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN) {
        flags |= KEYEVENTF_EXTENDEDKEY;
    } else if (vk == VK_RSHIFT) {
        scan = 0x36;  // right Shift's scan code: Windows tells the two Shifts apart by it
    }
    ::keybd_event(vk, scan, flags, 0);
}

class Win32OutFile : public OutFile {
  public:
    explicit Win32OutFile(ScopedHandle file) : file_(std::move(file)) {}

    bool Write(std::string_view bytes) override {
        std::size_t done = 0;
        while (file_.valid() && done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
            DWORD written = 0;
            if (!::WriteFile(file_.get(), bytes.data() + done, chunk, &written, nullptr) ||
                written == 0) {
                return false;
            }
            done += written;
        }
        return file_.valid();
    }

    bool Flush() override { return file_.valid() && ::FlushFileBuffers(file_.get()) != FALSE; }

    bool Close() override { return file_.valid() && file_.Close(); }

  private:
    ScopedHandle file_;
};

}  // namespace

// ---- Windows ---------------------------------------------------------------------------

void Win32Platform::EnumWindows(const std::function<bool(WindowHandle)>& visit) {
    struct Visitor {
        static BOOL CALLBACK Call(HWND h, LPARAM param) {
            auto* f = reinterpret_cast<const std::function<bool(WindowHandle)>*>(param);
            return (*f)(FromHwnd(h)) ? TRUE : FALSE;
        }
    };
    // The same top-level windows, in the same order, as EnumWindows. Under Wine, EnumWindows
    // asks the server whether each window still exists before calling back: a round trip per
    // window at every scan, which the callers never need, since a window gone meanwhile has
    // no title, owner or visibility. Wine lists the message-only windows after the others;
    // none of them is visible. That takes about 40 % off an idle strip beside a full desktop.
    ::EnumDesktopWindows(nullptr, &Visitor::Call, reinterpret_cast<LPARAM>(&visit));
}

WindowHandle Win32Platform::GetOwner(WindowHandle w) {
    return FromHwnd(::GetWindow(ToHwnd(w), GW_OWNER));
}

bool Win32Platform::IsWindowVisible(WindowHandle w) {
    return ::IsWindowVisible(ToHwnd(w)) != FALSE;
}

std::string Win32Platform::GetWindowText(WindowHandle w, int maxCount) {
    if (maxCount <= 0) {
        return {};
    }
    // Every UTF-16 unit gives at least one Shift-JIS byte, so maxCount units are enough to
    // fill maxCount - 1 bytes.
    std::vector<wchar_t> buffer(static_cast<std::size_t>(maxCount) + 1, L'\0');
    int n = ::GetWindowTextW(ToHwnd(w), buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0) {
        return {};
    }
    std::string sjis = WideToSjis(std::wstring(buffer.data(), static_cast<std::size_t>(n)));
    sjis = sjis.substr(0, sjis.find('\0'));
    return ::CutSjis(sjis, static_cast<std::size_t>(maxCount - 1));
}

ProcessId Win32Platform::GetWindowProcessId(WindowHandle w) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(ToHwnd(w), &pid);
    return pid;
}

bool Win32Platform::IsWindow(WindowHandle w) {
    return w != 0 && ::IsWindow(ToHwnd(w)) != FALSE;
}

namespace {

// Showing or moving another thread's window waits until that thread takes the request: a
// Jw_cad that is still starting, or hung, would freeze the strip with it. Posted instead.
bool OfAnotherThread(HWND w) {
    return ::GetWindowThreadProcessId(w, nullptr) != ::GetCurrentThreadId();
}

}  // namespace

void Win32Platform::ShowWindow(WindowHandle w, int command) {
    if (OfAnotherThread(ToHwnd(w))) {
        ::ShowWindowAsync(ToHwnd(w), command);
    } else {
        ::ShowWindow(ToHwnd(w), command);
    }
}

bool Win32Platform::IsIconic(WindowHandle w) {
    return ::IsIconic(ToHwnd(w)) != FALSE;
}

void Win32Platform::OpenIcon(WindowHandle w) {
    if (OfAnotherThread(ToHwnd(w))) {
        ::ShowWindowAsync(ToHwnd(w), SW_RESTORE);  // what OpenIcon does, without the wait
    } else {
        ::OpenIcon(ToHwnd(w));
    }
}

bool Win32Platform::SetForegroundWindow(WindowHandle w) {
    return ::SetForegroundWindow(ToHwnd(w)) != FALSE;
}

WindowHandle Win32Platform::GetForegroundWindow() {
    // Between two activations the desktop window can be in front for a moment (see "wait until
    // activation settles" in Win32Platform.h): that is no window of any program, so none.
    HWND foreground = ::GetForegroundWindow();
    if (foreground == ::GetDesktopWindow()) {
        return 0;
    }
    return FromHwnd(foreground);
}

bool Win32Platform::GetWindowPlacement(WindowHandle w, WindowPlacement& placement) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!::GetWindowPlacement(ToHwnd(w), &wp)) {
        return false;
    }
    placement.flags = wp.flags;
    placement.showCmd = wp.showCmd;
    placement.minPosition = {wp.ptMinPosition.x, wp.ptMinPosition.y};
    placement.maxPosition = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
    placement.normalPosition = {wp.rcNormalPosition.left, wp.rcNormalPosition.top,
                                wp.rcNormalPosition.right, wp.rcNormalPosition.bottom};
    return true;
}

bool Win32Platform::SetWindowPlacement(WindowHandle w, const WindowPlacement& placement) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    wp.flags = placement.flags;
    wp.showCmd = placement.showCmd;
    wp.ptMinPosition = {placement.minPosition.x, placement.minPosition.y};
    wp.ptMaxPosition = {placement.maxPosition.x, placement.maxPosition.y};
    wp.rcNormalPosition = {placement.normalPosition.left, placement.normalPosition.top,
                           placement.normalPosition.right, placement.normalPosition.bottom};
    return ::SetWindowPlacement(ToHwnd(w), &wp) != FALSE;
}

bool Win32Platform::MoveWindow(WindowHandle w, const Rect& rect) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (OfAnotherThread(ToHwnd(w))) {
        flags |= SWP_ASYNCWINDOWPOS;
    }
    return ::SetWindowPos(ToHwnd(w), nullptr, rect.left, rect.top, rect.right - rect.left,
                          rect.bottom - rect.top, flags) != FALSE;
}

bool Win32Platform::IsWindowHung(WindowHandle w) {
    HWND hwnd = ToHwnd(w);
    if (::IsHungAppWindow(hwnd)) {
        return true;
    }
    // IsHungAppWindow waits seconds before it calls a window hung; a program that has not
    // taken a message since it started is caught by asking it to take one now.
    DWORD_PTR result = 0;
    constexpr UINT kProbeMs = 200;
    return ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kProbeMs,
                                 &result) == 0;
}

// ---- Keys ------------------------------------------------------------------------------

void Win32Platform::KeyDown(std::uint8_t vk) {
    SendKeyEvent(vk, KeyAction::Press);
}

void Win32Platform::KeyUp(std::uint8_t vk) {
    SendKeyEvent(vk, KeyAction::Release);
}

bool Win32Platform::IsKeyDown(std::uint8_t vk) {
    return (::GetAsyncKeyState(vk) & 0x8000) != 0;
}

// ---- Clipboard -------------------------------------------------------------------------

bool Win32Platform::OpenClipboard() {
    // Another program may hold the clipboard for a few milliseconds. No owner window: owning
    // it would make the CAD program's next EmptyClipboard wait on our message loop.
    constexpr int kTries = 10;
    constexpr DWORD kPauseMs = 10;
    for (int i = 0; i < kTries; ++i) {
        if (::OpenClipboard(nullptr)) {
            return true;
        }
        DWORD until = ::GetTickCount() + kPauseMs;
        do {
            ProcessMessages();
            WaitForMessage(kPauseMs);
        } while (static_cast<int>(until - ::GetTickCount()) > 0);
    }
    return false;
}

bool Win32Platform::EmptyClipboard() {
    return ::EmptyClipboard() != FALSE;
}

void Win32Platform::CloseClipboard() {
    ::CloseClipboard();
}

bool Win32Platform::IsClipboardTextAvailable() {
    return ::IsClipboardFormatAvailable(CF_UNICODETEXT) || ::IsClipboardFormatAvailable(CF_TEXT);
}

std::string Win32Platform::GetClipboardText() {
    // The Unicode form is right whatever code page the writer had; the ANSI form only when
    // the writer's code page was 932.
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        ScopedGlobalLock lock(data);
        if (lock.data() != nullptr) {
            const auto* text = static_cast<const wchar_t*>(lock.data());
            std::size_t units = lock.size() / sizeof(wchar_t);
            std::size_t n = 0;
            while (n < units && text[n] != L'\0') {
                ++n;
            }
            return WideToSjis(std::wstring(text, n));
        }
    }
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        ScopedGlobalLock lock(data);
        if (lock.data() != nullptr) {
            const auto* text = static_cast<const char*>(lock.data());
            std::size_t n = 0;
            while (n < lock.size() && text[n] != '\0') {
                ++n;
            }
            return std::string(text, n);
        }
    }
    return {};
}

// ---- Processes and shell ---------------------------------------------------------------

std::optional<ProcessId> Win32Platform::StartProcess(const std::string& commandLine,
                                                     const std::string& workingFolder,
                                                     std::uint32_t idleTimeoutMs) {
    std::wstring line = SjisToWide(commandLine);
    std::vector<wchar_t> mutableLine(line.begin(), line.end());
    mutableLine.push_back(L'\0');  // CreateProcessW may write into the command line
    std::wstring folder = SjisToWide(workingFolder);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);

    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE,
                          CREATE_DEFAULT_ERROR_MODE, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        return std::nullopt;
    }
    ScopedHandle process(info.hProcess);
    ScopedHandle thread(info.hThread);
    // Wait in slices and handle our own messages in between: the strip goes on painting, and
    // the focus changes the desktop sends it while the program starts are taken in their
    // order, not all at once after the new window has already come to the front.
    constexpr DWORD kSliceMs = 20;
    const DWORD start = ::GetTickCount();
    while (::WaitForInputIdle(process.get(), kSliceMs) == WAIT_TIMEOUT &&
           ::GetTickCount() - start < idleTimeoutMs) {
        ProcessMessages();
        if (stopIdleWait && stopIdleWait()) {
            break;
        }
    }
    return info.dwProcessId;
}

bool Win32Platform::IsProcessRunning(ProcessId pid) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) {
        return false;
    }
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

std::string Win32Platform::FindExecutable(const std::string& documentPath) {
    wchar_t program[MAX_PATH + 1] = {};
    std::wstring document = SjisToWide(documentPath);
    auto result = reinterpret_cast<INT_PTR>(::FindExecutableW(document.c_str(), nullptr, program));
    if (result <= 32) {
        return {};
    }
    return WideToSjis(program);
}

std::string Win32Platform::ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            return WideToSjis(std::wstring(buffer.data(), n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

// ---- Registry --------------------------------------------------------------------------

RegistryRead Win32Platform::ReadUserString(const std::string& key, const std::string& subKey,
                                           const std::string& valueName, std::string& value) {
    // Joined as UTF-16: a Shift-JIS trail byte 0x5C must not pass for a separator.
    std::wstring path = SjisToWide(key);
    std::wstring sub = SjisToWide(subKey);
    if (!path.empty() && !sub.empty() && path.back() != L'\\') {
        path += L'\\';
    }
    path += sub;

    ScopedRegKey handle;
    LONG rc = ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, handle.out());
    if (rc == ERROR_FILE_NOT_FOUND) {
        return RegistryRead::Missing;
    }
    if (rc != ERROR_SUCCESS) {
        return RegistryRead::Error;
    }

    std::wstring name = SjisToWide(valueName);
    DWORD type = 0;
    DWORD size = 0;
    rc = ::RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<wchar_t> data;
    DWORD bytes = 0;
    // The value may grow between asking its size and reading it; ask again then.
    for (int attempt = 0; rc == ERROR_SUCCESS; ++attempt) {
        data.assign(size / sizeof(wchar_t) + 2, L'\0');
        bytes = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        rc = ::RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &bytes);
        if (rc != ERROR_MORE_DATA || attempt == 2) {
            break;
        }
        size = bytes;
        rc = ERROR_SUCCESS;
    }
    if (rc == ERROR_FILE_NOT_FOUND) {
        return RegistryRead::Missing;
    }
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return RegistryRead::Error;
    }
    // The stored value need not end in a zero, and may hold more than one.
    std::size_t units = std::min<std::size_t>(bytes / sizeof(wchar_t), data.size() - 1);
    std::wstring text(data.data(), units);
    value = WideToSjis(text.substr(0, text.find(L'\0')));
    return RegistryRead::Ok;
}

// ---- Files -----------------------------------------------------------------------------

bool Win32Platform::FileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(SjisToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::DeleteFile(const std::string& path) {
    return ::DeleteFileW(SjisToWide(path).c_str()) != FALSE;
}

bool Win32Platform::RenameFile(const std::string& from, const std::string& to, bool replace) {
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (replace) {
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    return ::MoveFileExW(SjisToWide(from).c_str(), SjisToWide(to).c_str(), flags) != FALSE;
}

std::optional<std::string> Win32Platform::ReadFile(const std::string& path) {
    ScopedHandle file(::CreateFileW(SjisToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(chunk, got);
    }
}

std::unique_ptr<OutFile> Win32Platform::CreateFile(const std::string& path) {
    ScopedHandle file(::CreateFileW(SjisToWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return nullptr;
    }
    return std::make_unique<Win32OutFile>(std::move(file));
}

// ---- Time, messages, sound -------------------------------------------------------------

std::uint32_t Win32Platform::GetTickCount() {
    return ::GetTickCount();
}

void Win32Platform::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to consume: the program's main loop must still see it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Win32Platform::WaitForMessage(std::uint32_t timeoutMs) {
    ::MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void Win32Platform::MessageBeep(std::uint32_t type) {
    ::MessageBeep(type);
}

}  // namespace platform
