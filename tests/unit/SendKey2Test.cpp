#include "keys/SendKey2.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/fake/FakePlatform.h"

namespace {

using platform::FakePlatform;

// Shift, Ctrl and Alt by name, each side of them and the Windows keys too, letters and digits
// as themselves, any other code in hex.
std::string KeyName(std::uint8_t vk) {
    const struct {
        std::uint8_t vk;
        const char* name;
    } names[] = {{0x10, "Shift"},  {0x11, "Ctrl"},  {0x12, "Alt"},   {0xA0, "LShift"},
                 {0xA1, "RShift"}, {0xA2, "LCtrl"}, {0xA3, "RCtrl"}, {0xA4, "LAlt"},
                 {0xA5, "RAlt"},   {0x5B, "LWin"},  {0x5C, "RWin"}};
    for (const auto& n : names) {
        if (n.vk == vk) {
            return n.name;
        }
    }
    char name[4];
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        std::snprintf(name, sizeof name, "%c", vk);
    } else {
        std::snprintf(name, sizeof name, "%02X", vk);
    }
    return name;
}

// "Alt+ F+ F- Alt- F-": presses and releases in the order they were injected.
std::string Events(const FakePlatform& fake) {
    std::string out;
    for (const auto& e : fake.keys) {
        out += (out.empty() ? "" : " ") + KeyName(e.vk) + (e.down ? "+" : "-");
    }
    return out;
}

// The keys down now, by name: "LCtrl LShift".
std::string KeysDown(const FakePlatform& fake) {
    std::string out;
    for (std::uint8_t vk : fake.KeysDown()) {
        out += (out.empty() ? "" : " ") + KeyName(vk);
    }
    return out;
}

TEST(SendKeyGroup, SendsTheKeysOfOneGroup) {
    const struct {
        const char* group;
        bool ok;
        const char* events;
    } cases[] = {
        {"@F", true, "Alt+ F+ F- Alt- F-"},
        {"P", true, "P+ P- P-"},
        {"{enter}", true, "0D+ 0D- 0D-"},
        {"@{F4}", true, "Alt+ 73+ 73- Alt- 73-"},
        // Released Ctrl, Alt, Shift whatever the press order.
        {"^@~X", true, "Ctrl+ Alt+ Shift+ X+ X- Ctrl- Alt- Shift- X-"},
        {"~^A", true, "Shift+ Ctrl+ A+ A- Ctrl- Shift- A-"},
        {"@", true, "Alt+ Alt- Alt-"},
        // A modifier covers the next ordinary key only; letters are never shifted.
        {"^aB", true, "Ctrl+ A+ A- Ctrl- B+ B- B-"},
        {"{SHIFT}", true, "Shift+ Shift- Shift-"},
        {"{^}X", true, "Ctrl+ X+ X- Ctrl- X-"},
        // Unknown names press their first character.
        {"{F13}", true, "F+ F- F-"},
        {"{ESCAPEX}", true, "E+ E- E-"},
        {"{ENT", true, "E+ E- E-"},
        {".,+", true, "6E+ 6E- BC+ BC- 6B+ 6B- 6B-"},
        {" -", true, "20+ 20- 6D+ 6D- 6D-"},
        // An empty name stops the group, and what it pressed goes up again.
        {"{}", false, ""},
        {"@{}", false, "Alt+ Alt- Alt-"},
        {"~^{", false, "Shift+ Ctrl+ Ctrl- Ctrl- Shift-"},
        {"A{}B", false, "A+ A- A-"},
    };
    for (const auto& c : cases) {
        FakePlatform fake;
        platform::SetCurrent(&fake);
        EXPECT_EQ(SendKeyGroup(c.group), c.ok) << c.group;
        EXPECT_EQ(Events(fake), c.events) << c.group;
    }
    platform::SetCurrent(nullptr);
}

TEST(SendKeyGroup, FailingInjectionStillReleasesTheModifiers) {
    platform::ScopedFakePlatform os;
    bool thrown = false;
    os.fake.onKey = [&](const FakePlatform::KeyEvent& e) {
        if (e.vk == 'F' && e.down && !thrown) {
            thrown = true;
            throw std::runtime_error("injection failed");
        }
    };
    EXPECT_THROW(SendKeyGroup("^@F"), std::runtime_error);
    EXPECT_EQ(Events(os.fake), "Ctrl+ Alt+ F+ F- Ctrl- Alt-");
}

// The keys still down after the events, as the system keeps them: the last event of a key wins.
std::string HeldDown(const FakePlatform& fake) {
    bool down[256] = {};
    for (const auto& e : fake.keys) {
        down[e.vk] = e.down;
    }
    std::string held;
    for (int vk = 0; vk < 256; ++vk) {
        if (down[vk]) {
            char name[4];
            std::snprintf(name, sizeof name, "%02X", vk);
            held += (held.empty() ? "" : " ") + std::string(name);
        }
    }
    return held;
}

// Whichever key event fails, and a release is no exception, every other key the group pressed
// still goes up: a failing Alt release used to leave Shift down, and a failing release of the
// group's last key every modifier.
TEST(SendKeyGroup, AFailingEventLeavesNoOtherKeyDown) {
    const char* groups[] = {"^@~X", "@{~}", "^^^^", "~^A", "@F", "^@~{}", "{SHIFT}"};
    for (const char* group : groups) {
        const std::size_t events = [&] {
            platform::ScopedFakePlatform os;
            SendKeyGroup(group);
            return os.fake.keys.size();
        }();
        for (std::size_t failing = 0; failing < events; ++failing) {
            platform::ScopedFakePlatform os;
            bool thrown = false;
            os.fake.onKey = [&](const FakePlatform::KeyEvent&) {
                if (os.fake.keys.size() == failing + 1 && !thrown) {
                    thrown = true;
                    throw std::runtime_error("injection failed");
                }
            };
            EXPECT_THROW(SendKeyGroup(group), std::runtime_error) << group << " " << failing;
            EXPECT_EQ(HeldDown(os.fake), "")
                << group << ", event " << failing << " failing: " << Events(os.fake);
        }
    }
}

TEST(SendKeyGroup, AFailingModifierReleaseStillReleasesTheOthers) {
    platform::ScopedFakePlatform os;
    bool thrown = false;
    os.fake.onKey = [&](const FakePlatform::KeyEvent& e) {
        if (e.vk == 0x12 && !e.down && !thrown) {
            thrown = true;
            throw std::runtime_error("injection failed");
        }
    };
    EXPECT_THROW(SendKeyGroup("^@~X"), std::runtime_error);
    EXPECT_EQ(Events(os.fake), "Ctrl+ Alt+ Shift+ X+ X- Ctrl- Alt- Shift- X-");
}

// A hand still on the keyboard: the group reaches the window without the user's modifiers, and
// Shift and Ctrl are down again afterwards. Alt and the Windows keys stay up: pressed again, they
// would close the menu the group opened and arm the menu bar or Start menu for the user's release.
TEST(SendKeyGroup, KeysTheUserHoldsAreLetGoForTheGroup) {
    const struct {
        std::vector<std::uint8_t> held;
        const char* group;
        const char* events;
        const char* after;
    } cases[] = {
        {{}, "@F", "Alt+ F+ F- Alt- F-", ""},
        {{0xA2}, "@F", "LCtrl- Alt+ F+ F- Alt- F- LCtrl+", "LCtrl"},
        {{0xA0}, "P", "LShift- P+ P- P- LShift+", "LShift"},
        {{0xA2, 0xA0}, "{ENTER}", "LCtrl- LShift- 0D+ 0D- 0D- LShift+ LCtrl+", "LShift LCtrl"},
        // The group's own modifier is its to press and release; an injected one is the left key,
        // so a right one held is foreign to it.
        {{0xA2}, "^AB", "Ctrl+ A+ A- Ctrl- B+ B- B- LCtrl+", "LCtrl"},
        {{0xA3}, "^A", "RCtrl- Ctrl+ A+ A- Ctrl- A- RCtrl+", "RCtrl"},
        {{0xA1}, "~{TAB}", "RShift- Shift+ 09+ 09- Shift- 09- RShift+", "RShift"},
        {{0xA4}, "@F", "Alt+ F+ F- Alt- F-", ""},
        {{0xA4}, "P", "LAlt- P+ P- P-", ""},
        {{0xA5, 0xA2}, "P", "RAlt- LCtrl- P+ P- P- LCtrl+", "LCtrl"},
        {{0x5B}, "{ENTER}", "LWin- 0D+ 0D- 0D-", ""},
        // A key before the group's modifier must not meet the user's.
        {{0xA2}, "A^B", "LCtrl- A+ A- Ctrl+ B+ B- Ctrl- B- LCtrl+", "LCtrl"},
        // A group that stops gives the keys back all the same.
        {{0xA2}, "{}", "LCtrl- LCtrl+", "LCtrl"},
    };
    for (const auto& c : cases) {
        platform::ScopedFakePlatform os;
        for (std::uint8_t vk : c.held) {
            os.fake.HoldKey(vk);
        }
        SendKeyGroup(c.group);
        EXPECT_EQ(Events(os.fake), c.events) << c.group;
        EXPECT_EQ(KeysDown(os.fake), c.after) << c.group;
    }
}

TEST(SendKeyGroup, AFailingEventStillGivesTheHeldKeysBack) {
    for (std::size_t failing = 0; failing < 7; ++failing) {
        platform::ScopedFakePlatform os;
        os.fake.HoldKey(0xA2);
        bool thrown = false;
        os.fake.onKey = [&](const FakePlatform::KeyEvent&) {
            if (os.fake.keys.size() == failing + 1 && !thrown) {
                thrown = true;
                throw std::runtime_error("injection failed");
            }
        };
        EXPECT_THROW(SendKeyGroup("@F"), std::runtime_error) << failing;
        EXPECT_EQ(KeysDown(os.fake), "LCtrl") << failing << ": " << Events(os.fake);
    }
}

}  // namespace
