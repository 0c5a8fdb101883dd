// The buttons' commands over a fake desktop: print, import, edit, batch print, close.
#include "StripFixture.h"

namespace {

using namespace stripfake;
using platform::WindowHandle;

// ---- Commands ------------------------------------------------------------------------------

TEST_F(JwcadStripTest, CommandsDoNothingWithoutABaseDrawing) {
    jw.Start();
    const int changes = strip.timerChanges;
    jw.Print();
    jw.Import();
    jw.EditTags();
    jw.BatchPrint();
    jw.CloseLaunched();
    EXPECT_EQ(strip.timerChanges, changes);
    EXPECT_TRUE(fake().keys.empty());
    EXPECT_TRUE(strip.messages.empty());
}

TEST_F(JwcadStripTest, ImportAppendsTheClipboardTextUnderTheNameChosen) {
    auto base = fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    KeyWait = 0;
    fake().SetClipboardText("stale");
    fake().onKey = [&](const platform::FakePlatform::KeyEvent& e) {
        if (e.down && e.vk == 'I') {
            fake().SetClipboardText("C:\\JWW\\DETAIL.jww /a /b");
        }
    };
    strip.tagNameAnswer = "Front";
    jw.Import();
    EXPECT_EQ(KeysTo(base), "@FFI");
    EXPECT_EQ(strip.proposedNames, (std::vector<std::string>{"1"}));
    ASSERT_EQ(TagCount, 2);
    EXPECT_EQ(TagLists[1], (TTagLists{"Front", "C:\\JWW\\DETAIL.jww /a /b", 0}));
    EXPECT_EQ(TagLists[0].TagJump, "C:\\JWW\\DETAIL.jww");
    EXPECT_EQ(strip.tabs, (std::vector<std::string>{"detail.jww", "Front"}));
    EXPECT_TRUE(strip.timerEnabled);
    // Saved at once: a strip that is killed now keeps it.
    EXPECT_NE(fake().FileBytes(kTagFile).value_or("").find("Front\r\nC:\\JWW\\DETAIL.jww /a /b"),
              std::string::npos);
}

TEST_F(JwcadStripTest, ImportRefusals) {
    struct Case {
        const char* what;
        std::string clipboard;  // left by Jw_cad after the copy; empty: nothing
        bool nameAccepted;
        bool clipboardBlocked;
    };
    const Case cases[] = {
        {"no text with a blank", "C:\\JWW\\detail.jww", true, false},
        {"another drawing", "C:\\JWW\\plan1.jww x", true, false},
        {"path with a blank", "C:\\My Docs\\detail.jww x", true, false},
        {"name dialog cancelled", "C:\\JWW\\detail.jww x", false, false},
        {"clipboard held by another program", "C:\\JWW\\detail.jww x", true, true},
        {"too long to start Jw_cad on", "C:\\JWW\\detail.jww " + std::string(40000, 'x'), true,
         false},
    };
    for (const Case& c : cases) {
        ClearTags();
        JwwHandles.clear();
        JwwCount = 0;
        platform::ScopedFakePlatform local;
        local.fake.AddWindow("detail.jww - jw_win");
        local.fake.clipboardUnavailable = c.clipboardBlocked;
        local.fake.onKey = [&](const platform::FakePlatform::KeyEvent& e) {
            if (e.down && e.vk == 'I') {
                local.fake.SetClipboardText(c.clipboard);
            }
        };
        FakeStrip s;
        if (c.nameAccepted) {
            s.tagNameAnswer = "x";
        }
        JwcadStrip j(s);
        j.Start();
        KeyWait = 0;
        j.Import();
        EXPECT_EQ(TagCount, 1) << c.what;
        EXPECT_EQ(s.tabs.size(), 1u) << c.what;
        EXPECT_TRUE(s.timerEnabled) << c.what;
        if (c.clipboardBlocked) {
            EXPECT_EQ(s.messages,
                      (std::vector<std::string>{"error:クリップボードを開くことができません"}));
        }
    }
}

TEST_F(JwcadStripTest, ImportReadsAgainAfterASecond) {
    fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    KeyWait = 0;
    std::uint32_t copiedAt = 0;
    fake().onKey = [&](const platform::FakePlatform::KeyEvent& e) {
        if (e.down && e.vk == 'I') {
            copiedAt = fake().GetTickCount();
        }
    };
    fake().onMessages = [&] {
        if (copiedAt && fake().GetTickCount() - copiedAt > 700) {
            fake().SetClipboardText("C:\\JWW\\detail.jww x");
        }
    };
    strip.tagNameAnswer = "late";
    jw.Import();
    ASSERT_EQ(TagCount, 2);
    EXPECT_EQ(TagLists[1].TagName, "late");
}

TEST_F(JwcadStripTest, EditAcceptedRebuildsTabsAndCompletesTheBasePath) {
    fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    strip.editorRows = std::vector<TEditedRow>{{"A", "C:\\JWW\\plan1.jww -x", 0}, {"B", "", 0}};
    jw.EditTags();
    EXPECT_EQ(strip.tabs, (std::vector<std::string>{"detail.jww", "A", "B"}));
    EXPECT_EQ(TagLists[0].TagJump, "C:\\JWW\\plan1.jww");
    EXPECT_NE(fake().FileBytes(kTagFile).value_or("").find("A\r\nC:\\JWW\\plan1.jww -x\r\nB"),
              std::string::npos);  // saved at once

    ClearTags();
    jw.TakeUpBaseDrawing();
    strip.editorRows = std::vector<TEditedRow>{{"A", "C:\\JWW\\missing.jww", 0}};
    jw.EditTags();
    EXPECT_EQ(TagLists[0].TagJump, "");

    strip.editorRows.reset();
    const auto tabs = strip.tabs;
    jw.EditTags();
    EXPECT_EQ(strip.tabs, tabs);
    EXPECT_TRUE(strip.timerEnabled);
}

TEST_F(JwcadStripTest, BatchPrintStartsMissingWindowsAndPrintsEveryTag) {
    auto base = fake().AddWindow("detail.jww - jw_win", 1);
    fake().Find(base)->placement.normalPosition = {5, 6, 705, 506};
    jw.Start();
    KeyWait = 0;
    TagLists[0].TagJump = "C:\\JWW\\detail.jww";
    AppendTag("A", "C:\\JWW\\plan1.jww");
    AppendTag("B", "D:\\WORK\\section.jww /q");
    AppendTag("C", "D:\\WORK\\gone.jww");
    auto alive = fake().AddWindow("plan1.jww - jw_win", 50);
    TagLists[1].Handle = alive;
    TagLists[3].Handle = 0xDEAD;  // closed since

    jw.BatchPrint();
    ASSERT_EQ(fake().starts.size(), 2u);
    EXPECT_EQ(fake().starts[0].commandLine, "C:\\JWW\\Jw_win.exe D:\\WORK\\section.jww /q");
    EXPECT_EQ(fake().starts[1].commandLine, "C:\\JWW\\Jw_win.exe D:\\WORK\\gone.jww ");
    EXPECT_EQ(fake().starts[1].folder, "D:\\WORK\\");
    EXPECT_EQ(KeysTo(alive), "@FP\n");
    EXPECT_EQ(KeysTo(started.at(100)), "@FP\n");
    EXPECT_EQ(KeysTo(started.at(101)), "@FP\n");
    EXPECT_EQ(fake().Find(started.at(100))->placement.normalPosition,
              (platform::Rect{5, 6, 705, 506}));
    EXPECT_EQ(KeysTo(base), "");
    EXPECT_EQ(strip.messages.back(), "info:各タグの切替をして印刷開始を行って下さい。");
    EXPECT_TRUE(strip.timerEnabled);
}

// A window the desktop does not bring to the front in time gets its script once more; one
// that never comes is named to the user, and the others are printed all the same.
TEST_F(JwcadStripTest, BatchPrintTriesAgainAndNamesTheDrawingsItCouldNotReach) {
    const struct {
        const char* what;
        std::uint32_t refusedForMs;  // how long the first launched window refuses the front
        const char* keysToIt;
        bool reported;
    } cases[] = {
        {"comes in time", 0, "@FP\n", false},
        {"comes for the second try", 3500, "@FP\n", false},
        {"never comes", 0xFFFFFFFF, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        strip.messages.clear();
        fake().keys.clear();
        auto base = fake().AddWindow("detail.jww - jw_win", 1);
        fake().BringToTop(base);
        jw.Start();
        KeyWait = 0;
        TagLists[0].TagJump = "C:\\JWW\\detail.jww";
        AppendTag("A", "C:\\JWW\\plan1.jww");
        AppendTag("B", "D:\\WORK\\section.jww /q");
        const auto firstPid = nextPid;
        std::uint32_t startedAt = 0;
        auto jwcad = fake().onStart;
        fake().onStart = [&](const std::string& cmd, const std::string& folder) {
            auto pid = jwcad(cmd, folder);
            if (*pid == firstPid) {
                startedAt = fake().GetTickCount();
                fake().Find(started.at(firstPid))->refusesFront = c.refusedForMs > 0;
            }
            return pid;
        };
        fake().onMessages = [&] {
            if (startedAt != 0 && fake().GetTickCount() - startedAt >= c.refusedForMs) {
                fake().Find(started.at(firstPid))->refusesFront = false;
            }
        };
        jw.BatchPrint();
        fake().onMessages = nullptr;
        fake().onStart = jwcad;
        EXPECT_EQ(KeysTo(started.at(firstPid)), c.keysToIt);
        EXPECT_EQ(KeysTo(started.at(firstPid + 1)), "@FP\n");
        EXPECT_EQ(KeysTo(base), "");
        ASSERT_FALSE(strip.messages.empty());
        EXPECT_EQ(strip.messages.back(), "info:各タグの切替をして印刷開始を行って下さい。");
        const std::string report =
            "error:次のタグの図面を印刷モードにできませんでした。\r\nA: C:\\JWW\\plan1.jww";
        EXPECT_EQ(std::count(strip.messages.begin(), strip.messages.end(), report),
                  c.reported ? 1 : 0);
        EXPECT_EQ(strip.messages.size(), c.reported ? 3u : 2u);
    }
}

TEST_F(JwcadStripTest, CloseNamesTheWindowsItCouldNotReach) {
    fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    KeyWait = 0;
    AppendTag("A", "C:\\JWW\\a.jww");
    AppendTag("B", "C:\\JWW\\b.jww /p");
    const auto a = fake().AddWindow("a.jww - jw_win", 60);
    const auto b = fake().AddWindow("b.jww - jw_win", 61);
    fake().Find(b)->refusesFront = true;
    TagLists[1].Handle = a;
    TagLists[2].Handle = b;
    jw.CloseLaunched();
    EXPECT_EQ(KeysTo(a), "@FX");
    EXPECT_EQ(KeysTo(b), "");
    EXPECT_EQ(strip.messages.back(),
              "error:次のタグのJw_cad画面を閉じることができませんでした。\r\nB: C:\\JWW\\b.jww");
}

TEST_F(JwcadStripTest, BatchPrintGuardsAndRefusal) {
    fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    AppendTag("A", "C:\\JWW\\plan1.jww");
    jw.BatchPrint();  // entry 0 has no path yet
    EXPECT_TRUE(strip.messages.empty());
    TagLists[0].TagJump = "C:\\JWW\\detail.jww";
    strip.confirmAnswer = false;
    jw.BatchPrint();
    EXPECT_EQ(strip.messages.size(), 1u);
    EXPECT_TRUE(fake().starts.empty());
    EXPECT_TRUE(strip.timerEnabled);
}

TEST_F(JwcadStripTest, CloseSendsExitOnlyToStartedWindows) {
    fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    KeyWait = 0;
    AppendTag("A", "a");
    AppendTag("B", "b");
    AppendTag("C", "c");
    auto b = fake().AddWindow("b.jww - jw_win", 60);
    TagLists[2].Handle = b;
    jw.CloseLaunched();
    EXPECT_EQ(KeysTo(b), "@FX");
    EXPECT_EQ(TagLists[2].Handle, b);
    strip.confirmAnswer = false;
    fake().keys.clear();
    jw.CloseLaunched();
    EXPECT_TRUE(fake().keys.empty());
}

TEST_F(JwcadStripTest, SettingsExchange) {
    jw.Start();
    KeyWait = 0.5;
    MaximizeOnSend = 2;
    strip.settingsAnswer = TSettingsValues{2, 3000, 0.25, 1};
    const int arranges = strip.arranges;
    jw.OpenSettings();
    EXPECT_DOUBLE_EQ(strip.settingsIn.KeyWait, 0.5);
    EXPECT_EQ(strip.settingsIn.MaximizeOnSend, 2);
    EXPECT_EQ(jw.TagDirection, 2);
    EXPECT_EQ(jw.SearchInterval, 3000);
    EXPECT_DOUBLE_EQ(KeyWait, 0.25);
    EXPECT_EQ(MaximizeOnSend, 1);
    EXPECT_EQ(strip.arranges, arranges + 1);
    EXPECT_TRUE(strip.timerEnabled);
    EXPECT_EQ(strip.timerInterval, 3000);

    KeyWait = 1e300;  // only a hand-edited file gives this
    strip.settingsAnswer.reset();
    jw.OpenSettings();
    EXPECT_DOUBLE_EQ(strip.settingsIn.KeyWait, 1e300);
    EXPECT_DOUBLE_EQ(KeyWait, 1e300);
}

// Keys for a Jw_cad that does not take its messages would wait in its queue and land whenever
// it wakes up: nothing is sent, and the user hears why.
TEST_F(JwcadStripTest, CommandsForAJwcadThatDoesNotRespondSendNothing) {
    PutTagFile();
    auto base = fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    auto tag = fake().AddWindowAtBottom("plan1.jww - jw_win", 2);
    TagLists[1].Handle = tag;
    fake().Find(base)->hung = true;
    fake().Find(tag)->hung = true;
    fake().SetClipboardText("kept");
    jw.Print();
    jw.Import();
    jw.CloseLaunched();
    EXPECT_TRUE(fake().keys.empty());
    EXPECT_EQ(fake().Clipboard(), "kept");
    EXPECT_EQ(strip.messages,
              (std::vector<std::string>{
                  "error:Jw_cadが応答していないため、キーを送れませんでした。",
                  "error:Jw_cadが応答していないため、キーを送れませんでした。",
                  "confirm:追加タグで起動したJw_cad画面を閉じます。よろしいですか？",
                  "error:次のタグのJw_cad画面を閉じることができませんでした。\r\nBack: "
                  "C:\\JWW\\plan1.jww"}));
}

}  // namespace
