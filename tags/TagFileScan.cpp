#include "tags/TagFileScan.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tagfile {

std::uint64_t Cursor::LineFeedsAt(std::size_t offset) {
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

}  // namespace tagfile
