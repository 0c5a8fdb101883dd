#include "tags/TagFileDamaged.h"

#include <algorithm>

#include "tags/Func_.h"
#include "tags/TagFileScan.h"

namespace tagfile {

LineMap::LineMap(std::string_view text) : text_(text) {
    for (Cursor in(text); !in.AtEnd(); in.Next()) {
        starts_.push_back(in.Pos());
    }
    starts_.push_back(text.size());
    lines_ = starts_.size() - 1;
    soundToEnd_.assign(lines_ + 1, false);
    soundToEnd_[lines_] = true;
    nextSound_.assign(lines_ + 1, lines_);
    for (std::size_t i = lines_; i-- > 0;) {
        const std::uint64_t end = SoundEnd(i);
        soundToEnd_[i] = end != 0 && soundToEnd_[end];
        nextSound_[i] = soundToEnd_[i] ? i : nextSound_[i + 1];
    }
}

std::string_view LineMap::Line(std::size_t i) const {
    return LineAt(text_, starts_[i], starts_[i + 1]);
}

std::int64_t LineMap::SoundCountAt(std::size_t i) const {
    return i + 1 < lines_ ? SoundCount(Line(i + 1)) : kNoCount;
}

std::uint64_t LineMap::SoundEnd(std::size_t i) const {
    const std::int64_t n = SoundCountAt(i);
    const std::uint64_t end = i + 2 + 2 * static_cast<std::uint64_t>(n);
    return n != kNoCount && end <= lines_ ? end : 0;
}

Span LineMap::BlockAt(std::size_t s, std::string_view soughtKey) const {
    const std::int64_t sound = SoundCountAt(s);
    const std::int32_t count = sound != kNoCount
                                   ? static_cast<std::int32_t>(sound)
                                   : (s + 1 < lines_ ? StrToIntZero(std::string(Line(s + 1))) : 0);
    const std::uint64_t counted =
        s + 1 < lines_ ? s + 2 + 2 * static_cast<std::uint64_t>(std::max(count, 0)) : lines_;
    std::size_t e = static_cast<std::size_t>(std::min<std::uint64_t>(counted, lines_));
    // A count as a save writes it that fits the file is taken at its word: the block saved
    // last must read back as it was saved, whatever follows it.
    const bool countFits = sound != kNoCount && counted <= lines_;
    if (!countFits) {
        e = std::min(e, nextSound_[s + 1]);
        for (std::size_t j = s + 2; !soughtKey.empty() && j < e; ++j) {
            if (Line(j) == soughtKey) {
                e = j;
                break;
            }
        }
    }
    Span b;
    b.begin = starts_[s];
    b.end = starts_[e];
    b.entriesBegin = starts_[std::min(s + 2, e)];
    b.firstLine = s;
    b.endLine = e;
    b.key = Line(s);
    b.count = count;
    b.sound = countFits && e == counted;
    return b;
}

std::vector<Span> DamagedBlocks(const LineMap& map, std::string_view soughtKey) {
    std::vector<Span> blocks;
    for (std::size_t s = 0; s < map.Lines();) {
        blocks.push_back(map.BlockAt(s, soughtKey));
        s = blocks.back().endLine;
    }
    return blocks;
}

namespace {

// The lines that no block with a count that fits runs across, whichever key is read for.
// Every line at which some reading could start a block is found in one sweep: a block whose
// count fits ends where it counts; an untrusted one ends where it does without a key sought,
// or earlier at any line from its third on (one equal to the key sought). crossed counts the
// blocks with a count that fits which some reading may start before a line and end after it.
std::vector<bool> UncrossedLines(const LineMap& map) {
    const std::size_t lines = map.Lines();
    std::vector<bool> startPoint(lines + 1, false);
    std::vector<std::int32_t> startRanges(lines + 1, 0), crossings(lines + 1, 0);
    startPoint[0] = true;
    std::int64_t inRanges = 0, crossed = 0;
    std::vector<bool> clean(lines + 1, false);
    for (std::size_t x = 0; x <= lines; ++x) {
        inRanges += startRanges[x];
        crossed += crossings[x];
        clean[x] = crossed == 0;
        if (x == lines || !(startPoint[x] || inRanges > 0)) {
            continue;
        }
        if (const std::uint64_t end = map.SoundEnd(x); end != 0) {
            startPoint[end] = true;
            ++crossings[x + 1];
            --crossings[end];
            continue;
        }
        const std::size_t end = map.BlockAt(x, {}).endLine;
        startPoint[end] = true;
        if (x + 2 < end) {
            ++startRanges[x + 2];
            --startRanges[end];
        }
    }
    return clean;
}

}  // namespace

// The blocks depend on the key looked up: a lookup ends an untrusted block early at a line
// equal to its key, and the block starting there may run on over lines that the save's reading
// gives to another block. So a block may go only where every reading agrees on it and nothing
// a reading could start before it runs into it:
// - in the run of sound blocks the file starts with, which every key reads alike, when the
//   block after it is sound too (a count that ran into it would otherwise take its lines);
// - or in the sound blocks the file ends with, when no block that any reading could start
//   before it runs across its first line. Its successor's key must then not read as a count,
//   as it would for the line before once the block is gone.
std::vector<bool> Detachable(const LineMap& map, const std::vector<Span>& blocks) {
    const std::vector<bool> clean = UncrossedLines(map);
    std::vector<bool> detachable(blocks.size(), false);
    bool soundSoFar = true;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Span& b = blocks[i];
        const bool last = i + 1 == blocks.size();
        if (soundSoFar) {
            detachable[i] = b.sound && (last || blocks[i + 1].sound);
        } else {
            detachable[i] =
                b.sound && map.SoundToEnd(b.firstLine) && clean[b.firstLine] &&
                (b.endLine == map.Lines() || SoundCount(map.Line(b.endLine)) == kNoCount);
        }
        soundSoFar = soundSoFar && b.sound;
    }
    return detachable;
}

bool LoadFromDamaged(std::string_view text, const std::string& key, std::vector<TTagLists>& out) {
    for (const Span& b : DamagedBlocks(LineMap(text), key)) {
        if (b.key != key) {
            continue;
        }
        if (b.count < 1) {
            return false;
        }
        Cursor at(text);
        at.Seek(b.entriesBegin);
        std::vector<TTagLists> list = ReadEntries(at, b.end, b.count);
        if (list.empty()) {
            return false;
        }
        out = std::move(list);
        return true;
    }
    return false;
}

}  // namespace tagfile
