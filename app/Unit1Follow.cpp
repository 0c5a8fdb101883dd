// The strip follows Jw_cad at once: the desktop's window events and the pointer over the strip
// go to the controller, which decides whether and when to scan; this is the window's half, the
// hooks and the one-shot timer the controller arms.
#include <algorithm>

#include "app/Unit1.h"

namespace {

struct EventRange {
    DWORD first;
    DWORD last;
};

// What can change the list of Jw_cad windows: a window created, destroyed, shown or hidden
// (one range), renamed, or brought to the front. Not the events of every move and focus.
constexpr EventRange kWindowEvents[] = {
    {EVENT_OBJECT_CREATE, EVENT_OBJECT_HIDE},
    {EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE},
    {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
};

// Whether the event is about a window a scan could list: a top-level window without an owner.
// The events arrive after the fact, so a window that is gone by then can no longer be asked
// and counts.
bool MayChangeTheScan(HWND hwnd, LONG object, LONG child) {
    if (hwnd == nullptr || object != OBJID_WINDOW || child != CHILDID_SELF) {
        return false;
    }
    if (!IsWindow(hwnd)) {
        return true;
    }
    return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0 &&
           GetWindow(hwnd, GW_OWNER) == nullptr;
}

}  // namespace

void TForm1::WatchWindows() {
    // Out of context: the events come through this thread's message queue, between messages,
    // never inside another program's call.
    for (const EventRange& range : kWindowEvents) {
        if (HWINEVENTHOOK hook =
                SetWinEventHook(range.first, range.last, nullptr, OnWindowEvent, 0, 0,
                                WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS)) {
            windowHooks_.push_back(hook);
        }
    }
}

void TForm1::UnwatchWindows() {
    for (HWINEVENTHOOK hook : windowHooks_) {
        UnhookWinEvent(hook);
    }
    windowHooks_.clear();
    KillTimer(hwnd_, kRescanTimerId);
}

void CALLBACK TForm1::OnWindowEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD,
                                    DWORD) {
    if (Form1 != nullptr && MayChangeTheScan(hwnd, object, child)) {
        Form1->desktopChanged_ = true;
        Form1->logic_.WindowsChanged();
    }
}

void TForm1::ArmRescan(std::uint32_t delayMs) {
    ::SetTimer(hwnd_, kRescanTimerId, std::max<UINT>(delayMs, USER_TIMER_MINIMUM), nullptr);
}

void TForm1::RescanDue() {
    logic_.RescanDue();
    RaiseIfCameOver();
}

LRESULT TForm1::OnSetCursor(UINT) {
    // Every child's default handling asks its parent first, so the strip hears of the pointer
    // over the tabs and the buttons too.
    logic_.PointerOver();
    return Default();
}
