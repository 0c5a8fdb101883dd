// The script runner over arbitrary script bytes on the fake desktop: every run ends, and no key
// is left down afterwards, least of all a modifier, which would turn the user's next keys into
// shortcuts.
//
// Each group presses and releases its own keys (a key pressed twice is still one key down), so
// the keyboard is read as the system keeps it: down or up per key, the last event winning.
// Long pauses cost nothing here, since a wait on the fake only moves its clock; a long repeat
// count is cut short by a budget of key events, spent the ways a real run is cut short: the
// runner's own check before a group, the target losing the front for good, or a key event that
// fails.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

#include "FuzzCheck.h"
#include "keys/SendKey.h"
#include "platform/fake/FakePlatform.h"

namespace {

constexpr std::size_t kKeyBudget = 4096;

constexpr std::uint8_t kVkShift = 0x10;
constexpr std::uint8_t kVkControl = 0x11;
constexpr std::uint8_t kVkMenu = 0x12;

void CheckNothingLeftDown(const platform::FakePlatform& fake) {
    std::array<bool, 256> down{};
    for (const platform::FakePlatform::KeyEvent& e : fake.keys) {
        down[e.vk] = e.down;
    }
    const std::size_t n = fake.keys.size();
    for (std::size_t vk = 0; vk < down.size(); ++vk) {
        if (down[vk]) {
            std::fprintf(stderr, "key 0x%02zX left down; the last events:\n", vk);
            for (std::size_t i = n < 16 ? 0 : n - 16; i < n; ++i) {
                std::fprintf(stderr, "  0x%02X %s\n", fake.keys[i].vk,
                             fake.keys[i].down ? "down" : "up");
            }
        }
    }
    FUZZ_CHECK(!down[kVkShift] && !down[kVkControl] && !down[kVkMenu]);
    for (std::size_t vk = 0; vk < down.size(); ++vk) {
        FUZZ_CHECK(!down[vk]);
    }
}

// Key waits a hand-edited settings file may hold, besides the usual none.
constexpr double kKeyWaits[] = {
    0, 0, 0, 0.001, -1, 1e300, std::numeric_limits<double>::quiet_NaN()};

struct Budget : std::runtime_error {
    Budget() : std::runtime_error("key budget spent") {}
};

void RunPlayKeys(const std::string& script) {
    platform::ScopedFakePlatform p;
    KeyWait = 0;
    PlayKeys(script, [&p] { return p.fake.keys.size() < kKeyBudget; });
    CheckNothingLeftDown(p.fake);
}

void RunSendKeysToTarget(const std::string& script) {
    // The variations follow from the script, so every input replays the same way.
    const std::size_t h = std::hash<std::string>{}(script);
    platform::ScopedFakePlatform p;
    platform::FakePlatform& fake = p.fake;
    fake.AddWindow("other - jw_win", 7);
    const platform::WindowHandle target = fake.AddWindow("a.jww - jw_win", 9);
    fake.AddWindow("印刷", 9, true, target);  // a dialog of the target's own
    fake.SetForeground(0);
    if ((h >> 3) & 1) {
        fake.ShowWindow(target, platform::kSwMinimize);
    }
    TargetWindow = target;
    MaximizeOnSend = static_cast<std::int32_t>(h % 3);
    KeyWait = kKeyWaits[(h >> 4) % std::size(kKeyWaits)];

    // For a moment no window in front, once, at some key event: the runner asks the target back.
    const std::size_t flicker = (h >> 8) % 64;
    const bool throwAtBudget = (h >> 16) & 1;
    bool thrown = false;
    fake.onKey = [&](const platform::FakePlatform::KeyEvent&) {
        const std::size_t n = fake.keys.size();
        if (n == flicker) {
            fake.SetForeground(0);
        }
        if (n < kKeyBudget) {
            return;
        }
        if (throwAtBudget) {
            if (!thrown) {
                thrown = true;
                throw Budget();
            }
        } else {
            // The user takes the front for good.
            fake.SetForeground(0);
            fake.refuseForeground = std::numeric_limits<int>::max();
        }
    };
    SendKeysToTarget(script);
    fake.onKey = nullptr;
    CheckNothingLeftDown(fake);
    TargetWindow = 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    RunPlayKeys(script);
    RunSendKeysToTarget(script);
    return 0;
}
