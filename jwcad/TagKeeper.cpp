#include "jwcad/TagKeeper.h"

#include <algorithm>

#include "tags/UnitV.h"

namespace {

constexpr char kTagFileForeign[] =
    "タグファイルがUTF-16で保存されているため、読み書きできません。"
    "Shift-JIS（ANSI）で保存し直して下さい。";

bool Unknown(TBlockLookup lookup) {
    return lookup == TBlockLookup::Unreadable || lookup == TBlockLookup::Foreign;
}

// The stored entries with the tags added in hand behind them; entry 0 keeps its window.
std::vector<TTagLists> Merged(std::vector<TTagLists> stored, const std::vector<TTagLists>& inHand) {
    stored[0].Handle = inHand[0].Handle;
    stored.insert(stored.end(), inHand.begin() + 1, inHand.end());
    return stored;
}

}  // namespace

void ShowTagTabs(IStrip& strip) {
    std::vector<std::string> captions;
    captions.reserve(TagLists.size());
    for (const TTagLists& tag : TagLists) {
        captions.push_back(tag.TagName);
    }
    strip.SetTabs(captions);
}

void TagKeeper::TellForeign(TBlockLookup lookup) {
    if (lookup == TBlockLookup::Foreign && !toldForeign_) {
        toldForeign_ = true;
        strip_.ErrorBox(kTagFileForeign, tagFile_);
    }
}

void TagKeeper::Forget() {
    baseKey_.clear();
    basePath_.clear();
    baseUnknown_ = false;
    baseKeyHadBlock_ = false;
    savedKey_.clear();
}

void TagKeeper::TakeUp(const std::string& key, const std::string& path,
                       platform::WindowHandle window) {
    Forget();
    baseKey_ = key;
    basePath_ = path;
    // A list that an earlier save could not store is newer than the stored block.
    if (TakeUpUnsaved(key)) {
        TagLists[0].Handle = window;
        ShowTagTabs(strip_);
        Resolve();
        return;
    }
    std::vector<TTagLists> stored;
    const TBlockLookup lookup = platform::Current().FileExists(key)
                                    ? FindTagBlock(tagFile_, tbkFile_, key, stored)
                                    : TBlockLookup::None;
    TellForeign(lookup);
    if (lookup == TBlockLookup::Found) {
        baseKeyHadBlock_ = true;
        stored[0].Handle = window;
        ReplaceTags(std::move(stored));
    }
    // A file that could not be read hides the block, it does not show there is none.
    baseUnknown_ = Unknown(lookup);
    ShowTagTabs(strip_);
}

void TagKeeper::Resolve() {
    if (!baseUnknown_ || TagLists.empty()) {
        return;
    }
    std::vector<TTagLists> stored;
    const TBlockLookup lookup = FindTagBlock(tagFile_, tbkFile_, baseKey_, stored);
    TellForeign(lookup);
    if (Unknown(lookup)) {
        return;  // still unknown: the next tick or command tries again
    }
    baseUnknown_ = false;
    const bool added = HasTags();
    if (lookup == TBlockLookup::Found) {
        ReplaceTags(Merged(std::move(stored), TagLists));
        ShowTagTabs(strip_);
    }
    if (added) {
        Save();  // the tags added meanwhile were to be saved when they were added
    }
}

bool TagKeeper::ResolveBlock(TTagBlock& block) {
    if (!block.Partial) {
        return true;
    }
    std::vector<TTagLists> stored;
    const TBlockLookup lookup = FindTagBlock(tagFile_, tbkFile_, block.Key, stored);
    if (Unknown(lookup)) {
        return false;
    }
    if (lookup == TBlockLookup::Found) {
        block.Entries = Merged(std::move(stored), block.Entries);
    }
    block.Partial = false;
    return true;
}

bool TagKeeper::Save() {
    Resolve();
    std::vector<TTagBlock> blocks;
    if (HasTags()) {
        blocks.push_back(CurrentTagBlock(baseKey_));
        // Tags added before the drawing's path became known are stored under the key they
        // will be looked up under, never under an empty one. The list in hand keeps its empty
        // path: an import may still reveal the drawing's real one.
        if (TTagLists& base = blocks.back().Entries[0];
            base.TagJump.empty() && !basePath_.empty()) {
            base.TagJump = basePath_;
        }
        blocks.back().Partial = baseUnknown_;
        savedKey_ = blocks.back().Key;
    }
    for (const std::string& key : retracted_) {
        TTagBlock gone;
        gone.Key = key;
        gone.Removed = true;
        blocks.push_back(gone);
    }
    for (const TTagBlock& b : unsaved_) {
        if (std::none_of(blocks.begin(), blocks.end(),
                         [&](const TTagBlock& kept) { return kept.Key == b.Key; })) {
            blocks.push_back(b);
        }
    }
    // A block that still cannot be read keeps the whole save back: the file it would be
    // written into is the one that cannot be read.
    bool resolved = true;
    for (TTagBlock& b : blocks) {
        resolved = ResolveBlock(b) && resolved;
    }
    if (blocks.empty()) {
        return true;
    }
    blocker_ = tagFile_;
    if (resolved && SaveTagBlocks(tagFile_, tbkFile_, blocks, &blocker_)) {
        unsaved_.clear();
        retracted_.clear();
        return true;
    }
    std::erase_if(blocks, [](const TTagBlock& b) { return b.Removed; });
    unsaved_ = std::move(blocks);
    return false;
}

bool TagKeeper::TakeUpUnsaved(const std::string& key) {
    const auto it = std::find_if(unsaved_.begin(), unsaved_.end(),
                                 [&](const TTagBlock& b) { return b.Key == key; });
    if (it == unsaved_.end()) {
        return false;
    }
    for (TTagLists& entry : it->Entries) {
        entry.Handle = 0;  // as a load gives them
    }
    ReplaceTags(std::move(it->Entries));
    baseUnknown_ = it->Partial;
    unsaved_.erase(it);
    return true;
}

void TagKeeper::RetractSavedBlock() {
    if (!savedKey_.empty() && savedKey_ == baseKey_ && !baseKeyHadBlock_) {
        retracted_.push_back(savedKey_);
    }
    savedKey_.clear();
}

bool TagKeeper::TakeUpStoredBlock(const std::string& key) {
    if (key == baseKey_) {
        return false;  // looked up when the drawing was taken up
    }
    const std::vector<TTagLists> inHand = TagLists;
    std::vector<TTagLists> stored;
    if (TakeUpUnsaved(key)) {
        stored = TagLists;
    } else {
        const TBlockLookup lookup = FindTagBlock(tagFile_, tbkFile_, key, stored);
        TellForeign(lookup);
        if (Unknown(lookup)) {
            // Whatever is stored under the real path is unknown: the tags in hand go after it
            // once it can be read.
            RetractSavedBlock();
            baseKey_ = key;
            baseUnknown_ = true;
        }
        if (lookup != TBlockLookup::Found) {
            return false;
        }
    }
    ReplaceTags(Merged(std::move(stored), inHand));
    RetractSavedBlock();
    baseKey_ = key;
    return true;
}
