#include "keys/SendKey.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "keys/Keydefs.h"
#include "keys/SendKey2.h"
#include "tags/Func_.h"

std::vector<TJwwHandleField> JwwHandles;
std::int32_t JwwCount = 0;

void ClearJwwHandles() {
    JwwHandles.clear();
    JwwCount = 0;
}

void AddJwwHandle(TJwwHandleField window) {
    JwwHandles.push_back(std::move(window));
    JwwCount = static_cast<std::int32_t>(JwwHandles.size());
}

void SetJwwBase(const TJwwHandleField& window) {
    if (!JwwHandles.empty()) {
        JwwHandles[0] = window;
    }
}
double KeyWait = 0.5;
platform::WindowHandle TargetWindow = 0;
std::int32_t MaximizeOnSend = 0;

const char* ClipboardError::what() const noexcept {
    return "クリップボードを開くことができません";
}

namespace {

using platform::ProcessId;
using platform::WindowHandle;

// An activation lands a few milliseconds after the request; asking again every 10 ms until
// the target really is in front settles it ("wait until activation settles": the platform's
// policy for bringing a window to the front, platform/win32/Win32Platform.h).
constexpr std::uint32_t kActivationRetryMs = 10;

// The wait before each key group. A hand-edited settings file can hold a negative or
// unreadable key wait: that waits nothing rather than wrapping into weeks.
std::uint32_t KeyWaitMs() {
    return static_cast<std::uint32_t>(std::max(SecondsToMs(KeyWait), 0));
}

std::uint32_t PauseMs(std::int32_t tenths) {
    const std::uint64_t ms = static_cast<std::uint64_t>(tenths) * 100;
    return ms > std::numeric_limits<std::uint32_t>::max()
               ? std::numeric_limits<std::uint32_t>::max()
               : static_cast<std::uint32_t>(ms);
}

// Cuts the group that begins at p and leaves p on its last character: up to three modifier
// characters, then one character or one braced name (closed for it when the script ends).
std::string CutGroup(const std::string& script, std::size_t& p) {
    std::string group(1, script[p]);
    if (IsModifierChar(script[p])) {
        for (int taken = 0; taken < 3 && p + 1 < script.size(); ++taken) {
            ++p;
            group += script[p];
            if (!IsModifierChar(script[p])) {
                break;
            }
        }
    }
    if (script[p] == '{') {
        const std::size_t close = script.find('}', p + 1);
        if (close == std::string::npos) {
            group += script.substr(p + 1) + "}";
            p = script.size() - 1;
        } else {
            group += script.substr(p + 1, close - p);
            p = close;
        }
    }
    return group;
}

// Asked before each group is typed; answer is true for the script's closing braced key, which
// alone may answer a dialog that the group before it opened.
using GroupCheck = std::function<bool(bool answer)>;

// Plays one group after the key wait; false stops the script.
bool SendGroup(const std::string& group, const GroupCheck& canSend, bool answer = false) {
    Delay(KeyWaitMs());
    if (WaitsCancelled() || (canSend && !canSend(answer))) {
        return false;
    }
    try {
        return SendKeyGroup(group);
    } catch (...) {
        // The group has released its keys; the rest of the script makes no sense without it.
        return false;
    }
}

// "{NAME n}" or "@{NAME n}": the group without its count, sent |n| times.
bool SendRepeated(const std::string& group, const GroupCheck& canSend) {
    const std::size_t blank = group.find(' ');
    const int b = static_cast<int>(blank) + 1;  // 1-based
    const std::int64_t n =
        StrToIntZero(SafeCopy(group, b + 1, static_cast<int>(group.size()) - b - 1));
    const std::int64_t count = n < 0 ? -n : n;
    const std::string single = group.substr(0, blank) + "}";
    for (std::int64_t i = 0; i < count; ++i) {
        if (!SendGroup(single, canSend)) {
            return false;
        }
    }
    return true;
}

// Pause, repeat or single group; false stops the script.
bool PlayGroup(const std::string& group, const GroupCheck& canSend, bool last) {
    const bool hasBlank = group.find(' ') != std::string::npos;
    if (group[0] == '{') {
        const std::int32_t tenths =
            StrToIntZero(SafeCopy(group, 2, static_cast<int>(group.size()) - 2));
        if (tenths > 0) {
            Delay(PauseMs(tenths));
            return true;
        }
        return hasBlank ? SendRepeated(group, canSend) : SendGroup(group, canSend, last);
    }
    if (hasBlank && group.find('{') != std::string::npos) {
        return SendRepeated(group, canSend);
    }
    return SendGroup(group, canSend);
}

// While a program opens a modal dialog (Jw_cad's print dialog after "P") no window is in front
// for a moment; give the switch this long to settle before calling the target gone.
constexpr std::uint32_t kForegroundSettleMs = 500;
// For this long a window of the target's own (its dialog) may still come to the front by itself.
constexpr std::uint32_t kForegroundPatienceMs = 100;

// The target itself, or a window of its program such as its print dialog.
bool ForegroundBelongsTo(WindowHandle target, ProcessId pid) {
    auto& os = platform::Current();
    const WindowHandle foreground = os.GetForegroundWindow();
    if (foreground == 0) {
        return false;
    }
    return foreground == target || (pid != 0 && os.GetWindowProcessId(foreground) == pid);
}

// The window in front once a moment with none in front is waited out. When none comes, the
// front was not taken by another program but lost (the desktop takes it when a window closes,
// even after our activation): ask for the target again.
WindowHandle SettledForeground(WindowHandle target) {
    auto& os = platform::Current();
    const std::uint32_t start = os.GetTickCount();
    while (os.GetForegroundWindow() == 0) {
        const std::uint32_t waited = os.GetTickCount() - start;
        if (waited >= kForegroundSettleMs || WaitsCancelled()) {
            break;
        }
        if (waited >= kForegroundPatienceMs) {
            os.SetForegroundWindow(target);
        }
        Delay(kActivationRetryMs);
    }
    return os.GetForegroundWindow();
}

// The visible top-level windows of a program, its dialogs and message boxes among them.
std::vector<WindowHandle> ShownWindowsOf(ProcessId pid) {
    auto& os = platform::Current();
    std::vector<WindowHandle> shown;
    os.EnumWindows([&](WindowHandle w) {
        if (os.IsWindowVisible(w) && os.GetWindowProcessId(w) == pid) {
            shown.push_back(w);
        }
        return true;
    });
    return shown;
}

// Bringing a window to the front is a request that the desktop grants asynchronously, and may
// take back just after: a window manager hands the focus over in its own time, and focus
// events queued for the strip while it was busy (a box that just closed, a launch it waited
// for) can make the strip the foreground again after the target was already in front. So a
// window counts as activated only once it has held the front for kHoldMs without a break,
// asked for again whenever it lost it, and the desktop gets kHandoverMs for that.
class FrontRequest {
  public:
    static constexpr std::uint32_t kHoldMs = 150;
    static constexpr std::uint32_t kHandoverMs = 3000;

    FrontRequest(WindowHandle target, ProcessId pid) : target_(target), pid_(pid) {}

    // Asks until the target (or a window of its program) is in front; false when the
    // handover time ran out first.
    bool Reached() {
        auto& os = platform::Current();
        const std::uint32_t start = os.GetTickCount();
        os.SetForegroundWindow(target_);
        while (!ForegroundBelongsTo(target_, pid_)) {
            if (os.GetTickCount() - start >= kHandoverMs || WaitsCancelled()) {
                return false;
            }
            Delay(kActivationRetryMs);
            os.SetForegroundWindow(target_);
        }
        holding_ = true;
        heldSince_ = os.GetTickCount();
        return true;
    }

    // Waits until the target has held the front for kHoldMs since it was last reached,
    // asking again whenever it lost it; false when the handover time ran out first.
    bool Held() {
        auto& os = platform::Current();
        const std::uint32_t start = os.GetTickCount();
        for (;;) {
            const std::uint32_t now = os.GetTickCount();
            if (!ForegroundBelongsTo(target_, pid_)) {
                holding_ = false;
                os.SetForegroundWindow(target_);
            } else if (!holding_) {
                holding_ = true;
                heldSince_ = now;
            } else if (now - heldSince_ >= kHoldMs) {
                return true;
            }
            if (now - start >= kHandoverMs || WaitsCancelled()) {
                return false;
            }
            Delay(kActivationRetryMs);
        }
    }

  private:
    const WindowHandle target_;
    const ProcessId pid_;
    bool holding_ = false;
    std::uint32_t heldSince_ = 0;
};

// Waits (bounded) until whatever window is in front has stayed there for a moment.
void AwaitSettledFront() {
    constexpr std::uint32_t kSettledMs = FrontRequest::kHoldMs;
    constexpr std::uint32_t kBoundMs = 1000;
    auto& os = platform::Current();
    const std::uint32_t start = os.GetTickCount();
    WindowHandle front = os.GetForegroundWindow();
    std::uint32_t since = start;
    for (;;) {
        const std::uint32_t now = os.GetTickCount();
        if (now - since >= kSettledMs || now - start >= kBoundMs || WaitsCancelled()) {
            return;
        }
        Delay(kActivationRetryMs);
        if (os.GetForegroundWindow() != front) {
            front = os.GetForegroundWindow();
            since = os.GetTickCount();
        }
    }
}

void ShowForKeys(WindowHandle w) {
    auto& os = platform::Current();
    os.ShowWindow(w, MaximizeOnSend == 1 ? platform::kSwShowMaximized : platform::kSwShow);
    if (os.IsIconic(w)) {
        os.OpenIcon(w);
    }
}

// Holds the clipboard open for one operation.
class OpenedClipboard {
  public:
    OpenedClipboard() {
        if (!platform::Current().OpenClipboard()) {
            throw ClipboardError();
        }
    }
    ~OpenedClipboard() { platform::Current().CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

void PlayChecked(const std::string& script, const GroupCheck& canSend) {
    for (std::size_t p = 0; p < script.size(); ++p) {
        const std::string group = CutGroup(script, p);
        if (!PlayGroup(group, canSend, p + 1 >= script.size())) {
            return;
        }
    }
}

}  // namespace

void PlayKeys(const std::string& script, const std::function<bool()>& canSend) {
    if (!canSend) {
        PlayChecked(script, {});
        return;
    }
    PlayChecked(script, [&](bool) { return canSend(); });
}

bool ActivateWindow(WindowHandle w) {
    ShowForKeys(w);
    FrontRequest front(w, platform::Current().GetWindowProcessId(w));
    return front.Reached() && front.Held();
}

TSendOutcome SendKeysToTarget(const std::string& script) {
    auto& os = platform::Current();
    // Read once: a command started during one of the waits may aim TargetWindow elsewhere.
    const WindowHandle target = TargetWindow;
    if (target == 0 || !os.IsWindow(target)) {
        return TSendOutcome::NoTarget;
    }
    ShowForKeys(target);
    const ProcessId pid = os.GetWindowProcessId(target);
    FrontRequest front(target, pid);
    if (!front.Reached()) {
        return TSendOutcome::NotReached;
    }
    // Keys go to whoever has the focus. Until the first group is typed the target may still
    // be asked back (the key wait overlaps the hold); once keys have gone in, a front taken
    // by another window stops the script, since what the keys began there is unknown.
    //
    // Another window of the target's own program is no exception: it may be a question the
    // program asks for a reason of its own (the user closing the drawing: "save?"), and a key
    // meant for a menu would answer it. Only the script's closing braced key ("{ENTER}" of
    // "@FP{ENTER}") may go to another window, and only to one the group just before it opened:
    // not shown before that group was typed, and in front after it. The menu keys of "@FFI" and
    // "@FX", and "@F" and "P" of "@FP{ENTER}", go to the target itself or nowhere.
    bool typed = false;
    bool lost = false;
    std::vector<WindowHandle> shownBefore;  // the program's windows before the last group
    PlayChecked(script, [&](bool answer) {
        bool inFront = false;
        if (!typed) {
            inFront = front.Held() && os.GetForegroundWindow() == target;
        } else {
            const WindowHandle f = SettledForeground(target);
            inFront = f == target ||
                      (answer && f != 0 && os.GetWindowProcessId(f) == pid &&
                       std::find(shownBefore.begin(), shownBefore.end(), f) == shownBefore.end());
        }
        lost = !inFront;
        typed = typed || inFront;
        if (inFront) {
            shownBefore = ShownWindowsOf(pid);
        }
        return inFront;
    });
    if (!lost) {
        // The last keys set the target moving (a dialog closing, its window coming back to the
        // front): let that land before the caller raises the strip, or the strip ends up
        // stacked under the window that became active after it.
        AwaitSettledFront();
        return TSendOutcome::Sent;
    }
    return typed ? TSendOutcome::Interrupted : TSendOutcome::NotReached;
}

void ClearClipboardText() {
    OpenedClipboard clipboard;
    platform::Current().EmptyClipboard();
}

std::string ReadClipboardText() {
    auto& os = platform::Current();
    if (!os.IsClipboardTextAvailable()) {
        return {};
    }
    OpenedClipboard clipboard;
    return os.GetClipboardText();
}
