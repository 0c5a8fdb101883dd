// Keeps windows where the user can reach them. The settings file is plain text that anyone can
// edit, and monitors come and go between runs: a place or size saved for another screen must
// not open a window (or its close button) off the visible desktop.
#pragma once

#include "platform/Platform.h"

// The window's rectangle moved, and only where it does not fit shrunk, so that all of it lies
// in the work area. Any int coordinates are taken, however far out; an empty or inverted work
// area leaves the rectangle as it is.
platform::Rect FitOnWorkArea(const platform::Rect& window, const platform::Rect& workArea);

// The rectangle of a place and size as the settings file keeps them; an end beyond the range of
// int stops at its limit instead of wrapping round to the other side of the screen.
platform::Rect RectOfPlace(int left, int top, int width, int height);
