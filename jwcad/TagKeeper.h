// What becomes of the base drawing's tags: saved at once where they can be, kept in hand where
// they cannot, and taken up again with the drawing. The tag file may be held by another
// program, emptied, or in a form we do not write: whatever the file does, no drawing's stored
// tags are saved over unseen, and a list that could not be stored is kept for the next save.
#pragma once

#include <string>
#include <vector>

#include "jwcad/Strip.h"
#include "platform/Platform.h"
#include "tags/TagFile.h"

// Shows the tag list in the strip's tabs, one tab per entry, in list order.
void ShowTagTabs(IStrip& strip);

class TagKeeper {
  public:
    // The files are the strip's, named when it starts.
    TagKeeper(IStrip& strip, const std::string& tagFile, const std::string& tbkFile)
        : strip_(strip), tagFile_(tagFile), tbkFile_(tbkFile) {}

    // A drawing becomes the base drawing: key is its full path in capitals, as its tags are
    // looked up; path the same path as Jw_cad names it, empty when the key names no existing
    // file. Replaces the list seeded for it by its unsaved list or its stored block and shows
    // the tabs.
    void TakeUp(const std::string& key, const std::string& path, platform::WindowHandle window);
    // No base drawing any more: nothing of it is taken up or kept.
    void Forget();
    // When the base drawing's stored block could not be read, reads it again and puts it in
    // front of the tags added meanwhile, which are then saved. Called at every moment that
    // may read the file: a tick that keeps the base drawing, a command, a save.
    void Resolve();
    // Stores the list in hand, when it has tags, with every list an earlier save could not
    // store; false when they all stay unsaved, to be tried again at the next save, and
    // Blocker() names the file that stood in the way.
    bool Save();
    const std::string& Blocker() const { return blocker_; }
    // An import showed the drawing's real path, another than it was looked up under: puts the
    // block stored under that key in front of the tags in hand; false when there is none.
    bool TakeUpStoredBlock(const std::string& key);

  private:
    // Takes the unsaved list stored under key into hand; false when there is none.
    bool TakeUpUnsaved(const std::string& key);
    // A list kept unsaved while its block could not be read: resolved as Resolve does; false
    // while the block still cannot be read.
    bool ResolveBlock(TTagBlock& block);
    // The drawing's key is about to change: a block saved under the old one that was not there
    // before is retracted, so the file is as if it had never been saved.
    void RetractSavedBlock();
    // Says once per run that the tag file is in a form this program neither reads nor writes.
    void TellForeign(TBlockLookup lookup);

    IStrip& strip_;
    const std::string& tagFile_;
    const std::string& tbkFile_;
    // The key the base drawing was looked up under, and the path it names when that is the
    // path of an existing file in a folder Jw_cad named.
    std::string baseKey_;
    std::string basePath_;
    // The base drawing's block could not be read when it was taken up: the tags in hand are
    // only those added since, and nothing may be saved over the stored block until it is read.
    bool baseUnknown_ = false;
    // The key the list in hand was last saved under, whether a block stood under it when the
    // drawing was taken up, and the keys of blocks this run saved under a key an import showed
    // to be the wrong one: they go at the next save.
    std::string savedKey_;
    bool baseKeyHadBlock_ = false;
    std::vector<std::string> retracted_;
    // Lists of earlier base drawings that a save could not store, the newest first.
    std::vector<TTagBlock> unsaved_;
    std::string blocker_;
    bool toldForeign_ = false;
};
