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
    bool operator==(const TTagBlock&) const = default;
};

// Replaces TagLists with the first block whose key line equals key; true when one with at
// least one entry was read. The list is untouched otherwise. Reads the tag file, or, when a
// save was cut short between its renames, the complete temporary or else the backup.
bool LoadTagBlock(const std::string& tagFile, const std::string& tbkFile, const std::string& key);
// The same over exactly one file.
bool LoadTagBlock(const std::string& file, const std::string& key);

// The current list as a block: under entry 0's jump text upper-cased, or under fallbackKey
// while entry 0 has no jump text.
TTagBlock CurrentTagBlock(const std::string& fallbackKey);

// Stores blocks first, in their order, and carries every other drawing's block over byte for
// byte. Bytes it cannot make sense of are carried over too, so a save never loses what it
// could not read. False when nothing was stored: a block without a key, or a file operation
// that failed; the files are then as they were or readable by LoadTagBlock as before.
bool SaveTagBlocks(const std::string& tagFile, const std::string& tbkFile,
                   const std::vector<TTagBlock>& blocks);
// Stores the current list (CurrentTagBlock) as the first block.
bool SaveTagFile(const std::string& tagFile, const std::string& tbkFile,
                 const std::string& fallbackKey = {});
