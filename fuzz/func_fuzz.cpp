// The text helpers over arbitrary text and positions, each against a plain model of what it
// promises: cuts that never fail nor split a double-byte character, number readers that give
// 0 instead of failing, upper-casing that leaves Shift-JIS alone, float text that reads back
// to the same 15 significant digits, and decimals of any length read to the last bit as the C
// library reads them.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "tags/Func_.h"

namespace {

// Positions near the text most of the time, anything at all otherwise.
int Position(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegral<int>() : in.ConsumeIntegralInRange(-3, 300);
}

// Where each character starts, scanning from the first byte; a lead byte takes the next byte
// whatever it is, and a lead byte at the very end is a character of two bytes all the same.
std::vector<std::size_t> CharStarts(const std::string& text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size();) {
        starts.push_back(i);
        i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    return starts;
}

void CheckSafeCopy(const std::string& text, int from, int count) {
    const std::string got = SafeCopy(text, from, count);
    const std::size_t first = from < 1 ? 0 : static_cast<std::size_t>(from) - 1;
    if (count < 1 || first >= text.size()) {
        FUZZ_CHECK(got.empty());
    } else {
        FUZZ_CHECK(got == text.substr(first, static_cast<std::size_t>(count)));
    }
}

void CheckMbcsCopy(const std::string& text, int start, int limit) {
    int taken = -1;
    const std::string got = MbcsCopy(text, start, limit, taken);
    if (text.empty() || start < 1 || static_cast<std::size_t>(start) > text.size() || limit <= 0) {
        FUZZ_CHECK(got.empty() && taken == 0);
        return;
    }
    // Every whole character of the window [start, start + limit - 1], in order.
    const std::int64_t first = start;
    const std::int64_t last = first + limit - 1;
    std::string want;
    bool trailingLead = false;
    for (std::size_t s : CharStarts(text)) {
        const auto p = static_cast<std::int64_t>(s) + 1;
        const bool lead = IsLeadByte(static_cast<unsigned char>(text[s]));
        if (first <= p && p + (lead ? 1 : 0) <= last) {
            want += text.substr(s, lead ? 2 : 1);
            trailingLead = lead && s + 1 == text.size();
        }
    }
    FUZZ_CHECK(got == want);
    // taken is the result's length, except that a lead byte ending the text counts 2.
    FUZZ_CHECK(taken == static_cast<int>(got.size()) + (trailingLead ? 1 : 0));
    FUZZ_CHECK(taken <= limit);
}

void CheckUpperSjis(const std::string& text) {
    const std::string upper = UpperSjis(text);
    FUZZ_CHECK(upper.size() == text.size());
    std::vector<bool> isStart(text.size(), false);
    for (std::size_t s : CharStarts(text)) {
        isStart[s] = true;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool ascii = isStart[i] && c >= 'a' && c <= 'z';
        FUZZ_CHECK(upper[i] == (ascii ? static_cast<char>(c - 'a' + 'A') : c));
    }
    FUZZ_CHECK(UpperSjis(upper) == upper);
}

void CheckStrToIntZero(const std::string& text, std::int32_t value, std::size_t blanks) {
    StrToIntZero(text);
    FUZZ_CHECK(StrToIntZero(std::string(blanks, ' ') + std::to_string(value)) == value);
    char hex[16];
    std::snprintf(hex, sizeof hex, "$%X", static_cast<unsigned>(value));
    FUZZ_CHECK(StrToIntZero(hex) == value);
}

void CheckStrToFloatZero(const std::string& text) {
    try {
        FUZZ_CHECK(std::isfinite(StrToFloatZero(text)));
    } catch (const FloatOverflowError&) {
        // the one failure the reader has
    }
}

// Any count of digits at any scale reads as the C library reads it, to the last bit.
void CheckLongDecimal(const std::string& text, std::int32_t scale) {
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    if (digits.empty()) {
        return;
    }
    const std::string number = "." + digits + "e" + std::to_string(scale % 800);
    const double want = std::strtod(number.c_str(), nullptr);
    if (std::isinf(want)) {
        bool overflow = false;
        try {
            StrToFloatZero(number);
        } catch (const FloatOverflowError&) {
            overflow = true;
        }
        FUZZ_CHECK(overflow);
        return;
    }
    const double got = StrToFloatZero(number);
    if (std::memcmp(&got, &want, sizeof got) != 0) {
        std::fprintf(stderr, "%s -> %.17g, want %.17g\n", number.c_str(), got, want);
    }
    FUZZ_CHECK(std::memcmp(&got, &want, sizeof got) == 0);
}

// FloatToText keeps 15 significant digits: reading it back gives the double nearest to the
// value rounded to 15 digits (or to the largest such text below the top of the range, for the
// few doubles that round up beyond it), and writing that again gives the same text.
void CheckFloatText(double value) {
    if (!std::isfinite(value)) {
        return;
    }
    const std::string text = FloatToText(value);
    char rounded[64];
    std::snprintf(rounded, sizeof rounded, "%.14e", value);
    double want = std::strtod(rounded, nullptr);
    if (std::isinf(want)) {
        // Rounded up beyond the range: the largest text that reads back stands in for it.
        want = std::copysign(1.79769313486231e308, value);
    }
    const double got = StrToFloatZero(text);
    if (got != want) {
        std::fprintf(stderr, "%.17g -> %s -> %.17g, want %.17g\n", value, text.c_str(), got, want);
    }
    FUZZ_CHECK(got == want);
    FUZZ_CHECK(FloatToText(got) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int a = Position(in);
    const int b = Position(in);
    const auto value = in.ConsumeIntegral<std::int32_t>();
    const std::size_t blanks = in.ConsumeIntegralInRange<std::size_t>(0, 3);
    double real = 0;
    const std::vector<std::uint8_t> bits = in.ConsumeBytes<std::uint8_t>(sizeof real);
    if (!bits.empty()) {
        std::memcpy(&real, bits.data(), bits.size());
    }
    const std::string text = in.ConsumeRemainingBytesAsString();

    CheckSafeCopy(text, a, b);
    CheckMbcsCopy(text, a, b);
    CheckUpperSjis(text);
    CheckStrToIntZero(text, value, blanks);
    CheckStrToFloatZero(text);
    CheckLongDecimal(text, value);
    CheckFloatText(real);
    return 0;
}
