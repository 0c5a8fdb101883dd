// The float text conversions against the C library of this build, which rounds exactly, at the
// points where rounding is hardest: halfway between two doubles, just above and just below.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "tags/Func_.h"

namespace {

std::string Exact(long double value) {
    // Every digit of a number this long double can hold: at most 1,100 after the point.
    char text[1200];
    std::snprintf(text, sizeof text, "%.1100Le", value);
    return text;
}

void ExpectSameBits(const std::string& text) {
    const double want = std::strtod(text.c_str(), nullptr);
    const double got = StrToFloatZero(text);
    EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0)
        << text.substr(0, 40) << "... (" << text.size() << " characters) gave " << got
        << ", the C library " << want;
}

}  // namespace

TEST(DecimalFloat, HalfwayBetweenTwoDoublesAndEitherSideOfIt) {
    static_assert(std::numeric_limits<long double>::digits >= 64,
                  "the midpoints of doubles need a wider type");
    const double max = std::numeric_limits<double>::max();
    const double minNormal = std::numeric_limits<double>::min();
    const double denormMin = std::numeric_limits<double>::denorm_min();
    const double values[] = {denormMin,
                             2 * denormMin,
                             3 * denormMin,
                             std::nextafter(minNormal, 0.0),
                             minNormal,
                             1e-300,
                             0.1,
                             1,
                             3,
                             9007199254740992.0,  // 2^53, where the spacing becomes 2
                             1e23,
                             1e300,
                             std::nextafter(max, 0.0)};
    for (const double low : values) {
        const double high = std::nextafter(low, max);
        const long double mid = (static_cast<long double>(low) + high) / 2;
        const std::string tie = Exact(mid);
        ExpectSameBits(tie);
        // Just above: one more digit, far beyond the ones that decide most numbers.
        std::string above = tie;
        above.insert(above.find('e'), "1");
        ExpectSameBits(above);
        ExpectSameBits(Exact(std::nextafter(mid, 0.0L)));
        ExpectSameBits(Exact(low));
    }
    // Below half the smallest subnormal, and a hair above it.
    ExpectSameBits(Exact(static_cast<long double>(denormMin) / 2));
    ExpectSameBits(Exact(std::nextafter(static_cast<long double>(denormMin) / 2, 1.0L)));
    ExpectSameBits(Exact(std::nextafter(static_cast<long double>(denormMin) / 2, 0.0L)));
}

TEST(DecimalFloat, DigitsBeyondTheDecidingOnesStillCount) {
    // 2^53 + 1 is halfway between 2^53 and 2^53 + 2: a tie goes to the even one, anything
    // more, however far down, to the one above.
    const std::string tie = "9007199254740993";
    const std::pair<std::string, double> cases[] = {
        {tie, 9007199254740992.0},
        {tie + "." + std::string(2000, '0'), 9007199254740992.0},
        {tie + "." + std::string(2000, '0') + "1", 9007199254740994.0},
        {"0." + std::string(900, '0') + tie + "e916", 9007199254740992.0},
        {"9007199254740995", 9007199254740996.0},
        {"1" + std::string(1000, '0') + "e-1000", 1.0},
        {"17976931348623158" + std::string(292, '0'), std::numeric_limits<double>::max()},
    };
    for (const auto& [text, want] : cases) {
        EXPECT_EQ(StrToFloatZero(text), want) << text.substr(0, 40);
    }
    // Halfway above the largest double rounds up beyond the range.
    EXPECT_THROW(StrToFloatZero("17976931348623159" + std::string(292, '0')), FloatOverflowError);
}

TEST(DecimalFloat, TiesAtTheFifteenthDigitGoToEven) {
    // Integers of 16 digits a double holds exactly: the 16th digit is a true half.
    const std::pair<double, const char*> cases[] = {
        {1234567890123455.0, "1.23456789012346E15"},
        {1234567890123445.0, "1.23456789012344E15"},
        {8999999999999995.0, "9E15"},
        {1000000000000005.0, "1E15"},
        {1000000000000015.0, "1.00000000000002E15"},
    };
    for (const auto& [value, want] : cases) {
        EXPECT_EQ(FloatToText(value), want) << value;
    }
}
