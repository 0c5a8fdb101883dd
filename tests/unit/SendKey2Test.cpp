#include "keys/SendKey2.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/fake/FakePlatform.h"

namespace {

using platform::FakePlatform;

// "Alt+ F+ F- Alt- F-": presses and releases in the order they were injected.
std::string Events(const FakePlatform& fake) {
    std::string out;
    for (const auto& e : fake.keys) {
        char name[8];
        if (e.vk == 0x10 || e.vk == 0x11 || e.vk == 0x12) {
            std::snprintf(name, sizeof name, "%s",
                          e.vk == 0x10   ? "Shift"
                          : e.vk == 0x11 ? "Ctrl"
                                         : "Alt");
        } else if ((e.vk >= '0' && e.vk <= '9') || (e.vk >= 'A' && e.vk <= 'Z')) {
            std::snprintf(name, sizeof name, "%c", e.vk);
        } else {
            std::snprintf(name, sizeof name, "%02X", e.vk);
        }
        out += (out.empty() ? "" : " ") + std::string(name) + (e.down ? "+" : "-");
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

}  // namespace
