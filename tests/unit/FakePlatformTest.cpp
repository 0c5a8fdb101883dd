// The fake desktop is the ground every native test stands on; pin the behaviour the tests
// rely on where it imitates a Win32 rule.
#include <gtest/gtest.h>

#include "platform/fake/FakePlatform.h"

using platform::FakePlatform;

TEST(FakePlatform, TitleIsCutLikeGetWindowTextA) {
    FakePlatform fake;
    auto w = fake.AddWindow(std::string(300, 'a'));
    EXPECT_EQ(fake.GetWindowText(w, 255).size(), 254u);
    EXPECT_EQ(fake.GetWindowText(w, 1), "");
}

TEST(FakePlatform, NewWindowsStackOnTopAndForegroundRaises) {
    FakePlatform fake;
    auto a = fake.AddWindow("a");
    auto b = fake.AddWindow("b");
    EXPECT_EQ(fake.ZOrder(), (std::vector<platform::WindowHandle>{b, a}));
    fake.SetForegroundWindow(a);
    EXPECT_EQ(fake.ZOrder().front(), a);
    EXPECT_EQ(fake.GetForegroundWindow(), a);
}

TEST(FakePlatform, FilesAreCaseInsensitiveButNeverTouchTrailBytes) {
    FakePlatform fake;
    // "\x83\x61" is a double-byte character whose trail byte is 'a'.
    fake.PutFile("C:\\x\\\x83\x61.tag", "1");
    EXPECT_TRUE(fake.FileExists("c:\\X\\\x83\x61.TAG"));
    EXPECT_FALSE(fake.FileExists("C:\\x\\\x83\x41.tag"));
}
