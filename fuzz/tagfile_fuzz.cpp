// The tag file store over arbitrary file bytes: a load by a key taken from the file, a save of
// the list with one more tag, and what every other drawing's block looks like afterwards.
//
// What a save promises about the file it starts from:
// - Every block it does not replace is carried over as the bytes it was read from, and so is
//   whatever it could not make sense of: a block found under key k before the save is found
//   under k afterwards, the same.
// - The saved list's block comes first under its written key and hides any block with that
//   key, so keys equal to it are left out of the comparison; it reads back as it was saved.
// - The new file is the old one, without the blocks replaced, behind the saved block.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "platform/fake/FakePlatform.h"
#include "tags/Func_.h"
#include "tags/TagFile.h"
#include "tags/TextLines.h"
#include "tags/UnitV.h"

namespace {

// A line as a save writes it: a line break or an end-of-file byte inside would split the line
// or end the file, so each becomes a blank. The core's own helper is not used here, so that a
// fault in it cannot hide from the comparison.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\x1A') {
            c = ' ';
        }
    }
    return text;
}

const std::string kTag = "C:\\QB\\quillbox.tag";
const std::string kTbk = "C:\\QB\\quillbox.tbk";

// Lookups checked per input: enough to cover every key of a small file, few enough to stay
// fast on a large one.
constexpr std::size_t kMaxLookups = 48;

std::vector<std::string> ReadLines(const std::string& bytes) {
    std::vector<std::string> lines;
    textlines::LineReader in(bytes);
    while (!in.AtEnd()) {
        lines.push_back(in.Next());
    }
    return lines;
}

std::vector<TTagLists> Written(std::vector<TTagLists> list) {
    for (TTagLists& entry : list) {
        entry.TagName = OneLine(entry.TagName);
        entry.TagJump = OneLine(entry.TagJump);
        entry.Handle = 0;
    }
    return list;
}

void SetList(const std::vector<TTagLists>& list) {
    ReplaceTags(list);
}

// LoadTagBlock's answer for key: the list it loaded, or nullopt when it returned false (and
// then it must not have touched the list). The list in force is put back either way.
std::optional<std::vector<TTagLists>> Lookup(const std::string& file, const std::string& key) {
    const std::vector<TTagLists> kept = TagLists;
    const std::int32_t keptCount = TagCount;
    std::optional<std::vector<TTagLists>> found;
    if (LoadTagBlock(file, key)) {
        FUZZ_CHECK(!TagLists.empty());
        FUZZ_CHECK(TagCount == static_cast<std::int32_t>(TagLists.size()));
        for (const TTagLists& entry : TagLists) {
            FUZZ_CHECK(entry.Handle == 0);
        }
        found = TagLists;
    } else {
        FUZZ_CHECK(TagLists == kept && TagCount == keptCount);
    }
    SetList(kept);
    return found;
}

std::size_t BlockBytes(const std::vector<TTagLists>& list) {
    std::size_t bytes = 64;  // key and count lines beyond the key's own bytes
    for (const TTagLists& entry : list) {
        bytes += entry.TagName.size() + entry.TagJump.size() + 4;
    }
    return bytes + list[0].TagJump.size();
}

// One save with the input as the file the other blocks come from: the tag file itself, or the
// backup alone as an earlier save that failed between its renames leaves it.
void SaveOver(const std::string& input, bool asBackup) {
    platform::ScopedFakePlatform p;
    const std::string& source = asBackup ? kTbk : kTag;
    p.fake.PutFile(source, input);

    const std::vector<std::string> lines = ReadLines(input);
    // The drawing of the first block, without the byte-order marks an editor may have put in
    // front: no drawing's path starts with one.
    std::string firstLine = lines.empty() ? std::string() : lines[0];
    while (firstLine.starts_with("\xEF\xBB\xBF")) {
        firstLine.erase(0, 3);
    }

    // The caller's flow: seed, look the drawing up, take a new tag in, save.
    ClearTags();
    SeedTags(0x100, "seed.jww");
    if (!LoadTagBlock(kTag, UpperSjis(firstLine))) {
        SetBaseJumpIfEmpty(firstLine);
    }
    AppendTag("fuzz", "C:\\JWW\\FUZZ.JWW /p");
    const std::vector<TTagLists> saved = TagLists;
    // A list whose drawing has no path yet is stored under the key it was looked up under.
    const std::string fallbackKey = "C:\\JWW\\SEED.JWW";
    // Written without the byte-order marks a pasted jump text may start with.
    std::string savedKey = OneLine(UpperSjis(saved[0].TagJump));
    while (savedKey.starts_with("\xEF\xBB\xBF") || savedKey.starts_with("\xFF\xFE") ||
           savedKey.starts_with("\xFE\xFF")) {
        savedKey.erase(0, savedKey[0] == '\xEF' ? 3 : 2);
    }
    if (savedKey.empty()) {
        savedKey = fallbackKey;
    }

    struct Before {
        std::string key;
        std::optional<std::vector<TTagLists>> found;
    };
    std::vector<Before> before;
    std::set<std::string> asked;
    for (const std::string& line : lines) {
        if (before.size() >= kMaxLookups) {
            break;
        }
        if (asked.insert(line).second) {
            before.push_back({line, Lookup(source, line)});
        }
    }

    // A file saved as UTF-16 is never written into; a blank one never becomes the backup.
    const std::string_view body =
        std::string_view(input).substr(input.starts_with("\xEF\xBB\xBF") ? 3 : 0);
    if (input.starts_with("\xFF\xFE") || input.starts_with("\xFE\xFF")) {
        FUZZ_CHECK(!SaveTagFile(kTag, kTbk, fallbackKey));
        FUZZ_CHECK(p.fake.FileBytes(kTag) == input);
        ClearTags();
        return;
    }
    const bool blank =
        body.find_first_not_of(std::string_view("\r\n \0\x1A", 5)) == std::string_view::npos;
    FUZZ_CHECK(SaveTagFile(kTag, kTbk, fallbackKey));

    const std::optional<std::string> out = p.fake.FileBytes(kTag);
    FUZZ_CHECK(out.has_value());
    FUZZ_CHECK(!p.fake.FileExists(textlines::TempPathFor(kTag)));
    // The previous file becomes the backup; a backup that stood in for it stays as it was.
    FUZZ_CHECK(p.fake.FileBytes(kTbk) == (blank ? std::nullopt : std::optional(input)));
    FUZZ_CHECK(out->size() <= input.size() + BlockBytes(saved));

    FUZZ_CHECK(Lookup(kTag, savedKey) == Written(saved));
    for (const Before& b : before) {
        if (b.key == savedKey) {
            continue;
        }
        FUZZ_CHECK(Lookup(kTag, b.key) == b.found);
    }
    ClearTags();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    SaveOver(input, false);
    SaveOver(input, true);
    return 0;
}
