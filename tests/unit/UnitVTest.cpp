#include "tags/UnitV.h"

#include <gtest/gtest.h>

namespace {

TEST(UnitV, SeedAppendAndBaseJump) {
    ClearTags();
    SeedTags(0x100, "plan.jww");
    EXPECT_FALSE(HasTags());
    AppendTag("Back\r\n", "C:\\back.jww\x1A/p");  // line breaks would split the tag file
    SetBaseJumpIfEmpty("C:\\plan.jww");
    SetBaseJumpIfEmpty("D:\\plan.jww");
    EXPECT_TRUE(HasTags());
    EXPECT_EQ(TagLists, (std::vector<TTagLists>{{"plan.jww", "C:\\plan.jww", 0x100},
                                                {"Back  ", "C:\\back.jww /p", 0}}));
    EXPECT_EQ(TagCount, 2);
    ClearTags();
    SetBaseJumpIfEmpty("x");
    EXPECT_TRUE(TagLists.empty());
    EXPECT_EQ(TagCount, 0);
}

TEST(UnitV, CommitTakesRowsWithTheirHandlesAndCutsNames) {
    const TTagLists base{"plan.jww", "C:\\plan.jww", 0x100};
    const std::string dbcs(82, '\x88');
    struct Case {
        std::vector<TEditedRow> rows;
        std::vector<TTagLists> want;  // entries 1 and up
    };
    const Case cases[] = {{{}, {{"", "", 0}}},  // the editor's one blank row
                                                // ▲ and 挿入: the handles follow their rows.
                          {{{"two", "2", 0x300}, {"new", "n", 0}, {"one", "1", 0x200}},
                           {{"two", "2", 0x300}, {"new", "n", 0}, {"one", "1", 0x200}}},
                          {{{std::string(81, 'a'), std::string(300, 'j'), 0},
                            {std::string(79, 'b') + "\x82\xA0", "c\rd", 0},
                            {dbcs, "", 0}},
                           {{std::string(80, 'a'), std::string(300, 'j'), 0},
                            {std::string(79, 'b'), "c d", 0},
                            {dbcs.substr(0, 80), "", 0}}}};
    for (const Case& c : cases) {
        TagLists = {base, {"one", "1", 0x200}, {"two", "2", 0x300}};
        TagCount = 3;
        CommitEditedTags(c.rows);
        std::vector<TTagLists> want{base};
        want.insert(want.end(), c.want.begin(), c.want.end());
        EXPECT_EQ(TagLists, want);
        EXPECT_EQ(TagCount, static_cast<std::int32_t>(want.size()));
    }
    ClearTags();
}

TEST(UnitV, PathOfAJumpTextIsEverythingBeforeTheFirstBlank) {
    struct Case {
        const char *jump, *path, *args;
    };
    // clang-format off
    const Case cases[] = {
        {"C:\\a.jww", "C:\\a.jww", ""}, {"C:\\a.jww /p /x", "C:\\a.jww", "/p /x"},
        {"C:\\a.jww ", "C:\\a.jww", ""}, {" C:\\a.jww", "", "C:\\a.jww"}, {"", "", ""},
        {"C:\\\x81\x40x y", "C:\\\x81\x40x", "y"}};  // the double-byte blank is no blank
    // clang-format on
    for (const Case& c : cases) {
        const TJumpParts parts = SplitJumpText(c.jump);
        EXPECT_EQ(parts.Path, c.path);
        EXPECT_EQ(parts.Arguments, c.args);
    }
}

}  // namespace
