#include "tags/TagFile.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "tags/Func_.h"
#include "tags/TextLines.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

using textlines::AppendLine;

// How blocks are told apart. A block is its key line, its count line and as many name/jump
// pairs as the count says; nothing else marks where one ends. A block is sound when its count
// line is a count as a save writes it and all its lines are there. A file of sound blocks
// that ends right after its last one is read by counting alone, as it always was.
//
// Anything else was written by hand, by a tool, or cut short. A count as a save writes it
// that fits the file is still taken at its word: nothing marks where blocks start, and the
// block saved last must read back as it was saved, whatever follows it. Any other count (not
// a plain number, negative, or more lines than the file has left) is not trusted: its block
// ends at the first line from which the rest of the file reads as sound blocks to its very
// end, and never swallows a line equal to the key being looked up. So a count of millions, a
// negative one or garbage between blocks costs at most the block it sits in, and the blocks
// behind it are still found.
//
// A save copies every block it does not replace as the bytes it was read from. In such a file
// the blocks differ with the key looked up, so it replaces only a block that every lookup
// reads alike and whose lines no other block can take (Detachable says where).

namespace {

constexpr std::int64_t kNoCount = -1;

// Everything before the first 0x1A: what a reader sees of a file.
std::string_view Readable(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\x1A'));
}

// A line without its end: LF, or CR LF, or a CR cut off by the end of the text.
std::string_view LineAt(std::string_view text, std::size_t begin, std::size_t next) {
    std::size_t end = next;
    if (end > begin && text[end - 1] == '\n') {
        --end;
    }
    if (end > begin && text[end - 1] == '\r') {
        --end;
    }
    return text.substr(begin, end - begin);
}

// Walks the lines of a text without copying them, up to its first 0x1A, as a reader sees it.
// A save walks every line of a file of 100,000 blocks, most of them a few dozen bytes long, so
// a line is never a call of its own: the line feeds of 64 bytes at a time are kept as bits,
// and each line takes the next one. The end-of-file byte is looked for in the same pass.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) { Seek(0); }
    bool AtEnd() const { return pos_ >= text_.size(); }
    std::size_t Pos() const { return pos_; }
    // pos must be the start of a line.
    void Seek(std::size_t pos) {
        pos_ = pos;
        window_ = pos;
        feeds_ = LineFeedsAt(window_);
    }

    std::string_view Next() {
        const std::size_t begin = pos_;
        PassLine();
        return LineAt(text_, begin, pos_);
    }
    // Skips up to n lines; true when all n were there. The last line may lack its line feed.
    bool Skip(std::int64_t n) {
        for (; n > 0; --n) {
            if (AtEnd()) {
                return false;
            }
            PassLine();
        }
        return true;
    }

  private:
    static constexpr std::size_t kWindow = 64;

    // One bit for each line feed among the kWindow bytes from offset on. An end-of-file byte
    // among them ends the text there, and the line feeds behind it are left out.
    std::uint64_t LineFeedsAt(std::size_t offset) {
        if (offset >= text_.size()) {
            return 0;
        }
        const char* p = text_.data() + offset;
        std::uint64_t bits = 0;
        bool ended = false;
#ifdef __SSE2__
        if (text_.size() - offset >= kWindow) {
            const __m128i lf = _mm_set1_epi8('\n');
            const __m128i eof = _mm_set1_epi8('\x1A');
            __m128i eofs = _mm_setzero_si128();
            for (std::size_t i = 0; i < kWindow; i += 16) {
                const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
                bits |= static_cast<std::uint64_t>(
                            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf))))
                        << i;
                eofs = _mm_or_si128(eofs, _mm_cmpeq_epi8(chunk, eof));
            }
            // The byte is rare: where it is, is worked out only when it is there.
            if (_mm_movemask_epi8(eofs) == 0) {
                return bits;
            }
            ended = true;
        }
#endif
        const std::size_t n = std::min(kWindow, text_.size() - offset);
        if (!ended) {
            for (std::size_t i = 0; i < n; ++i) {
                bits |= static_cast<std::uint64_t>(p[i] == '\n') << i;
            }
        }
        const void* eof = std::memchr(p, '\x1A', n);
        if (eof == nullptr) {
            return bits;
        }
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(eof) - p);
        text_ = text_.substr(0, offset + at);
        return at == 0 ? 0 : bits & (~std::uint64_t{0} >> (kWindow - at));
    }

    // To the start of the next line, or the end of the text.
    void PassLine() {
        while (feeds_ == 0) {
            window_ += kWindow;
            if (window_ >= text_.size()) {
                pos_ = text_.size();
                return;
            }
            feeds_ = LineFeedsAt(window_);
        }
        pos_ = window_ + static_cast<std::size_t>(std::countr_zero(feeds_)) + 1;
        feeds_ &= feeds_ - 1;
        // The window after the last line feed of this one is looked at right away: an
        // end-of-file byte at its start ends the text here, and AtEnd must know before a line
        // that is not there is passed.
        if (feeds_ == 0 && window_ + kWindow < text_.size()) {
            window_ += kWindow;
            feeds_ = LineFeedsAt(window_);
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t window_ = 0;   // where the bytes of feeds_ start
    std::uint64_t feeds_ = 0;  // the line feeds of the window from pos_ on
};

// The count of a count line as a save writes it ("0", or digits without a leading zero that
// fit 32 bits); kNoCount for any other text.
std::int64_t SoundCount(std::string_view text) {
    if (text.empty() || text.size() > 10 || (text[0] == '0' && text.size() > 1)) {
        return kNoCount;
    }
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return kNoCount;
        }
        value = value * 10 + (c - '0');
    }
    return value <= std::numeric_limits<std::int32_t>::max() ? value : kNoCount;
}

struct Head {
    std::string_view key;
    std::int64_t count = 0;
    std::size_t entriesBegin = 0;
};

// Reads the sound block at the cursor; false (the cursor then anywhere) when it is not sound.
bool NextSoundBlock(Cursor& in, Head& head) {
    if (in.AtEnd()) {
        return false;
    }
    head.key = in.Next();
    if (in.AtEnd()) {
        return false;
    }
    head.count = SoundCount(in.Next());
    head.entriesBegin = in.Pos();
    return head.count != kNoCount && in.Skip(2 * head.count);
}

// The entries of a block: pairs of lines from the cursor on, entries of them at most; a pair
// cut short by the end of its block gets an empty jump text.
std::vector<TTagLists> ReadEntries(Cursor& in, std::size_t end, std::int64_t entries) {
    std::vector<TTagLists> list;
    while (static_cast<std::int64_t>(list.size()) < entries && in.Pos() < end) {
        TTagLists entry;
        entry.TagName = std::string(in.Next());
        if (in.Pos() < end) {
            entry.TagJump = std::string(in.Next());
        }
        list.push_back(std::move(entry));
    }
    return list;
}

// One block of a file that is not sound throughout.
struct Span {
    std::size_t begin = 0, end = 0;  // bytes
    std::size_t entriesBegin = 0;    // bytes: the first entry line
    std::size_t firstLine = 0, endLine = 0;
    std::string_view key;
    std::int32_t count = 0;  // as the count line reads
    bool sound = false;
};

// The lines of a file that is not sound throughout, and where it reads as sound blocks.
class LineMap {
  public:
    explicit LineMap(std::string_view text) : text_(text) {
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

    std::size_t Lines() const { return lines_; }
    std::size_t Start(std::size_t i) const { return starts_[i]; }
    std::string_view Line(std::size_t i) const { return LineAt(text_, starts_[i], starts_[i + 1]); }
    // The count of a block whose key is line i, when it is one as a save writes it.
    std::int64_t SoundCountAt(std::size_t i) const {
        return i + 1 < lines_ ? SoundCount(Line(i + 1)) : kNoCount;
    }
    // Where a block at line i ends when its count is one as a save writes it and fits the
    // file; 0 otherwise.
    std::uint64_t SoundEnd(std::size_t i) const {
        const std::int64_t n = SoundCountAt(i);
        const std::uint64_t end = i + 2 + 2 * static_cast<std::uint64_t>(n);
        return n != kNoCount && end <= lines_ ? end : 0;
    }
    // From line i on, the file reads as sound blocks up to its very end.
    bool SoundToEnd(std::size_t i) const { return soundToEnd_[i]; }

    // The block that a reading for soughtKey (none when empty) finds at line s, as the comment
    // at the top says.
    Span BlockAt(std::size_t s, std::string_view soughtKey) const {
        const std::int64_t sound = SoundCountAt(s);
        const std::int32_t count =
            sound != kNoCount ? static_cast<std::int32_t>(sound)
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

  private:
    std::string_view text_;
    std::vector<std::size_t> starts_;  // of every line, and the end of the text
    std::size_t lines_ = 0;
    std::vector<bool> soundToEnd_;
    std::vector<std::size_t> nextSound_;  // the first line from i on that SoundToEnd holds for
};

// The blocks of a file that is not sound throughout, delimited as the comment at the top
// says. soughtKey, when not empty, is the key being looked up.
std::vector<Span> DamagedBlocks(const LineMap& map, std::string_view soughtKey) {
    std::vector<Span> blocks;
    for (std::size_t s = 0; s < map.Lines();) {
        blocks.push_back(map.BlockAt(s, soughtKey));
        s = blocks.back().endLine;
    }
    return blocks;
}

// Which blocks of a damaged file a save may leave out without changing what a lookup of any
// other key reads. The blocks depend on the key looked up: a lookup ends an untrusted block
// early at a line equal to its key, and the block starting there may run on over lines that
// the save's reading gives to another block. So a block may go only where every reading
// agrees on it and nothing a reading could start before it runs into it:
// - in the run of sound blocks the file starts with, which every key reads alike, when the
//   block after it is sound too (a count that ran into it would otherwise take its lines);
// - or in the sound blocks the file ends with, when no block that any reading could start
//   before it runs across its first line. Its successor's key must then not read as a count,
//   as it would for the line before once the block is gone.
std::vector<bool> Detachable(const LineMap& map, const std::vector<Span>& blocks) {
    const std::size_t lines = map.Lines();
    // Every line at which some reading could start a block, in one sweep: a block whose count
    // fits ends where it counts; an untrusted one ends where it does without a key sought, or
    // earlier at any line from its third on (one equal to the key sought). crossed counts the
    // blocks with a count that fits which some reading may start before a line and end after it.
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

    std::vector<bool> detachable(blocks.size(), false);
    bool soundSoFar = true;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Span& b = blocks[i];
        const bool last = i + 1 == blocks.size();
        if (soundSoFar) {
            detachable[i] = b.sound && (last || blocks[i + 1].sound);
        } else {
            detachable[i] = b.sound && map.SoundToEnd(b.firstLine) && clean[b.firstLine] &&
                            (b.endLine == lines || SoundCount(map.Line(b.endLine)) == kNoCount);
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

// The entries of the first block stored under key, when it has at least one.
bool LoadFromText(std::string_view bytes, const std::string& key, std::vector<TTagLists>& out) {
    Cursor in(bytes);
    while (!in.AtEnd()) {
        Head head;
        if (!NextSoundBlock(in, head)) {
            return LoadFromDamaged(Readable(bytes), key, out);
        }
        if (head.key != key) {
            continue;
        }
        // A count that ran into the next block shows there: then the file needs a closer look.
        Cursor next = in;
        Head nextHead;
        if (!next.AtEnd() && !NextSoundBlock(next, nextHead)) {
            return LoadFromDamaged(Readable(bytes), key, out);
        }
        if (head.count < 1) {
            return false;
        }
        const std::size_t end = in.Pos();
        in.Seek(head.entriesBegin);
        out = ReadEntries(in, end, head.count);
        return true;
    }
    return false;
}

bool IsNewKey(std::string_view key, const std::vector<std::string>& newKeys) {
    for (const std::string& k : newKeys) {
        if (k == key) {
            return true;
        }
    }
    return false;
}

// Appends bytes without the blocks stored under newKeys, when what a reader sees of them is
// sound throughout, and whatever follows an end-of-file byte as it is; false otherwise, with
// out then holding some of it.
// A new file as the pieces it is written from, most of them bytes of the previous one.
using Pieces = std::vector<std::string_view>;

void AppendPiece(Pieces& out, std::string_view piece) {
    if (!piece.empty()) {
        out.push_back(piece);
    }
}

bool AppendOtherSoundBlocks(Pieces& out, std::string_view text,
                            const std::vector<std::string>& newKeys) {
    Cursor in(text);
    std::size_t copyFrom = 0;  // bytes not yet copied start here
    while (!in.AtEnd()) {
        const std::size_t begin = in.Pos();
        Head head;
        if (!NextSoundBlock(in, head)) {
            return false;
        }
        if (IsNewKey(head.key, newKeys)) {
            AppendPiece(out, text.substr(copyFrom, begin - copyFrom));
            copyFrom = in.Pos();
        }
    }
    AppendPiece(out, text.substr(copyFrom));
    return true;
}

void AppendOtherDamagedBlocks(Pieces& out, std::string_view text,
                              const std::vector<std::string>& newKeys) {
    const LineMap map(text);
    const std::vector<Span> blocks = DamagedBlocks(map, {});
    const std::vector<bool> detachable = Detachable(map, blocks);
    std::size_t copyFrom = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Span& b = blocks[i];
        if (detachable[i] && IsNewKey(b.key, newKeys)) {
            AppendPiece(out, text.substr(copyFrom, b.begin - copyFrom));
            copyFrom = b.end;
        }
    }
    AppendPiece(out, text.substr(copyFrom));
}

// A file the store cannot read or write: one another program saved as UTF-16 (a Windows
// editor's "Unicode"). Its bytes are not ours to rewrite or to guess at.
bool IsForeign(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

// The bytes without the UTF-8 byte-order mark a Windows editor puts in front: the rest is the
// file as we wrote it, and the mark must neither hide the first key nor land inside a file.
std::string_view WithoutMark(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
}

// A key as it is written: one line, and without byte-order marks in front (a jump text pasted
// from a UTF-8 file). The first key written starts the file, where a reader takes a UTF-8 mark
// for an editor's and a UTF-16 one for a file that is not ours. No drawing's path starts so.
std::string KeyLine(const std::string& key) {
    std::string line = textlines::OneLine(key);
    for (;;) {
        if (line.starts_with("\xEF\xBB\xBF")) {
            line.erase(0, 3);
        } else if (line.starts_with("\xFF\xFE") || line.starts_with("\xFE\xFF")) {
            line.erase(0, 2);
        } else {
            return line;
        }
    }
}

// Nothing at all but line ends, blanks, zeros and end-of-file bytes: a file emptied by a crash,
// a sync conflict or a user. Never worth more than the backup beside it.
bool IsBlank(std::string_view bytes) {
    const std::string_view text = WithoutMark(bytes);
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c == '\r' || c == '\n' || c == ' ' || c == '\0' || c == '\x1A';
    });
}

// The previous file a load or a save starts from.
struct Source {
    TBlockLookup state = TBlockLookup::None;  // None: read (or there is none); else why not
    std::string path;                         // the file read, or the one that stood in the way
    std::string bytes;
};

// The tag file; when a save was cut short between its renames, the temporary it had completed;
// after a save that failed to rename back, the backup. A blank tag file gives way to the
// backup. A file that is there but cannot be read is never passed over for an older one:
// what it holds is unknown, not absent.
Source ReadSource(const std::string& tagFile, const std::string& tbkFile) {
    platform::Platform& p = platform::Current();
    Source blank;
    for (const std::string& path : {tagFile, textlines::TempPathFor(tagFile), tbkFile}) {
        if (path.empty() || (path != tbkFile && path != tagFile && p.FileExists(tagFile))) {
            continue;  // a temporary beside a tag file is a save cut short while it wrote
        }
        Source s;
        s.path = path;
        const textlines::FileRead read = textlines::ReadWaiting(path, s.bytes);
        if (read == textlines::FileRead::Missing) {
            continue;
        }
        if (read == textlines::FileRead::Unreadable) {
            s.state = TBlockLookup::Unreadable;
            return s;
        }
        if (IsForeign(s.bytes)) {
            s.state = TBlockLookup::Foreign;
            return s;
        }
        if (!IsBlank(s.bytes)) {
            return s;
        }
        if (blank.path.empty()) {
            blank = std::move(s);
        }
    }
    return blank;
}

}  // namespace

bool LoadTagBlock(const std::string& file, const std::string& key) {
    std::string bytes;
    std::vector<TTagLists> entries;
    if (textlines::ReadWaiting(file, bytes) != textlines::FileRead::Read || IsForeign(bytes) ||
        !LoadFromText(WithoutMark(bytes), key, entries)) {
        return false;
    }
    ReplaceTags(std::move(entries));
    return true;
}

TBlockLookup FindTagBlock(const std::string& tagFile, const std::string& tbkFile,
                          const std::string& key, std::vector<TTagLists>& entries) {
    const Source source = ReadSource(tagFile, tbkFile);
    if (source.state != TBlockLookup::None) {
        return source.state;
    }
    return LoadFromText(WithoutMark(source.bytes), key, entries) ? TBlockLookup::Found
                                                                 : TBlockLookup::None;
}

bool LoadTagBlock(const std::string& tagFile, const std::string& tbkFile, const std::string& key) {
    std::vector<TTagLists> entries;
    if (FindTagBlock(tagFile, tbkFile, key, entries) != TBlockLookup::Found) {
        return false;
    }
    ReplaceTags(std::move(entries));
    return true;
}

TTagBlock CurrentTagBlock(const std::string& fallbackKey) {
    TTagBlock block;
    if (TagLists.empty()) {
        return block;
    }
    block.Key = KeyLine(UpperSjis(TagLists[0].TagJump));
    if (block.Key.empty()) {
        block.Key = fallbackKey;
    }
    block.Entries = TagLists;
    return block;
}

bool SaveTagBlocks(const std::string& tagFile, const std::string& tbkFile,
                   const std::vector<TTagBlock>& blocks, std::string* blocker) {
    if (blocks.empty()) {
        return true;
    }
    platform::Platform& p = platform::Current();
    const std::string temp = textlines::TempPathFor(tagFile);

    // The keys as they are written; a later block with a key already written is dropped, as a
    // load would never reach it.
    std::vector<std::string> keys;
    std::size_t size = 0;
    for (const TTagBlock& b : blocks) {
        keys.push_back(KeyLine(b.Key));
        if (keys.back().empty() || (b.Entries.empty() && !b.Removed) || b.Partial) {
            // A block nobody could look up again, no block at all, or one that would replace
            // tags it has not seen.
            return false;
        }
        size += b.Key.size() + 16;
        for (const TTagLists& e : b.Entries) {
            size += e.TagName.size() + e.TagJump.size() + 4;
        }
    }

    // No temporary is ever written while the tag file is missing, so one found then is
    // complete: a save cut short between its renames left it, and it is the newest file. It,
    // or else the backup, becomes the tag file again before anything is written.
    const auto blockedBy = [blocker](const std::string& path) {
        if (blocker != nullptr) {
            *blocker = path;
        }
        return false;
    };
    if (!p.FileExists(tagFile)) {
        const std::string& newest = p.FileExists(temp) ? temp : tbkFile;
        if (p.FileExists(newest) && !textlines::RenameWaiting(newest, tagFile, false)) {
            return blockedBy(newest);
        }
    } else if (p.FileExists(temp)) {
        textlines::DeleteWaiting(temp);  // left by a save cut short while it wrote
    }

    // The other drawings' blocks come from the tag file, which then becomes the backup. A
    // blank tag file is no file worth keeping: they come from the backup, which stays as it is.
    // A file that cannot be read, or is not ours to write into, stops the save: writing without
    // it would lose every other drawing's tags.
    std::string previous;
    bool rotate = false;
    switch (textlines::ReadWaiting(tagFile, previous)) {
        case textlines::FileRead::Missing:
            break;
        case textlines::FileRead::Unreadable:
            return blockedBy(tagFile);
        case textlines::FileRead::Read:
            if (IsForeign(previous)) {
                return blockedBy(tagFile);
            }
            rotate = !IsBlank(previous);
            if (!rotate) {
                previous.clear();
                if (textlines::ReadWaiting(tbkFile, previous) == textlines::FileRead::Unreadable) {
                    return blockedBy(tbkFile);
                }
                if (IsForeign(previous)) {
                    previous.clear();  // nothing we can carry over, and the backup stays
                }
            }
            break;
    }
    const std::string_view before = WithoutMark(previous);

    // The new blocks are the one text built here; the rest is written from the bytes read.
    std::string out;
    out.reserve(size);
    std::vector<std::string> written;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (IsNewKey(keys[i], written)) {
            continue;
        }
        written.push_back(keys[i]);
        if (blocks[i].Removed) {
            continue;
        }
        AppendLine(out, keys[i]);
        AppendLine(out, std::to_string(blocks[i].Entries.size()));
        for (const TTagLists& entry : blocks[i].Entries) {
            AppendLine(out, entry.TagName);
            AppendLine(out, entry.TagJump);
        }
    }
    // What follows an end-of-file byte is no block anyone can read, but it is not ours to
    // throw away either.
    Pieces pieces{out};
    if (!AppendOtherSoundBlocks(pieces, before, written)) {
        pieces.resize(1);
        const std::string_view text = Readable(before);
        AppendOtherDamagedBlocks(pieces, text, written);
        AppendPiece(pieces, before.substr(text.size()));
    }

    // Nothing is renamed until the complete new file is on the disk. The backup goes first, on
    // its own, so that a backup that cannot be replaced (held, or a folder of that name) is
    // named as what blocks the save.
    if (!textlines::WriteWholeFile(temp, pieces)) {
        return blockedBy(temp);
    }
    if (rotate && !textlines::DeleteWaiting(tbkFile)) {
        p.DeleteFile(temp);
        return blockedBy(tbkFile);
    }
    if (rotate && !textlines::RenameWaiting(tagFile, tbkFile, true)) {
        p.DeleteFile(temp);
        return blockedBy(tagFile);
    }
    if (!textlines::RenameWaiting(temp, tagFile, true)) {
        // Put the previous file back. Should that fail too, the complete temporary stays: the
        // next load reads it and the next save makes it the tag file.
        if (!rotate || p.RenameFile(tbkFile, tagFile, false)) {
            p.DeleteFile(temp);
        }
        return blockedBy(tagFile);
    }
    return true;
}

bool SaveTagFile(const std::string& tagFile, const std::string& tbkFile,
                 const std::string& fallbackKey) {
    if (TagLists.empty()) {
        return true;
    }
    return SaveTagBlocks(tagFile, tbkFile, {CurrentTagBlock(fallbackKey)});
}
