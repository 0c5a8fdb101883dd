// The fake desktop is the ground every native test stands on; pin the behaviour the tests
// rely on where it imitates a Win32 rule.
#include <gtest/gtest.h>

#include "platform/Sjis.h"
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

// The fake reads characters as the program does: 0x80 and 0xFD lead a double-byte character,
// 0xFE does not. A test can then never pass on a file name or title the program reads apart.
TEST(FakePlatform, AgreesWithTheProgramOnEveryLeadByte) {
    for (unsigned c = 0x40; c <= 0xFF; ++c) {
        const auto lead = static_cast<char>(c);
        FakePlatform fake;
        fake.PutFile(std::string("C:\\") + lead + "a.tag", "1");
        // Upper-casing "a" is right only when it is a character of its own.
        const std::string upper = UpperSjis(std::string("C:\\") + lead + "a.tag");
        EXPECT_TRUE(fake.FileExists(upper)) << std::hex << c;
        EXPECT_EQ(fake.FileExists(std::string("C:\\") + lead + "A.TAG"), !IsLeadByte(lead))
            << std::hex << c;

        const auto w = fake.AddWindow(std::string(253, 'x') + lead + "y");
        EXPECT_EQ(fake.GetWindowText(w, 255), CutSjis(std::string(253, 'x') + lead + "y", 254))
            << std::hex << c;
    }
}

TEST(FakePlatform, TitleIsCutAtACharacterBoundary) {
    FakePlatform fake;
    const auto w = fake.AddWindow(std::string(253, 'a') + "\x82\xA0");
    EXPECT_EQ(fake.GetWindowText(w, 255), std::string(253, 'a'));
    const auto edge = fake.AddWindow(std::string(253, 'a') + "\xFD\x41");
    EXPECT_EQ(fake.GetWindowText(edge, 255), std::string(253, 'a'));
}
