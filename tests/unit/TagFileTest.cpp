#include "tags/TagFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "platform/fake/FakePlatform.h"
#include "tags/UnitV.h"

namespace {

using Lines = std::vector<std::string>;
using List = std::vector<TTagLists>;

const std::string kTag = "C:\\QB\\quillbox.tag";
const std::string kTbk = "C:\\QB\\quillbox.tbk";
const std::string kTmp = kTag + ".tmp";
const std::string kEof = "\x1A";

std::string Text(const Lines& lines, const char* end = "\r\n") {
    std::string out;
    for (const std::string& line : lines) {
        out += line + end;
    }
    return out;
}

template <typename T>
std::vector<T> operator+(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A block as the store writes it: key, count, then name and jump of every entry.
Lines Block(const std::string& key, const List& entries) {
    Lines lines{key, std::to_string(entries.size())};
    for (const TTagLists& e : entries) {
        lines = lines + Lines{e.TagName, e.TagJump};
    }
    return lines;
}

void SetList(const List& list) {
    TagLists = list;
    TagCount = static_cast<std::int32_t>(list.size());
}

TEST(TagFile, WorkedExampleByteForByte) {
    platform::ScopedFakePlatform p;
    const Lines detail{
        "C:\\JWW\\DETAIL.JWW", "3",       "detail.jww",           "C:\\JWW\\detail.jww", "Back",
        "C:\\JWW\\plan1.jww",  "Section", "D:\\WORK\\section.jww"};
    const Lines plan1{"C:\\JWW\\PLAN1.JWW", "2",      "plan1.jww",
                      "C:\\JWW\\plan1.jww", "Detail", "C:\\JWW\\detail.jww"};
    p.fake.PutFile(kTag, Text(detail + plan1));
    ASSERT_TRUE(LoadTagBlock(kTag, "C:\\JWW\\PLAN1.JWW"));
    EXPECT_EQ(TagLists,
              (List{{"plan1.jww", "C:\\JWW\\plan1.jww", 0}, {"Detail", "C:\\JWW\\detail.jww", 0}}));
    AppendTag("Section", "D:\\WORK\\section.jww /p");
    SaveTagFile(kTag, kTbk);
    EXPECT_EQ(p.fake.FileBytes(kTag),
              Text(Lines{"C:\\JWW\\PLAN1.JWW", "3", "plan1.jww", "C:\\JWW\\plan1.jww", "Detail",
                         "C:\\JWW\\detail.jww", "Section", "D:\\WORK\\section.jww /p"} +
                   detail));
    EXPECT_EQ(p.fake.FileBytes(kTbk), Text(detail + plan1));
    EXPECT_FALSE(p.fake.FileExists(kTmp));
    ClearTags();
}

TEST(TagFile, LoadTakesTheFirstBlockWithTheKeyOrLeavesTheList) {
    const List seed{{"seed", "", 0x10}}, nj{{"n", "j", 0}};
    struct Case {
        std::string file;
        std::optional<List> want;  // nullopt: false, list untouched
    };
    const Case cases[] = {
        {"A\n1\na\nb\nK\n1\nn\nj\n", nj},                          // LF alone ends a line
        {Text({"A", "0", "\x1AK", "1", "n", "j"}), std::nullopt},  // 0x1A ends the file
        {Text({"K", "0", "K", "1", "n", "j"}), std::nullopt},
        {Text({"K", "1", "n", "j", "K", "1", "x", "y"}), nj},
        {Text({"k", "1", "n", "j"}), std::nullopt},            // keys match case-sensitively
        {Text({"A", "x", "K", "1", "n", "j"}), nj},            // no number: an empty block
        {Text({"A", "1", "K", "1", "K", "1", "n", "j"}), nj},  // entry lines are no keys
        // Cut short by the end of the file: the entries there, none made up.
        {Text({"K", "3", "n", "j", "m"}), List{{"n", "j", 0}, {"m", "", 0}}},
        {Text({"K", "2000000000", "n", "j"}), nj},
        // A's last line runs into the file's last 64 bytes, which hold K and an end-of-file byte.
        {Text({"A", "1", "n", std::string(60, 'j'), "K", "1", "n", "j"}) + kEof + "x", nj},
        // An end-of-file byte right after the first 64 bytes: A's count is one line short of
        // fitting, so its block is not taken at its word and K is found inside it.
        {Text({"A", "3", "a", "K", "1", "n", "j" + std::string(43, 'x')}) + kEof + "x\r\n",
         List{{"n", "j" + std::string(43, 'x'), 0}}},
        {Text({"K", "1"}), std::nullopt},
        {"", std::nullopt}};
    platform::ScopedFakePlatform p;
    for (const Case& c : cases) {
        SetList(seed);
        p.fake.PutFile(kTag, c.file);
        EXPECT_EQ(LoadTagBlock(kTag, "K"), c.want.has_value()) << c.file;
        EXPECT_EQ(TagLists, c.want.value_or(seed)) << c.file;
        EXPECT_EQ(TagCount, static_cast<std::int32_t>(TagLists.size())) << c.file;
    }
    p.fake.failFileOp = [](const std::string& op, const std::string&) { return op == "read"; };
    EXPECT_FALSE(LoadTagBlock(kTag, "K"));
    EXPECT_EQ(TagLists, seed);
    ClearTags();
}

TEST(TagFile, SaveCarriesOtherBlocksOverByteForByte) {
    // The name breaks no line: the writer guards against text that bypassed the list.
    const List current{{"p", "c:\\plan.jww", 0x10}, {"t\r\nu", "C:\\t.jww /p", 0x20}};
    const Lines head =
        Block("C:\\PLAN.JWW", {{"p", "c:\\plan.jww", 0}, {"t  u", "C:\\t.jww /p", 0}});
    struct Case {
        std::optional<std::string> previous;
        std::string rest;  // what follows the current block
    };
    const Case cases[] = {
        {std::nullopt, ""},
        {Text({"B", " 1", "n", "j"}), Text({"B", " 1", "n", "j"})},
        {Text({"B", "x", "n", "j"}), Text({"B", "x", "n", "j"})},
        {Text({"C:\\PLAN.JWW", "1", "o", "p", "", "1", "n", "j", "C:\\PLAN.JWW", "1", "o", "p"}),
         Text({"", "1", "n", "j"})},
        {Text({"B", "2", "n"}), Text({"B", "2", "n"})},
        {Text({"B", "2000000000", "n", "j"}), Text({"B", "2000000000", "n", "j"})},
        {"B\n1\nn\nj", "B\n1\nn\nj"},
        {"B\n1\nn\nj\n\x1A"
         "C\r\n",
         "B\n1\nn\nj\n\x1A"
         "C\r\n"}};
    for (const Case& c : cases) {
        platform::ScopedFakePlatform p;
        if (c.previous) {
            p.fake.PutFile(kTag, *c.previous);
        }
        SetList(current);
        EXPECT_TRUE(SaveTagFile(kTag, kTbk));
        EXPECT_EQ(p.fake.FileBytes(kTag), Text(head) + c.rest) << c.rest;
        EXPECT_EQ(p.fake.FileBytes(kTbk), c.previous);
        EXPECT_FALSE(p.fake.FileExists(kTmp));
    }
    ClearTags();
}

// Three drawings with Shift-JIS names (表 and ソ end in '\', ャ in 'a'), and A's new list.
const std::string kKeyA = "C:\\\x90\x7D\x96\xCA\\\x83\\\x83\x61.JWW";  // C:\図面\ソャ.JWW
const List kOldA{{"\x83\\\x83\x61.jww", "c:\\\x90\x7D\x96\xCA\\\x83\\\x83\x61.jww", 0},
                 {"\x95\xBD\x96\xCA", "c:\\\x90\x7D\x96\xCA\\\x95\\.jww /p", 0}};
const List kNewA = kOldA + List{{"\x95\\", "C:\\B.JWW", 0}};
const List kB{{"b", "C:\\B.JWW", 0}, {"b1", "z", 0}};
const List kC{{"c", "C:\\C.JWW", 0}, {"c1", "w", 0}};

// Every drawing's block loads, from the tag file alone or as a start finds it; A old or new.
void ExpectEveryBlockLoadable(bool tagFileAlone, const std::string& where) {
    const std::pair<std::string, std::vector<List>> expected[] = {
        {kKeyA, {kOldA, kNewA}}, {"C:\\B.JWW", {kB}}, {"C:\\C.JWW", {kC}}};
    for (const auto& [key, versions] : expected) {
        ClearTags();
        EXPECT_TRUE(tagFileAlone ? LoadTagBlock(kTag, key) : LoadTagBlock(kTag, kTbk, key))
            << where << " " << key;
        EXPECT_NE(std::find(versions.begin(), versions.end(), TagLists), versions.end()) << where;
    }
}

TEST(TagFile, EveryFailingStepOfASaveKeepsEveryBlockLoadable) {
    const std::string all =
        Text(Block(kKeyA, kOldA) + Block("C:\\B.JWW", kB) + Block("C:\\C.JWW", kC));
    const std::string saved =
        Text(Block(kKeyA, kNewA) + Block("C:\\B.JWW", kB) + Block("C:\\C.JWW", kC));
    struct Start {
        std::optional<std::string> tag, tbk;
    };
    const Start starts[] = {{all, Text(Block("C:\\OLD.JWW", kB))},
                            {all, std::nullopt},
                            {std::nullopt, all}};  // an earlier save failed between its renames
    for (const Start& start : starts) {
        const auto run = [&](platform::FakePlatform& fake, auto failFileOp) {
            if (start.tag) {
                fake.PutFile(kTag, *start.tag);
            }
            if (start.tbk) {
                fake.PutFile(kTbk, *start.tbk);
            }
            fake.failFileOp = failFileOp;
            SetList(kNewA);
            const bool ok = SaveTagFile(kTag, kTbk);
            fake.failFileOp = nullptr;
            return ok;
        };
        std::vector<std::string> ops;
        {
            platform::ScopedFakePlatform dry;
            run(dry.fake, [&](const std::string& op, const std::string&) {
                ops.push_back(op);
                return false;
            });
        }
        for (bool persistent : {false, true}) {
            for (std::size_t k = 0; k < ops.size(); ++k) {
                const std::string where = ops[k] + " #" + std::to_string(k) +
                                          (persistent ? " on" : "") + (start.tag ? "" : " tbk");
                platform::ScopedFakePlatform p;
                std::size_t n = 0;
                const bool ok = run(p.fake, [&](const std::string&, const std::string&) {
                    const std::size_t i = n++;
                    return persistent ? i >= k : i == k;
                });
                // Success is reported exactly when the new list is in the tag file.
                EXPECT_EQ(ok, p.fake.FileBytes(kTag) == saved) << where;
                // A single failure leaves no temporary and never takes the tag file away.
                EXPECT_TRUE(persistent || !p.fake.FileExists(kTmp)) << where;
                ExpectEveryBlockLoadable(start.tag && !persistent, where);
                // The next save that works brings every block back into the tag file.
                SetList(kNewA);
                SaveTagFile(kTag, kTbk);
                EXPECT_EQ(p.fake.FileBytes(kTag), saved) << where;
                EXPECT_FALSE(p.fake.FileExists(kTmp)) << where;
            }
        }
    }
    ClearTags();
}

TEST(TagFile, AStartAfterASaveCutShortFindsTheNewestCompleteFile) {
    const std::string oldFile =
        Text(Block(kKeyA, kOldA) + Block("C:\\B.JWW", kB) + Block("C:\\C.JWW", kC));
    const std::string newFile =
        Text(Block(kKeyA, kNewA) + Block("C:\\B.JWW", kB) + Block("C:\\C.JWW", kC));
    const List d{{"d", "C:\\D.JWW", 0}, {"d1", "v", 0}};
    struct Case {
        const char* what;
        std::optional<std::string> tag, tbk, tmp;
        std::optional<List> a;  // what A loads as
        std::string saved;      // the tag file after D's list is saved
    };
    const Case cases[] = {
        {"between the renames", std::nullopt, oldFile, newFile, kNewA,
         Text(Block("C:\\D.JWW", d)) + newFile},
        {"renamed back in vain", std::nullopt, oldFile, std::nullopt, kOldA,
         Text(Block("C:\\D.JWW", d)) + oldFile},
        {"cut short while writing", newFile, oldFile, Text({"C:\\D.JWW", "2", "d"}), kNewA,
         Text(Block("C:\\D.JWW", d)) + newFile},
        {"first save", std::nullopt, std::nullopt, std::nullopt, std::nullopt,
         Text(Block("C:\\D.JWW", d))},
    };
    for (const Case& c : cases) {
        platform::ScopedFakePlatform p;
        for (const auto& [path, bytes] : {std::pair{kTag, c.tag}, {kTbk, c.tbk}, {kTmp, c.tmp}}) {
            if (bytes) {
                p.fake.PutFile(path, *bytes);
            }
        }
        SetList(d);
        EXPECT_EQ(LoadTagBlock(kTag, kTbk, kKeyA), c.a.has_value()) << c.what;
        EXPECT_EQ(TagLists, c.a.value_or(d)) << c.what;
        SetList(d);
        EXPECT_TRUE(SaveTagFile(kTag, kTbk)) << c.what;
        EXPECT_EQ(p.fake.FileBytes(kTag), c.saved) << c.what;
        EXPECT_FALSE(p.fake.FileExists(kTmp)) << c.what;
        EXPECT_EQ(p.fake.FilePaths().size(), c.tag || c.tbk || c.tmp ? 2u : 1u) << c.what;
    }
    ClearTags();
}

// A file edited by hand or by another tool: whatever a save cannot make sense of, it keeps,
// and the blocks behind a bad count are still found, before the save and after it.
TEST(TagFile, HostileFilesLoseNothing) {
    const Lines b = Block("C:\\B.JWW", kB), c = Block("C:\\C.JWW", kC);
    const List oldK{{"k", "C:\\K.JWW", 0}, {"k1", "u", 0}}, newK = oldK + List{{"k2", "t", 0}};
    const Lines k = Block("C:\\K.JWW", oldK);
    const auto a = [](const char* count, const char* lastJump = "x") {
        return Text({"C:\\A.JWW", count, "a", "C:\\a.jww", "a1", lastJump});
    };
    const List a2{{"a", "C:\\a.jww", 0}, {"a1", "x", 0}};
    std::string garbage;
    for (int i = 0; garbage.size() < 65536; ++i) {
        garbage +=
            i % 3 == 0 ? std::to_string(i % 7) + "\r\n" : "## garbage " + std::to_string(i) + "\n";
    }
    struct Case {
        const char* what;
        std::string head;           // what comes before B, K and C
        std::optional<List> loadA;  // what A loads as
        bool readable = true;       // B, K and C can be read at all
        bool bFound = readable;     // B is found behind A
    };
    const Case cases[] = {
        {"count of 2147483647", a("2147483647"), a2},
        {"negative count", a("-5"), std::nullopt},
        // A plain count that fits is taken at its word: it takes B's first two lines, which stay
        // in the file all the same.
        {"count one too high", a("3"), a2 + List{{"C:\\B.JWW", "2", 0}}, true, false},
        {"count one too low", a("1"), List{{"a", "C:\\a.jww", 0}}},
        {"count with a blank", a(" 2"), a2},
        {"garbage between blocks", a("2") + garbage, a2},
        {"0x1A inside a line", a("2", "x\x1Ay"), a2, false, false},
    };
    for (const Case& t : cases) {
        platform::ScopedFakePlatform p;
        const std::string rest = Text(b) + Text(k) + Text(c);
        p.fake.PutFile(kTag, t.head + rest);
        const auto expectLoads = [&](const std::optional<List>& wantK, const char* when) {
            const std::pair<std::string, std::optional<List>> loads[] = {
                {"C:\\A.JWW", t.loadA},
                {"C:\\B.JWW", t.bFound ? std::optional(kB) : std::nullopt},
                {"C:\\C.JWW", t.readable ? std::optional(kC) : std::nullopt},
                {"C:\\K.JWW", wantK}};
            for (const auto& [key, want] : loads) {
                ClearTags();
                EXPECT_EQ(LoadTagBlock(kTag, key), want.has_value()) << t.what << when << key;
                EXPECT_EQ(TagLists, want.value_or(List{})) << t.what << when << key;
            }
        };
        expectLoads(t.readable ? std::optional(oldK) : std::nullopt, " before");
        SetList(newK);
        EXPECT_TRUE(SaveTagFile(kTag, kTbk));
        // Only the block replaced is gone; every other byte is where it was.
        EXPECT_EQ(p.fake.FileBytes(kTag),
                  Text(Block("C:\\K.JWW", newK)) + t.head + (t.readable ? Text(b) + Text(c) : rest))
            << t.what;
        expectLoads(newK, " after");
    }
    ClearTags();
}

// Behind a count that cannot be trusted, a lookup ends that block at a line equal to its key,
// and the block found there may run on over lines that the save reads as the stored block of
// the list being saved. That stored block then stays: dropping it would change what the other
// lookup finds. Where nothing else reads a stored block, the save still replaces it.
TEST(TagFile, ASaveLeavesEveryOtherLookupAsItWas) {
    const List newK{{"k", "C:\\K.JWW", 0}, {"k1", "u", 0}};
    const Lines k = Block("C:\\K.JWW", {{"k", "C:\\K.JWW", 0}});
    struct Case {
        const char* what;
        Lines lines;
        bool kReplaced;
    };
    const Case cases[] = {
        // B's count is one too high: B reads K's key and count as its last entry.
        {"count beyond the file",
         Lines{"C:\\A.JWW", "99", "a", "C:\\B.JWW", "2", "b", "C:\\b.jww"} + k, false},
        {"hexadecimal count",
         Lines{"C:\\A.JWW", "$FFFF", "a", "C:\\B.JWW", "2", "b", "C:\\b.jww"} + k, false},
        // B's count is right: nothing but the save's own block reads K's lines.
        {"count right", Lines{"C:\\A.JWW", "99", "a", "C:\\B.JWW", "1", "b", "C:\\b.jww"} + k,
         true},
    };
    for (const Case& c : cases) {
        platform::ScopedFakePlatform p;
        const std::string before = Text(c.lines);
        p.fake.PutFile(kTag, before);
        const auto lookups = [&] {
            std::vector<std::optional<List>> found;
            for (const std::string& key : c.lines) {
                ClearTags();
                found.push_back(LoadTagBlock(kTag, key) ? std::optional(TagLists) : std::nullopt);
            }
            return found;
        };
        std::vector<std::optional<List>> want = lookups();
        SetList(newK);
        ASSERT_TRUE(SaveTagFile(kTag, kTbk)) << c.what;
        const std::string rest =
            c.kReplaced ? before.substr(0, before.size() - Text(k).size()) : before;
        EXPECT_EQ(p.fake.FileBytes(kTag), Text(Block("C:\\K.JWW", newK)) + rest) << c.what;
        const std::vector<std::optional<List>> got = lookups();
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(got[i], c.lines[i] == "C:\\K.JWW" ? std::optional(newK) : want[i])
                << c.what << ": " << c.lines[i];
        }
    }
    ClearTags();
}

}  // namespace

namespace {

// Lines are found 64 bytes at a time: names of every length around that window, with and
// without a CR, and a file whose last line has no end, must load and save as they did.
TEST(TagFile, LinesOfEveryLengthAroundTheScanWindowLoadAndSave) {
    struct Case {
        const char* end;       // of every line
        bool cutLastLine;      // the file's last line without its end
        bool eofByte = false;  // then 0x1A and bytes no reader sees
    };
    for (const Case& c : {Case{"\r\n", false}, Case{"\n", false}, Case{"\r\n", true},
                          Case{"\r\n", false, true}, Case{"\n", true, true}}) {
        for (std::size_t len = 0; len <= 140; ++len) {
            SCOPED_TRACE(std::string("length ") + std::to_string(len) +
                         (c.cutLastLine ? " cut" : "") + (c.eofByte ? " eof" : ""));
            platform::ScopedFakePlatform p;
            const std::string name(len, 'n');
            const Lines first = Block("K1", {{name, "K1", 0}});
            const Lines last = Block("K2", {{"a", name, 0}, {name, "", 0}, {"x" + name, "y", 0}});
            std::string text = Text(first + last, c.end);
            if (c.cutLastLine) {
                text.resize(text.size() - std::string(c.end).size());
            }
            if (c.eofByte) {
                text += kEof + "K2\r\n9\r\n";
            }
            p.fake.PutFile(kTag, text);
            ASSERT_TRUE(LoadTagBlock(kTag, "K2"));
            ASSERT_EQ(TagLists, (List{{"a", name, 0}, {name, "", 0}, {"x" + name, "y", 0}}));
            ASSERT_TRUE(LoadTagBlock(kTag, "K1"));
            ASSERT_EQ(TagLists, (List{{name, "K1", 0}}));
            ASSERT_TRUE(SaveTagFile(kTag, kTbk));
            // The saved block first, the other one byte for byte behind it.
            const std::string lastBytes = text.substr(Text(first, c.end).size());
            EXPECT_EQ(p.fake.FileBytes(kTag), Text(first) + lastBytes);
            EXPECT_EQ(p.fake.FileBytes(kTbk), text);
        }
    }
}

}  // namespace

// What other programs do to the files: a scanner or sync client holds one for a moment or for
// good, a crash or a user empties it, an editor re-saves it with a byte-order mark or as UTF-16,
// a folder stands where the backup goes. No drawing's block is lost or hidden by any of it.
TEST(TagFile, FilesOtherProgramsTouchLoseNothing) {
    const std::string good = Text(Block(kKeyA, kOldA) + Block("C:\\B.JWW", kB));
    const std::string saved = Text(Block(kKeyA, kNewA) + Block("C:\\B.JWW", kB));
    const std::string mark = "\xEF\xBB\xBF";
    const std::string utf16(
        "\xFF\xFE"
        "C\0:\0\\\0",
        8);
    struct Case {
        const char* what;
        std::string tag;
        std::optional<std::string> tbk;
        std::string held;      // every operation on this file fails ...
        std::uint32_t heldMs;  // ... for this long, from the start of the load and of the save
        TBlockLookup lookup;
        std::string blocker;  // empty: the save succeeds
        std::string tagAfter;
        std::optional<std::string> tbkAfter;
    };
    const Case cases[] = {
        {"tag file held a moment", good, std::nullopt, kTag, 300, TBlockLookup::Found, "", saved,
         good},
        {"tag file held for good", good, std::nullopt, kTag, 60000, TBlockLookup::Unreadable, kTag,
         good, std::nullopt},
        {"backup held a moment", good, good, kTbk, 300, TBlockLookup::Found, "", saved, good},
        {"folder named like the backup", good, good, kTbk, 60000, TBlockLookup::Found, kTbk, good,
         good},
        {"empty tag file", "", good, "", 0, TBlockLookup::Found, "", saved, good},
        {"tag file of blank lines", "\r\n\r\n", good, "", 0, TBlockLookup::Found, "", saved, good},
        {"UTF-8 mark", mark + good, std::nullopt, "", 0, TBlockLookup::Found, "", saved,
         mark + good},
        {"UTF-16", utf16, good, "", 0, TBlockLookup::Foreign, kTag, utf16, good},
        // Nothing to carry over: the new file holds the new block alone, the backup stays.
        {"blank tag file and backup", "\r\n", std::string(4, '\0'), "", 0, TBlockLookup::None, "",
         Text(Block(kKeyA, kNewA)), std::string(4, '\0')},
        {"blank tag file, UTF-16 backup", "", utf16, "", 0, TBlockLookup::Foreign, "",
         Text(Block(kKeyA, kNewA)), utf16},
    };
    for (const Case& c : cases) {
        platform::ScopedFakePlatform p;
        p.fake.PutFile(kTag, c.tag);
        if (c.tbk) {
            p.fake.PutFile(kTbk, *c.tbk);
        }
        std::uint32_t heldUntil = 0;
        p.fake.failFileOp = [&](const std::string&, const std::string& path) {
            return path == c.held && p.fake.GetTickCount() < heldUntil;
        };
        heldUntil = p.fake.GetTickCount() + c.heldMs;
        std::vector<TTagLists> entries;
        EXPECT_EQ(FindTagBlock(kTag, kTbk, kKeyA, entries), c.lookup) << c.what;
        EXPECT_EQ(entries, c.lookup == TBlockLookup::Found ? kOldA : List{}) << c.what;

        heldUntil = p.fake.GetTickCount() + c.heldMs;
        SetList(kNewA);
        std::string blocker;
        EXPECT_EQ(SaveTagBlocks(kTag, kTbk, {CurrentTagBlock({})}, &blocker), c.blocker.empty())
            << c.what;
        EXPECT_EQ(blocker, c.blocker) << c.what;
        EXPECT_EQ(p.fake.FileBytes(kTag), c.tagAfter) << c.what;
        EXPECT_EQ(p.fake.FileBytes(kTbk), c.tbkAfter) << c.what;
        EXPECT_FALSE(p.fake.FileExists(kTmp)) << c.what;
    }
    ClearTags();
}
