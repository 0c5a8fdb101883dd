// The strip's tabs and their layout: the tab control filled from the tag names, and the tabs
// and buttons arranged for the tag direction.
#include "app/Unit1.h"

#include <uxtheme.h>

#include "app/Screen.h"
#include "app/logic/Layout.h"
#include "platform/win32/Codepage.h"

void TForm1::ClearTabs() {
    TabControl1.DeleteAll();
    tabCaptions_.clear();
}

void TForm1::AddTab(const std::string& captionSjis) {
    InsertTab(static_cast<std::size_t>(TabControl1.Count()), captionSjis);
    tabCaptions_.push_back(captionSjis);
}

void TForm1::InsertTab(std::size_t index, const std::string& captionSjis) {
    TabControl1.Insert(static_cast<int>(index), platform::SjisToWide(captionSjis));
}

void TForm1::SetTabs(const std::vector<std::string>& captionsSjis) {
    if (captionsSjis == tabCaptions_) {
        // Nothing to rebuild (every tick without a drawing asks for no tabs again); a rebuilt
        // strip would have its first tab selected and scrolled into view, so this one does too.
        if (!captionsSjis.empty() && TabControl1.Selection() != 0) {
            TabControl1.Select(0);
        }
        return;
    }
    // The tab control lays every tab out again after each insert and each delete, and when it
    // is themed it then hit-tests the tabs in view against the mouse, asking the window system
    // where the mouse is; where the tabs overflow the row it also moves and resets its scroll
    // arrows. Under Wine each of these is a round trip to the server, or to the X server, so n
    // tabs one at a time cost n * n steps and many round trips each: seconds for a few
    // thousand. So while the tabs change, the tab control shows nothing, goes without its
    // theme, and holds one row of tabs with no width, which never overflows; then theme,
    // style and selection come back, and the tabs are measured and laid out once.
    // Where the subclass is kept in a window property, every message through it costs a look-up
    // in the window system; the buttons' clicks it forwards cannot arrive in the
    // middle of this, so the tab control goes without it meanwhile, and without the tips' relay.
    tabForwarder_.Release();
    const bool tips = tabTips_.Handle() != nullptr;
    tabTips_.Release();
    HWND tab = TabControl1.Handle();
    const LONG_PTR style = GetWindowLongPtrW(tab, GWL_STYLE);
    DefWindowProcW(tab, WM_SETREDRAW, FALSE, 0);
    // A blank name, not an empty one: Wine keeps the name as an atom and takes an empty name
    // for none, which leaves the theme on.
    SetWindowTheme(tab, L" ", L" ");
    constexpr LONG_PTR kOneRow = TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE | WS_VISIBLE;
    SetWindowLongPtrW(tab, GWL_STYLE, (style & ~kOneRow) | TCS_FIXEDWIDTH);
    TabControl1.SetItemSize(0, tabHeight_);
    TabControl1.DeleteAll();
    for (std::size_t i = 0; i < captionsSjis.size(); ++i) {
        InsertTab(i, captionsSjis[i]);
    }
    // As tabs added to an empty strip are: the first one selected and in view.
    if (!captionsSjis.empty()) {
        TabControl1.Select(0);
    }

    SetWindowTheme(tab, nullptr, nullptr);
    SetWindowLongPtrW(tab, GWL_STYLE, style & ~WS_VISIBLE);
    if ((style & WS_VISIBLE) != 0) {
        DefWindowProcW(tab, WM_SETREDRAW, TRUE, 0);
    }
    tabForwarder_.Take(tab);
    if (tips) {
        tabTips_.Take(tab);
    }
    RedrawWindow(tab, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    tabCaptions_ = captionsSjis;
    // A tip that shows tells of the tags that were: closed, it asks again when it shows.
    tooltip_.Pop();
}

namespace {

LONG_PTR PositionStyle(TabPosition position) {
    switch (position) {
        case TabPosition::Bottom:
            return TCS_BOTTOM;
        case TabPosition::Left:
            return TCS_VERTICAL | TCS_MULTILINE;
        case TabPosition::Right:
            return TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE;
        case TabPosition::Top:
            break;
    }
    return 0;
}

}  // namespace

void TForm1::SetTabStyle(TabPosition position) {
    HWND tab = TabControl1.Handle();
    const LONG_PTR was = GetWindowLongPtrW(tab, GWL_STYLE);
    const LONG_PTR style =
        (was & ~static_cast<LONG_PTR>(TCS_BOTTOM | TCS_VERTICAL | TCS_MULTILINE)) |
        PositionStyle(position);
    // Every resize arranges the strip again; the tab control's layout and frame need redoing
    // only when its side changes.
    if (style == was) {
        return;
    }
    SetWindowLongPtrW(tab, GWL_STYLE, style);
    SetWindowPos(tab, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm1::KeepMinimumSize() {
    RECT r = ui::WindowRect(hwnd_);
    if (r.right - r.left < kMinStripSize) {
        SetWindowPos(hwnd_, nullptr, 0, 0, kMinStripSize, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        r = ui::WindowRect(hwnd_);
    }
    if (r.bottom - r.top < kMinStripSize) {
        SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, kMinStripSize,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TForm1::PlaceButtons(const TStripLayout& layout) {
    for (int k = 1; k <= kButtonCount; ++k) {
        int left = 0;
        int top = 0;
        ButtonPosition(layout, k, left, top);
        RECT now = ui::WindowRect(buttons_[k - 1]);
        MapWindowPoints(HWND_DESKTOP, TabControl1.Handle(), reinterpret_cast<POINT*>(&now), 1);
        if (now.left != left || now.top != top) {
            SetWindowPos(buttons_[k - 1], nullptr, left, top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

std::int32_t TForm1::ArrangeControls(std::int32_t tagDirection) {
    if (Arranging) {
        return tagDirection;
    }
    Arranging = true;
    KeepMinimumSize();
    RECT client{};
    GetClientRect(hwnd_, &client);
    MoveWindow(TabControl1.Handle(), 0, 0, client.right, client.bottom, FALSE);

    const TStripLayout layout = LayoutFor(tagDirection, client.right, client.bottom);
    SetTabStyle(layout.Position);
    // Tab width stays automatic; a height of 0 means the strip's own height for its font.
    const int height = layout.TabHeight != 0 ? layout.TabHeight : autoTabHeight_;
    TabControl1.SetItemSize(0, height);
    tabHeight_ = height;
    PlaceButtons(layout);
    InvalidateRect(hwnd_, nullptr, TRUE);
    Arranging = false;
    return layout.Direction;
}
