// The strip's behaviour over a fake desktop and a fake window: tracking the base drawing,
// jumping to tags, and the commands of the buttons.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "jwcad/JwcadStrip.h"
#include "keys/SendKey.h"
#include "platform/fake/FakePlatform.h"
#include "tags/Func_.h"
#include "tags/UnitV.h"

namespace {

using platform::WindowHandle;

class FakeStrip : public IStrip {
  public:
    void SetTimer(bool enabled, std::int32_t intervalMs) override {
        timerEnabled = enabled;
        timerInterval = intervalMs;
        ++timerChanges;
    }
    void ClearTabs() override { tabs.clear(); }
    void AddTab(const std::string& caption) override { tabs.push_back(caption); }
    void SetTabs(const std::vector<std::string>& captions) override {
        tabs = captions;
        ++tabReplacements;
    }
    std::int32_t ArrangeControls(std::int32_t direction) override {
        ++arranges;
        return direction < 0 || direction > 3 ? 0 : direction;
    }
    void KeepOnTop() override { ++keepOnTop; }
    void ApplyGeometry(const TSettings& s) override { geometry = s; }
    void CollectGeometry(TSettings& s) override {
        s.Form1Left = geometry.Form1Left;
        s.Form1Top = geometry.Form1Top;
    }
    void ErrorBox(const char* text, const std::string& detail) override {
        messages.push_back(std::string("error:") + text + detail);
    }
    bool ConfirmYesNo(const char* text) override {
        messages.push_back(std::string("confirm:") + text);
        return confirmAnswer;
    }
    void InfoOk(const char* text) override { messages.push_back(std::string("info:") + text); }
    bool RetryCancel(const char* text, const std::string& detail) override {
        messages.push_back(std::string("retry:") + text + detail);
        return retries-- > 0;
    }
    bool AskTagName(std::string& name) override {
        proposedNames.push_back(name);
        if (!tagNameAnswer) {
            return false;
        }
        name = *tagNameAnswer;
        return true;
    }
    bool EditTagList() override {
        if (!editorRows) {
            return false;
        }
        CommitEditedTags(*editorRows);
        return true;
    }
    bool EditSettings(TSettingsValues& values) override {
        settingsIn = values;
        if (!settingsAnswer) {
            return false;
        }
        values = *settingsAnswer;
        return true;
    }
    void CloseStrip() override { ++closes; }

    bool timerEnabled = false;
    std::int32_t timerInterval = 0;
    int timerChanges = 0;
    std::vector<std::string> tabs;
    int tabReplacements = 0;
    int arranges = 0;
    int keepOnTop = 0;
    TSettings geometry;
    std::vector<std::string> messages;
    bool confirmAnswer = true;
    int retries = 0;  // RetryCancel answers 再試行 this many times, then キャンセル
    std::vector<std::string> proposedNames;
    std::optional<std::string> tagNameAnswer;
    std::optional<std::vector<TEditedRow>> editorRows;
    TSettingsValues settingsIn;
    std::optional<TSettingsValues> settingsAnswer;
    int closes = 0;
};

constexpr char kTagFile[] = "C:\\QB\\quillbox.tag";
constexpr char kTbkFile[] = "C:\\QB\\quillbox.tbk";
constexpr char kDatFile[] = "C:\\QB\\quillbox.dat";
constexpr char kJwKey[] = "SOFTWARE\\Jw_cad\\jw_win\\";
constexpr std::uint8_t kVkMenu = 0x12;

class JwcadStripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        KeyWait = 0;
        fake().SetRegistryString(kJwKey, "Folder", "File", "C:\\JWW");
        fake().PutFile("C:\\JWW\\detail.jww", "");
        fake().PutFile("C:\\JWW\\plan1.jww", "");
        fake().PutFile("D:\\WORK\\section.jww", "");
        fake().Associate(".JWW", "C:\\JWW\\Jw_win.exe");
        // Jw_cad's side: each start opens a window titled after the drawing.
        fake().onStart = [this](const std::string& cmd, const std::string&) {
            std::string path = cmd.substr(cmd.find(' ') + 1);
            path = path.substr(0, path.find(' '));
            const platform::ProcessId pid = nextPid++;
            started[pid] = fake().AddWindow(FileNameOf(path) + " - jw_win", pid);
            return std::optional<platform::ProcessId>(pid);
        };
    }
    void TearDown() override {
        ClearTags();
        JwwHandles.clear();
        JwwCount = 0;
        TargetWindow = 0;
        MaximizeOnSend = 0;
    }

    static std::string FileNameOf(const std::string& path) {
        return path.substr(path.find_last_of('\\') + 1);
    }
    platform::FakePlatform& fake() { return scoped.fake; }

    // The key-down events sent while window w had the focus, as letters ("@" for Alt).
    std::string KeysTo(WindowHandle w) {
        std::string out;
        for (const auto& k : fake().keys) {
            if (k.down && k.foreground == w) {
                out += k.vk == kVkMenu ? '@' : k.vk == 0x0D ? '\n' : static_cast<char>(k.vk);
            }
        }
        return out;
    }

    void PutTagFile() {
        fake().PutFile(kTagFile,
                       "C:\\JWW\\DETAIL.JWW\r\n3\r\ndetail.jww\r\nC:\\JWW\\detail.jww\r\n"
                       "Back\r\nC:\\JWW\\plan1.jww\r\nSection\r\nD:\\WORK\\section.jww /p\r\n"
                       "C:\\JWW\\PLAN1.JWW\r\n2\r\nplan1.jww\r\nC:\\JWW\\plan1.jww\r\n"
                       "Detail\r\nC:\\JWW\\detail.jww\r\n");
    }

    platform::ScopedFakePlatform scoped;
    FakeStrip strip;
    JwcadStrip jw{strip};
    platform::ProcessId nextPid = 100;
    std::map<platform::ProcessId, WindowHandle> started;
};

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
