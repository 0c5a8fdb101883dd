#include "keys/SendKey.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "platform/fake/FakePlatform.h"
#include "tags/Func_.h"

namespace {

using platform::FakePlatform;
using platform::WindowHandle;

// Modifiers by name, letters and digits as themselves, other keys in hex.
std::string KeyName(std::uint8_t vk) {
    if (vk >= 0x10 && vk <= 0x12) {
        return vk == 0x10 ? "Shift" : vk == 0x11 ? "Ctrl" : "Alt";
    }
    char name[4];
    std::snprintf(name, sizeof name,
                  (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') ? "%c" : "%02X", vk);
    return name;
}

class SendKeyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        KeyWait = 0.5;
        TargetWindow = 0;
        MaximizeOnSend = 0;
        keyWaitTicks_ = DelayTicks(500);
    }
    void TearDown() override {
        KeyWait = 0.5;
        TargetWindow = 0;
        MaximizeOnSend = 0;
    }

    // How far Delay(ms) moves the fake clock; waits are recognised by it.
    std::uint32_t DelayTicks(std::uint32_t ms) {
        const std::uint32_t start = fake.GetTickCount();
        Delay(ms);
        return fake.GetTickCount() - start;
    }

    std::string GapName(std::uint32_t gap) {
        if (gap == 0) {
            return "";
        }
        if (gap == keyWaitTicks_) {
            return "w ";
        }
        if (gap > keyWaitTicks_ && gap - keyWaitTicks_ == DelayTicks(500)) {
            return "p500 w ";
        }
        if (gap == DelayTicks(500)) {
            return "p500 ";
        }
        return "[" + std::to_string(gap) + "] ";
    }

    // "w Alt+ F+ F- Alt- F- w": key events with the waits between them ("w" the key wait of
    // 0.5 s, "p500" a script pause), up to the return of the call.
    std::string Trace(const std::function<void()>& run) {
        fake.keys.clear();
        std::uint32_t tick = fake.GetTickCount();
        run();
        const std::uint32_t end = fake.GetTickCount();
        std::string out;
        for (const auto& e : fake.keys) {
            out += GapName(e.tick - tick) + KeyName(e.vk) + (e.down ? "+ " : "- ");
            tick = e.tick;
        }
        out += GapName(end - tick);
        if (!out.empty()) {
            out.pop_back();
        }
        return out;
    }

    std::string Play(const std::string& script) {
        return Trace([&] { PlayKeys(script); });
    }

    // True when every key that was pressed is up again.
    bool AllKeysUp() const {
        std::map<std::uint8_t, bool> down;
        for (const auto& e : fake.keys) {
            down[e.vk] = e.down;
        }
        for (const auto& [vk, isDown] : down) {
            if (isDown) {
                return false;
            }
        }
        return true;
    }

    platform::ScopedFakePlatform os;
    FakePlatform& fake = os.fake;
    std::uint32_t keyWaitTicks_ = 0;
};

TEST_F(SendKeyTest, CutsScriptsIntoGroupsWithAWaitBeforeEach) {
    const struct {
        const char* script;
        const char* trace;
    } cases[] = {
        {"@FP{ENTER}", "w Alt+ F+ F- Alt- F- w P+ P- P- w 0D+ 0D- 0D-"},
        {"@FFI", "w Alt+ F+ F- Alt- F- w F+ F- F- w I+ I- I-"},
        {"@FX", "w Alt+ F+ F- Alt- F- w X+ X- X-"},
        {"", ""},
        {"{DOWN 3}{5}~{TAB}",
         "w 28+ 28- 28- w 28+ 28- 28- w 28+ 28- 28- "
         "p500 w Shift+ 09+ 09- Shift- 09-"},
        // Pauses: a whole number above 0, blanks and sign allowed before it.
        {"{ 5}A", "p500 w A+ A- A-"},
        {"{+5}A", "p500 w A+ A- A-"},
        {"{0}", "w 0+ 0- 0-"},
        {"{5 }A", "w A+ A- A-"},
        {"@{5}", "w Alt+ 5+ 5- Alt- 5-"},
        // Repeats: |n| times, nothing and no wait for 0 or unreadable counts.
        {"{ENTER 0}{ENTER x}A", "w A+ A- A-"},
        {"{DOWN -2}", "w 28+ 28- 28- w 28+ 28- 28-"},
        {"@{DOWN 2}", "w Alt+ 28+ 28- Alt- 28- w Alt+ 28+ 28- Alt- 28-"},
        {"{DOWN 2", "w 28+ 28- 28- w 28+ 28- 28-"},
        {"@ ", "w Alt+ 20+ 20- Alt- 20-"},
        // At most three modifiers; a fourth stands in the key's place.
        {"^^^^X", "w Ctrl+ Ctrl+ Ctrl+ Ctrl+ Ctrl- Ctrl- w X+ X- X-"},
        {"^^^{F4}", "w Ctrl+ Ctrl+ Ctrl+ 73+ 73- Ctrl- 73-"},
        {"A@", "w A+ A- A- w Alt+ Alt- Alt-"},
        {"{ENT", "w E+ E- E-"},
        // An empty name stops the script after its wait.
        {"AB{}C", "w A+ A- A- w B+ B- B- w"},
        {"@{}X", "w Alt+ Alt- Alt-"},
        {"A{", "w A+ A- A- w"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Play(c.script), c.trace) << c.script;
        EXPECT_TRUE(AllKeysUp()) << c.script;
    }
}

TEST_F(SendKeyTest, KeyWaitRoundsHalfToEvenAndNeverGoesNegative) {
    const struct {
        double seconds;
        std::uint32_t ms;
    } cases[] = {
        {0.5, 500}, {0.0625, 62}, {0.1875, 188}, {0.0, 0}, {-1.0, 0}, {-0.0004, 0}, {NAN, 0},
    };
    for (const auto& c : cases) {
        KeyWait = c.seconds;
        const std::uint32_t expected = DelayTicks(c.ms);
        fake.keys.clear();
        const std::uint32_t start = fake.GetTickCount();
        PlayKeys("A");
        ASSERT_FALSE(fake.keys.empty());
        EXPECT_EQ(fake.keys.front().tick - start, expected) << c.seconds;
    }
}

TEST_F(SendKeyTest, CanSendIsAskedAfterEachWaitAndStopsTheScript) {
    int asked = 0;
    const std::string trace = Trace([&] { PlayKeys("AB{DOWN 3}C", [&] { return ++asked <= 3; }); });
    EXPECT_EQ(trace, "w A+ A- A- w B+ B- B- w 28+ 28- 28- w");
    EXPECT_EQ(asked, 4);
}

TEST_F(SendKeyTest, FailingInjectionStopsTheScriptQuietly) {
    bool thrown = false;
    fake.onKey = [&](const FakePlatform::KeyEvent& e) {
        if (e.vk == 'F' && e.down && !thrown) {
            thrown = true;
            throw std::runtime_error("injection failed");
        }
    };
    EXPECT_EQ(Play("@FP"), "w Alt+ F+ F- Alt-");
    EXPECT_TRUE(AllKeysUp());
}

TEST_F(SendKeyTest, ShowsActivatesThenPlays) {
    const struct {
        int maximize;
        bool iconic;
        bool maximized;
        int show;
        bool endsMaximized;
    } cases[] = {
        {1, false, false, platform::kSwShowMaximized, true},
        {1, true, false, platform::kSwShowMaximized, true},
        {0, true, false, platform::kSwShow, false},
        {2, true, true, platform::kSwShow, true},
        {0, false, true, platform::kSwShow, true},
    };
    for (const auto& c : cases) {
        const WindowHandle jw = fake.AddWindow("a.jww - jw_win", 7);
        fake.Find(jw)->iconic = c.iconic;
        fake.Find(jw)->maximized = c.maximized;
        fake.shows.clear();
        MaximizeOnSend = c.maximize;
        TargetWindow = jw;
        SendKeysToTarget("");
        EXPECT_EQ(fake.shows, (decltype(fake.shows){{jw, c.show}})) << c.maximize;
        EXPECT_FALSE(fake.Find(jw)->iconic);
        EXPECT_EQ(fake.Find(jw)->maximized, c.endsMaximized);
        EXPECT_EQ(fake.GetForegroundWindow(), jw);
        EXPECT_TRUE(fake.keys.empty());
    }
}

TEST_F(SendKeyTest, NoTargetMeansNothingAtAll) {
    const WindowHandle gone = fake.AddWindow("a.jww - jw_win");
    fake.CloseWindow(gone);
    for (WindowHandle target : {WindowHandle{0}, gone}) {
        TargetWindow = target;
        SendKeysToTarget("@FP{ENTER}");
    }
    EXPECT_TRUE(fake.shows.empty());
    EXPECT_TRUE(fake.foregroundRequests.empty());
    EXPECT_TRUE(fake.keys.empty());
}

TEST_F(SendKeyTest, ActivationIsRepeatedUntilTheTargetIsInFront) {
    const WindowHandle jw = fake.AddWindow("a.jww - jw_win", 7);
    fake.refuseForeground = 3;
    TargetWindow = jw;
    SendKeysToTarget("@FX");
    EXPECT_EQ(fake.foregroundRequests.size(), 4u);
    ASSERT_EQ(fake.keys.size(), 8u);
    for (const auto& e : fake.keys) {
        EXPECT_EQ(e.foreground, jw);
    }
}

TEST_F(SendKeyTest, RefusedActivationSendsNothing) {
    const WindowHandle other = fake.AddWindow("editor", 3);
    fake.SetForegroundWindow(other);
    const WindowHandle jw = fake.AddWindow("a.jww - jw_win", 7);
    fake.refuseForeground = 1000000;
    TargetWindow = jw;
    SendKeysToTarget("@FX");
    EXPECT_GT(fake.foregroundRequests.size(), 2u);
    EXPECT_TRUE(fake.keys.empty());
}

TEST_F(SendKeyTest, KeysFollowTheTargetsProgramOnly) {
    // After the P group: a print dialog of the same program, or another program, takes the front.
    const struct {
        bool sameProgram;
        const char* trace;
    } cases[] = {
        // A script played to its end waits for the front to settle before it returns.
        {true, "w Alt+ F+ F- Alt- F- w P+ P- P- w 0D+ 0D- 0D- [150]"},
        {false, "w Alt+ F+ F- Alt- F- w P+ P- P- w"},
    };
    for (const auto& c : cases) {
        const WindowHandle jw = fake.AddWindow("a.jww - jw_win", 7);
        // The print dialog opens when P is taken; another program's window was there before.
        WindowHandle next = c.sameProgram ? 0 : fake.AddWindow("editor", 8);
        int pUps = 0;
        fake.onKey = [&](const FakePlatform::KeyEvent& e) {
            if (e.vk == 'P' && !e.down && ++pUps == 2) {
                if (next == 0) {
                    next = fake.AddWindow("print", 7, true, jw);
                }
                fake.SetForegroundWindow(next);
            }
        };
        TargetWindow = jw;
        EXPECT_EQ(Trace([] { SendKeysToTarget("@FP{ENTER}"); }), c.trace) << c.sameProgram;
        for (const auto& e : fake.keys) {
            if (e.vk != 0x0D) {
                EXPECT_EQ(e.foreground, jw);
            } else {
                EXPECT_EQ(e.foreground, next);
            }
        }
        EXPECT_TRUE(AllKeysUp());
    }
}

TEST_F(SendKeyTest, ClipboardIsClearedAndReadAsText) {
    fake.SetClipboardText("C:\\JWW\\\x90\x7D\x96\xCA.jww /p");
    EXPECT_EQ(ReadClipboardText(), "C:\\JWW\\\x90\x7D\x96\xCA.jww /p");
    ClearClipboardText();
    EXPECT_FALSE(fake.Clipboard().has_value());
    EXPECT_FALSE(fake.clipboardIsOpen);

    // No text: empty, without taking the clipboard from its owner.
    const int opens = fake.clipboardOpens;
    EXPECT_EQ(ReadClipboardText(), "");
    EXPECT_EQ(fake.clipboardOpens, opens);
    fake.SetClipboardText("");
    EXPECT_EQ(ReadClipboardText(), "");
    EXPECT_FALSE(fake.clipboardIsOpen);
}

TEST_F(SendKeyTest, HeldClipboardIsAClipboardError) {
    fake.SetClipboardText("C:\\JWW\\a.jww");
    fake.clipboardUnavailable = true;
    for (const auto& operation : std::vector<std::function<void()>>{[] { ClearClipboardText(); },
                                                                    [] { ReadClipboardText(); }}) {
        try {
            operation();
            ADD_FAILURE() << "no error";
        } catch (const ClipboardError& e) {
            EXPECT_STREQ(e.what(), "クリップボードを開くことができません");
        }
    }
    EXPECT_EQ(fake.Clipboard(), "C:\\JWW\\a.jww");
}

}  // namespace
