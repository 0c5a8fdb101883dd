// What a tab's tool tip tells, and drawings dropped onto the strip, over a fake desktop.
#include "StripFixture.h"
#include "jwcad/TagTip.h"

namespace {

using namespace stripfake;

// ---- Tool tips -----------------------------------------------------------------------------

TEST_F(JwcadStripTest, TabTipTellsWhereTheTagLeadsAndWhenItsDrawingIsMissing) {
    fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    AppendTag("Plan", "C:\\JWW\\plan1.jww /p");
    AppendTag("Gone", "C:\\JWW\\gone.jww");
    AppendTag("Blank", "C:\\My Docs\\plan1.jww");
    AppendTag("Empty", "");
    const struct {
        int index;
        std::optional<std::string> jump;  // nullopt: no tip at all
        bool missing;
    } rows[] = {
        {0, "detail.jww", false},  // the base drawing's path is not known yet: its name
        {1, "C:\\JWW\\plan1.jww /p", false},
        {2, "C:\\JWW\\gone.jww", true},
        {3, "C:\\My Docs\\plan1.jww", true},  // the path ends at the blank: "C:\My"
        {4, "", true},
        {5, std::nullopt, false},
        {-1, std::nullopt, false},
    };
    for (const auto& row : rows) {
        const std::optional<TTagTip> tip = TagTip(row.index);
        ASSERT_EQ(tip.has_value(), row.jump.has_value()) << row.index;
        if (tip) {
            EXPECT_EQ(tip->JumpSjis, *row.jump) << row.index;
            EXPECT_EQ(tip->NoteUtf8 != nullptr, row.missing) << row.index;
        }
    }
    SetBaseJumpIfEmpty("C:\\JWW\\detail.jww");
    EXPECT_EQ(TagTip(0)->JumpSjis, "C:\\JWW\\detail.jww");
    EXPECT_EQ(TagTip(0)->NoteUtf8, nullptr);
}

// ---- Dropped drawings ----------------------------------------------------------------------

// A tag name dialog that takes the name proposed, or is cancelled at the given question.
class ProposalStrip : public FakeStrip {
  public:
    bool AskTagName(std::string& name) override {
        proposedNames.push_back(name);
        if (onAsk) {
            onAsk();
        }
        return static_cast<int>(proposedNames.size()) != cancelAt;
    }
    int cancelAt = 0;
    std::function<void()> onAsk;
};

const std::string kHyo = "\x95\x5c";  // 表: its second byte is "\"

TEST_F(JwcadStripTest, DroppedDrawingsBecomeTagsInOrderAndTheRestIsRefused) {
    fake().AddWindow("detail.jww - jw_win", 1);
    fake().PutFile("C:\\JWW\\old.JWC", "");
    fake().PutFile("C:\\JWW\\" + kHyo + ".jww", "");
    const std::string longName = std::string(79, 'a') + kHyo;
    fake().PutFile("C:\\JWW\\" + longName + ".jww", "");
    fake().PutFile("C:\\JWW\\notes.txt", "");
    ProposalStrip s;
    JwcadStrip j(s);
    j.Start();
    const struct {
        TDroppedFile file;
        const char* refusal;  // nullptr: becomes a tag under the name proposed
        std::string name;
    } rows[] = {
        {{"C:\\JWW\\plan1.jww"}, nullptr, "plan1"},
        {{std::string("C:\\JWW"), true}, "フォルダはタグに取り込めません。", ""},
        {{"C:\\JWW\\old.JWC"}, nullptr, "old"},
        {{"C:\\JWW\\notes.txt"},
         "Jw_cadの図面（.jww、.jwc）ではないため、タグに取り込めません。",
         ""},
        {{"C:\\JWW\\plan1"}, "Jw_cadの図面（.jww、.jwc）ではないため、タグに取り込めません。", ""},
        {{"C:\\My Docs\\a.jww"}, "図面のパスに空白が含まれているため、タグに取り込めません。", ""},
        {{"C:\\JWW\\?.jww", false, false},
         "図面のパスに使えない文字が含まれているため、タグに取り込めません。",
         ""},
        {{"C:\\JWW\\" + std::string(260, 'x') + ".jww"},
         "パスが長すぎるため、タグに取り込めません。",
         ""},
        {{"C:\\JWW\\gone.jww"}, "指定したファイルが見つかりませんでした。", ""},
        {{"C:\\JWW\\" + kHyo + ".jww"}, nullptr, kHyo},
        // The dialog takes 80 bytes: cut before a character that would not fit whole.
        {{"C:\\JWW\\" + longName + ".jww"}, nullptr, std::string(79, 'a')},
    };
    std::vector<TDroppedFile> dropped;
    std::vector<std::string> messages, names, tabs{"detail.jww"};
    std::vector<TTagLists> tags{TagLists[0]};
    for (const auto& row : rows) {
        dropped.push_back(row.file);
        if (row.refusal != nullptr) {
            messages.push_back(std::string("error:") + row.refusal + row.file.Path);
        } else {
            names.push_back(row.name);
            tabs.push_back(row.name);
            tags.push_back({row.name, row.file.Path, 0});
        }
    }
    j.DropFiles(dropped);
    EXPECT_EQ(s.messages, messages);
    EXPECT_EQ(s.proposedNames, names);
    EXPECT_EQ(TagLists, tags);
    EXPECT_EQ(s.tabs, tabs);
    EXPECT_TRUE(s.timerEnabled);
    // Saved as an import's tags are, under the drawing's key; entry 0 keeps its own path.
    const std::string saved = fake().FileBytes(kTagFile).value_or("");
    EXPECT_EQ(saved.rfind("C:\\JWW\\DETAIL.JWW\r\n5\r\ndetail.jww\r\nC:\\JWW\\detail.jww\r\n"
                          "plan1\r\nC:\\JWW\\plan1.jww\r\nold\r\nC:\\JWW\\old.JWC\r\n",
                          0),
              0u)
        << saved;
    EXPECT_TRUE(TagLists[0].TagJump.empty());
}

TEST_F(JwcadStripTest, DropRefusedWithoutADrawingOrDuringACommandAndEndedByCancel) {
    const std::vector<TDroppedFile> three{
        {"C:\\JWW\\plan1.jww"}, {"C:\\JWW\\detail.jww"}, {"D:\\WORK\\section.jww"}};
    {
        ProposalStrip s;
        JwcadStrip j(s);
        j.Start();
        j.DropFiles(three);
        EXPECT_EQ(s.messages,
                  (std::vector<std::string>{
                      "error:Jw_cadの図面が開かれていないため、図面を取り込めません。"}));
        EXPECT_TRUE(s.proposedNames.empty());
    }
    fake().AddWindow("detail.jww - jw_win", 1);
    ProposalStrip s;
    JwcadStrip j(s);
    j.Start();
    // A second drop while the first one's name dialog is open, then Cancel at the second name.
    s.cancelAt = 2;
    s.onAsk = [&] {
        s.onAsk = nullptr;
        j.DropFiles({{"D:\\WORK\\section.jww"}});
    };
    j.DropFiles(three);
    EXPECT_EQ(s.messages,
              (std::vector<std::string>{"error:他の操作を実行中のため、図面を取り込めません。"}));
    EXPECT_EQ(s.proposedNames, (std::vector<std::string>{"plan1", "detail"}));
    EXPECT_EQ(s.tabs, (std::vector<std::string>{"detail.jww", "plan1"}));
    EXPECT_NE(fake().FileBytes(kTagFile).value_or("").find("plan1\r\nC:\\JWW\\plan1.jww\r\n"),
              std::string::npos);
    EXPECT_TRUE(s.timerEnabled);
}

}  // namespace
