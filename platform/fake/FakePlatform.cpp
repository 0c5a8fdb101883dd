#include "platform/fake/FakePlatform.h"

#include <algorithm>

#include "platform/Sjis.h"

namespace platform {

namespace {

std::string ExtensionUpper(const std::string& path) {
    std::size_t dot = std::string::npos;
    for (std::size_t i = 0; i < path.size(); i += CharWidthAt(path, i)) {
        const char c = path[i];
        if (c == '.') {
            dot = i;
        } else if (c == '\\' || c == ':') {
            dot = std::string::npos;
        }
    }
    return dot == std::string::npos ? std::string() : UpperSjis(path.substr(dot));
}

}  // namespace

class FakeOutFile : public OutFile {
  public:
    FakeOutFile(FakePlatform& fake, std::string path) : fake_(fake), path_(std::move(path)) {}
    bool Write(std::string_view bytes) override { return WritePieces({&bytes, 1}); }
    // One failure check for all the pieces, and the bytes made room for once.
    bool WritePieces(std::span<const std::string_view> pieces) override {
        if (closed_ || fake_.Fails("write", path_)) {
            return false;
        }
        auto it = fake_.files_.find(FakePlatform::FileKey(path_));
        if (it == fake_.files_.end()) {
            return false;  // deleted under us
        }
        std::string& bytes = it->second.second;
        std::size_t size = bytes.size();
        for (std::string_view piece : pieces) {
            size += piece.size();
        }
        bytes.reserve(size);
        for (std::string_view piece : pieces) {
            bytes += piece;
        }
        return true;
    }
    bool Flush() override { return !closed_ && !fake_.Fails("flush", path_); }
    bool Close() override {
        if (closed_) {
            return true;
        }
        closed_ = true;
        return !fake_.Fails("close", path_);
    }

  private:
    FakePlatform& fake_;
    std::string path_;
    bool closed_ = false;
};

FakePlatform::FakePlatform() = default;

WindowHandle FakePlatform::AddWindow(const std::string& title, ProcessId pid, bool visible,
                                     WindowHandle owner) {
    Window w;
    w.handle = nextHandle_;
    nextHandle_ += 0x10;
    w.title = title;
    w.pid = pid;
    w.visible = visible;
    w.owner = owner;
    w.placement.showCmd = kSwShowNormal;
    w.placement.normalPosition = {100, 100, 740, 580};
    windows_[w.handle] = w;
    zOrder_.insert(zOrder_.begin(), w.handle);
    return w.handle;
}

WindowHandle FakePlatform::AddWindowAtBottom(const std::string& title, ProcessId pid) {
    WindowHandle h = AddWindow(title, pid);
    zOrder_.erase(zOrder_.begin());
    zOrder_.push_back(h);
    return h;
}

void FakePlatform::CloseWindow(WindowHandle w) {
    windows_.erase(w);
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), w), zOrder_.end());
    if (foreground_ == w) {
        foreground_ = 0;
    }
}

void FakePlatform::BringToTop(WindowHandle w) {
    auto it = std::find(zOrder_.begin(), zOrder_.end(), w);
    if (it != zOrder_.end()) {
        zOrder_.erase(it);
        zOrder_.insert(zOrder_.begin(), w);
    }
}

FakePlatform::Window* FakePlatform::Find(WindowHandle w) {
    auto it = windows_.find(w);
    return it == windows_.end() ? nullptr : &it->second;
}

void FakePlatform::SetRegistryString(const std::string& key, const std::string& subKey,
                                     const std::string& name, const std::string& value) {
    registry_[key + "|" + subKey + "|" + name] = {value, false};
}

void FakePlatform::SetRegistryBroken(const std::string& key, const std::string& subKey,
                                     const std::string& name) {
    registry_[key + "|" + subKey + "|" + name] = {"", true};
}

std::string FakePlatform::FileKey(const std::string& path) {
    return UpperSjis(path);
}

void FakePlatform::PutFile(const std::string& path, const std::string& bytes) {
    files_[FileKey(path)] = {path, bytes};
}

std::optional<std::string> FakePlatform::FileBytes(const std::string& path) const {
    auto it = files_.find(FileKey(path));
    if (it == files_.end()) {
        return std::nullopt;
    }
    return it->second.second;
}

std::vector<std::string> FakePlatform::FilePaths() const {
    std::vector<std::string> paths;
    for (const auto& [key, file] : files_) {
        paths.push_back(file.first);
    }
    return paths;
}

bool FakePlatform::Fails(const std::string& op, const std::string& path) {
    return failFileOp && failFileOp(op, path);
}

// ---- Windows ---------------------------------------------------------------------------

void FakePlatform::EnumWindows(const std::function<bool(WindowHandle)>& visit) {
    ++enumerations;
    // A copy: the visitor may close or create windows.
    const std::vector<WindowHandle> order = zOrder_;
    for (WindowHandle w : order) {
        if (!visit(w)) {
            return;
        }
    }
}

WindowHandle FakePlatform::GetOwner(WindowHandle w) {
    const Window* win = Find(w);
    return win ? win->owner : 0;
}

bool FakePlatform::IsWindowVisible(WindowHandle w) {
    const Window* win = Find(w);
    return win && win->visible;
}

std::string FakePlatform::GetWindowText(WindowHandle w, int maxCount) {
    const Window* win = Find(w);
    if (!win || maxCount <= 0) {
        return {};
    }
    // Cut as the real platform cuts a title: never inside a double-byte character.
    const std::string title = win->title.substr(0, win->title.find('\0'));
    return CutSjis(title, static_cast<std::size_t>(maxCount - 1));
}

ProcessId FakePlatform::GetWindowProcessId(WindowHandle w) {
    const Window* win = Find(w);
    return win ? win->pid : 0;
}

bool FakePlatform::IsWindow(WindowHandle w) {
    return w != 0 && Find(w) != nullptr;
}

void FakePlatform::ShowWindow(WindowHandle w, int command) {
    shows.emplace_back(w, command);
    Window* win = Find(w);
    if (!win) {
        return;
    }
    switch (command) {
        case kSwShowMaximized:
            win->visible = true;
            win->iconic = false;
            win->maximized = true;
            break;
        case kSwShowMinimized:
        case kSwMinimize:
            win->visible = true;
            win->iconic = true;
            break;
        case kSwShowNormal:
        case kSwRestore:
            win->visible = true;
            win->iconic = false;
            win->maximized = false;
            break;
        default:
            win->visible = true;
            break;
    }
}

bool FakePlatform::IsIconic(WindowHandle w) {
    const Window* win = Find(w);
    return win && win->iconic;
}

void FakePlatform::OpenIcon(WindowHandle w) {
    Window* win = Find(w);
    if (win) {
        win->iconic = false;  // back to its previous state, maximised or normal
    }
}

bool FakePlatform::SetForegroundWindow(WindowHandle w) {
    foregroundRequests.push_back(w);
    if (refuseForeground > 0) {
        --refuseForeground;
        return false;
    }
    if (!IsWindow(w) || Find(w)->refusesFront) {
        return false;
    }
    foreground_ = w;
    BringToTop(w);
    return true;
}

bool FakePlatform::GetWindowPlacement(WindowHandle w, WindowPlacement& placement) {
    const Window* win = Find(w);
    if (!win) {
        return false;
    }
    placement = win->placement;
    placement.showCmd = win->iconic      ? kSwShowMinimized
                        : win->maximized ? kSwShowMaximized
                                         : kSwShowNormal;
    return true;
}

bool FakePlatform::SetWindowPlacement(WindowHandle w, const WindowPlacement& placement) {
    Window* win = Find(w);
    if (win && win->hung) {
        ++blockingCallsOnHungWindows;
    }
    if (!win || !win->acceptsPlacement) {
        return false;
    }
    win->placement = placement;
    ShowWindow(w, static_cast<int>(placement.showCmd));
    return true;
}

bool FakePlatform::IsWindowHung(WindowHandle w) {
    const Window* win = Find(w);
    return win && win->hung;
}

bool FakePlatform::IsProcessRunning(ProcessId pid) {
    return std::find(endedProcesses.begin(), endedProcesses.end(), pid) == endedProcesses.end();
}

bool FakePlatform::MoveWindow(WindowHandle w, const Rect& rect) {
    Window* win = Find(w);
    if (!win) {
        return false;
    }
    win->placement.normalPosition = rect;
    return true;
}

// ---- Keys ------------------------------------------------------------------------------

namespace {
constexpr std::uint8_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;
constexpr std::uint8_t kVkLShift = 0xA0, kVkLControl = 0xA2, kVkLMenu = 0xA4;
}  // namespace

std::uint8_t FakePlatform::SideOf(std::uint8_t vk) {
    switch (vk) {
        case kVkShift:
            return kVkLShift;
        case kVkControl:
            return kVkLControl;
        case kVkMenu:
            return kVkLMenu;
        default:
            return vk;
    }
}

bool FakePlatform::IsKeyDown(std::uint8_t vk) {
    if (vk == kVkShift || vk == kVkControl || vk == kVkMenu) {
        const std::uint8_t left = SideOf(vk);
        return down_[left] || down_[left + 1];
    }
    return down_[vk];
}

std::vector<std::uint8_t> FakePlatform::KeysDown() const {
    std::vector<std::uint8_t> keys;
    for (std::size_t vk = 0; vk < down_.size(); ++vk) {
        if (down_[vk]) {
            keys.push_back(static_cast<std::uint8_t>(vk));
        }
    }
    return keys;
}

void FakePlatform::Key(std::uint8_t vk, bool down) {
    down_[SideOf(vk)] = down;
    KeyEvent e{vk, down, foreground_, tick_};
    keys.push_back(e);
    if (onKey) {
        onKey(e);
    }
}

// ---- Clipboard -------------------------------------------------------------------------

bool FakePlatform::OpenClipboard() {
    if (clipboardUnavailable || clipboardIsOpen) {
        return false;
    }
    clipboardIsOpen = true;
    ++clipboardOpens;
    return true;
}

bool FakePlatform::EmptyClipboard() {
    if (!clipboardIsOpen) {
        return false;
    }
    clipboard_.reset();
    return true;
}

void FakePlatform::CloseClipboard() {
    clipboardIsOpen = false;
}

std::string FakePlatform::GetClipboardText() {
    if (!clipboardIsOpen || !clipboard_) {
        return {};
    }
    return clipboard_->substr(0, clipboard_->find('\0'));
}

// ---- Processes and shell ---------------------------------------------------------------

std::optional<ProcessId> FakePlatform::StartProcess(const std::string& commandLine,
                                                    const std::string& workingFolder,
                                                    std::uint32_t idleTimeoutMs) {
    starts.push_back({commandLine, workingFolder});
    if (!onStart) {
        return std::nullopt;
    }
    const std::optional<ProcessId> pid = onStart(commandLine, workingFolder);
    if (pid) {
        constexpr std::uint32_t kSliceMs = 20;
        for (std::uint32_t waited = 0; waited < startIdleMs && waited < idleTimeoutMs;
             waited += kSliceMs) {
            tick_ += kSliceMs;
            ProcessMessages();
            if (stopIdleWait && stopIdleWait()) {
                break;
            }
        }
    }
    return pid;
}

std::string FakePlatform::FindExecutable(const std::string& documentPath) {
    if (!FileExists(documentPath)) {
        return {};
    }
    auto it = associations_.find(ExtensionUpper(documentPath));
    return it == associations_.end() ? std::string() : it->second;
}

// ---- Registry --------------------------------------------------------------------------

RegistryRead FakePlatform::ReadUserString(const std::string& key, const std::string& subKey,
                                          const std::string& valueName, std::string& value) {
    auto it = registry_.find(key + "|" + subKey + "|" + valueName);
    if (it == registry_.end()) {
        return RegistryRead::Missing;
    }
    if (it->second.broken) {
        return RegistryRead::Error;
    }
    value = it->second.text;
    return RegistryRead::Ok;
}

// ---- Files -----------------------------------------------------------------------------

bool FakePlatform::FileExists(const std::string& path) {
    return files_.count(FileKey(path)) != 0;
}

bool FakePlatform::DeleteFile(const std::string& path) {
    if (Fails("delete", path)) {
        return false;
    }
    return files_.erase(FileKey(path)) != 0;
}

bool FakePlatform::RenameFile(const std::string& from, const std::string& to, bool replace) {
    if (Fails("rename", from)) {
        return false;
    }
    auto it = files_.find(FileKey(from));
    if (it == files_.end()) {
        return false;
    }
    if (!replace && files_.count(FileKey(to)) != 0 && FileKey(to) != FileKey(from)) {
        return false;
    }
    // A rename moves no bytes on a real disk, and neither does it here.
    std::string bytes = std::move(it->second.second);
    files_.erase(it);
    files_[FileKey(to)] = {to, std::move(bytes)};
    return true;
}

std::optional<std::string> FakePlatform::ReadFile(const std::string& path) {
    if (Fails("read", path)) {
        return std::nullopt;
    }
    return FileBytes(path);
}

std::unique_ptr<OutFile> FakePlatform::CreateFile(const std::string& path) {
    if (Fails("create", path)) {
        return nullptr;
    }
    files_[FileKey(path)] = {path, std::string()};
    return std::make_unique<FakeOutFile>(*this, path);
}

// ---- Messages --------------------------------------------------------------------------

void FakePlatform::ProcessMessages() {
    ++messagePumps;
    if (onMessages) {
        onMessages();
    }
}

}  // namespace platform
