// The strip's geometry: where the tabs and the seven buttons go for each tag direction, and
// which part of the frameless window is under the pointer.
#pragma once

#include <cstdint>

#include "app/logic/Geometry.h"

constexpr int kMinStripSize = geometry::kStripMinSize;
constexpr int kButtonCount = geometry::kStripButtonCount;

enum class TabPosition { Top, Bottom, Left, Right };

struct TStripLayout {
    std::int32_t Direction = 0;  // corrected to 0 when it was outside 0..3
    TabPosition Position = TabPosition::Top;
    int TabHeight = 0;  // 0: automatic
    bool MultiLine = false;
    bool Vertical = false;  // buttons run downwards
    int X0 = 0;
    int Y0 = 0;
};

// The tab strip and the first button's origin for a direction and client size.
TStripLayout LayoutFor(std::int32_t direction, int clientWidth, int clientHeight);
// Left and top of button k (1..7) once the first button's origin is known.
void ButtonPosition(const TStripLayout& layout, int k, int& left, int& top);

// Hit-test answers (WM_NCHITTEST codes).
constexpr int kHtCaption = 2;
constexpr int kHtLeft = 10;
constexpr int kHtRight = 11;
constexpr int kHtTop = 12;
constexpr int kHtTopLeft = 13;
constexpr int kHtTopRight = 14;
constexpr int kHtBottom = 15;
constexpr int kHtBottomLeft = 16;
constexpr int kHtBottomRight = 17;

// Which move or resize zone client point (x, y) of a window of size width x height is in.
int HitTestBorder(int x, int y, int width, int height);
