#include "tags/TagFileScan.h"

#include <algorithm>
#include <cstring>

namespace tagfile {

Cursor::Window Cursor::LineFeedsOrEndAt(std::string_view text, std::size_t offset) {
    if (offset >= text.size()) {
        return {0, text.size()};
    }
    const char* p = text.data() + offset;
    const std::size_t n = std::min(kWindow, text.size() - offset);
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < n; ++i) {
        bits |= static_cast<std::uint64_t>(p[i] == '\n') << i;
    }
    const void* eof = std::memchr(p, '\x1A', n);
    if (eof == nullptr) {
        return {bits, text.size()};
    }
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(eof) - p);
    return {at == 0 ? 0 : bits & (~std::uint64_t{0} >> (kWindow - at)), offset + at};
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
