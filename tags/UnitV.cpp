#include "tags/UnitV.h"

#include <algorithm>

#include "tags/Func_.h"
#include "tags/TextLines.h"

std::vector<TTagLists> TagLists;
std::int32_t TagCount = 0;

namespace {

// Text that enters the list must fit one line of the tag file.
using textlines::OneLine;

void CountTags() {
    TagCount = static_cast<std::int32_t>(TagLists.size());
}

}  // namespace

void ClearTags() {
    TagLists.clear();
    CountTags();
}

void SeedTags(platform::WindowHandle window, const std::string& fileName) {
    TagLists.assign(1, TTagLists{OneLine(fileName), std::string(), window});
    CountTags();
}

void AppendTag(const std::string& name, const std::string& jump) {
    TagLists.push_back(TTagLists{OneLine(name), OneLine(jump), 0});
    CountTags();
}

void ReplaceTags(std::vector<TTagLists> entries) {
    TagLists = std::move(entries);
    CountTags();
}

void SetBaseJumpIfEmpty(const std::string& path) {
    if (!TagLists.empty() && TagLists[0].TagJump.empty()) {
        TagLists[0].TagJump = OneLine(path);
    }
}

void CommitEditedTags(const std::vector<TEditedRow>& rows) {
    // The editor always holds at least one tag row, blank or not.
    const std::size_t count = std::max<std::size_t>(rows.size() + 1, 2);
    TagLists.resize(count);
    for (std::size_t i = 1; i < count; ++i) {
        const TEditedRow row = i - 1 < rows.size() ? rows[i - 1] : TEditedRow{};
        int taken = 0;
        // The handle travels with its row, so a moved tag keeps the window it opened.
        TagLists[i] = TTagLists{MbcsCopy(OneLine(row.TagName), 1, kMaxTagNameBytes, taken),
                                OneLine(row.TagJump), row.Handle};
    }
    CountTags();
}

TJumpParts SplitJumpText(const std::string& jump) {
    const std::size_t blank = jump.find(' ');
    if (blank == std::string::npos) {
        return {jump, std::string()};
    }
    return {jump.substr(0, blank), jump.substr(blank + 1)};
}

bool HasTags() {
    return TagCount > 1;
}
