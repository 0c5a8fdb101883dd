// Tab jumps over a fake desktop: activating a tag's window, or starting Jw_cad on its drawing
// where the base window stands, once.
#include "StripFixture.h"

namespace {

using namespace stripfake;
using platform::WindowHandle;

// ---- Tag jump ------------------------------------------------------------------------------

TEST_F(JwcadStripTest, TabLaunchesJwcadWithTheBasePlacementThenActivates) {
    PutTagFile();
    auto base = fake().AddWindow("detail.jww - jw_win", 1);
    fake().Find(base)->placement.normalPosition = {10, 20, 810, 620};
    fake().Find(base)->acceptsPlacement = false;
    jw.Start();

    jw.JumpTo(2);
    ASSERT_EQ(fake().starts.size(), 1u);
    EXPECT_EQ(fake().starts[0].commandLine, "C:\\JWW\\Jw_win.exe D:\\WORK\\section.jww /p");
    EXPECT_EQ(fake().starts[0].folder, "D:\\WORK\\");
    const WindowHandle launched = started.at(100);
    EXPECT_EQ(TagLists[2].Handle, launched);
    // Placement refused across processes: moved and sized instead.
    EXPECT_EQ(fake().Find(launched)->placement.normalPosition, (platform::Rect{10, 20, 810, 620}));
    EXPECT_GT(strip.keepOnTop, 0);
    EXPECT_TRUE(strip.timerEnabled);

    jw.JumpTo(1);
    jw.JumpTo(2);
    EXPECT_EQ(fake().starts.size(), 2u);  // tab 1 started once, tab 2 only activated
    EXPECT_EQ(fake().GetForegroundWindow(), launched);
}

TEST_F(JwcadStripTest, JumpGuardsDoNothing) {
    fake().AddWindow("other.jww - jw_win");
    jw.Start();
    const int changes = strip.timerChanges;
    EXPECT_FALSE(jw.JumpTo(0));   // no tags
    EXPECT_FALSE(jw.JumpTo(-1));  // no selection
    AppendTag("a", "C:\\JWW\\plan1.jww");
    EXPECT_FALSE(jw.JumpTo(2));  // tabs out of step
    EXPECT_EQ(strip.timerChanges, changes);
    EXPECT_TRUE(fake().starts.empty());
    EXPECT_TRUE(fake().foregroundRequests.empty());
}

// The tab strip keeps a click's selection only when the answer says the click jumped.
TEST_F(JwcadStripTest, OnlyAJumpKeepsTheNewSelection) {
    fake().AddWindow("other.jww - jw_win");
    jw.Start();
    AppendTag("live", "C:\\JWW\\live.jww");
    AppendTag("new", "C:\\JWW\\plan1.jww");
    AppendTag("gone", "C:\\JWW\\gone.jww");
    TagLists[1].Handle = fake().AddWindow("live.jww - jw_win", 40);
    const struct {
        int tab;
        bool jumped;
    } cases[] = {{1, true}, {2, true}, {3, false}, {2, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(jw.JumpTo(c.tab), c.jumped) << c.tab;
    }
    EXPECT_EQ(fake().starts.size(), 1u);  // tab 2 started once, then activated
    // A launch whose process cannot be created jumps nowhere either.
    fake().onStart = [](const std::string&, const std::string&) {
        return std::optional<platform::ProcessId>();
    };
    TagLists[2].Handle = 0;
    EXPECT_FALSE(jw.JumpTo(2));
}

TEST_F(JwcadStripTest, MissingFileIsReportedWithItsPath) {
    fake().AddWindow("other.jww - jw_win");
    jw.Start();
    AppendTag("gone", "C:\\JWW\\gone.jww -x");
    jw.JumpTo(1);
    EXPECT_EQ(strip.messages,
              (std::vector<std::string>{
                  "error:指定したファイルが見つかりませんでした。C:\\JWW\\gone.jww"}));
    EXPECT_TRUE(fake().starts.empty());
    EXPECT_TRUE(strip.timerEnabled);
}

// Jumps that cannot start Jw_cad say why: a path longer than Windows allows, or a start that
// failed. The path's length is counted in characters, a double-byte one as one.
TEST_F(JwcadStripTest, JumpsThatCannotStartJwcadSaySo) {
    const std::string folder = "C:\\" + std::string(240, 'a') + "\\";  // 244 characters
    const std::string kanji = "\x90\x7D";                              // one character, two bytes
    const struct {
        const char* what;
        std::string path;
        bool exists;
        bool starts;
        std::string message;  // empty: none, and Jw_cad started
    } cases[] = {
        {"259 characters", folder + std::string(11, 'b') + ".jww", true, true, ""},
        {"259 characters of which ten double-byte",
         folder + std::string(1, 'b') +
             [&] {
                 std::string k;
                 for (int i = 0; i < 10; ++i) {
                     k += kanji;
                 }
                 return k;
             }() +
             ".jww",
         true, true, ""},
        {"260 characters", folder + std::string(12, 'b') + ".jww", true, true,
         "error:パスが長すぎるため、図面を開けません。" + folder + std::string(12, 'b') + ".jww"},
        {"the start fails", "C:\\JWW\\plan1.jww", true, false,
         "error:Jw_cadを起動できませんでした。C:\\JWW\\plan1.jww"},
    };
    for (const auto& c : cases) {
        platform::ScopedFakePlatform scope;
        auto& fake = scope.fake;
        FakeStrip ui;
        JwcadStrip strip{ui};
        fake.AddWindow("other.jww - jw_win");
        if (c.exists) {
            fake.PutFile(c.path, "");
        }
        fake.onStart = [&](const std::string&, const std::string&) {
            return c.starts ? std::optional<platform::ProcessId>(100) : std::nullopt;
        };
        strip.Start();
        AppendTag("t", c.path + " /x");
        strip.JumpTo(1);
        if (c.message.empty()) {
            EXPECT_TRUE(ui.messages.empty()) << c.what << ": " << ui.messages.front();
            EXPECT_EQ(fake.starts.size(), 1u) << c.what;
        } else {
            EXPECT_EQ(ui.messages, std::vector<std::string>{c.message}) << c.what;
        }
        EXPECT_TRUE(ui.timerEnabled) << c.what;
        ClearTags();
        JwwHandles.clear();
        JwwCount = 0;
    }
}

// An import that finds another program's text where Jw_cad's should be, or the drawing's own
// path with a blank in a folder, says so; a clipboard Jw_cad left empty, and the text of another
// drawing, end it silently as before.
TEST_F(JwcadStripTest, ImportFailuresThatTheUserMustHearOf) {
    const struct {
        const char* what;
        std::optional<std::string> clipboard;  // after the copy; nullopt: nothing
        std::string message;
    } cases[] = {
        {"another program's text", std::string("https://example.com/"),
         "error:クリップボードが他のプログラムに使われたため、図面情報を取り込めませんでした。"},
        {"blank in the drawing's folder", std::string("C:\\My Docs\\detail.jww /p"),
         "error:図面のパスに空白が含まれているため、タグに取り込めません。C:\\My Docs\\detail.jww "
         "/p"},
        {"blank in the folder, no arguments", std::string("C:\\My Docs\\DETAIL.JWW"),
         "error:図面のパスに空白が含まれているため、タグに取り込めません。C:\\My Docs\\DETAIL.JWW"},
        {"blank in the folder, two blanks", std::string("C:\\A B\\C D\\detail.jww x"),
         "error:図面のパスに空白が含まれているため、タグに取り込めません。C:\\A B\\C D\\detail.jww "
         "x"},
        {"nothing copied", std::nullopt, ""},
        {"another drawing", std::string("C:\\JWW\\plan1.jww x"), ""},
        {"another drawing whose name ends alike", std::string("C:\\A B\\mydetail.jww x"), ""},
        {"another drawing, the name only in an argument",
         std::string("C:\\JWW\\plan1.jww /o:x\\detail.jww"), ""},
    };
    for (const auto& c : cases) {
        platform::ScopedFakePlatform scope;
        auto& fake = scope.fake;
        FakeStrip ui;
        ui.tagNameAnswer = "x";
        JwcadStrip strip{ui};
        fake.AddWindow("detail.jww - jw_win");
        fake.onKey = [&](const platform::FakePlatform::KeyEvent& e) {
            if (e.down && e.vk == 'I' && c.clipboard) {
                fake.SetClipboardText(*c.clipboard);
            }
        };
        strip.Start();
        KeyWait = 0;
        strip.Import();
        EXPECT_EQ(TagCount, 1) << c.what;
        EXPECT_TRUE(ui.proposedNames.empty()) << c.what;
        EXPECT_EQ(ui.messages, c.message.empty() ? std::vector<std::string>{}
                                                 : std::vector<std::string>{c.message})
            << c.what;
        ClearTags();
        JwwHandles.clear();
        JwwCount = 0;
    }
}

TEST_F(JwcadStripTest, BatchPrintNamesTheTagsItCouldNotStart) {
    fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    KeyWait = 0;
    TagLists[0].TagJump = "C:\\JWW\\detail.jww";
    AppendTag("A", "C:\\JWW\\plan1.jww");
    AppendTag("B", "D:\\WORK\\section.jww");
    fake().onStart = [&](const std::string& cmd, const std::string&) {
        if (cmd.find("plan1") != std::string::npos) {
            return std::optional<platform::ProcessId>();  // cannot be started
        }
        started[200] = fake().AddWindow("section.jww - jw_win", 200);
        return std::optional<platform::ProcessId>(200);
    };
    jw.BatchPrint();
    EXPECT_EQ(KeysTo(started.at(200)), "@FP\n");
    ASSERT_GE(strip.messages.size(), 2u);
    EXPECT_EQ(strip.messages[strip.messages.size() - 2],
              "error:次のタグの図面を印刷モードにできませんでした。\r\nA: C:\\JWW\\plan1.jww");
}

// A Jw_cad that never goes idle, with a window that takes no messages: the strip goes on
// handling its messages all through the launch, ignores a second command, gives up after the
// bound, and never makes a call that would wait for the hung window.
TEST_F(JwcadStripTest, LaunchThatNeverGoesIdleKeepsTheStripAnswering) {
    auto base = fake().AddWindow("other.jww - jw_win", 1);
    fake().Find(base)->placement.normalPosition = {5, 6, 705, 506};
    jw.Start();
    AppendTag("plan", "C:\\JWW\\plan1.jww");
    fake().startIdleMs = UINT32_MAX;
    fake().onStart = [&](const std::string&, const std::string&) {
        const auto w = fake().AddWindow("plan1.jww - jw_win", 100);
        fake().Find(w)->hung = true;
        started[100] = w;
        return std::optional<platform::ProcessId>(100);
    };
    std::uint32_t lastPump = fake().GetTickCount();
    std::uint32_t longestGap = 0;
    bool clicked = false;
    const std::uint32_t start = fake().GetTickCount();
    fake().onMessages = [&] {
        const std::uint32_t now = fake().GetTickCount();
        longestGap = std::max(longestGap, now - lastPump);
        lastPump = now;
        if (!clicked && now - start >= 5000) {
            clicked = true;
            jw.JumpTo(1);  // clicked again while it starts
            jw.Print();
        }
    };
    jw.JumpTo(1);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(fake().starts.size(), 1u);
    EXPECT_TRUE(fake().keys.empty());
    EXPECT_LE(longestGap, 100u);
    EXPECT_LE(fake().GetTickCount() - start, 35000u);
    EXPECT_EQ(fake().blockingCallsOnHungWindows, 0);
    EXPECT_EQ(TagLists[1].Handle, started.at(100));
    EXPECT_TRUE(strip.timerEnabled);
}

// Closing the strip while a Jw_cad that never goes idle starts ends the wait at once.
TEST_F(JwcadStripTest, CloseDuringALaunchEndsItsIdleWait) {
    fake().AddWindow("other.jww - jw_win", 1);
    jw.Start();
    AppendTag("plan", "C:\\JWW\\plan1.jww");
    fake().startIdleMs = UINT32_MAX;
    const std::uint32_t start = fake().GetTickCount();
    fake().onMessages = [&] {
        if (fake().GetTickCount() - start >= 1000 && strip.closes == 0) {
            EXPECT_FALSE(jw.CanCloseNow());
        }
    };
    jw.JumpTo(1);
    EXPECT_LT(fake().GetTickCount() - start, 2000u);
    EXPECT_EQ(strip.closes, 1);
    EXPECT_TRUE(strip.messages.empty());  // no box about the start to answer while closing
}

// A Jw_cad slower to show its window than the launch waits: the next click on its tab takes
// that window up (placed like the base window) instead of starting a second Jw_cad; a click
// while it is still starting starts nothing; one after it ended without a window starts anew.
TEST_F(JwcadStripTest, SlowStartIsTakenUpAtTheNextClickNotStartedTwice) {
    auto base = fake().AddWindow("other.jww - jw_win", 1);
    fake().Find(base)->placement.normalPosition = {5, 6, 705, 506};
    jw.Start();
    AppendTag("plan", "C:\\JWW\\plan1.jww");
    fake().startIdleMs = UINT32_MAX;
    fake().onStart = [&](const std::string&, const std::string&) {
        return std::optional<platform::ProcessId>(nextPid++);  // no window yet
    };
    jw.JumpTo(1);
    ASSERT_EQ(fake().starts.size(), 1u);
    EXPECT_EQ(TagLists[1].Handle, 0u);
    EXPECT_TRUE(strip.messages.empty());

    jw.JumpTo(1);  // still starting
    EXPECT_EQ(fake().starts.size(), 1u);

    const auto late = fake().AddWindowAtBottom("plan1.jww - jw_win", 100);
    jw.JumpTo(1);
    EXPECT_EQ(fake().starts.size(), 1u);
    EXPECT_EQ(TagLists[1].Handle, late);
    EXPECT_EQ(fake().Find(late)->placement.normalPosition, (platform::Rect{5, 6, 705, 506}));
    EXPECT_EQ(fake().GetForegroundWindow(), late);

    // Another start that never shows a window, and ends.
    fake().CloseWindow(late);
    jw.JumpTo(1);
    ASSERT_EQ(fake().starts.size(), 2u);
    fake().endedProcesses.push_back(101);
    jw.JumpTo(1);
    EXPECT_EQ(fake().starts.size(), 3u);
}

TEST_F(JwcadStripTest, StaleHandleIsResetAndJwcadStartedAnew) {
    fake().AddWindow("other.jww - jw_win");
    jw.Start();
    AppendTag("plan", "C:\\JWW\\plan1.jww");
    TagLists[1].Handle = 0xDEAD;
    jw.JumpTo(1);
    ASSERT_EQ(fake().starts.size(), 1u);
    EXPECT_EQ(TagLists[1].Handle, started.at(100));
}

TEST_F(JwcadStripTest, LaunchCommandLines) {
    struct Case {
        std::string program;
        std::string jump;
        std::string commandLine;
    };
    const Case cases[] = {
        {"C:\\JWW\\Jw_win.exe", "C:\\JWW\\plan1.jww", "C:\\JWW\\Jw_win.exe C:\\JWW\\plan1.jww"},
        {"", "C:\\JWW\\plan1.jww a b", "C:\\JWW\\JW_WIN.EXE C:\\JWW\\plan1.jww a b"},
        {"C:\\Program Files\\Jw\\Jw_win.exe", "C:\\JWW\\plan1.jww",
         "\"C:\\Program Files\\Jw\\Jw_win.exe\" C:\\JWW\\plan1.jww"},
    };
    for (const Case& c : cases) {
        platform::ScopedFakePlatform local;
        local.fake.PutFile("C:\\JWW\\plan1.jww", "");
        if (!c.program.empty()) {
            local.fake.Associate(".JWW", c.program);
        }
        local.fake.AddWindow("other.jww - jw_win");
        FakeStrip s;
        JwcadStrip j(s);
        j.Start();
        AppendTag("t", c.jump);
        j.JumpTo(1);
        ASSERT_EQ(local.fake.starts.size(), 1u);
        EXPECT_EQ(local.fake.starts[0].commandLine, c.commandLine);
        EXPECT_EQ(local.fake.starts[0].folder, "C:\\JWW\\");
        ClearTags();
    }
}

TEST_F(JwcadStripTest, BaseTabRelaunchesWithoutPlacementWhenItsWindowHasGone) {
    PutTagFile();
    auto base = fake().AddWindow("detail.jww - jw_win", 1);
    jw.Start();
    fake().CloseWindow(base);
    jw.JumpTo(0);
    ASSERT_EQ(fake().starts.size(), 1u);
    EXPECT_EQ(fake().starts[0].commandLine, "C:\\JWW\\Jw_win.exe C:\\JWW\\detail.jww");
}

}  // namespace
