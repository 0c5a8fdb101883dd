#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/logic/Geometry.h"
#include "app/logic/Layout.h"
#include "tags/Settings.h"

namespace {

using geometry::Box;

struct Named {
    const char* name;
    Box box;
};

bool Inside(const Box& inner, const Box& outer) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

bool Overlap(const Box& a, const Box& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

Box ClientOf(const Box& window) {
    return {0, 0, window.width, window.height};
}

std::vector<Named> SettingsControls() {
    namespace g = geometry::settings;
    return {{"direction group", g::kDirectionGroup},
            {"interval label", g::kIntervalLabel},
            {"interval field", g::kIntervalEdit},
            {"interval unit", g::kIntervalUnit},
            {"key wait label", g::kKeyWaitLabel},
            {"key wait field", g::kKeyWaitEdit},
            {"key wait unit", g::kKeyWaitUnit},
            {"maximise box", g::kMaximize},
            {"OK", g::kOk},
            {"Cancel", g::kCancel}};
}

std::vector<Named> TagNameControls() {
    namespace g = geometry::tagname;
    return {{"prompt", g::kPrompt}, {"name", g::kName}, {"OK", g::kOk}, {"Cancel", g::kCancel}};
}

std::vector<Named> TagListButtons() {
    namespace g = geometry::taglist;
    std::vector<Named> buttons;
    for (const g::ButtonSpan& b : g::kButtons) {
        buttons.push_back({"button", {b.left, g::kButtonTop, b.width, g::kButtonHeight}});
    }
    return buttons;
}

}  // namespace

// A window opens where the settings file's defaults put it, so a first start and a start
// without a settings file look the same.
TEST(Geometry, SettingsDefaultsAreTheDesignedPlaces) {
    const TSettings s;
    const Box& strip = geometry::kStrip;
    EXPECT_EQ(s.Form1Left, strip.left);
    EXPECT_EQ(s.Form1Top, strip.top);
    EXPECT_EQ(s.Form1Width, strip.width);
    EXPECT_EQ(s.Form1Height, strip.height);
    EXPECT_EQ(s.Form2Left, geometry::settings::kWindow.left);
    EXPECT_EQ(s.Form2Top, geometry::settings::kWindow.top);
    EXPECT_EQ(s.Form3Left, geometry::tagname::kWindow.left);
    EXPECT_EQ(s.Form3Top, geometry::tagname::kWindow.top);
    const Box& list = geometry::taglist::kWindow;
    EXPECT_EQ(s.Form4Left, list.left);
    EXPECT_EQ(s.Form4Top, list.top);
    EXPECT_EQ(s.Form4Width, list.width);
    EXPECT_EQ(s.Form4Height, list.height);
    EXPECT_EQ(s.Col0Width, geometry::taglist::kCol0Width);
    EXPECT_EQ(s.Col1Width, geometry::taglist::kCol1Width);
}

// Every control of a dialog is whole within the client area and covers no other: a place
// typed wrong would clip a control or hide one under another.
TEST(Geometry, DialogControlsFitAndDoNotOverlap) {
    struct Case {
        const char* dialog;
        Box client;
        std::vector<Named> controls;
    };
    namespace t = geometry::taglist;
    const Case cases[] = {
        {"settings", ClientOf(geometry::settings::kWindow), SettingsControls()},
        {"tag name", ClientOf(geometry::tagname::kWindow), TagNameControls()},
        {"tag list panel", {0, 0, t::kWindow.width, t::kPanelHeight}, TagListButtons()},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < c.controls.size(); ++i) {
            const Named& a = c.controls[i];
            EXPECT_TRUE(Inside(a.box, c.client)) << c.dialog << ": " << a.name;
            for (std::size_t j = i + 1; j < c.controls.size(); ++j) {
                EXPECT_FALSE(Overlap(a.box, c.controls[j].box))
                    << c.dialog << ": " << a.name << " and " << c.controls[j].name;
            }
        }
    }
}

// The buttons of both dialogs sit below their raised panel, the fields on it.
TEST(Geometry, PanelsEndAboveTheButtons) {
    namespace s = geometry::settings;
    namespace n = geometry::tagname;
    EXPECT_LE(s::kPanel.top + s::kPanel.height, s::kOk.top);
    EXPECT_LE(s::kPanel.top + s::kPanel.height, s::kCancel.top);
    EXPECT_TRUE(Inside(s::kMaximize, s::kPanel));
    EXPECT_LE(n::kPanel.top + n::kPanel.height, n::kOk.top);
    EXPECT_TRUE(Inside(n::kName, n::kPanel));
}

// The four directions share the group's inside, side by side, as a radio group lays them out.
TEST(Geometry, DirectionRadiosShareTheGroupSideBySide) {
    namespace g = geometry::settings;
    constexpr int kCount = 4;
    for (int i = 0; i < kCount; ++i) {
        const Box radio = g::Radio(i, kCount);
        EXPECT_TRUE(Inside(radio, g::kDirectionGroup)) << i;
        if (i > 0) {
            const Box before = g::Radio(i - 1, kCount);
            EXPECT_EQ(before.left + before.width, radio.left) << i;
            EXPECT_EQ(before.top, radio.top) << i;
        }
    }
    EXPECT_EQ(g::Radio(0, kCount).left, 16);
    EXPECT_EQ(g::Radio(0, kCount).width, 65);
}

// At its designed size, with the tags above or below, the strip holds its seven buttons whole
// (a column of them, for tags at the side, needs the strip made taller).
TEST(Geometry, StripButtonsFitTheDesignedStrip) {
    const Box& strip = geometry::kStrip;
    const Box client{0, 0, strip.width, strip.height};
    constexpr int kSize = geometry::kStripButtonSize;
    for (int direction : {0, 1}) {
        const TStripLayout layout = LayoutFor(direction, strip.width, strip.height);
        for (int k = 1; k <= kButtonCount; ++k) {
            int left = 0;
            int top = 0;
            ButtonPosition(layout, k, left, top);
            EXPECT_TRUE(Inside({left, top, kSize, kSize}, client))
                << "direction " << direction << " button " << k;
        }
    }
}
