// Keeps windows where the user can reach them. The settings file is plain text that anyone can
// edit, and monitors come and go between runs: a place or size saved for another screen must
// not open a window (or its close button) off the visible desktop.
#pragma once

#include <vector>

#include "platform/Platform.h"

// The window's rectangle moved, and only where it does not fit shrunk, so that all of it lies
// in the work area. Any int coordinates are taken, however far out; an empty or inverted work
// area leaves the rectangle as it is.
platform::Rect FitOnWorkArea(const platform::Rect& window, const platform::Rect& workArea);

// The rectangle of a place and size as the settings file keeps them; an end beyond the range of
// int stops at its limit instead of wrapping round to the other side of the screen.
platform::Rect RectOfPlace(int left, int top, int width, int height);

// The monitors (each one's whole area and work area) as the strip saw them last. Windows
// announces a change of screen with a message; Wine sends none when the X screen is resized
// (xrandr, a laptop undocked), so the strip also looks now and then and compares.
class ScreenWatch {
  public:
    // True when the monitors differ from those seen at the last look; the first look only
    // remembers them.
    bool Changed(std::vector<platform::Rect> monitors);

  private:
    bool looked_ = false;
    std::vector<platform::Rect> monitors_;
};
