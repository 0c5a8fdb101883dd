#include "tags/Func_.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/fake/FakePlatform.h"

TEST(Delay, EndsOnceTheCountHasPassedEvenAcrossTheWrap) {
    struct Case {
        std::uint32_t start, ms, end;
        int pumps;
    };
    // 0: pumps once and returns; then: blocks for the rest and pumps again, also when the
    // counter wraps during the wait or start + count wraps below start.
    const Case cases[] = {{1000, 0, 1000, 1},
                          {1000, 500, 1500, 2},
                          {0xFFFFFF00u, 0x200, 0x100, 2},
                          {5, 0xFFFFFFFFu, 4, 2}};
    for (const Case& c : cases) {
        platform::ScopedFakePlatform p;
        p.fake.SetTick(c.start);
        Delay(c.ms);
        EXPECT_EQ(p.fake.GetTickCount(), c.end) << c.start << "+" << c.ms;
        EXPECT_EQ(p.fake.messagePumps, c.pumps) << c.start << "+" << c.ms;
    }
}

TEST(SafeCopy, NeverFailsOnBadBounds) {
    struct Case {
        int from, count;
        const char* want;
    };
    // clang-format off
    const Case cases[] = {{0, 3, "abc"}, {-5, 2, "ab"}, {5, 10, "ef"}, {7, 1, ""}, {2, 0, ""},
                          {6, 1, "f"}, {1, 2147483647, "abcdef"}};
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(SafeCopy("abcdef", c.from, c.count), c.want) << c.from << "," << c.count;
    }
    EXPECT_EQ(SafeCopy("", 1, 1), "");
}

TEST(MbcsCopy, NeverSplitsADoubleByteCharacter) {
    const std::string a{'a', '\x82', '\xA0', 'b'};
    struct Case {
        std::string text;
        int start, limit;
        std::string want;
        int taken;
    };
    // clang-format off
    const Case cases[] = {
        {a, 1, 2, "a", 1}, {a, 2, 2, "\x82\xA0", 2}, {a, 3, 2, "b", 1},  // 3 is a second byte
        {a, 5, 2, "", 0}, {a, 0, 2, "", 0}, {a, 1, 0, "", 0},
        {"ab\x81", 1, 3, "ab", 2}, {"ab\x81", 1, 4, "ab\x81", 4},  // a trailing lead byte
        {"\x80\x41\xFD\x42", 1, 4, "\x80\x41\xFD\x42", 4},       // 0x80 and 0xFD lead too
        {std::string(79, 'n') + "\x82\xA0", 1, 80, std::string(79, 'n'), 79}};
    // clang-format on
    for (const Case& c : cases) {
        int taken = -1;
        EXPECT_EQ(MbcsCopy(c.text, c.start, c.limit, taken), c.want) << c.start << "/" << c.limit;
        EXPECT_EQ(taken, c.taken) << c.start << "/" << c.limit;
    }
}

TEST(StrToIntZero, ReadsWholeTextOrGivesZero) {
    // clang-format off
    const std::pair<const char*, std::int32_t> cases[] = {
        {"12", 12}, {"  12", 12}, {"12 ", 0}, {"+7", 7}, {"-7", -7}, {"007", 7},
        {"2147483648", 0}, {"-2147483648", -2147483647 - 1}, {"99999999999999999999", 0},
        {"$1F", 31}, {"x1F", 31}, {"0x1f", 31}, {"-$10", 16}, {"$FFFFFFFF", -1},
        {"$000000001", 1}, {"$100000000", 0}, {"0x", 0}, {"1.5", 0}, {"abc", 0}, {"-", 0},
        {"   ", 0}, {"", 0}, {"+-1", 0}};
    // clang-format on
    for (const auto& [text, want] : cases) {
        EXPECT_EQ(StrToIntZero(text), want) << '"' << text << '"';
    }
}

TEST(StrToFloatZero, ReadsWholeTextOrGivesZero) {
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {"0.5", 0.5}, {"  0.5", 0.5}, {".5", 0.5}, {"5.", 5}, {"1e3", 1000}, {"-2.5E-1", -0.25},
        {".", 0}, {"-.", 0}, {"0,5", 0}, {"1e", 0}, {"0.5 ", 0}, {"$10", 0}, {"", 0}, {"-", 0},
        {" ", 0}, {"1e-400", 0}, {"1.7976931348623157e308", 1.7976931348623157e308}};
    // clang-format on
    for (const auto& [text, want] : cases) {
        EXPECT_EQ(StrToFloatZero(text), want) << '"' << text << '"';
    }
    for (const char* text : {"1e400", "-1e309", "1e99999999999999999999", "0.001e312"}) {
        EXPECT_THROW(StrToFloatZero(text), FloatOverflowError) << text;
    }
}

// At the ends of the range: the sign of a written zero, the subnormals, what underflows, and
// the texts of the smallest values, exact to the last bit and byte.
TEST(StrToFloatZero, ZerosSubnormalsAndUnderflowKeepTheirBits) {
    const double smallest = std::numeric_limits<double>::denorm_min();
    const double minNormal = std::numeric_limits<double>::min();
    const std::pair<const char*, double> cases[] = {
        {"-0", -0.0},
        {"-0.000", -0.0},
        {"0e-999", 0.0},
        {"-1e-400", 0.0},  // underflow reads as 0, without the sign
        {"2e-324", 0.0},
        {"3e-324", smallest},
        {"-4.9e-324", -smallest},
        {"1e-310", 1e-310},
        {"2.2250738585072014e-308", minNormal},
        {"2.2250738585072011e-308", std::nextafter(minNormal, 0.0)},
        {"00012.500", 12.5},
        {"123456789012345678901234567890", 1.2345678901234568e29},
    };
    for (const auto& [text, want] : cases) {
        const double got = StrToFloatZero(text);
        EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0)
            << '"' << text << "\" " << got << " wanted " << want;
    }
}

TEST(FloatToText, SmallestValuesAndRoundingAtTheFifteenthDigit) {
    const std::pair<double, const char*> cases[] = {
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {std::numeric_limits<double>::min(), "2.2250738585072E-308"},
        {1e-310, "9.99999999999997E-311"},  // a subnormal keeps fewer bits than 15 digits say
        {0.000123456789012345678, "0.000123456789012346"},
        {123456789012345.6, "123456789012346"},
        {999999999999999.5, "1E15"},
        {0.30000000000000004, "0.3"},
        {-2.5e-7, "-2.5E-7"},
    };
    for (const auto& [value, want] : cases) {
        EXPECT_EQ(FloatToText(value), want) << value;
    }
}

TEST(FloatToText, ShortestGeneralForm) {
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {0.5, "0.5"}, {1, "1"}, {0.25, "0.25"}, {0, "0"}, {2.5, "2.5"}, {0.1, "0.1"},
        {-0.5, "-0.5"}, {100, "100"}, {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"},
        {0.00001, "0.00001"}, {0.000001, "1E-6"}, {1.23e-7, "1.23E-7"},
        {123456789012345, "123456789012345"}, {1e15, "1E15"}, {1.5e20, "1.5E20"}};
    // clang-format on
    for (const auto& [value, want] : cases) {
        EXPECT_EQ(FloatToText(value), want) << want;
    }
    // Every value the settings dialog can produce reads back as itself.
    for (int ms = 0; ms <= 60000; ++ms) {
        const std::string text = FloatToText(ms / 1000.0);
        ASSERT_EQ(text.find('E'), std::string::npos) << ms;
        ASSERT_EQ(std::nearbyint(StrToFloatZero(text) * 1000), ms) << text;
    }
}

// Rounded to 15 digits, the largest doubles would come out beyond the range of a double, and
// the file holding them could not be read back: they keep the largest text that can.
TEST(FloatToText, TheLargestDoublesReadBack) {
    const double max = std::numeric_limits<double>::max();
    const std::pair<double, const char*> cases[] = {
        {max, "1.79769313486231E308"},
        {-max, "-1.79769313486231E308"},
        {std::nextafter(max, 0.0), "1.79769313486231E308"},
        {1.797693134862315e308, "1.79769313486231E308"},
        {1.79769313486231e308, "1.79769313486231E308"},
        {1.79769313486230e308, "1.7976931348623E308"},
        {9.99999999999999e307, "9.99999999999999E307"}};
    for (const auto& [value, want] : cases) {
        EXPECT_EQ(FloatToText(value), want) << value;
        EXPECT_NO_THROW(StrToFloatZero(want)) << want;
    }
}

// The one rounding from seconds to milliseconds: the settings dialog, its exchange with the
// strip and the key runner's wait all use it.
TEST(SecondsToMs, RoundsHalvesToEvenAndFitsEveryDoubleIntoRange) {
    const struct {
        double seconds;
        std::int32_t ms;
    } cases[] = {
        {0.0005, 0},
        {0.0015, 2},
        {0.0025, 2},
        {0.0035, 4},
        {0.5, 500},
        {60, 60000},
        {0.0004, 0},
        {0.0006, 1},
        {2.5, 2500},
        {0.1, 100},
        {59.9999, 60000},
        {0.00049, 0},
        {0, 0},
        {-0.0005, 0},
        {-0.0015, -2},
        {-1, -1000},
        {NAN, 0},
        {2147483.647, 2147483647},
        {2147483.6475, 2147483647},
        {1e300, 2147483647},
        {INFINITY, 2147483647},
        {-2147483.648, INT32_MIN},
        {-1e300, INT32_MIN},
        {-INFINITY, INT32_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SecondsToMs(c.seconds), c.ms) << c.seconds;
    }
}

TEST(UpperSjis, OnlyAsciiLettersOutsideDoubleByteCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"c:\\jww\\plan.jww", "C:\\JWW\\PLAN.JWW"},
        {"\x83\x61x", "\x83\x61X"},  // trail byte 'a' stays
        {"\x95\\a", "\x95\\A"},      // 表: trail byte '\'
        {"\xB1z", "\xB1Z"},          // half-width katakana
        {"z\x81", "Z\x81"},          // a lead byte at the end
        {"\xFD\x7Az", "\xFD\x7AZ"}};
    for (const auto& [text, want] : cases) {
        EXPECT_EQ(UpperSjis(text), want);
    }
}
