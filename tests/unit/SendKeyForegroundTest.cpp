// A program that opens a modal dialog leaves no window in front for a moment, and a closing
// window can leave none at all; the script must wait that out (asking the target back when no
// one comes), yet still stop when another program takes the front.
#include <gtest/gtest.h>

#include "keys/SendKey.h"
#include "platform/fake/FakePlatform.h"

namespace {

std::string DownKeys(const platform::FakePlatform& fake) {
    std::string out;
    for (const auto& k : fake.keys) {
        if (k.down) {
            out += static_cast<char>(k.vk == 0x0D ? '\n' : k.vk);
        }
    }
    return out;
}

struct Case {
    const char* what;
    platform::ProcessId frontPid;  // who is in front once the switch settles
    std::uint32_t settleMs;        // how long no window is in front after "P"
    std::string sent;
};

TEST(SendKeysToTargetForeground, DialogSwitchIsWaitedOutButAnotherProgramStopsTheScript) {
    const Case cases[] = {
        {"own print dialog, quick", 7, 30, "PQ\n"},
        {"own print dialog, slow", 7, 400, "PQ\n"},
        {"another program took the front", 8, 30, "PQ"},
        {"nothing comes to the front: the target is asked back", 0, 5000, "PQ\n"},
    };
    for (const Case& c : cases) {
        platform::ScopedFakePlatform s;
        auto& fake = s.fake;
        KeyWait = 0;
        const auto target = fake.AddWindow("plan.jww - jw_win", 7);
        std::uint32_t cleared = 0;
        fake.onKey = [&](const platform::FakePlatform::KeyEvent& e) {
            if (e.down && e.vk == 'Q' && cleared == 0) {
                fake.SetForeground(0);
                cleared = fake.GetTickCount();
            }
        };
        fake.onMessages = [&] {
            if (cleared != 0 && c.frontPid != 0 && fake.GetTickCount() - cleared >= c.settleMs &&
                fake.GetForegroundWindow() == 0) {
                fake.SetForeground(fake.AddWindow("dialog", c.frontPid, true, target));
            }
        };
        TargetWindow = target;
        SendKeysToTarget("PQ{ENTER}");
        EXPECT_EQ(DownKeys(fake), c.sent) << c.what;
        TargetWindow = 0;
    }
}

TEST(SendKeysToTargetForeground, TargetThatCannotBeBroughtBackGetsNothingMore) {
    platform::ScopedFakePlatform s;
    auto& fake = s.fake;
    KeyWait = 0;
    const auto target = fake.AddWindow("plan.jww - jw_win", 7);
    fake.onKey = [&](const platform::FakePlatform::KeyEvent& e) {
        if (e.down && e.vk == 'Q') {
            fake.SetForeground(0);
            fake.refuseForeground = 1000;
        }
    };
    TargetWindow = target;
    SendKeysToTarget("PQ{ENTER}");
    EXPECT_EQ(DownKeys(fake), "PQ");
    TargetWindow = 0;
}

}  // namespace

// The desktop may hand the front back to another window just after granting it to the target
// (focus events queued for the strip while it waited, a window manager still deciding): until
// the first key is typed the target is asked back, and only a front held long enough counts.
TEST(SendKeysToTargetForeground, FrontTakenBackBeforeTheFirstKeyIsAskedForAgain) {
    struct Case {
        const char* what;
        int takenBack;      // times the strip's window gets the front back after a grant
        bool stripRefuses;  // the target can never be brought back
        std::uint32_t keyWaitMs;
        TSendOutcome outcome;
        std::string sent;
    };
    const Case cases[] = {
        {"taken back once, during the key wait", 1, false, 500, TSendOutcome::Sent, "PQ\n"},
        {"taken back once, no key wait", 1, false, 0, TSendOutcome::Sent, "PQ\n"},
        {"taken back five times", 5, false, 0, TSendOutcome::Sent, "PQ\n"},
        {"never given back", 1, true, 0, TSendOutcome::NotReached, ""},
    };
    for (const Case& c : cases) {
        platform::ScopedFakePlatform s;
        auto& fake = s.fake;
        KeyWait = c.keyWaitMs / 1000.0;
        const auto strip = fake.AddWindow("Quillbox", 2);
        fake.SetForeground(strip);
        const auto target = fake.AddWindow("plan.jww - jw_win", 7);
        int left = c.takenBack;
        std::uint32_t grantedAt = 0;
        fake.onMessages = [&] {
            if (fake.GetForegroundWindow() != target) {
                grantedAt = 0;
                return;
            }
            if (grantedAt == 0) {
                grantedAt = fake.GetTickCount();
            } else if (left > 0 && fake.GetTickCount() - grantedAt >= 10) {
                --left;
                fake.SetForeground(strip);
                fake.refuseForeground = c.stripRefuses ? 1000000 : 0;
            }
        };
        TargetWindow = target;
        EXPECT_EQ(SendKeysToTarget("PQ{ENTER}"), c.outcome) << c.what;
        EXPECT_EQ(DownKeys(fake), c.sent) << c.what;
        for (const auto& k : fake.keys) {
            EXPECT_EQ(k.foreground, target) << c.what;
        }
        TargetWindow = 0;
    }
}

TEST(SendKeysToTargetForeground, OutcomeTellsWhetherTheKeysGotThrough) {
    platform::ScopedFakePlatform s;
    auto& fake = s.fake;
    KeyWait = 0;
    TargetWindow = 0;
    EXPECT_EQ(SendKeysToTarget("P"), TSendOutcome::NoTarget);
    TargetWindow = 0xDEAD;
    EXPECT_EQ(SendKeysToTarget("P"), TSendOutcome::NoTarget);

    const auto target = fake.AddWindow("plan.jww - jw_win", 7);
    const auto other = fake.AddWindow("editor", 8);
    TargetWindow = target;
    EXPECT_EQ(SendKeysToTarget("PQ"), TSendOutcome::Sent);
    // Another program takes the front after P: Q stays unsent.
    fake.onKey = [&](const platform::FakePlatform::KeyEvent& e) {
        if (e.vk == 'P' && !e.down) {
            fake.SetForeground(other);
        }
    };
    fake.keys.clear();
    EXPECT_EQ(SendKeysToTarget("PQ"), TSendOutcome::Interrupted);
    EXPECT_EQ(DownKeys(fake), "P");
    TargetWindow = 0;
}

// A window of the target's own program that the script did not open (a save prompt: the user
// closed the drawing meanwhile) never gets a key; the one dialog the script opens itself (the
// print dialog after "P") gets the "{ENTER}" that answers it.
TEST(SendKeysToTargetForeground, OnlyTheDialogTheScriptOpenedTakesItsClosingKey) {
    struct Case {
        const char* what;
        const char* script;
        std::uint8_t after;      // the key whose release brings the window up (0: before)
        int afterCount;          // on its n-th release
        bool windowShownBefore;  // the window existed, hidden behind, before the script
        TSendOutcome outcome;
        std::string toTarget;
        std::string toWindow;
    };
    const Case cases[] = {
        {"print dialog after P", "@FP{ENTER}", 'P', 1, false, TSendOutcome::Sent, "@FP", "\n"},
        {"save prompt after @F", "@FP{ENTER}", 'F', 1, false, TSendOutcome::Interrupted, "@F", ""},
        {"a window shown before P comes up after it", "@FP{ENTER}", 'P', 1, true,
         TSendOutcome::Interrupted, "@FP", ""},
        {"save prompt during @FFI", "@FFI", 'F', 3, false, TSendOutcome::Interrupted, "@FF", ""},
        {"save prompt after @F of @FX", "@FX", 'F', 1, false, TSendOutcome::Interrupted, "@F", ""},
        {"save prompt that X itself opens", "@FX", 'X', 1, false, TSendOutcome::Sent, "@FX", ""},
        {"own dialog in front before the first key", "@FP{ENTER}", 0, 0, true,
         TSendOutcome::NotReached, "", ""},
    };
    for (const Case& c : cases) {
        platform::ScopedFakePlatform s;
        auto& fake = s.fake;
        KeyWait = 0;
        const auto target = fake.AddWindow("plan.jww - jw_win", 7);
        platform::WindowHandle window = 0;
        if (c.windowShownBefore) {
            window = fake.AddWindowAtBottom("jw_win", 7);
            fake.Find(window)->owner = target;
        }
        if (c.after == 0) {
            // Whatever the strip asks, the program keeps its own dialog in front.
            fake.onMessages = [&] { fake.SetForeground(window); };
        }
        int releases = 0;
        fake.onKey = [&](const platform::FakePlatform::KeyEvent& e) {
            if (c.after != 0 && e.vk == c.after && !e.down && ++releases == c.afterCount) {
                if (window == 0) {
                    window = fake.AddWindow("jw_win", 7, true, target);
                }
                fake.BringToTop(window);
                fake.SetForeground(window);
                fake.refuseForeground = 1000000;  // a modal box keeps the front
            }
        };
        TargetWindow = target;
        EXPECT_EQ(SendKeysToTarget(c.script), c.outcome) << c.what;
        std::string toTarget, toWindow;
        for (const auto& k : fake.keys) {
            if (k.down) {
                const char letter = k.vk == 0x12   ? '@'
                                    : k.vk == 0x0D ? '\n'
                                                   : static_cast<char>(k.vk);
                (k.foreground == target ? toTarget : toWindow) += letter;
                EXPECT_TRUE(k.foreground == target || k.foreground == window) << c.what;
            }
        }
        EXPECT_EQ(toTarget, c.toTarget) << c.what;
        EXPECT_EQ(toWindow, c.toWindow) << c.what;
        TargetWindow = 0;
    }
}
