#include "app/TabTips.h"

namespace ui {

namespace {

int TabAt(HWND tab, POINT client) {
    TCHITTESTINFO hit{};
    hit.pt = client;
    return static_cast<int>(SendMessageW(tab, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

}  // namespace

int TabTipRelay::TabAtCursor(HWND tab) {
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(tab, &pt);
    return TabAt(tab, pt);
}

void TabTipRelay::Relay(UINT msg, int x, int y) {
    MSG m{};
    m.hwnd = hwnd_;
    m.message = msg;
    m.lParam = MAKELPARAM(x, y);
    m.time = static_cast<DWORD>(GetMessageTime());
    GetCursorPos(&m.pt);
    SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

void TabTipRelay::OnMouseMove(int x, int y) {
    const int tab = TabAt(hwnd_, POINT{x, y});
    if (tab != hovered_) {
        // The tip shows the text it asked for when it opened; on another tab it must ask again.
        hovered_ = tab;
        SendMessageW(tip_, TTM_POP, 0, 0);
    }
    Relay(WM_MOUSEMOVE, x, y);
    Default();
}

void TabTipRelay::OnLButtonDown(int x, int y) {
    Relay(WM_LBUTTONDOWN, x, y);
    Default();
}

void TabTipRelay::OnLButtonUp(int x, int y) {
    Relay(WM_LBUTTONUP, x, y);
    Default();
}

}  // namespace ui
