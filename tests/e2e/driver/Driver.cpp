#include "tests/e2e/driver/Driver.h"

#include "platform/win32/Codepage.h"
#include "platform/win32/ScopedHandle.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <sstream>

namespace e2e {

platform::Win32Platform& Platform() {
    static platform::Win32Platform instance;
    return instance;
}

// ---- Text ------------------------------------------------------------------------------

std::string Sjis(const std::wstring& wide) {
    return platform::WideToSjis(wide);
}
std::wstring FromSjis(const std::string& sjis) {
    return platform::SjisToWide(sjis);
}

std::string Utf8(const std::wstring& wide) {
    return platform::WideToUtf8(wide);
}

std::wstring FromUtf8(const std::string& utf8) {
    return platform::Utf8ToWide(utf8);
}

// ---- Paths and files -------------------------------------------------------------------

std::wstring WinPath(const std::string& unixPath) {
    std::wstring path = FromUtf8(unixPath);
    // Under Wine the build's paths are Linux ones, which Wine shows on drive Z:; a native
    // Windows build hands in "C:/..." already.
    if (path.size() < 2 || path[1] != L':') {
        path = L"Z:" + path;
    }
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

std::string RequiredEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        ADD_FAILURE() << name << " is not set: run this test through ctest";
        return {};
    }
    return value;
}

std::wstring JwsimExe() {
    return WinPath(RequiredEnv("QB_JWSIM_EXE"));
}

std::wstring QuillboxExe() {
    const char* value = std::getenv("QB_QUILLBOX_EXE");
    return value == nullptr || *value == '\0' ? std::wstring() : WinPath(value);
}

bool MakeFolders(const std::wstring& folder) {
    for (std::size_t i = 3; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == L'\\') {
            std::wstring part = folder.substr(0, i);
            if (!::CreateDirectoryW(part.c_str(), nullptr) &&
                ::GetLastError() != ERROR_ALREADY_EXISTS) {
                return false;
            }
        }
    }
    return true;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    platform::ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.valid() &&
           ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size() && file.Close();
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    // Every sharing mode: jwsim appends to its log while a test reads it, and a reader that
    // shut writers out would make jwsim lose that line.
    platform::ScopedHandle file(::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// ---- Waiting ---------------------------------------------------------------------------

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (::GetTickCount() - start >= timeoutMs) {
            return condition();
        }
        Platform().ProcessMessages();
        Platform().WaitForMessage(10);
    }
}

// ---- Processes -------------------------------------------------------------------------

Process::Process(Process&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), pid_(std::exchange(other.pid_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        handle_ = std::exchange(other.handle_, nullptr);
        pid_ = std::exchange(other.pid_, 0);
    }
    return *this;
}

Process::~Process() {
    Kill();
}

bool Process::Running() const {
    return handle_ != nullptr && ::WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(DWORD timeoutMs) const {
    return handle_ == nullptr || ::WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

void Process::Kill() {
    if (handle_ == nullptr) {
        return;
    }
    if (Running()) {
        ::TerminateProcess(handle_, 1);
        ::WaitForSingleObject(handle_, 5000);
    }
    ::CloseHandle(handle_);
    handle_ = nullptr;
}

namespace {

std::wstring Upper(std::wstring s) {
    for (wchar_t& c : s) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return s;
}

// Our environment without JWSIM_* switches, plus the overrides, as a CreateProcessW block.
std::vector<wchar_t> EnvironmentBlock(const EnvOverrides& overrides) {
    std::map<std::wstring, std::wstring> vars;  // upper-cased name -> "NAME=value"
    if (wchar_t* strings = ::GetEnvironmentStringsW()) {
        for (const wchar_t* p = strings; *p != L'\0'; p += std::wcslen(p) + 1) {
            std::wstring entry = p;
            std::size_t eq = entry.find(L'=', 1);  // "=C:" style entries start with '='
            std::wstring name = Upper(entry.substr(0, eq));
            if (name.rfind(L"JWSIM_", 0) != 0) {
                vars[name] = entry;
            }
        }
        ::FreeEnvironmentStringsW(strings);
    }
    for (const auto& [name, value] : overrides) {
        vars[Upper(name)] = name + L"=" + value;
    }
    std::vector<wchar_t> block;
    for (const auto& [name, entry] : vars) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

}  // namespace

Process Start(const std::wstring& commandLine, const std::wstring& folder,
              const EnvOverrides& env) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    std::vector<wchar_t> block = EnvironmentBlock(env);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Under load Wine now and then fails a process creation that succeeds a moment later (seen
    // about once in 100 starts); a scenario is about what the programs do, so try a few times.
    DWORD error = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) {
            ::Sleep(200);
        }
        if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                             CREATE_UNICODE_ENVIRONMENT, block.data(),
                             folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
            error = 0;
            break;
        }
        error = ::GetLastError() != 0 ? ::GetLastError() : ERROR_GEN_FAILURE;
    }
    if (error != 0) {
        ADD_FAILURE() << "cannot start " << Utf8(commandLine) << " (error " << error << ")";
        return {};
    }
    ::CloseHandle(info.hThread);
    return Process(info.hProcess, info.dwProcessId);
}

// ---- Windows ---------------------------------------------------------------------------

std::wstring WindowTitle(HWND w) {
    wchar_t buffer[1024] = {};
    int n = ::GetWindowTextW(w, buffer, 1024);
    return std::wstring(buffer, n > 0 ? n : 0);
}

HWND FindTopWindow(const std::function<bool(HWND)>& match) {
    struct Search {
        const std::function<bool(HWND)>* match;
        HWND found = nullptr;
        static BOOL CALLBACK Visit(HWND w, LPARAM param) {
            auto* self = reinterpret_cast<Search*>(param);
            if (::IsWindowVisible(w) && (*self->match)(w)) {
                self->found = w;
                return FALSE;
            }
            return TRUE;
        }
    } search{&match};
    ::EnumWindows(&Search::Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindowTitled(const std::wstring& title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            found = FindTopWindow([&](HWND w) { return WindowTitle(w) == title; });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

HWND FindUnownedWindowOf(DWORD pid, bool visibleOnly, const std::wstring& className) {
    struct Search {
        DWORD pid;
        bool visibleOnly;
        const std::wstring& className;
        HWND found = nullptr;
        static BOOL CALLBACK Visit(HWND w, LPARAM param) {
            auto* self = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            wchar_t name[64] = {};
            if (!self->className.empty()) {
                ::GetClassNameW(w, name, 64);
            }
            if (owner == self->pid && ::GetWindow(w, GW_OWNER) == nullptr &&
                (!self->visibleOnly || ::IsWindowVisible(w)) &&
                (self->className.empty() || self->className == name)) {
                self->found = w;
                return FALSE;
            }
            return TRUE;
        }
    } search{pid, visibleOnly, className};
    ::EnumWindows(&Search::Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForProcessWindow(DWORD pid, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindUnownedWindowOf(pid)) != nullptr; }, timeoutMs);
    return found;
}

HWND WaitForOwnedWindow(HWND owner, const std::wstring& title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            found = FindTopWindow([&](HWND w) {
                // An open menu is an owned top-level window too, but never the one wanted.
                wchar_t cls[64] = {};
                ::GetClassNameW(w, cls, 64);
                return ::GetWindow(w, GW_OWNER) == owner && std::wstring(cls) != L"#32768" &&
                       (title.empty() || WindowTitle(w) == title);
            });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool Activate(HWND w, DWORD timeoutMs) {
    return WaitFor(
        [&] {
            if (::GetForegroundWindow() == w) {
                return true;
            }
            ::SetForegroundWindow(w);
            return false;
        },
        timeoutMs);
}

HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& caption) {
    struct Search {
        const std::wstring* className;
        const std::wstring* caption;
        HWND found = nullptr;
        static BOOL CALLBACK Visit(HWND w, LPARAM param) {
            auto* self = reinterpret_cast<Search*>(param);
            wchar_t cls[256] = {};
            ::GetClassNameW(w, cls, 256);
            if (::lstrcmpiW(cls, self->className->c_str()) == 0 &&
                (self->caption->empty() || WindowTitle(w) == *self->caption)) {
                self->found = w;
                return FALSE;
            }
            return TRUE;
        }
    } search{&className, &caption};
    ::EnumChildWindows(parent, &Search::Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ClickButton(HWND button) {
    return ::PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

std::vector<std::wstring> TabTexts(HWND tab) {
    std::vector<std::wstring> texts;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(tab, &pid);
    platform::ScopedHandle process(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!process.valid()) {
        ADD_FAILURE() << "cannot open the tab control's process";
        return texts;
    }
    constexpr int kChars = 512;
    SIZE_T bytes = sizeof(TCITEMW) + kChars * sizeof(wchar_t);
    void* remote =
        ::VirtualAllocEx(process.get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr) {
        ADD_FAILURE() << "VirtualAllocEx failed";
        return texts;
    }
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(TCITEMW));
    int count = static_cast<int>(::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = remoteText;
        item.cchTextMax = kChars;
        wchar_t text[kChars] = {};
        SIZE_T moved = 0;
        ::WriteProcessMemory(process.get(), remote, &item, sizeof(item), &moved);
        ::WriteProcessMemory(process.get(), remoteText, text, sizeof(text), &moved);
        ::SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(process.get(), remoteText, text, sizeof(text), &moved);
        text[kChars - 1] = L'\0';
        texts.emplace_back(text);
    }
    ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return texts;
}

RECT WindowRect(HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return r;
}

// ---- Real input ------------------------------------------------------------------------

// Wine's start /unix does not wait for a Linux program, so the command leaves its exit status in
// a file we wait for.
std::optional<int> RunLinux(const std::string& shellCommand) {
    static int serial = 0;
    const std::string done =
        RequiredEnv("QB_E2E_SCRATCH") + "/linux-" + std::to_string(++serial) + ".status";
    const std::wstring doneWin = WinPath(done);
    ::DeleteFileW(doneWin.c_str());
    const std::string script = "{ " + shellCommand + "; } >/dev/null 2>&1; echo $? >'" + done +
                               ".tmp'; mv '" + done + ".tmp' '" + done + "'";
    Process tool = Start(L"start.exe /unix /bin/sh -c \"" + FromUtf8(script) + L"\"");
    if (!tool.started() || !WaitFor([&] { return FileExists(doneWin); }, 15000)) {
        return std::nullopt;
    }
    const std::optional<std::string> status = ReadBytes(doneWin);
    ::DeleteFileW(doneWin.c_str());
    if (!status || status->empty()) {
        return std::nullopt;
    }
    return std::atoi(status->c_str());
}

bool XdoTool(const std::wstring& arguments) {
    return RunLinux("xdotool " + Utf8(arguments)) == 0;
}

bool RealClick(HWND w) {
    const RECT r = WindowRect(w);
    return XdoTool(L"mousemove " + std::to_wstring((r.left + r.right) / 2) + L" " +
                   std::to_wstring((r.top + r.bottom) / 2) + L" click 1");
}

bool RealDrag(int x0, int y0, int x1, int y1) {
    std::wstring steps = L"mousemove " + std::to_wstring(x0) + L" " + std::to_wstring(y0) +
                         L" sleep 0.1 mousedown 1 sleep 0.3";
    for (int i = 1; i <= 10; ++i) {
        steps += L" sleep 0.03 mousemove " + std::to_wstring(x0 + (x1 - x0) * i / 10) + L" " +
                 std::to_wstring(y0 + (y1 - y0) * i / 10);
    }
    // The pauses give the program's (or the window manager's) move loop time to start and to
    // follow the last step before the button comes up, also on a busy machine.
    return XdoTool(steps + L" sleep 0.3 mouseup 1");
}

namespace {

// The X window Wine made for a top-level window (a window property any process can read).
unsigned long XWindowOf(HWND w) {
    return static_cast<unsigned long>(
        reinterpret_cast<std::uintptr_t>(::GetPropW(w, L"__wine_x11_whole_window")));
}

// X window ids, bottom to top, as the window manager or else the X server stacks them.
std::vector<unsigned long> XStacking() {
    std::vector<unsigned long> ids;
    const std::string scratch = RequiredEnv("QB_E2E_SCRATCH") + "/stacking.txt";
    if (!RunLinux("{ xprop -root _NET_CLIENT_LIST_STACKING; xwininfo -root -children; } >'" +
                  scratch + "' 2>&1")) {
        return ids;
    }
    const std::optional<std::string> text = ReadBytes(WinPath(scratch));
    if (!text) {
        return ids;
    }
    // "_NET_CLIENT_LIST_STACKING(WINDOW): window id # 0x1, 0x2", bottom first, when a manager
    // runs; otherwise one line per child of the root, "     0x1000001 "title": ...", top first.
    const std::size_t list = text->find("_NET_CLIENT_LIST_STACKING(WINDOW)");
    const bool managed = list != std::string::npos;
    std::size_t pos = managed ? text->find('#', list) : text->find("children:");
    const std::size_t end = managed ? text->find('\n', list) : text->size();
    while (pos != std::string::npos && (pos = text->find("0x", pos)) < end) {
        std::size_t used = 0;
        ids.push_back(std::stoul(text->substr(pos), &used, 16));
        pos += used;
        if (!managed) {
            pos = text->find('\n', pos);  // the rest of a child's line holds other numbers
        }
    }
    if (!managed) {
        std::reverse(ids.begin(), ids.end());
    }
    return ids;
}

}  // namespace

bool XStackedAbove(HWND upper, HWND lower) {
    const std::vector<unsigned long> ids = XStacking();
    const auto up = std::find(ids.begin(), ids.end(), XWindowOf(upper));
    const auto low = std::find(ids.begin(), ids.end(), XWindowOf(lower));
    return up != ids.end() && low != ids.end() && up > low;
}

void EndEveryDrawing() {
    while (HWND w = FindTopWindow(
               [](HWND h) { return WindowTitle(h).find(L" - jw_win") != std::wstring::npos; })) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        platform::ScopedHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (!process.valid()) {
            ADD_FAILURE() << "cannot end " << Utf8(WindowTitle(w));
            return;
        }
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
        WaitFor([&] { return !::IsWindow(w); }, 2000);
    }
}

// ---- Keys ------------------------------------------------------------------------------

void TapKey(std::uint8_t vk, bool alt) {
    if (alt) {
        Platform().KeyDown(VK_MENU);
    }
    Platform().KeyDown(vk);
    Platform().KeyUp(vk);
    if (alt) {
        Platform().KeyUp(VK_MENU);
    }
}

bool AnyModifierDown() {
    for (int vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL,
                   VK_LMENU, VK_RMENU}) {
        if (::GetAsyncKeyState(vk) & 0x8000) {
            return true;
        }
    }
    return false;
}

// ---- Clipboard and registry ------------------------------------------------------------

bool ClearClipboard() {
    if (!Platform().OpenClipboard()) {
        return false;
    }
    bool ok = Platform().EmptyClipboard();
    Platform().CloseClipboard();
    return ok;
}

std::optional<std::string> ClipboardSjis() {
    if (!Platform().OpenClipboard()) {
        return std::nullopt;
    }
    std::optional<std::string> text;
    if (Platform().IsClipboardTextAvailable()) {
        text = Platform().GetClipboardText();
    }
    Platform().CloseClipboard();
    return text;
}

namespace {
constexpr char kJwKey[] = "SOFTWARE\\Jw_cad\\jw_win\\";
}

std::optional<std::string> JwFolderValue() {
    std::string value;
    if (Platform().ReadUserString(kJwKey, "Folder", "File", value) != platform::RegistryRead::Ok) {
        return std::nullopt;
    }
    return value;
}

bool DeleteJwFolderValue() {
    LONG rc = ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Jw_cad\\jw_win\\Folder", L"File");
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

// ---- Workspace and jwsim's log ---------------------------------------------------------

Workspace::Workspace() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name = test == nullptr
                            ? L"outside-a-test"
                            : FromUtf8(std::string(test->test_suite_name()) + "." + test->name());
    folder_ = WinPath(RequiredEnv("QB_E2E_SCRATCH")) + L"\\" + name;
    RemoveTree(folder_);
    EXPECT_TRUE(MakeFolders(folder_)) << "cannot create " << Utf8(folder_);
    log_ = folder_ + L"\\jwsim.log";
}

std::wstring Workspace::CreateDrawing(const std::wstring& relative) {
    std::wstring path = Path(relative);
    std::size_t slash = path.find_last_of(L'\\');
    EXPECT_TRUE(MakeFolders(path.substr(0, slash)));
    EXPECT_TRUE(WriteBytes(path, "JwwData.\r\n")) << "cannot write " << Utf8(path);
    return path;
}

Process Workspace::StartJwsim(const std::wstring& drawing, const std::wstring& args,
                              EnvOverrides env) const {
    env.emplace(L"JWSIM_LOG", log_);
    std::wstring line = JwsimExe() + L" " + drawing;
    if (!args.empty()) {
        line += L" " + args;
    }
    return Start(line, {}, env);
}

std::wstring Workspace::InstallQuillbox() const {
    std::wstring source = QuillboxExe();
    if (source.empty()) {
        ADD_FAILURE() << "quillbox.exe is not built";
        return {};
    }
    std::wstring target = folder_ + L"\\quillbox.exe";
    EXPECT_TRUE(::CopyFileW(source.c_str(), target.c_str(), FALSE)) << "cannot copy quillbox.exe";
    return target;
}

std::vector<Event> Workspace::Events() const {
    std::vector<Event> events;
    std::optional<std::string> bytes = ReadBytes(log_);
    if (!bytes) {
        return events;
    }
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = bytes->find('\n', pos);
        if (end == std::string::npos) {
            break;  // a line still being written
        }
        std::string line = bytes->substr(pos, end - pos);
        pos = end + 1;
        std::size_t a = line.find(' ');
        if (a == std::string::npos) {
            continue;
        }
        std::size_t b = line.find(' ', a + 1);
        Event event;
        event.pid = static_cast<DWORD>(std::strtoul(line.c_str(), nullptr, 10));
        event.name = line.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
        if (b != std::string::npos) {
            event.detail = FromUtf8(line.substr(b + 1));
        }
        events.push_back(std::move(event));
    }
    return events;
}

std::optional<Event> Workspace::WaitForEvent(const std::function<bool(const Event&)>& match,
                                             DWORD timeoutMs) const {
    std::optional<Event> found;
    WaitFor(
        [&] {
            for (const Event& e : Events()) {
                if (match(e)) {
                    found = e;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

std::optional<Event> Workspace::WaitForEvent(DWORD pid, const std::string& name,
                                             DWORD timeoutMs) const {
    return WaitForEvent([&](const Event& e) { return e.pid == pid && e.name == name; }, timeoutMs);
}

std::vector<KeyEvent> Workspace::Keys(DWORD pid) const {
    std::vector<KeyEvent> keys;
    for (const Event& e : Events()) {
        if (e.pid != pid) {
            continue;
        }
        bool down = e.name == "keydown" || e.name == "syskeydown";
        bool up = e.name == "keyup" || e.name == "syskeyup";
        if (down || up) {
            keys.push_back(
                {static_cast<std::uint8_t>(std::wcstoul(e.detail.c_str(), nullptr, 16)), down});
        }
    }
    return keys;
}

}  // namespace e2e
