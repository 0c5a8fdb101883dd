// The rules for a damaged tag file: one that does not read as sound blocks to its end
// (TagFileScan.h says what those are).
//
// Such a file was written by hand, by a tool, or cut short. A count as a save writes it that
// fits the file is still taken at its word: nothing marks where blocks start, and the block
// saved last must read back as it was saved, whatever follows it. Any other count (not a plain
// number, negative, or more lines than the file has left) is not trusted: its block ends at the
// first line from which the rest of the file reads as sound blocks to its very end, and never
// swallows a line equal to the key being looked up. So a count of millions, a negative one or
// garbage between blocks costs at most the block it sits in, and the blocks behind it are still
// found.
//
// A save copies every block it does not replace as the bytes it was read from. In such a file
// the blocks differ with the key looked up, so it replaces only a block that every lookup
// reads alike and whose lines no other block can take (Detachable says where).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tags/UnitV.h"

namespace tagfile {

// One block of a damaged file.
struct Span {
    std::size_t begin = 0, end = 0;  // bytes
    std::size_t entriesBegin = 0;    // bytes: the first entry line
    std::size_t firstLine = 0, endLine = 0;
    std::string_view key;
    std::int32_t count = 0;  // as the count line reads
    bool sound = false;
};

// The lines of a damaged file, and where it reads as sound blocks.
class LineMap {
  public:
    explicit LineMap(std::string_view text);

    std::size_t Lines() const { return lines_; }
    std::size_t Start(std::size_t i) const { return starts_[i]; }
    std::string_view Line(std::size_t i) const;
    // The count of a block whose key is line i, when it is one as a save writes it.
    std::int64_t SoundCountAt(std::size_t i) const;
    // Where a block at line i ends when its count is one as a save writes it and fits the
    // file; 0 otherwise.
    std::uint64_t SoundEnd(std::size_t i) const;
    // From line i on, the file reads as sound blocks up to its very end.
    bool SoundToEnd(std::size_t i) const { return soundToEnd_[i]; }
    // The block that a reading for soughtKey (none when empty) finds at line s.
    Span BlockAt(std::size_t s, std::string_view soughtKey) const;

  private:
    std::string_view text_;
    std::vector<std::size_t> starts_;  // of every line, and the end of the text
    std::size_t lines_ = 0;
    std::vector<bool> soundToEnd_;
    std::vector<std::size_t> nextSound_;  // the first line from i on that SoundToEnd holds for
};

// The blocks of a damaged file. soughtKey, when not empty, is the key being looked up.
std::vector<Span> DamagedBlocks(const LineMap& map, std::string_view soughtKey);

// Which blocks of a damaged file a save may leave out without changing what a lookup of any
// other key reads.
std::vector<bool> Detachable(const LineMap& map, const std::vector<Span>& blocks);

// The entries of the first block stored under key in a damaged text (what a reader sees of
// it), when it has at least one.
bool LoadFromDamaged(std::string_view text, const std::string& key, std::vector<TTagLists>& out);

}  // namespace tagfile
