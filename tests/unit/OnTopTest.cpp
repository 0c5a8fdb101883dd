// When a tick raises the strip again: only after another program's window came over it.
#include <gtest/gtest.h>

#include <vector>

#include "app/logic/OnTop.h"

namespace {

using platform::Rect;

const Rect kStrip{192, 107, 448, 189};
const Rect kOver{40, 40, 680, 400};     // Jw_cad's window across the strip's place
const Rect kAside{600, 500, 900, 700};  // elsewhere on the screen

TopWindow Jw(std::uintptr_t id, Rect r = kOver) {
    return {id, r, false, false};
}

TEST(CoverWatch, RaisesOnlyWhenAWindowCameOverTheStrip) {
    struct Look {
        std::vector<TopWindow> windows;
        std::uintptr_t foreground;
        bool cameOver;
    };
    const struct {
        const char* what;
        std::vector<Look> looks;
    } cases[] = {
        {"the first look only remembers", {{{Jw(1)}, 1, false}}},
        {"nothing changed", {{{Jw(1)}, 1, false}, {{Jw(1)}, 1, false}}},
        {"a window opened over the strip",
         {{{}, 0, false}, {{Jw(2)}, 0, true}, {{Jw(2)}, 0, false}}},
        {"one opened elsewhere", {{{}, 0, false}, {{Jw(2, kAside)}, 2, false}}},
        {"one moved over the strip", {{{Jw(2, kAside)}, 2, false}, {{Jw(2)}, 2, true}}},
        {"one over the strip activated", {{{Jw(1), Jw(2)}, 2, false}, {{Jw(1), Jw(2)}, 1, true}}},
        {"the active one went", {{{Jw(1), Jw(2)}, 2, false}, {{Jw(1)}, 0, false}}},
        {"the strip itself activated",
         {{{Jw(1)}, 1, false}, {{Jw(1), {9, kStrip, true, true}}, 9, false}}},
        {"a menu or a tip over the strip",
         {{{Jw(1)}, 1, false}, {{Jw(1), {3, kOver, true, false}}, 3, false}}},
        {"a dialog of our own",
         {{{Jw(1)}, 1, false}, {{Jw(1), {4, kOver, false, true}}, 4, false}}},
        {"touching its edge only", {{{}, 0, false}, {{Jw(2, {448, 107, 600, 189})}, 2, false}}},
    };
    for (const auto& c : cases) {
        CoverWatch watch;
        for (std::size_t i = 0; i < c.looks.size(); ++i) {
            const Look& look = c.looks[i];
            EXPECT_EQ(watch.CameOver(kStrip, look.windows, look.foreground), look.cameOver)
                << c.what << ", look " << i + 1;
        }
    }
}

}  // namespace
