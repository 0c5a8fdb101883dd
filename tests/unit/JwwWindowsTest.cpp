#include <gtest/gtest.h>

#include "jwcad/JwwWindows.h"
#include "keys/SendKey.h"
#include "platform/fake/FakePlatform.h"

namespace {

const std::string kUntitled = "\x96\xb3\x91\xe8";              // 無題
const std::string kDetailJa = "\x8f\xda\x8d\xd7\x90\x7d.jww";  // 詳細図.jww

}  // namespace

TEST(JwwWindows, TitleFilter) {
    struct Case {
        std::string title;
        std::optional<std::string> name;
    };
    const Case cases[] = {
        {"detail.jww - jw_win", "detail.jww"},
        {"DETAIL.JWW - jw_win [extra]", "DETAIL.JWW"},
        {"plan.Jww - jw_win", "plan.Jww"},
        {kDetailJa + " - jw_win", kDetailJa},
        {kUntitled + " - jw_win", std::nullopt},
        {"plan.JWW - JW_WIN", std::nullopt},
        {" - jw_win", std::nullopt},
        {"a - jw_win.jww - jw_win", std::nullopt},
        {"plan.jww.bak - jw_win", std::nullopt},
        {"plan.jwc - jw_win", std::nullopt},
        {"plan - jw_win", std::nullopt},
        {"dir\\.jww\\plan - jw_win", std::nullopt},
        // 表 ends in 0x5C: that byte is no separator, so the dot before it still counts.
        {"a.jww\x95\x5c - jw_win", std::nullopt},
        {"\x95\x5c.jww - jw_win", "\x95\x5c.jww"},
        {"notepad", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JwwFileNameFromTitle(c.title), c.name) << c.title;
    }
}

TEST(JwwWindows, ScanListsVisibleUnownedDrawingsTopmostFirst) {
    platform::ScopedFakePlatform s;
    auto& fake = s.fake;
    auto b = fake.AddWindow("b.jww - jw_win", 2);
    auto owner = fake.AddWindow("tool - jw_win", 3);
    fake.AddWindow("owned.jww - jw_win", 3, true, owner);
    fake.AddWindow("hidden.jww - jw_win", 4, false);
    fake.AddWindow(kUntitled + " - jw_win", 5);
    auto a = fake.AddWindow("a.jww - jw_win", 6);
    auto a2 = fake.AddWindow("a.jww - jw_win", 7);
    // Past byte 254 the title is cut before the marker.
    fake.AddWindow(std::string(250, 'x') + ".jww - jw_win", 8);

    ScanJwwWindows();
    ASSERT_EQ(JwwCount, 3);
    EXPECT_EQ(JwwHandles,
              (std::vector<TJwwHandleField>{{a2, "a.jww"}, {a, "a.jww"}, {b, "b.jww"}}));

    fake.CloseWindow(a);
    fake.CloseWindow(a2);
    fake.CloseWindow(b);
    ScanJwwWindows();
    EXPECT_EQ(JwwCount, 0);
    EXPECT_TRUE(JwwHandles.empty());
}

TEST(JwwWindows, ProcessWindowIsTheFirstVisibleUnownedOne) {
    platform::ScopedFakePlatform s;
    auto& fake = s.fake;
    auto hidden = fake.AddWindow("x", 42, false);
    fake.AddWindow("dialog", 42, true, hidden);
    EXPECT_EQ(FindProcessWindow(42), 0u);
    auto main = fake.AddWindowAtBottom("main", 42);
    fake.AddWindow("other", 43);
    EXPECT_EQ(FindProcessWindow(42), main);
    EXPECT_EQ(ProcessWindow, main);
}

TEST(JwwWindows, JwcadFolderFromTheRegistry) {
    platform::ScopedFakePlatform s;
    const std::string key = "SOFTWARE\\Jw_cad\\jw_win\\";
    EXPECT_EQ(GetJwcadFolder(), "\\");
    s.fake.SetRegistryString(key, "Folder", "File", "C:\\JWW");
    EXPECT_EQ(GetJwcadFolder(), "C:\\JWW\\");
    s.fake.SetRegistryString(key, "Folder", "File", "C:\\JWW\\");
    EXPECT_EQ(GetJwcadFolder(), "C:\\JWW\\\\");
    s.fake.SetRegistryBroken(key, "Folder", "File");
    EXPECT_EQ(GetJwcadFolder(), "");
}

TEST(JwwWindows, PathPartsNeverSplitADoubleByteCharacter) {
    struct Case {
        std::string path, folder, name;
    };
    const Case cases[] = {
        {"C:\\JWW\\plan.jww", "C:\\JWW\\", "plan.jww"},
        {"C:plan.jww", "C:", "plan.jww"},
        {"plan.jww", "", "plan.jww"},
        {"C:\\\x95\x5c\\a.jww", "C:\\\x95\x5c\\", "a.jww"},
        {"C:\\\x95\x5c.jww", "C:\\", "\x95\x5c.jww"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
    }
}
