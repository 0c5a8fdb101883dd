// What becomes of the tags when saves fail, files cannot be read, or an import shows the
// drawing's real path: nothing stored is saved over unseen, nothing in hand is lost.
#include "StripFixture.h"

namespace {

using namespace stripfake;
using platform::WindowHandle;

// ---- Keeping tags ------------------------------------------------------------------------------

TEST_F(JwcadStripTest, EditorTagsOfDrawingsWithoutAPathAreFoundAgain) {
    // Each list's first jump names no file, so the drawing's own path never becomes known.
    const std::pair<std::string, std::vector<TEditedRow>> drawings[] = {
        {"detail.jww", {{"A", "C:\\JWW\\missing.jww", 0}}},
        {"plan1.jww", {{"P", "", 0}, {"Q", "x", 0}}}};
    jw.Start();
    for (const auto& [name, rows] : drawings) {
        auto w = fake().AddWindow(name + " - jw_win");
        jw.Tick();
        strip.editorRows = rows;
        jw.EditTags();
        fake().CloseWindow(w);
        jw.Tick();
    }
    for (const auto& [name, rows] : drawings) {
        FakeStrip s;
        JwcadStrip j(s);
        auto w = fake().AddWindow(name + " - jw_win");
        j.Start();
        ASSERT_EQ(s.tabs.size(), rows.size() + 1) << name;
        EXPECT_EQ(s.tabs[1], rows[0].TagName);
        // The path it was looked up under is the base tab's jump from now on.
        EXPECT_EQ(TagLists[0].TagJump, "C:\\JWW\\" + name);
        fake().CloseWindow(w);
        j.Tick();
    }
}

TEST_F(JwcadStripTest, ListsASaveCouldNotStoreAreKeptAndCloseSaysWhatWasLost) {
    const std::string tagTemp = std::string(kTagFile) + ".tmp";
    const std::string datTemp = std::string(kDatFile) + ".tmp";
    struct Case {
        std::vector<std::string> failing;  // files that cannot be created at close
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {{}, {}},
        {{tagTemp}, {"retry:タグファイルを保存できませんでした。C:\\QB\\quillbox.tag.tmp"}},
        {{datTemp}, {"retry:設定ファイルを保存できませんでした。C:\\QB\\quillbox.dat"}},
        {{tagTemp, datTemp},
         {"retry:タグファイルを保存できませんでした。C:\\QB\\quillbox.tag.tmp",
          "retry:設定ファイルを保存できませんでした。C:\\QB\\quillbox.dat"}},
    };
    PutTagFile();
    const std::string stored = *fake().FileBytes(kTagFile);
    for (const Case& c : cases) {
        ClearTags();
        JwwHandles.clear();
        JwwCount = 0;
        platform::ScopedFakePlatform local;
        local.fake.SetRegistryString(kJwKey, "Folder", "File", "C:\\JWW");
        local.fake.PutFile("C:\\JWW\\detail.jww", "");
        local.fake.PutFile("C:\\JWW\\plan1.jww", "");
        local.fake.PutFile(kTagFile, stored);
        auto w = local.fake.AddWindow("detail.jww - jw_win");
        FakeStrip s;
        JwcadStrip j(s);
        j.Start();
        AppendTag("New", "C:\\JWW\\new.jww");
        // A read-only folder: the drawing is changed twice, and back, without a save.
        std::vector<std::string> failing{tagTemp};
        local.fake.failFileOp = [&](const std::string& op, const std::string& path) {
            return op == "create" &&
                   std::find(failing.begin(), failing.end(), path) != failing.end();
        };
        local.fake.Find(w)->title = "plan1.jww - jw_win";
        j.Tick();
        EXPECT_EQ(s.tabs, (std::vector<std::string>{"plan1.jww", "Detail"}));
        local.fake.Find(w)->title = "detail.jww - jw_win";
        j.Tick();
        EXPECT_EQ(s.tabs, (std::vector<std::string>{"detail.jww", "Back", "Section", "New"}));
        EXPECT_EQ(local.fake.FileBytes(kTagFile), stored);

        failing = c.failing;
        j.Finish();
        EXPECT_EQ(s.messages, c.messages);
        const std::string saved = *local.fake.FileBytes(kTagFile);
        if (c.failing.empty() || c.failing[0] != tagTemp) {
            EXPECT_EQ(saved.rfind("C:\\JWW\\DETAIL.JWW\r\n4\r\n", 0), 0u) << saved;
            EXPECT_NE(saved.find("New\r\nC:\\JWW\\new.jww\r\nC:\\JWW\\PLAN1.JWW\r\n2\r\n"),
                      std::string::npos)
                << saved;
        }
    }
}

TEST_F(JwcadStripTest, ImportTakesUpTheBlockStoredUnderTheRevealedPath) {
    // Jw_cad last worked elsewhere, so the drawing starts without its stored tags.
    fake().SetRegistryString(kJwKey, "Folder", "File", "D:\\OTHER");
    fake().PutFile("D:\\OTHER\\detail.jww", "");
    PutTagFile();
    fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    KeyWait = 0;
    ASSERT_EQ(TagCount, 1);
    strip.editorRows = std::vector<TEditedRow>{{"E", "", 0}};
    jw.EditTags();
    fake().onKey = [&](const platform::FakePlatform::KeyEvent& e) {
        if (e.down && e.vk == 'I') {
            fake().SetClipboardText("C:\\JWW\\detail.jww /x");
        }
    };
    strip.tagNameAnswer = "Front";
    jw.Import();
    EXPECT_EQ(strip.proposedNames, (std::vector<std::string>{"4"}));
    EXPECT_EQ(strip.tabs,
              (std::vector<std::string>{"detail.jww", "Back", "Section", "E", "Front"}));
    jw.Finish();
    const std::string saved = *fake().FileBytes(kTagFile);
    EXPECT_EQ(saved.rfind("C:\\JWW\\DETAIL.JWW\r\n5\r\ndetail.jww\r\nC:\\JWW\\detail.jww\r\n"
                          "Back\r\n",
                          0),
              0u)
        << saved;
    EXPECT_EQ(saved.find("DETAIL.JWW", 10), std::string::npos) << saved;  // replaced, not doubled
}

// A tag file that another program holds longer than a save waits: the drawing's stored tags are
// unknown, not absent. Nothing is saved over them, and they come back at the first moment the
// file can be read, in front of the tags added meanwhile.
TEST_F(JwcadStripTest, ABlockThatCannotBeReadIsNeverSavedOverAndComesBackLater) {
    PutTagFile();
    const std::string stored = *fake().FileBytes(kTagFile);
    bool held = true;
    fake().failFileOp = [&](const std::string&, const std::string& path) {
        return held && path == kTagFile;
    };
    auto w = fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    EXPECT_EQ(strip.tabs, (std::vector<std::string>{"detail.jww"}));
    fake().onKey = [&](const platform::FakePlatform::KeyEvent& e) {
        if (e.down && e.vk == 'I') {
            fake().SetClipboardText("C:\\JWW\\detail.jww /x");
        }
    };
    strip.tagNameAnswer = "Front";
    jw.Import();
    fake().Find(w)->title = "plan1.jww - jw_win";
    jw.Tick();  // detail.jww goes while its block is still unknown
    EXPECT_EQ(fake().FileBytes(kTagFile), stored);

    held = false;
    jw.Tick();  // the same base: its block is read now
    EXPECT_EQ(strip.tabs, (std::vector<std::string>{"plan1.jww", "Detail"}));
    fake().Find(w)->title = "detail.jww - jw_win";
    jw.Tick();
    EXPECT_EQ(strip.tabs, (std::vector<std::string>{"detail.jww", "Back", "Section", "Front"}));
    jw.Finish();
    const std::string saved = *fake().FileBytes(kTagFile);
    EXPECT_EQ(saved.rfind("C:\\JWW\\DETAIL.JWW\r\n4\r\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("C:\\JWW\\PLAN1.JWW\r\n2\r\n"), std::string::npos) << saved;
    EXPECT_TRUE(strip.messages.empty());
}

// A save at close that another program's lock keeps out is offered again; a lock that ended
// while the box was open loses nothing.
TEST_F(JwcadStripTest, CloseOffersToRetryASaveThatFailed) {
    for (int retries : {1, 0}) {
        PutTagFile();
        const std::string stored = *fake().FileBytes(kTagFile);
        FakeStrip s;
        s.retries = retries;
        JwcadStrip j(s);
        auto w = fake().AddWindow("detail.jww - jw_win", 1);
        j.Start();
        AppendTag("New", "C:\\JWW\\new.jww");
        // Held until the user has seen the box.
        fake().failFileOp = [&](const std::string&, const std::string& path) {
            return s.messages.empty() && path == kTagFile;
        };
        j.Finish();
        fake().failFileOp = nullptr;
        EXPECT_EQ(s.messages,
                  (std::vector<std::string>{"retry:タグファイルを保存できませんでした。" +
                                            std::string(kTagFile)}));
        const std::string saved = *fake().FileBytes(kTagFile);
        EXPECT_EQ(saved.find("New\r\n") != std::string::npos, retries > 0) << saved;
        EXPECT_EQ(saved == stored, retries == 0);
        fake().CloseWindow(w);
    }
}

// A tag file an editor re-saved as UTF-16 is not ours to read or to write into: the user hears
// it once, not at every tick, and the file stays as it is.
TEST_F(JwcadStripTest, AUtf16TagFileIsToldOnceAndNeverWritten) {
    const std::string utf16(
        "\xFF\xFE"
        "C\0:\0",
        6);
    fake().PutFile(kTagFile, utf16);
    auto w = fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    AppendTag("New", "C:\\JWW\\new.jww");
    fake().Find(w)->title = "plan1.jww - jw_win";
    jw.Tick();
    jw.Tick();
    EXPECT_EQ(strip.messages,
              (std::vector<std::string>{"error:タグファイルがUTF-16で保存されているため、読み書き"
                                        "できません。Shift-JIS（ANSI）で保存し直して下さい。" +
                                        std::string(kTagFile)}));
    EXPECT_EQ(fake().FileBytes(kTagFile), utf16);
}

}  // namespace
