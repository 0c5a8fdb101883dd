// The tag list of the base drawing: entry 0 is the drawing itself, entries 1 and up its tags
// in tab order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

// Longest tag name, in bytes of Shift-JIS; a longer name is cut at a character boundary
// wherever it enters the list, and the name field takes no more.
constexpr int kMaxTagNameBytes = 80;

struct TTagLists {
    std::string TagName;
    std::string TagJump;
    platform::WindowHandle Handle = 0;
    bool operator==(const TTagLists&) const = default;
};

extern std::vector<TTagLists> TagLists;
extern std::int32_t TagCount;

// One editable row of the tag list editor (grid rows 2 and below), with the Handle of the
// entry it was filled from (0 for a row the user inserted), so a handle moves with its row.
struct TEditedRow {
    std::string TagName;
    std::string TagJump;
    platform::WindowHandle Handle = 0;
    bool operator==(const TEditedRow&) const = default;
};

struct TJumpParts {
    std::string Path;       // every byte before the first blank
    std::string Arguments;  // every byte after it
};

// Every change of the list goes through these, so TagCount is always the list's size.
void ClearTags();
// Entry 0 for the drawing of a found window: its file name as the title shows it, and the
// window. The tag list knows nothing of how windows are found.
void SeedTags(platform::WindowHandle window, const std::string& fileName);
void AppendTag(const std::string& name, const std::string& jump);
// The whole list at once: a block read from the tag file, or one merged with the tags in hand.
void ReplaceTags(std::vector<TTagLists> entries);
void SetBaseJumpIfEmpty(const std::string& path);
// Takes the editor's tag rows (grid rows 2 and below, in order) into the list; entry 0 stays.
void CommitEditedTags(const std::vector<TEditedRow>& rows);
TJumpParts SplitJumpText(const std::string& jump);
bool HasTags();
