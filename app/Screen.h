// Where windows stand on the screens: the restored rectangle, and keeping a window within reach
// of the monitors there are.
#pragma once

#include <vector>

#include "platform/Platform.h"
#include "platform/win32/WinInclude.h"

namespace ui {

// The window's rectangle on the screen.
inline RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// The window's rectangle as it is when neither minimised nor maximised.
RECT RestoredRect(HWND window);

// r moved (and shrunk only where it does not fit) onto the work area of the monitor nearest to
// it, so that a place saved for another screen, or typed into the settings file, stays reachable.
RECT ReachableRect(const RECT& r);
// Moves and sizes a window onto its nearest monitor's work area without activating it.
void PlaceReachable(HWND window, int left, int top, int width, int height);
// After a change of screen: a window no longer all on its nearest monitor's work area is moved
// back onto it (shrunk only where it does not fit); one still all on it stays where it is.
void KeepReachable(HWND window);
// Every monitor's whole area and work area, in the system's order.
std::vector<platform::Rect> MonitorAreas();

}  // namespace ui
