// Saves killed at any moment over the real file system: a child process loads, extends and
// saves drawings' lists over and over until it is killed with SIGKILL, and afterwards every
// drawing's block must still load. Some rounds stop the child on purpose between the two
// renames of a save, where the tag file is missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "PosixFiles.h"
#include "tags/Func_.h"
#include "tags/TagFile.h"
#include "tags/TextLines.h"
#include "tags/UnitV.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDrawings = 2000;
constexpr int kRounds = 60;
constexpr std::int32_t kMostTags = 8;  // a list this long starts over with one tag

std::string Name(int i) {
    char text[32];
    std::snprintf(text, sizeof text, "d%04d.jww", i);
    return text;
}
std::string Path(int i) {
    return "C:\\K\\" + Name(i);
}
std::string Key(int i) {
    return UpperSjis(Path(i));
}
TTagLists Tag(std::int32_t n) {
    return {"t" + std::to_string(n), "C:\\K\\x" + std::to_string(n) + ".jww /p", 0};
}

// A list as the child leaves it: the drawing, then tags t1, t2, ... in order.
bool IsAVersionOf(const std::vector<TTagLists>& list, int i) {
    if (list.size() < 2 || list[0] != TTagLists{Name(i), Path(i), 0}) {
        return false;
    }
    for (std::size_t n = 1; n < list.size(); ++n) {
        if (list[n] != Tag(static_cast<std::int32_t>(n))) {
            return false;
        }
    }
    return true;
}

// Reads a file the store wrote by counting alone, apart from the store's own reader: every
// drawing's block must be there, once, in one of its versions.
void ExpectEveryDrawing(const std::string& bytes, const std::string& where) {
    textlines::LineReader in(bytes);
    std::set<int> seen;
    while (!in.AtEnd()) {
        const std::string key = in.Next();
        const std::int32_t count = StrToIntZero(in.Next());
        std::vector<TTagLists> list;
        for (std::int32_t n = 0; n < count; ++n) {
            TTagLists entry;
            entry.TagName = in.Next();
            entry.TagJump = in.Next();
            list.push_back(entry);
        }
        ASSERT_GE(key.size(), 10u) << where;
        const int i = std::atoi(key.c_str() + 6);
        ASSERT_EQ(key, Key(i)) << where;
        ASSERT_TRUE(IsAVersionOf(list, i)) << where << " " << key;
        ASSERT_TRUE(seen.insert(i).second) << where << " " << key;
    }
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kDrawings)) << where;
}

// One start of the program on drawing i: take its list up, add a tag, save.
bool AddTagAndSave(const std::string& tag, const std::string& tbk, int i) {
    ClearTags();
    SeedTags(0x100, Name(i));
    if (!LoadTagBlock(tag, tbk, Key(i))) {
        return false;
    }
    if (TagCount >= kMostTags) {
        TagLists.resize(1);
    }
    AppendTag(Tag(static_cast<std::int32_t>(TagLists.size())).TagName,
              Tag(static_cast<std::int32_t>(TagLists.size())).TagJump);
    return SaveTagFile(tag, tbk);
}

class TagFileKill : public ::testing::Test {
  protected:
    void SetUp() override {
        char dir[] = "/tmp/qb-kill-XXXXXX";
        ASSERT_NE(::mkdtemp(dir), nullptr);
        dir_ = dir;
        tag_ = dir_ + "/quillbox.tag";
        tbk_ = dir_ + "/quillbox.tbk";
        tmp_ = textlines::TempPathFor(tag_);
        platform::SetCurrent(&files_);
        std::string text;
        for (int i = 0; i < kDrawings; ++i) {
            textlines::AppendLine(text, Key(i));
            textlines::AppendLine(text, "2");
            textlines::AppendLine(text, Name(i));
            textlines::AppendLine(text, Path(i));
            textlines::AppendLine(text, Tag(1).TagName);
            textlines::AppendLine(text, Tag(1).TagJump);
        }
        ASSERT_TRUE(textlines::WriteWholeFile(tag_, text));
    }
    void TearDown() override {
        platform::SetCurrent(nullptr);
        ClearTags();
        fs::remove_all(dir_);
    }

    // Saves in a child until it is killed: after delayUs, or by itself right after its
    // stopAfterSave-th save has renamed the tag file to the backup (0: never).
    void RunChild(std::mt19937& random, int delayUs, int stopAfterSave) {
        const unsigned seed = random();
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::mt19937 own(seed);
            int saves = 0;
            files_.afterOp = [&](const std::string& op, const std::string& path) {
                if (op == "rename" && path == tag_ && ++saves == stopAfterSave) {
                    ::raise(SIGKILL);
                }
            };
            for (;;) {
                if (!AddTagAndSave(tag_, tbk_, static_cast<int>(own() % kDrawings))) {
                    ::_exit(3);  // the parent sees an exit instead of a kill
                }
            }
        }
        if (stopAfterSave == 0) {
            ::usleep(static_cast<useconds_t>(delayUs));
            ::kill(pid, SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    }

    killtest::PosixFilePlatform files_;
    std::string dir_, tag_, tbk_, tmp_;
};

TEST_F(TagFileKill, EveryBlockSurvivesSavesKilledAtAnyMoment) {
    std::mt19937 random(20261209);
    int betweenRenames = 0;
    for (int round = 0; round < kRounds; ++round) {
        const bool onPurpose = round % 5 == 4;
        RunChild(random, static_cast<int>(random() % 20000), onPurpose ? 1 + round % 3 : 0);
        const std::string where = "round " + std::to_string(round);

        // The fixed temporary is all a save ever leaves beside its two files.
        for (const fs::directory_entry& e : fs::directory_iterator(dir_)) {
            const std::string path = e.path().string();
            ASSERT_TRUE(path == tag_ || path == tbk_ || path == tmp_) << where << " " << path;
        }
        const bool tagMissing = !files_.FileExists(tag_);
        if (onPurpose) {
            ASSERT_TRUE(tagMissing && files_.FileExists(tmp_)) << where;
            ++betweenRenames;
        }
        // Some rounds, another program empties the tag file the kill left (a crash of its own,
        // a sync conflict): the backup beside it must stand in, and never be replaced by it.
        const bool emptied = round % 7 == 3 && !tagMissing && files_.FileExists(tbk_);
        if (emptied) {
            ASSERT_TRUE(textlines::WriteWholeFile(tag_, std::string()));
        }
        // Whatever the kill left, what a start reads holds every drawing: the tag file, or,
        // between the renames, the complete temporary and the backup alike.
        const std::vector<std::string> read = emptied      ? std::vector{tbk_}
                                              : tagMissing ? std::vector{tmp_, tbk_}
                                                           : std::vector{tag_};
        for (const std::string& path : read) {
            if (files_.FileExists(path)) {
                ExpectEveryDrawing(*files_.ReadFile(path), where + " " + path);
            }
        }
        for (int n = 0; n < 50; ++n) {
            const int i = static_cast<int>(random() % kDrawings);
            ClearTags();
            ASSERT_TRUE(LoadTagBlock(tag_, tbk_, Key(i))) << where << " " << Key(i);
            ASSERT_TRUE(IsAVersionOf(TagLists, i)) << where << " " << Key(i);
        }

        // The next start saves as usual and leaves no temporary behind.
        ASSERT_TRUE(AddTagAndSave(tag_, tbk_, static_cast<int>(random() % kDrawings))) << where;
        ASSERT_FALSE(files_.FileExists(tmp_)) << where;
        ExpectEveryDrawing(*files_.ReadFile(tag_), where + " after a save");
        if (emptied) {
            ExpectEveryDrawing(*files_.ReadFile(tbk_), where + " backup after a save");
        }
    }
    EXPECT_EQ(betweenRenames, kRounds / 5);
}

}  // namespace
