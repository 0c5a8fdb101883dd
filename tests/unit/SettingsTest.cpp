#include "tags/Settings.h"

#include <gtest/gtest.h>

#include "platform/fake/FakePlatform.h"

namespace {

const std::string kDat = "C:\\QB\\quillbox.dat";

std::string Text(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string out;
    for (const std::string& line : lines) {
        out += line + end;
    }
    return out;
}

const std::vector<std::string> kDefaults{"0",   "5000", "0.5", "0",   "192", "107",
                                         "256", "82",   "192", "110", "237", "131",
                                         "192", "107",  "415", "281", "81",  "296"};

// Each file is loaded over the defaults and saved again: the saved lines show every value.
TEST(Settings, LoadAppliesLineByLineAndSaveWritesNormalForm) {
    struct Case {
        std::optional<std::string> file;
        std::vector<std::string> saved;
    };
    const Case cases[] = {
        {std::nullopt, kDefaults},
        {Text({"3", "2500", "0.25", "2"}),  // a short file: the rest reads as 0, the strip 40
         {"3", "2500", "0.25", "2", "0", "0", "40", "40", "0", "0", "0", "0", "0", "0", "0", "0",
          "0", "0"}},
        {Text({"007", "", "0.50", "0", "-20", "107", "12", "82", "192", "110", "237", "131", "192",
               "107", "415", "281", "81", "296"}),
         {"7", "0", "0.5", "0", "-20", "107", "40", "82", "192", "110", "237", "131", "192", "107",
          "415", "281", "81", "296"}},
        {Text({"1", "100", "1e999", "1", "5"}),  // stops at a key wait beyond any double
         {"1", "100", "0.5", "0", "192", "107", "256", "82", "192", "110", "237", "131", "192",
          "107", "415", "281", "81", "296"}},
        {Text({"0", "0", "1e-6"}),
         {"0", "0", "1E-6", "0", "0", "0", "40", "40", "0", "0", "0", "0", "0", "0", "0", "0", "0",
          "0"}}};
    for (const Case& c : cases) {
        platform::ScopedFakePlatform p;
        if (c.file) {
            p.fake.PutFile(kDat, *c.file);
        }
        TSettings s;
        LoadSettings(kDat, s);
        ASSERT_TRUE(SaveSettings(kDat, s));
        EXPECT_EQ(p.fake.FileBytes(kDat), Text(c.saved)) << c.file.value_or("no file");
        EXPECT_EQ(p.fake.FilePaths().size(), 1u);  // no temporary left beside it
    }
}

// What a save writes, a load reads back whole: a second load and save change nothing, whatever
// key wait the first file held.
TEST(Settings, SavedFileLoadsBackAsWritten) {
    const char* keyWaits[] = {"1.7976931348623157E308",
                              "-1.7976931348623157E308",
                              "0.123456789012345678",
                              "4.9E-324",
                              "1e-310",
                              "0.5"};
    for (const char* keyWait : keyWaits) {
        platform::ScopedFakePlatform p;
        std::vector<std::string> lines = kDefaults;
        lines[2] = keyWait;
        lines[17] = "300";
        p.fake.PutFile(kDat, Text(lines));
        TSettings first;
        LoadSettings(kDat, first);
        ASSERT_TRUE(SaveSettings(kDat, first));
        const std::optional<std::string> written = p.fake.FileBytes(kDat);
        TSettings second;
        LoadSettings(kDat, second);
        EXPECT_EQ(second.Col1Width, 300) << keyWait;
        ASSERT_TRUE(SaveSettings(kDat, second));
        EXPECT_EQ(p.fake.FileBytes(kDat), written) << keyWait;
    }
}

TEST(Settings, ReadFailureAppliesNothing) {
    platform::ScopedFakePlatform p;
    p.fake.PutFile(kDat, Text({"1", "1"}));
    p.fake.failFileOp = [](const std::string& op, const std::string&) { return op == "read"; };
    TSettings s;
    LoadSettings(kDat, s);
    EXPECT_EQ(s, TSettings{});
}

TEST(Settings, FailedSaveKeepsThePreviousFile) {
    TSettings changed;
    changed.Col1Width = 1;
    std::vector<std::string> ops;
    {
        platform::ScopedFakePlatform dry;
        dry.fake.failFileOp = [&](const std::string& op, const std::string&) {
            ops.push_back(op);
            return false;
        };
        ASSERT_TRUE(SaveSettings(kDat, changed));
    }
    EXPECT_EQ(ops, (std::vector<std::string>{"create", "write", "flush", "close", "rename"}));
    for (std::size_t k = 0; k < ops.size(); ++k) {
        platform::ScopedFakePlatform p;
        p.fake.PutFile(kDat, Text(kDefaults));
        // Failing for good: a failure that passes is waited out.
        p.fake.failFileOp = [&](const std::string& op, const std::string&) { return op == ops[k]; };
        EXPECT_FALSE(SaveSettings(kDat, changed)) << ops[k];
        EXPECT_EQ(p.fake.FileBytes(kDat), Text(kDefaults)) << ops[k];
        EXPECT_EQ(p.fake.FilePaths().size(), 1u) << ops[k];
    }
}

}  // namespace
