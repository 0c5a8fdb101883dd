// The one Shift-JIS rule every layer uses: where a double-byte character begins and ends.
#include "platform/Sjis.h"

#include <gtest/gtest.h>

TEST(Sjis, LeadBytesAreExactly80To9FAndE0ToFD) {
    struct Case {
        unsigned char byte;
        bool lead;
    };
    const Case cases[] = {{0x00, false}, {0x5C, false}, {0x7F, false}, {0x80, true},  {0x81, true},
                          {0x9F, true},  {0xA0, false}, {0xB1, false}, {0xDF, false}, {0xE0, true},
                          {0xFC, true},  {0xFD, true},  {0xFE, false}, {0xFF, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsLeadByte(c.byte), c.lead) << std::hex << int(c.byte);
    }
}

TEST(Sjis, CutNeverSplitsADoubleByteCharacter) {
    struct Case {
        std::string text;
        std::size_t maxBytes;
        std::string want;
    };
    const Case cases[] = {
        {"abc", 2, "ab"},
        {"a\x82\xA0\x62", 2, "a"},  // the character at 2 and 3 does not fit
        {"a\x82\xA0\x62", 3, "a\x82\xA0"},
        {"\x80\x41\xFD\x5C", 3, "\x80\x41"},  // both ends of the lead ranges
        {"\xDF\xA0\xFE", 2, "\xDF\xA0"},      // half-width katakana and 0xFE are single
        {"ab\x81", 3, "ab"},                  // a lead byte at the end wants two bytes
        {"ab\x81", 4, "ab\x81"},
        {"abc", 0, ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(CutSjis(c.text, c.maxBytes), c.want) << c.text << " " << c.maxBytes;
    }
}

TEST(Sjis, CharacterStartsAreFoundFromTheFirstByte) {
    // 表 is 95 5C: its "\" is no character of its own.
    const std::string text = "a\x95\x5C\\";
    const bool starts[] = {true, true, false, true, true};
    for (std::size_t at = 0; at <= text.size(); ++at) {
        EXPECT_EQ(IsCharStart(text, at), starts[at]) << at;
    }
}
