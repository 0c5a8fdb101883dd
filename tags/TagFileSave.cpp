// A save, step by step: plan what is written, recover a save cut short, read the previous file,
// build the new one from pieces, publish it by renames. A step that fails names the file in the
// way, and the files are then as they were or readable as before.
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "tags/TagFile.h"
#include "tags/TagFileDamaged.h"
#include "tags/TagFileScan.h"
#include "tags/TagFileSource.h"
#include "tags/TextLines.h"

namespace {

using namespace tagfile;

struct SaveFiles {
    const std::string& tag;
    const std::string& tbk;
    std::string temp;
};

// The file that stopped a step; none when the step went through.
using Blocked = std::optional<std::string>;

// What is written: each key once, as it is written, with the block stored under it.
struct SavePlan {
    std::vector<std::string> keys;
    std::vector<const TTagBlock*> blocks;
    std::size_t size = 0;  // about the bytes of the new blocks
};

bool IsNewKey(std::string_view key, const std::vector<std::string>& newKeys) {
    for (const std::string& k : newKeys) {
        if (k == key) {
            return true;
        }
    }
    return false;
}

// None when a block cannot be saved: one nobody could look up again, no block at all, or one
// that would replace tags it has not seen. A later block with a key already planned is dropped,
// as a load would never reach it.
std::optional<SavePlan> PlanSave(const std::vector<TTagBlock>& blocks) {
    SavePlan plan;
    for (const TTagBlock& b : blocks) {
        std::string key = KeyLine(b.Key);
        if (key.empty() || (b.Entries.empty() && !b.Removed) || b.Partial) {
            return std::nullopt;
        }
        plan.size += b.Key.size() + 16;
        for (const TTagLists& e : b.Entries) {
            plan.size += e.TagName.size() + e.TagJump.size() + 4;
        }
        if (!IsNewKey(key, plan.keys)) {
            plan.keys.push_back(std::move(key));
            plan.blocks.push_back(&b);
        }
    }
    return plan;
}

// No temporary is ever written while the tag file is missing, so one found then is complete: a
// save cut short between its renames left it, and it is the newest file. It, or else the
// backup, becomes the tag file again before anything is written.
Blocked RecoverCutShortSave(const SaveFiles& files) {
    platform::Platform& p = platform::Current();
    if (!p.FileExists(files.tag)) {
        const std::string& newest = p.FileExists(files.temp) ? files.temp : files.tbk;
        if (p.FileExists(newest) && !textlines::RenameWaiting(newest, files.tag, false)) {
            return newest;
        }
    } else if (p.FileExists(files.temp)) {
        textlines::DeleteWaiting(files.temp);  // left by a save cut short while it wrote
    }
    return std::nullopt;
}

struct Previous {
    std::string bytes;
    bool rotate = false;  // the tag file becomes the backup
};

// The other drawings' blocks come from the file a load would read them from: the tag file,
// which then becomes the backup, or, in place of a blank one, the backup, which stays as it is.
// A blank file carries nothing over. A file that cannot be read, or is not ours to write into,
// stops the save: writing without it would lose every other drawing's tags; a backup that is
// not ours only has nothing to give.
Blocked ReadPrevious(const SaveFiles& files, Previous& previous) {
    Source source = ReadSource(files.tag, files.tbk);
    if (source.state == TBlockLookup::Unreadable ||
        (source.state == TBlockLookup::Foreign && source.path == files.tag)) {
        return source.path;
    }
    if (source.state == TBlockLookup::Foreign || IsBlank(source.bytes)) {
        source.bytes.clear();
    }
    previous.rotate = source.path == files.tag && !source.bytes.empty();
    previous.bytes = std::move(source.bytes);
    return std::nullopt;
}

// The new blocks, the one text a save builds; the rest is written from the bytes read.
std::string NewBlocksText(const SavePlan& plan) {
    std::string out;
    out.reserve(plan.size);
    for (std::size_t i = 0; i < plan.keys.size(); ++i) {
        const TTagBlock& block = *plan.blocks[i];
        if (block.Removed) {
            continue;
        }
        textlines::AppendLine(out, plan.keys[i]);
        textlines::AppendLine(out, std::to_string(block.Entries.size()));
        for (const TTagLists& entry : block.Entries) {
            textlines::AppendLine(out, entry.TagName);
            textlines::AppendLine(out, entry.TagJump);
        }
    }
    return out;
}

// A new file as the pieces it is written from, most of them bytes of the previous one.
using Pieces = std::vector<std::string_view>;

void AppendPiece(Pieces& out, std::string_view piece) {
    if (!piece.empty()) {
        out.push_back(piece);
    }
}

// Appends text without the blocks stored under newKeys, when it is sound throughout; false
// otherwise, with out then holding some of it.
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

// Appends a damaged text without the blocks stored under newKeys that a save may leave out.
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

// The new blocks first, then every other block of the previous file. What follows an
// end-of-file byte is no block anyone can read, but it is not ours to throw away either.
Pieces BuildPieces(std::string_view newBlocks, std::string_view before,
                   const std::vector<std::string>& keys) {
    Pieces pieces{newBlocks};
    if (!AppendOtherSoundBlocks(pieces, before, keys)) {
        pieces.resize(1);
        const std::string_view text = Readable(before);
        AppendOtherDamagedBlocks(pieces, text, keys);
        AppendPiece(pieces, before.substr(text.size()));
    }
    return pieces;
}

// Nothing is renamed until the complete new file is on the disk. The backup goes first, on its
// own, so that a backup that cannot be replaced (held, or a folder of that name) is named as
// what blocks the save.
Blocked Publish(const SaveFiles& files, const Pieces& pieces, bool rotate) {
    platform::Platform& p = platform::Current();
    if (!textlines::WriteWholeFile(files.temp, pieces)) {
        return files.temp;
    }
    if (rotate && !textlines::DeleteWaiting(files.tbk)) {
        p.DeleteFile(files.temp);
        return files.tbk;
    }
    if (rotate && !textlines::RenameWaiting(files.tag, files.tbk, true)) {
        p.DeleteFile(files.temp);
        return files.tag;
    }
    if (!textlines::RenameWaiting(files.temp, files.tag, true)) {
        // Put the previous file back. Should that fail too, the complete temporary stays: the
        // next load reads it and the next save makes it the tag file.
        if (!rotate || p.RenameFile(files.tbk, files.tag, false)) {
            p.DeleteFile(files.temp);
        }
        return files.tag;
    }
    return std::nullopt;
}

}  // namespace

bool SaveTagBlocks(const std::string& tagFile, const std::string& tbkFile,
                   const std::vector<TTagBlock>& blocks, std::string* blocker) {
    if (blocks.empty()) {
        return true;
    }
    const std::optional<SavePlan> plan = PlanSave(blocks);
    if (!plan) {
        return false;
    }
    const SaveFiles files{tagFile, tbkFile, textlines::TempPathFor(tagFile)};
    Previous previous;
    Blocked blocked = RecoverCutShortSave(files);
    if (!blocked) {
        blocked = ReadPrevious(files, previous);
    }
    if (!blocked) {
        const std::string newBlocks = NewBlocksText(*plan);
        const Pieces pieces = BuildPieces(newBlocks, WithoutMark(previous.bytes), plan->keys);
        blocked = Publish(files, pieces, previous.rotate);
    }
    if (blocked && blocker != nullptr) {
        *blocker = *blocked;
    }
    return !blocked;
}
