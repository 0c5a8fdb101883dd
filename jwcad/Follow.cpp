// Following Jw_cad at once: the desktop's window events, the pointer coming onto the strip and
// the start of a command each ask for the rescan that Timer1 would make later. What a rescan
// decides is Tick's alone; here is only when it runs.
#include <algorithm>

#include "jwcad/JwcadStrip.h"
#include "platform/Platform.h"

namespace {

// A desktop that creates and closes windows in a stream costs no more than this many
// milliseconds between two scans.
constexpr std::uint32_t kSpacingMs = 250;
// A burst of events waits this long for its scan: a window is announced at its creation and
// shown a moment later, and Wine announces only the creation.
constexpr std::uint32_t kSettleMs = 50;
// A scan this recent is still current for a pointer coming in or a command starting.
constexpr std::uint32_t kFreshMs = 100;
// The pointer over the strip sends a note at every move: a pause this long between two notes
// means it was elsewhere (or resting) and comes onto the strip again.
constexpr std::uint32_t kPointerAwayMs = 300;

std::uint32_t Now() {
    return platform::Current().GetTickCount();
}

}  // namespace

bool JwcadStrip::Following() const {
    return tracking_ && !closing_ && SearchInterval > 0;
}

void JwcadStrip::NoteScan() {
    lastScan_ = Now();
    rescanWanted_ = false;  // whatever was announced before is in this scan
}

void JwcadStrip::WindowsChanged() {
    if (!Following()) {
        return;
    }
    rescanWanted_ = true;
    if (busy_ == 0) {
        ScheduleRescan();
    }  // else the command's end schedules it
}

void JwcadStrip::ScheduleRescan() {
    if (rescanArmed_ || !rescanWanted_ || !Following()) {
        return;
    }
    std::uint32_t delay = kSettleMs;
    if (lastScan_) {
        const std::uint32_t since = Now() - *lastScan_;
        if (since < kSpacingMs) {
            delay = std::max(delay, kSpacingMs - since);
        }
    }
    rescanArmed_ = true;
    strip_.ArmRescan(delay);
}

void JwcadStrip::RescanDue() {
    rescanArmed_ = false;
    if (rescanWanted_ && busy_ == 0 && Following()) {
        Tick();
    }
}

void JwcadStrip::RescanIfStale() {
    if (!Following()) {
        return;
    }
    if (busy_ > 0) {
        rescanWanted_ = true;  // once the command has ended
        return;
    }
    if (lastScan_ && Now() - *lastScan_ < kFreshMs) {
        return;
    }
    Tick();
}

void JwcadStrip::PointerOver() {
    const std::uint32_t now = Now();
    const bool comes = !pointerSeen_ || now - *pointerSeen_ > kPointerAwayMs;
    pointerSeen_ = now;
    if (comes) {
        RescanIfStale();
    }
}
