#include "tags/TagFile.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/Platform.h"
#include "tags/Func_.h"
#include "tags/TextLines.h"
#include "tags/UnitV.h"

using textlines::AppendLine;
using textlines::LineReader;

namespace {

// A block cut short by the end of the file is completed with empty entries, but by no more
// than this many: a corrupt count in the millions must not make a save write millions of
// lines, nor a load build millions of entries.
constexpr std::int64_t kMaxMissingEntries = 256;

// The 2 x count lines of a block's entries (none for a count below 1), completed with empty
// lines when the file ends first.
std::vector<std::string> ReadEntryLines(LineReader& in, std::int32_t count) {
    const std::int64_t wanted = 2 * std::int64_t{count};
    std::vector<std::string> lines;
    while (static_cast<std::int64_t>(lines.size()) < wanted && !in.AtEnd()) {
        lines.push_back(in.Next());
    }
    if (static_cast<std::int64_t>(lines.size()) < wanted) {
        const auto present = static_cast<std::int64_t>((lines.size() + 1) / 2);
        const std::int64_t entries = std::min<std::int64_t>(count, present + kMaxMissingEntries);
        lines.resize(static_cast<std::size_t>(2 * entries));
    }
    return lines;
}

// Copies every block of an earlier file except those stored under key, with their counts
// in normal form.
void AppendOtherBlocks(std::string& out, const std::string& bytes, const std::string& key) {
    LineReader in(bytes);
    while (!in.AtEnd()) {
        const std::string blockKey = in.Next();
        const std::int32_t count = StrToIntZero(in.Next());
        const std::vector<std::string> lines = ReadEntryLines(in, count);
        if (blockKey == key) {
            continue;
        }
        AppendLine(out, blockKey);
        // A block completed up to the bound gets the count of the entries it now has.
        const auto written = count > 0 ? static_cast<std::int64_t>(lines.size() / 2) : count;
        AppendLine(out, std::to_string(written));
        for (const std::string& line : lines) {
            AppendLine(out, line);
        }
    }
}

}  // namespace

bool LoadTagBlock(const std::string& tagFile, const std::string& key) {
    platform::Platform& p = platform::Current();
    if (!p.FileExists(tagFile)) {
        return false;
    }
    const std::optional<std::string> bytes = p.ReadFile(tagFile);
    if (!bytes) {
        return false;
    }
    LineReader in(*bytes);
    while (!in.AtEnd()) {
        const std::string blockKey = in.Next();
        const std::int32_t count = StrToIntZero(in.Next());
        if (blockKey != key) {
            ReadEntryLines(in, count);
            continue;
        }
        if (count < 1) {
            return false;
        }
        // Built apart, so the list is replaced only by a block read to its end.
        const std::vector<std::string> lines = ReadEntryLines(in, count);
        std::vector<TTagLists> list(lines.size() / 2);
        for (std::size_t i = 0; i < list.size(); ++i) {
            list[i] = TTagLists{lines[2 * i], lines[2 * i + 1], 0};
        }
        TagLists = std::move(list);
        TagCount = static_cast<std::int32_t>(TagLists.size());
        return true;
    }
    return false;
}

void SaveTagFile(const std::string& tagFile, const std::string& tbkFile) {
    if (TagLists.empty()) {
        return;
    }
    platform::Platform& p = platform::Current();
    const std::string key = UpperSjis(TagLists[0].TagJump);
    std::string out;
    AppendLine(out, key);
    AppendLine(out, std::to_string(TagLists.size()));
    for (const TTagLists& entry : TagLists) {
        AppendLine(out, entry.TagName);
        AppendLine(out, entry.TagJump);
    }

    // The other drawings' blocks come from the tag file; when an earlier save failed between
    // its renames there is none, and the backup holds them.
    const bool hadTagFile = p.FileExists(tagFile);
    if (hadTagFile || p.FileExists(tbkFile)) {
        const std::optional<std::string> previous = p.ReadFile(hadTagFile ? tagFile : tbkFile);
        if (!previous) {
            return;  // saving without them would lose every other drawing's tags
        }
        AppendOtherBlocks(out, *previous, key);
    }

    // Nothing is renamed until the complete new file is on the disk.
    const std::string temp = textlines::TempPathFor(tagFile);
    if (!textlines::WriteWholeFile(temp, out)) {
        return;
    }
    if (hadTagFile && !p.RenameFile(tagFile, tbkFile, true)) {
        p.DeleteFile(temp);
        return;
    }
    if (!p.RenameFile(temp, tagFile, true)) {
        // Put the previous file back. Should that fail too, it stays as the backup, and the
        // next save takes the blocks from there.
        if (hadTagFile) {
            p.RenameFile(tbkFile, tagFile, false);
        }
        p.DeleteFile(temp);
    }
}
