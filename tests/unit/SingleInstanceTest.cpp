// The mutex that keeps a second start of one copy from running beside the first.
#include <gtest/gtest.h>

#include "app/logic/SingleInstance.h"

namespace {

TEST(InstanceMutexName, OneNamePerCopyWhateverTheCase) {
    const std::string a = InstanceMutexName("C:\\Tools\\quillbox.exe");
    EXPECT_EQ(a.rfind("Local\\Quillbox-", 0), 0u);
    EXPECT_EQ(a.size(), std::string("Local\\Quillbox-").size() + 16);
    EXPECT_EQ(InstanceMutexName("c:\\TOOLS\\Quillbox.EXE"), a);
    EXPECT_EQ(InstanceMutexName("C:\\Tools\\quillbox.exe"), a);  // stable

    const struct {
        const char* what;
        std::string path;
    } others[] = {
        {"another folder", "C:\\Tools2\\quillbox.exe"},
        {"another name", "C:\\Tools\\quillbox2.exe"},
        {"no path at all", ""},
    };
    for (const auto& o : others) {
        EXPECT_NE(InstanceMutexName(o.path), a) << o.what;
    }
}

TEST(InstanceMutexName, DoubleByteCharactersAreNotUpperCasedInside) {
    // "ソa" is 83 5C 61: the trail byte 5C and the letter after it; "ソA" is another folder only
    // in its ASCII letter, which Windows matches without case.
    const std::string so = "\x83\x5C";
    EXPECT_EQ(InstanceMutexName("C:\\" + so + "a\\q.exe"),
              InstanceMutexName("C:\\" + so + "A\\q.exe"));
    // The lead byte 82 with trail 61 ("ａ" is 82 81; 82 61 is another character than 82 41).
    EXPECT_NE(InstanceMutexName("C:\\\x82\x61\\q.exe"), InstanceMutexName("C:\\\x82\x41\\q.exe"));
}

}  // namespace
