// The tag file: one block of lines per drawing, the block saved last first; the previous
// file is kept as the backup.
#pragma once

#include <string>

// Replaces TagLists with the first block whose key line equals key; true when one with at
// least one entry was read completely. The list is untouched otherwise.
bool LoadTagBlock(const std::string& tagFile, const std::string& key);
// Stores the current list as the first block and carries every other drawing's block over.
// Never leaves fewer blocks behind than there were.
void SaveTagFile(const std::string& tagFile, const std::string& tbkFile);
