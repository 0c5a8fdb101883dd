// The store's face: a lookup and the current list as a block. The steps of a save are in
// TagFileSave.cpp, reading in TagFileScan and TagFileDamaged, the files in TagFileSource.
#include "tags/TagFile.h"

#include "tags/Func_.h"
#include "tags/TagFileDamaged.h"
#include "tags/TagFileScan.h"
#include "tags/TagFileSource.h"
#include "tags/TextLines.h"

namespace {

using namespace tagfile;

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

bool SaveTagFile(const std::string& tagFile, const std::string& tbkFile,
                 const std::string& fallbackKey) {
    if (TagLists.empty()) {
        return true;
    }
    return SaveTagBlocks(tagFile, tbkFile, {CurrentTagBlock(fallbackKey)});
}
