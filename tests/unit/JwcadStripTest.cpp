// Following the base drawing over a fake desktop: taking it up, keeping it, leaving it, and
// the timer that must never tick inside a command.
#include "StripFixture.h"

namespace {

using namespace stripfake;
using platform::WindowHandle;

// ---- Tracking ------------------------------------------------------------------------------

TEST_F(JwcadStripTest, StartWithoutJwcadShowsNothingThenTakesUpTheFirstDrawing) {
    jw.Start();
    EXPECT_EQ(jw.DatFile, kDatFile);
    EXPECT_EQ(jw.TagFile, kTagFile);
    EXPECT_EQ(jw.TbkFile, kTbkFile);
    EXPECT_TRUE(strip.tabs.empty());
    EXPECT_EQ(TagCount, 0);
    EXPECT_TRUE(strip.timerEnabled);
    EXPECT_EQ(strip.timerInterval, 5000);
    EXPECT_DOUBLE_EQ(KeyWait, 0.5);

    PutTagFile();
    auto w = fake().AddWindow("detail.jww - jw_win");
    jw.Tick();
    EXPECT_EQ(strip.tabs, (std::vector<std::string>{"detail.jww", "Back", "Section"}));
    ASSERT_EQ(TagCount, 3);
    EXPECT_EQ(TagLists[0].Handle, w);
    EXPECT_TRUE(strip.timerEnabled);
}

// However many tags a drawing has, taking it up replaces the tabs in one go: the window lays
// thousands of them out once instead of once per tab.
TEST_F(JwcadStripTest, TakingUpADrawingReplacesEveryTabAtOnce) {
    struct Case {
        const char* what;
        bool stored;
        const char* title;  // empty: no Jw_cad window
        std::vector<std::string> tabs;
    };
    const Case cases[] = {
        {"stored block", true, "detail.jww - jw_win", {"detail.jww", "Back", "Section"}},
        {"no stored block", false, "detail.jww - jw_win", {"detail.jww"}},
        {"no drawing", true, "", {}},
    };
    for (const Case& c : cases) {
        FakeStrip s;
        JwcadStrip j{s};
        if (c.stored) {
            PutTagFile();
        }
        WindowHandle w = 0;
        if (*c.title != '\0') {
            w = fake().AddWindow(c.title);
        }
        j.Start();
        EXPECT_EQ(s.tabs, c.tabs) << c.what;
        EXPECT_EQ(s.tabReplacements, 1) << c.what;
        j.Tick();  // nothing changed: the base drawing stays, or there still is none
        EXPECT_EQ(s.tabs, c.tabs) << c.what;
        j.Finish();
        if (w != 0) {
            fake().CloseWindow(w);
        }
        // A start takes the backup when the tag file is missing: remove every trace.
        for (const char* file : {kTagFile, kTbkFile}) {
            fake().DeleteFile(file);
        }
    }
}

TEST_F(JwcadStripTest, DrawingWithoutStoredBlockStartsAlone) {
    fake().AddWindow("other.jww - jw_win");
    jw.Start();
    EXPECT_EQ(strip.tabs, (std::vector<std::string>{"other.jww"}));
    ASSERT_EQ(TagCount, 1);
    EXPECT_EQ(TagLists[0].TagJump, "");
}

TEST_F(JwcadStripTest, BaseStaysWhenAnotherJwcadComesToTheFront) {
    PutTagFile();
    auto a = fake().AddWindow("detail.jww - jw_win");
    jw.Start();
    auto b = fake().AddWindow("plan1.jww - jw_win");
    jw.Tick();
    EXPECT_EQ(JwwHandles[0].Handle, a);
    EXPECT_EQ(JwwHandles[1].Handle, a);  // the entry at its index keeps its content
    EXPECT_EQ(strip.tabs[0], "detail.jww");
    (void)b;
}

TEST_F(JwcadStripTest, ClosingTheBaseSavesItsTagsAndTakesUpTheNext) {
    PutTagFile();
    fake().AddWindow("plan1.jww - jw_win");
    auto a = fake().AddWindow("detail.jww - jw_win");
    jw.Start();
    AppendTag("New", "C:\\JWW\\new.jww");
    fake().CloseWindow(a);
    jw.Tick();
    EXPECT_EQ(strip.tabs, (std::vector<std::string>{"plan1.jww", "Detail"}));
    const std::string saved = *fake().FileBytes(kTagFile);
    EXPECT_EQ(saved.rfind("C:\\JWW\\DETAIL.JWW\r\n4\r\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("New\r\nC:\\JWW\\new.jww\r\n"), std::string::npos);
    EXPECT_TRUE(fake().FileExists(kTbkFile));
}

TEST_F(JwcadStripTest, BaseWithoutTagsIsNotSavedWhenItGoes) {
    auto a = fake().AddWindow("other.jww - jw_win");
    jw.Start();
    fake().CloseWindow(a);
    jw.Tick();
    EXPECT_FALSE(fake().FileExists(kTagFile));
    EXPECT_TRUE(strip.tabs.empty());
    EXPECT_EQ(TagCount, 0);
}

TEST_F(JwcadStripTest, OpeningAnotherFileInTheBaseWindowCountsAsANewBase) {
    PutTagFile();
    auto a = fake().AddWindow("detail.jww - jw_win");
    jw.Start();
    fake().Find(a)->title = "plan1.jww - jw_win";
    jw.Tick();
    EXPECT_EQ(strip.tabs, (std::vector<std::string>{"plan1.jww", "Detail"}));
    EXPECT_EQ(TagLists[0].Handle, a);
}

TEST_F(JwcadStripTest, CloseSavesTagsThenSettings) {
    PutTagFile();
    fake().AddWindow("detail.jww - jw_win");
    jw.Start();
    jw.Finish();
    EXPECT_FALSE(strip.timerEnabled);
    EXPECT_EQ(TagCount, 0);
    EXPECT_EQ(JwwCount, 0);
    EXPECT_TRUE(fake().FileExists(kTbkFile));
    const std::string dat = *fake().FileBytes(kDatFile);
    EXPECT_EQ(dat.rfind("0\r\n5000\r\n0.5\r\n0\r\n192\r\n107\r\n", 0), 0u) << dat;
}

TEST_F(JwcadStripTest, SettingsFileIsReadBeforeTheLayout) {
    fake().PutFile(kDatFile, "7\r\n2000\r\n0.25\r\n1\r\n");
    jw.Start();
    EXPECT_EQ(jw.TagDirection, 0);  // corrected by the layout
    EXPECT_EQ(jw.SearchInterval, 2000);
    EXPECT_DOUBLE_EQ(KeyWait, 0.25);
    EXPECT_EQ(MaximizeOnSend, 1);
    EXPECT_EQ(strip.timerInterval, 2000);
    EXPECT_EQ(strip.geometry.Form1Width, 40);
}

// A settings file another program holds at the start: a moment is waited out; one held for good
// leaves the defaults in force for this run, and the user's file is not saved over with them.
TEST_F(JwcadStripTest, AHeldSettingsFileIsWaitedForAndNeverSavedOver) {
    const std::string dat = "0\r\n2000\r\n0.25\r\n1\r\n";
    for (std::uint32_t heldMs : {300u, 60000u}) {
        FakeStrip s;
        JwcadStrip j(s);
        fake().PutFile(kDatFile, dat);
        const std::uint32_t until = fake().GetTickCount() + heldMs;
        fake().failFileOp = [&](const std::string&, const std::string& path) {
            return path == kDatFile && fake().GetTickCount() < until;
        };
        j.Start();
        EXPECT_EQ(j.SearchInterval, heldMs < 1000 ? 2000 : 5000) << heldMs;
        fake().failFileOp = nullptr;
        j.Finish();
        const std::string after = *fake().FileBytes(kDatFile);
        EXPECT_EQ(after == dat, heldMs > 1000) << heldMs;
    }
}

// ---- Timer discipline ----------------------------------------------------------------------

TEST_F(JwcadStripTest, ResizeDuringACommandKeepsTheTimerStoppedAndClicksAreIgnored) {
    auto base = fake().AddWindow("detail.jww - jw_win");
    jw.Start();
    KeyWait = 0.1;
    bool nested = false;
    fake().onMessages = [&] {
        if (nested) {
            return;
        }
        nested = true;
        jw.Resize();
        EXPECT_FALSE(strip.timerEnabled);
        const auto keysBefore = fake().keys.size();
        jw.Print();  // a second click while the first command waits
        EXPECT_EQ(fake().keys.size(), keysBefore);
        EXPECT_FALSE(strip.timerEnabled);
    };
    jw.Print();
    EXPECT_TRUE(nested);
    EXPECT_TRUE(strip.timerEnabled);
    EXPECT_EQ(KeysTo(base), "@FP\n");
}

TEST_F(JwcadStripTest, CloseDuringACommandWaitsForItsEnd) {
    fake().AddWindow("detail.jww - jw_win");
    jw.Start();
    KeyWait = 0.1;
    fake().onMessages = [&] {
        jw.Quit();
        EXPECT_EQ(strip.closes, 0);
    };
    jw.Print();
    EXPECT_EQ(strip.closes, 1);
}

// A hand-edited key wait of hours must not hold a close back: the close ends the wait at once,
// nothing more is typed or started, no box is left to answer, and the strip closes (saving as
// every close does).
TEST_F(JwcadStripTest, CloseDuringAnHoursLongKeyWaitEndsTheCommandAtOnce) {
    const struct {
        const char* what;
        void (JwcadStrip::*command)();
        bool closeAfterF;  // else at the first wait
        const char* keysToBase;
        const char* keysToTag;
    } cases[] = {
        {"Ｐ, first wait", &JwcadStrip::Print, false, "", ""},
        {"Ｐ, after @F", &JwcadStrip::Print, true, "@F", ""},
        {"取, first wait", &JwcadStrip::Import, false, "", ""},
        {"取, after @F", &JwcadStrip::Import, true, "@F", ""},
        {"印, first wait", &JwcadStrip::BatchPrint, false, "", ""},
        {"印, after @F", &JwcadStrip::BatchPrint, true, "", "@F"},
        {"閉, first wait", &JwcadStrip::CloseLaunched, false, "", ""},
        {"閉, after @F", &JwcadStrip::CloseLaunched, true, "", "@F"},
    };
    for (const auto& c : cases) {
        platform::ScopedFakePlatform scope;
        auto& fake = scope.fake;
        FakeStrip ui;
        JwcadStrip strip{ui};
        fake.SetRegistryString(kJwKey, "Folder", "File", "C:\\JWW");
        fake.PutFile("C:\\JWW\\detail.jww", "");
        const auto base = fake.AddWindow("detail.jww - jw_win", 1);
        strip.Start();
        KeyWait = 100000;
        TagLists[0].TagJump = "C:\\JWW\\detail.jww";
        AppendTag("A", "C:\\JWW\\plan1.jww");
        const auto tag = fake.AddWindow("plan1.jww - jw_win", 50);
        TagLists[1].Handle = tag;
        fake.SetForeground(base);

        bool armed = !c.closeAfterF;
        bool asked = false;
        std::uint32_t askedAt = 0;
        fake.onKey = [&](const platform::FakePlatform::KeyEvent& e) {
            armed = armed || (e.vk == 'F' && !e.down);
        };
        fake.onMessages = [&] {
            if (armed && !asked) {
                asked = true;
                askedAt = fake.GetTickCount();
                EXPECT_FALSE(strip.CanCloseNow()) << c.what;  // as WM_CLOSE asks
            }
        };
        (strip.*c.command)();
        EXPECT_TRUE(asked) << c.what;
        EXPECT_LT(fake.GetTickCount() - askedAt, 10000u) << c.what;
        std::string toBase, toTag;
        for (const auto& k : fake.keys) {
            const char letter = k.vk == kVkMenu ? '@' : static_cast<char>(k.vk);
            if (k.down) {
                (k.foreground == base ? toBase : toTag) += letter;
            }
        }
        EXPECT_EQ(toBase, c.keysToBase) << c.what;
        EXPECT_EQ(toTag, c.keysToTag) << c.what;
        EXPECT_TRUE(fake.starts.empty()) << c.what;
        EXPECT_TRUE(ui.proposedNames.empty()) << c.what;
        for (const std::string& m : ui.messages) {
            EXPECT_EQ(m.rfind("confirm:", 0), 0u) << c.what << ": " << m;
        }
        EXPECT_EQ(ui.closes, 1) << c.what;
        // The next command waits as usual again.
        EXPECT_FALSE(WaitsCancelled()) << c.what;
        ClearTags();
        JwwHandles.clear();
        JwwCount = 0;
        TargetWindow = 0;
    }
}

TEST_F(JwcadStripTest, ResizeWhileIdleReArmsTheTimer) {
    jw.Start();
    strip.timerEnabled = false;
    jw.Resize();
    EXPECT_TRUE(strip.timerEnabled);
    EXPECT_EQ(strip.timerInterval, 5000);
    // Ticks and resizes leave the stacking alone: raising would close a tool tip being read.
    const int raised = strip.keepOnTop;
    jw.Tick();
    jw.Resize();
    EXPECT_EQ(strip.keepOnTop, raised);
}

}  // namespace
