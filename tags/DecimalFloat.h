// Exact conversions between doubles and decimal digits, each rounded once to the nearest with
// halves to even, as the C library's printf and strtod round, without their 40 KB of code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace decimal {

// A positive finite value rounded to `count` significant digits: the digits, all `count` of
// them, and the power of ten of the first (1234.5 to 3 digits: "123", 3).
struct Rounded {
    std::string digits;
    int exponent = 0;
};
Rounded Round(double value, int count);

// The double nearest digits × 10^exponent, where digits holds only '0' to '9' (leading zeros
// allowed): +infinity beyond the range, 0 below half the smallest subnormal.
double ToDouble(std::string_view digits, std::int64_t exponent);

}  // namespace decimal
