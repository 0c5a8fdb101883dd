#include "app/logic/Layout.h"

namespace {

constexpr int kMargin = geometry::kStripMargin;
constexpr int kButtonSize = geometry::kStripButtonSize;
constexpr int kButtonStep = kButtonSize + kMargin;
constexpr int kRowReserve = 6 + 2 * kMargin + kButtonSize;  // 34: tab strip above a row
constexpr int kColumnReserve = kButtonSize + kMargin + 6;   // 31: button column at the right
constexpr int kZone = 5;

}  // namespace

TStripLayout LayoutFor(std::int32_t direction, int clientWidth, int clientHeight) {
    TStripLayout l;
    l.Direction = (direction < 0 || direction > 3) ? 0 : direction;
    // The tab control holds its height as a 16-bit signed value.
    const int rowTabHeight = static_cast<std::int16_t>(clientHeight - kRowReserve);
    switch (l.Direction) {
        case 0:
            l.Position = TabPosition::Top;
            l.TabHeight = rowTabHeight;
            l.X0 = kMargin;
            l.Y0 = l.TabHeight + 6;
            break;
        case 1:
            l.Position = TabPosition::Bottom;
            l.TabHeight = rowTabHeight;
            l.X0 = kMargin;
            l.Y0 = 6;
            break;
        case 2:
            l.Position = TabPosition::Left;
            l.MultiLine = true;
            l.Vertical = true;
            l.X0 = clientWidth - kColumnReserve;
            l.Y0 = kMargin;
            break;
        default:
            l.Position = TabPosition::Right;
            l.MultiLine = true;
            l.Vertical = true;
            l.X0 = 6;
            l.Y0 = kMargin;
            break;
    }
    return l;
}

void ButtonPosition(const TStripLayout& layout, int k, int& left, int& top) {
    const int step = kButtonStep * (k - 1);
    left = layout.X0 + (layout.Vertical ? 0 : step);
    top = layout.Y0 + (layout.Vertical ? step : 0);
}

int HitTestBorder(int x, int y, int w, int h) {
    const bool left = x < kZone;
    const bool right = x > w - kZone;
    const bool top = y < kZone;
    const bool bottom = y > h - kZone;
    if (right && bottom)
        return kHtBottomRight;
    if (right && top)
        return kHtTopRight;
    if (left && bottom)
        return kHtBottomLeft;
    if (left && top)
        return kHtTopLeft;
    if (left)
        return kHtLeft;
    if (right)
        return kHtRight;
    if (top)
        return kHtTop;
    if (bottom)
        return kHtBottom;
    return kHtCaption;
}
