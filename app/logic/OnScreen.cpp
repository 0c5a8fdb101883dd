#include "app/logic/OnScreen.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

namespace {

// One axis: [low, high) placed inside [areaLow, areaHigh). Widths in 64 bits, since a
// hand-edited file can put both ends near the limits of int.
void FitAxis(int& low, int& high, int areaLow, int areaHigh) {
    const std::int64_t area = std::int64_t{areaHigh} - areaLow;
    std::int64_t size = std::int64_t{high} - low;
    size = std::clamp<std::int64_t>(size, 0, area);
    const std::int64_t start = std::clamp<std::int64_t>(low, areaLow, areaHigh - size);
    low = static_cast<int>(start);
    high = static_cast<int>(start + size);
}

}  // namespace

platform::Rect RectOfPlace(int left, int top, int width, int height) {
    const auto end = [](int start, int size) {
        return static_cast<int>(
            std::clamp<std::int64_t>(std::int64_t{start} + size, INT_MIN, INT_MAX));
    };
    return {left, top, end(left, width), end(top, height)};
}

platform::Rect FitOnWorkArea(const platform::Rect& window, const platform::Rect& workArea) {
    if (workArea.right <= workArea.left || workArea.bottom <= workArea.top) {
        return window;
    }
    platform::Rect r = window;
    FitAxis(r.left, r.right, workArea.left, workArea.right);
    FitAxis(r.top, r.bottom, workArea.top, workArea.bottom);
    return r;
}

bool ScreenWatch::Changed(std::vector<platform::Rect> monitors) {
    const bool changed = looked_ && monitors != monitors_;
    looked_ = true;
    monitors_ = std::move(monitors);
    return changed;
}
