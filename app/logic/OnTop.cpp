#include "app/logic/OnTop.h"

#include <algorithm>
#include <utility>

namespace {

bool Overlap(const platform::Rect& a, const platform::Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

bool CoverWatch::CameOver(const platform::Rect& strip, const std::vector<TopWindow>& windows,
                          std::uintptr_t foreground) {
    std::vector<std::uintptr_t> over;
    for (const TopWindow& w : windows) {
        if (!w.ours && !w.topmost && Overlap(w.rect, strip)) {
            over.push_back(w.id);
        }
    }
    std::sort(over.begin(), over.end());
    bool came = false;
    if (looked_) {
        const bool appeared = !std::includes(over_.begin(), over_.end(), over.begin(), over.end());
        const bool activated =
            foreground != foreground_ && std::binary_search(over.begin(), over.end(), foreground);
        came = appeared || activated;
    }
    looked_ = true;
    over_ = std::move(over);
    foreground_ = foreground;
    return came;
}
