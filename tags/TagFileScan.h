// Reading the tag file as sound blocks: the inside of the store (TagFile.h is its face).
//
// How blocks are told apart. A block is its key line, its count line and as many name/jump
// pairs as the count says; nothing else marks where one ends. A block is sound when its count
// line is a count as a save writes it and all its lines are there. A file of sound blocks
// that ends right after its last one is read by counting alone, as it always was. Anything
// else is a damaged file, read by the rules of TagFileDamaged.h.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "tags/UnitV.h"

namespace tagfile {

constexpr std::int64_t kNoCount = -1;

// Everything before the first 0x1A: what a reader sees of a file.
inline std::string_view Readable(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\x1A'));
}

// A line without its end: LF, or CR LF, or a CR cut off by the end of the text.
inline std::string_view LineAt(std::string_view text, std::size_t begin, std::size_t next) {
    std::size_t end = next;
    if (end > begin && text[end - 1] == '\n') {
        --end;
    }
    if (end > begin && text[end - 1] == '\r') {
        --end;
    }
    return {text.data() + begin, end - begin};  // within the text: no bounds to check
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
            // A line with another line feed after it in the window ends before the text does:
            // it is passed by dropping its bit, without working out where the next one starts.
            for (; n > 1 && (feeds_ & (feeds_ - 1)) != 0; --n) {
                feeds_ &= feeds_ - 1;
            }
            PassLine();
        }
        return true;
    }

  private:
    static constexpr std::size_t kWindow = 64;

    // One bit for each line feed among the kWindow bytes from offset on. An end-of-file byte
    // among them ends the text there, and the line feeds behind it are left out. A whole
    // window without one, nearly every window, is worked out here, in line with the walk.
    std::uint64_t LineFeedsAt(std::size_t offset) {
#ifdef __SSE2__
        if (offset < text_.size() && text_.size() - offset >= kWindow) {
            const char* p = text_.data() + offset;
            const __m128i lf = _mm_set1_epi8('\n');
            const __m128i eof = _mm_set1_epi8('\x1A');
            __m128i eofs = _mm_setzero_si128();
            std::uint64_t bits = 0;
            for (std::size_t i = 0; i < kWindow; i += 16) {
                const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
                bits |= static_cast<std::uint64_t>(
                            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf))))
                        << i;
                eofs = _mm_or_si128(eofs, _mm_cmpeq_epi8(chunk, eof));
            }
            if (_mm_movemask_epi8(eofs) == 0) {
                return bits;
            }
        }
#endif
        const Window w = LineFeedsOrEndAt(text_, offset);
        text_ = text_.substr(0, w.textEnd);
        return w.feeds;
    }
    // The same for the last bytes of the text and a window with an end-of-file byte, where
    // the text ends. Apart from the cursor, which then stays in registers through a walk.
    struct Window {
        std::uint64_t feeds;
        std::size_t textEnd;
    };
    static Window LineFeedsOrEndAt(std::string_view text, std::size_t offset);

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
inline std::int64_t SoundCount(std::string_view text) {
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
inline bool NextSoundBlock(Cursor& in, Head& head) {
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
std::vector<TTagLists> ReadEntries(Cursor& in, std::size_t end, std::int64_t entries);

}  // namespace tagfile
