// Keeps the always-on-top strip above the windows that come over it. Where a window manager
// keeps the top-most band, or on Windows, nothing ever does; on a bare X server Wine maps a
// window that opens or is activated later above the strip, while its own z-order still has the
// strip on top, so the z-order cannot tell. What can: a window that was not over the strip's
// place at the last look, or one there that has become the active window since.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"

// A visible top-level window as the strip looks at it.
struct TopWindow {
    std::uintptr_t id = 0;
    platform::Rect rect;
    bool topmost = false;  // in the top-most band itself: menus, tool tips, other such tools
    bool ours = false;     // the strip, its dialogs, its tool tip
};

class CoverWatch {
  public:
    // Whether a window has come over the strip since the last look. Only another program's
    // ordinary window that overlaps the strip counts: raising the strip above a menu or tool tip
    // would hide what the user opened. The first look only remembers.
    bool CameOver(const platform::Rect& strip, const std::vector<TopWindow>& windows,
                  std::uintptr_t foreground);

  private:
    bool looked_ = false;
    std::vector<std::uintptr_t> over_;  // sorted
    std::uintptr_t foreground_ = 0;
};
