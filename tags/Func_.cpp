#include "tags/Func_.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/Platform.h"
#include "tags/DecimalFloat.h"

namespace {
bool waitsCancelled = false;
}  // namespace

void CancelWaits(bool cancel) {
    waitsCancelled = cancel;
}

bool WaitsCancelled() {
    return waitsCancelled;
}

void Delay(std::uint32_t ms) {
    platform::Platform& p = platform::Current();
    const std::uint32_t start = p.GetTickCount();
    for (;;) {
        p.ProcessMessages();
        if (waitsCancelled) {
            return;
        }
        // Unsigned difference: right across the wrap of the 32-bit tick counter.
        const std::uint32_t elapsed = p.GetTickCount() - start;
        if (elapsed >= ms) {
            return;
        }
        // Sleep until the next message or the deadline instead of spinning a core.
        p.WaitForMessage(ms - elapsed);
    }
}

std::string SafeCopy(const std::string& text, int from, int count) {
    if (from < 1) {
        from = 1;
    }
    const auto first = static_cast<std::size_t>(from - 1);
    if (first >= text.size() || count < 1) {
        return {};
    }
    return text.substr(first, static_cast<std::size_t>(count));
}

std::string MbcsCopy(const std::string& text, int start, int limit, int& taken) {
    taken = 0;
    const auto length = static_cast<std::int64_t>(text.size());
    if (text.empty() || start < 1 || start > length || limit <= 0) {
        return {};
    }
    const std::int64_t last = static_cast<std::int64_t>(start) + limit - 1;
    std::string result;
    // Character boundaries are only known when scanning from the first byte.
    std::int64_t p = 1;
    while (p <= length) {
        const char c = text[static_cast<std::size_t>(p - 1)];
        if (IsLeadByte(static_cast<unsigned char>(c))) {
            if (start <= p && p + 1 <= last) {
                result += c;
                if (p < length) {
                    result += text[static_cast<std::size_t>(p)];
                }
                taken += 2;
            }
            p += 2;
        } else {
            if (start <= p && p <= last) {
                result += c;
                taken += 1;
            }
            p += 1;
        }
    }
    return result;
}

namespace {

std::size_t SkipBlanks(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    return i;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The 32-bit pattern of the hex digits from i to the end; a sign written before the prefix
// does not change it, so "-$10" reads as 16.
std::int32_t HexPattern(const std::string& text, std::size_t i) {
    if (i >= text.size()) {
        return 0;
    }
    std::uint32_t value = 0;
    int significant = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0) {
            return 0;
        }
        if (significant > 0 || digit != 0) {
            if (++significant > 8) {
                return 0;
            }
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t StrToIntZero(const std::string& text) {
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        return HexPattern(text, i + 1);
    }
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        return HexPattern(text, i + 2);
    }
    if (i >= text.size()) {
        return 0;
    }
    // Accumulate the magnitude, stopping as soon as it cannot fit any more.
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) {
            return 0;
        }
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) {
            return 0;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

namespace {

// The parts of a number text that passed the grammar check.
struct FloatText {
    bool negative = false;
    std::string intDigits;
    std::string fracDigits;
    bool expNegative = false;
    std::string expDigits;
};

bool ParseFloatText(const std::string& text, FloatText& out) {
    std::size_t i = SkipBlanks(text);
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        out.negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size()) {
        return false;
    }
    while (i < text.size() && IsDigit(text[i])) {
        out.intDigits += text[i++];
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            out.fracDigits += text[i++];
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            out.expNegative = text[i] == '-';
            ++i;
        }
        while (i < text.size() && IsDigit(text[i])) {
            out.expDigits += text[i++];
        }
        if (out.expDigits.empty()) {
            return false;
        }
    }
    return i == text.size();
}

}  // namespace

double StrToFloatZero(const std::string& text) {
    FloatText f;
    if (!ParseFloatText(text, f)) {
        return 0;
    }
    if (f.intDigits.empty() && f.fracDigits.empty()) {
        return 0;  // "." and "-." are accepted and read as 0
    }
    // Rounded once to the nearest double, as the settings file needs. An exponent of more
    // digits than any double needs stands at a bound far beyond the range either way.
    constexpr std::int64_t kExponentBound = 1000000000000;
    std::int64_t exponent = 0;
    for (const char c : f.expDigits) {
        exponent = std::min(exponent * 10 + (c - '0'), kExponentBound);
    }
    if (f.expNegative) {
        exponent = -exponent;
    }
    const double value = decimal::ToDouble(
        f.intDigits + f.fracDigits, exponent - static_cast<std::int64_t>(f.fracDigits.size()));
    if (std::isinf(value)) {
        throw FloatOverflowError();  // what is too small reads as 0 instead
    }
    const bool zeroDigits = f.intDigits.find_first_not_of('0') == std::string::npos &&
                            f.fracDigits.find_first_not_of('0') == std::string::npos;
    if (value == 0 && !zeroDigits) {
        return 0;  // below the smallest subnormal: 0 without a sign
    }
    return f.negative ? -value : value;
}

std::int32_t SecondsToMs(double seconds) {
    // The rounding of the arithmetic itself: to nearest, halves to even.
    const double ms = std::nearbyint(seconds * 1000.0);
    if (std::isnan(ms)) {
        return 0;
    }
    if (ms >= 2147483647.0) {
        return 2147483647;
    }
    if (ms <= -2147483648.0) {
        return -2147483647 - 1;
    }
    return static_cast<std::int32_t>(ms);
}

std::string FloatToText(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (value < 0) {
        return std::string(1, '-').append(FloatToText(-value));
    }
    if (std::isinf(value)) {
        return "INF";
    }
    if (value == 0) {
        return "0";
    }
    // Rounded to 15 digits, the doubles above this one come out as 1.79769313486232E308, beyond
    // the range of a double: a file holding that text could not be read back. They keep the
    // largest text of 15 digits that can.
    constexpr double kLargestReadable = 1.79769313486231e308;
    value = std::min(value, kLargestReadable);
    // 15 significant digits, rounded once from the exact binary value.
    const decimal::Rounded rounded = decimal::Round(value, 15);
    std::string digits = rounded.digits;
    digits.erase(digits.find_last_not_of('0') + 1);
    const int exponent = rounded.exponent;

    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string here.
    std::string text;
    if (exponent < -5 || exponent >= 15) {
        text.append(digits, 0, 1);
        if (digits.size() > 1) {
            text.append(1, '.').append(digits, 1);
        }
        return text.append(1, 'E').append(std::to_string(exponent));
    }
    if (exponent < 0) {
        return text.append("0.")
            .append(static_cast<std::size_t>(-exponent - 1), '0')
            .append(digits);
    }
    const auto intCount = static_cast<std::size_t>(exponent + 1);
    if (digits.size() <= intCount) {
        return digits + std::string(intCount - digits.size(), '0');
    }
    return digits.substr(0, intCount) + "." + digits.substr(intCount);
}
