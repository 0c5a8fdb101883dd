// The walk over sound blocks finds line ends 64 bytes at a time and passes a block's lines by
// their bits. A damaged file is read by other rules that recover most blocks anyway, so a walk
// that goes wrong can hide behind them in the tag file's own tests: here it must agree, block
// for block and byte for byte, with a walk that splits the lines one at a time.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tags/TagFileScan.h"

namespace {

using namespace tagfile;

struct Walk {
    std::vector<std::string> keys;
    std::vector<std::size_t> ends;  // where each block's lines end
    bool sound = true;
    bool operator==(const Walk&) const = default;
};

Walk LineByLine(const std::string& bytes) {
    const std::string text = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::size_t> starts;  // of each line, then the end of the text
    for (std::size_t at = 0; at < text.size();) {
        starts.push_back(at);
        const std::size_t lf = text.find('\n', at);
        at = lf == std::string::npos ? text.size() : lf + 1;
    }
    starts.push_back(text.size());
    const std::size_t lines = starts.size() - 1;
    Walk walk;
    for (std::size_t i = 0; i < lines;) {
        const std::int64_t count =
            i + 1 < lines ? SoundCount(LineAt(text, starts[i + 1], starts[i + 2])) : kNoCount;
        if (count == kNoCount || i + 2 + 2 * static_cast<std::size_t>(count) > lines) {
            walk.sound = false;
            break;
        }
        walk.keys.emplace_back(LineAt(text, starts[i], starts[i + 1]));
        i += 2 + 2 * static_cast<std::size_t>(count);
        walk.ends.push_back(starts[i]);
    }
    return walk;
}

Walk ByWindows(const std::string& bytes) {
    Cursor in(bytes);
    Head head;
    Walk walk;
    while (!in.AtEnd()) {
        if (!NextSoundBlock(in, head)) {
            walk.sound = false;
            break;
        }
        walk.keys.emplace_back(head.key);
        walk.ends.push_back(in.Pos());
    }
    return walk;
}

// Files of a few blocks, with lines from empty to longer than a window, CR LF or LF, counts
// that are right, too large or no count, a cut last line and an end-of-file byte anywhere.
TEST(TagFileScan, WalkByWindowsAgreesWithALineByLineWalk) {
    std::mt19937 random(20261210);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int run = 0; run < 4000; ++run) {
        const int longest = std::vector<int>{3, 12, 90}[below(3)];
        const std::string end = below(2) == 0 ? "\r\n" : "\n";
        const auto line = [&] { return std::string(below(longest + 1), 'a' + below(3)) + end; };
        std::string text;
        for (int b = below(6) + 1; b > 0; --b) {
            const int count = below(4);
            const int odd = below(12);
            text += line();
            text += (odd == 0 ? std::string("x") : std::to_string(count + (odd == 1))) + end;
            for (int k = 0; k < 2 * count; ++k) {
                text += line();
            }
        }
        if (below(3) == 0) {
            text.resize(text.size() - static_cast<std::size_t>(below(3)));
        }
        if (below(3) == 0) {
            text.insert(static_cast<std::size_t>(below(static_cast<int>(text.size()) + 1)), "\x1A");
        }
        SCOPED_TRACE(::testing::PrintToString(text));
        ASSERT_EQ(ByWindows(text), LineByLine(text));
    }
}

}  // namespace
