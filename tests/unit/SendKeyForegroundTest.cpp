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
