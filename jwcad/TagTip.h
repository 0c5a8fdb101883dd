// What a tab's tool tip tells before the tab is clicked: where its tag leads.
#pragma once

#include <optional>
#include <string>

struct TTagTip {
    std::string JumpSjis;            // the jump text, or the base drawing's name while its path
                                     // is not known yet
    const char* NoteUtf8 = nullptr;  // said after it when the drawing cannot be found
};

// The tip of tab index, read from the tag list when the pointer rests on the tab, so it always
// tells what a click would do now; nullopt when no tag stands behind that tab.
std::optional<TTagTip> TagTip(int index);
