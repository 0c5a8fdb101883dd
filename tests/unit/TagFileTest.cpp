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

// Every drawing's block loads, from the tag file or else from the backup; A old or new.
void ExpectEveryBlockLoadable(bool tagFileAlone, const std::string& where) {
    const std::pair<std::string, std::vector<List>> expected[] = {
        {kKeyA, {kOldA, kNewA}}, {"C:\\B.JWW", {kB}}, {"C:\\C.JWW", {kC}}};
    for (const auto& [key, versions] : expected) {
        ClearTags();
        EXPECT_TRUE(LoadTagBlock(kTag, key) || (!tagFileAlone && LoadTagBlock(kTbk, key)))
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
            SaveTagFile(kTag, kTbk);
            fake.failFileOp = nullptr;
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
                run(p.fake, [&](const std::string&, const std::string&) {
                    const std::size_t i = n++;
                    return persistent ? i >= k : i == k;
                });
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

}  // namespace
