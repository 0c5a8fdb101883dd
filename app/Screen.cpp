#include "app/Screen.h"

#include "app/logic/OnScreen.h"

namespace ui {

RECT RestoredRect(HWND window) {
    RECT r{};
    if (IsIconic(window) || IsZoomed(window)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (GetWindowPlacement(window, &placement)) {
            return placement.rcNormalPosition;
        }
    }
    GetWindowRect(window, &r);
    return r;
}

RECT ReachableRect(const RECT& r) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return r;
    }
    const RECT& work = monitor.rcWork;
    const platform::Rect fitted = FitOnWorkArea({r.left, r.top, r.right, r.bottom},
                                                {work.left, work.top, work.right, work.bottom});
    return {fitted.left, fitted.top, fitted.right, fitted.bottom};
}

void PlaceReachable(HWND window, int left, int top, int width, int height) {
    const platform::Rect place = RectOfPlace(left, top, width, height);
    const RECT fitted = ReachableRect({place.left, place.top, place.right, place.bottom});
    SetWindowPos(window, nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void KeepReachable(HWND window) {
    // A minimised or maximised window is put back by the system itself.
    if (IsIconic(window) || IsZoomed(window)) {
        return;
    }
    const RECT now = RestoredRect(window);
    const RECT fitted = ReachableRect(now);
    if (EqualRect(&now, &fitted)) {
        return;
    }
    SetWindowPos(window, nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        auto& areas = *reinterpret_cast<std::vector<platform::Rect>*>(data);
        for (const RECT& r : {info.rcMonitor, info.rcWork}) {
            areas.push_back({r.left, r.top, r.right, r.bottom});
        }
    }
    return TRUE;
}

}  // namespace

std::vector<platform::Rect> MonitorAreas() {
    std::vector<platform::Rect> areas;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

}  // namespace ui
