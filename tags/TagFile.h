// The tag file: one block of lines per drawing, the block saved last first; the previous
// file is kept as the backup.
//
// A save writes the whole new file beside the tag file (path + ".tmp") and then renames: the
// tag file becomes the backup, the temporary the tag file. A save cut short between the two
// renames leaves no tag file but a complete temporary, and a load then reads that.
#pragma once

#include <string>
#include <vector>

#include "tags/UnitV.h"

// One drawing's list as it is stored: under Key, entry 0 first.
struct TTagBlock {
    std::string Key;
    std::vector<TTagLists> Entries;
    // Entries 1 and up are tags added while the stored block could not be read: they belong
    // after its entries, and the block must not be saved until it has been read.
    bool Partial = false;
    // Saved as no block at all: whatever is stored under the key is dropped.
    bool Removed = false;
    bool operator==(const TTagBlock&) const = default;
};

enum class TBlockLookup {
    Found,
    None,        // the store holds no block with at least one entry under the key
    Unreadable,  // the file is there but could not be read: the block is unknown, not absent
    Foreign,     // the file was saved by another program as UTF-16: neither read nor written
};

// The entries of the first block whose key line equals key. Reads the tag file, or, when a
// save was cut short between its renames, the complete temporary or else the backup; a blank
// tag file gives way to the backup. A UTF-8 byte-order mark in front is passed over.
TBlockLookup FindTagBlock(const std::string& tagFile, const std::string& tbkFile,
                          const std::string& key, std::vector<TTagLists>& entries);
// Replaces TagLists with what FindTagBlock finds; true when it found a block. The list is
// untouched otherwise.
bool LoadTagBlock(const std::string& tagFile, const std::string& tbkFile, const std::string& key);
// The same over exactly one file.
bool LoadTagBlock(const std::string& file, const std::string& key);

// The current list as a block: under entry 0's jump text upper-cased, or under fallbackKey
// while entry 0 has no jump text.
TTagBlock CurrentTagBlock(const std::string& fallbackKey);

// Stores blocks first, in their order, and carries every other drawing's block over byte for
// byte. Bytes it cannot make sense of are carried over too, so a save never loses what it
// could not read. False when nothing was stored: a block without a key, or a file operation
// that failed; the files are then as they were or readable by LoadTagBlock as before, and
// blocker (when given) names the file that stood in the way. A blank tag file is replaced
// without becoming the backup; one saved as UTF-16 is never written over.
bool SaveTagBlocks(const std::string& tagFile, const std::string& tbkFile,
                   const std::vector<TTagBlock>& blocks, std::string* blocker = nullptr);
// Stores the current list (CurrentTagBlock) as the first block.
bool SaveTagFile(const std::string& tagFile, const std::string& tbkFile,
                 const std::string& fallbackKey = {});
