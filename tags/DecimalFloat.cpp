#include "tags/DecimalFloat.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace decimal {

namespace {

// An unsigned integer of any size, in 32-bit words from the lowest; no zero words on top.
class Big {
  public:
    explicit Big(std::uint64_t value) {
        for (; value != 0; value >>= 32) {
            words_.push_back(static_cast<std::uint32_t>(value));
        }
    }

    bool IsZero() const { return words_.empty(); }

    int BitLength() const {
        if (words_.empty()) {
            return 0;
        }
        return static_cast<int>(32 * (words_.size() - 1)) + 32 - std::countl_zero(words_.back());
    }

    bool Bit(int index) const {
        const auto word = static_cast<std::size_t>(index / 32);
        return word < words_.size() && ((words_[word] >> (index % 32)) & 1) != 0;
    }

    // The 64 bits from `index` up.
    std::uint64_t Bits(int index) const {
        std::uint64_t bits = 0;
        for (int i = 0; i < 64; ++i) {
            if (Bit(index + i)) {
                bits |= std::uint64_t{1} << i;
            }
        }
        return bits;
    }

    bool AnyBelow(int index) const {
        const auto whole = static_cast<std::size_t>(index / 32);
        for (std::size_t w = 0; w < std::min(whole, words_.size()); ++w) {
            if (words_[w] != 0) {
                return true;
            }
        }
        const int part = index % 32;
        return part != 0 && whole < words_.size() &&
               (words_[whole] & ((std::uint32_t{1} << part) - 1)) != 0;
    }

    void Multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& w : words_) {
            const std::uint64_t product = std::uint64_t{w} * factor + carry;
            w = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) {
            words_.push_back(static_cast<std::uint32_t>(carry));
        }
    }

    void MultiplyByPowerOf(std::uint32_t base, std::int64_t power) {
        // The largest power of 5 or of 10 that fits a word, as often as it goes in.
        const int chunk = base == 5 ? 13 : 9;
        const std::uint32_t chunkFactor = base == 5 ? 1220703125u : 1000000000u;
        for (; power >= chunk; power -= chunk) {
            Multiply(chunkFactor);
        }
        std::uint32_t rest = 1;
        for (; power > 0; --power) {
            rest *= base;
        }
        Multiply(rest);
    }

    void Add(std::uint32_t addend) {
        for (std::uint32_t& w : words_) {
            const std::uint64_t sum = std::uint64_t{w} + addend;
            w = static_cast<std::uint32_t>(sum);
            addend = static_cast<std::uint32_t>(sum >> 32);
            if (addend == 0) {
                return;
            }
        }
        if (addend != 0) {
            words_.push_back(addend);
        }
    }

    void ShiftLeft(int bits) {
        if (words_.empty() || bits == 0) {
            return;
        }
        const int part = bits % 32;
        if (part != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t& w : words_) {
                const std::uint32_t out = w >> (32 - part);
                w = (w << part) | carry;
                carry = out;
            }
            if (carry != 0) {
                words_.push_back(carry);
            }
        }
        words_.insert(words_.begin(), static_cast<std::size_t>(bits / 32), 0);
    }

    // Divides in place; the remainder.
    std::uint32_t Divide(std::uint32_t divisor) {
        std::uint64_t remainder = 0;
        for (std::size_t i = words_.size(); i-- > 0;) {
            const std::uint64_t current = (remainder << 32) | words_[i];
            words_[i] = static_cast<std::uint32_t>(current / divisor);
            remainder = current % divisor;
        }
        Trim();
        return static_cast<std::uint32_t>(remainder);
    }

    // *this -= other, where other is not larger.
    void Subtract(const Big& other) {
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < words_.size(); ++i) {
            std::int64_t difference = std::int64_t{words_[i]} - borrow;
            if (i < other.words_.size()) {
                difference -= other.words_[i];
            }
            borrow = difference < 0 ? 1 : 0;
            words_[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
        }
        Trim();
    }

    friend bool NotLess(const Big& a, const Big& b) {
        if (a.words_.size() != b.words_.size()) {
            return a.words_.size() > b.words_.size();
        }
        for (std::size_t i = a.words_.size(); i-- > 0;) {
            if (a.words_[i] != b.words_[i]) {
                return a.words_[i] > b.words_[i];
            }
        }
        return true;
    }

  private:
    void Trim() {
        while (!words_.empty() && words_.back() == 0) {
            words_.pop_back();
        }
    }

    std::vector<std::uint32_t> words_;
};

// The double nearest (q + a fraction) × 2^exponent, q not 0, where the fraction is above 0
// exactly when `inexact`; halves to even, subnormals included.
double Compose(std::uint64_t q, std::int64_t exponent, bool inexact) {
    const int lead = std::countl_zero(q);
    q <<= lead;
    exponent -= lead;
    const std::int64_t top = 63 + exponent;  // the value is in [2^top, 2^(top + 1))
    if (top > 1023) {
        return std::numeric_limits<double>::infinity();
    }
    // 53 bits are kept of a normal double, fewer of a subnormal one.
    const std::int64_t dropped = 11 + (top < -1022 ? -1022 - top : 0);
    if (dropped > 64) {
        return 0;  // below half the smallest subnormal
    }
    std::uint64_t kept = 0;
    bool half = true;
    bool beyondHalf = (q << 1) != 0 || inexact;
    if (dropped < 64) {
        kept = q >> dropped;
        half = ((q >> (dropped - 1)) & 1) != 0;
        beyondHalf = (q & ((std::uint64_t{1} << (dropped - 1)) - 1)) != 0 || inexact;
    }
    if (half && (beyondHalf || (kept & 1) != 0)) {
        ++kept;
    }
    std::uint64_t bits = kept;  // a subnormal, or the smallest normal where rounding carried
    if (top >= -1022) {
        std::int64_t biased = top + 1023;
        if (kept == std::uint64_t{1} << 53) {
            kept >>= 1;
            ++biased;
        }
        if (biased > 2046) {
            return std::numeric_limits<double>::infinity();
        }
        bits = (static_cast<std::uint64_t>(biased) << 52) | (kept & ((std::uint64_t{1} << 52) - 1));
    }
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// All the decimal digits of `value`, from the first that is not 0, and the power of ten of
// that first one.
std::string ExactDigits(double value, int* exponent) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    int binaryExponent = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    if (binaryExponent == 0) {
        binaryExponent = 1;
    } else {
        mantissa |= std::uint64_t{1} << 52;
    }
    binaryExponent -= 1075;  // value = mantissa × 2^binaryExponent

    // mantissa × 2^e is an integer, mantissa × 5^-e × 10^e otherwise.
    Big exact(mantissa);
    int decimalShift = 0;
    if (binaryExponent >= 0) {
        exact.ShiftLeft(binaryExponent);
    } else {
        exact.MultiplyByPowerOf(5, -binaryExponent);
        decimalShift = binaryExponent;
    }
    std::string digits;
    while (!exact.IsZero()) {
        std::uint32_t group = exact.Divide(1000000000);
        for (int i = 0; i < 9; ++i, group /= 10) {
            digits.push_back(static_cast<char>('0' + group % 10));
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);  // the zeros above the first digit
    std::reverse(digits.begin(), digits.end());
    *exponent = static_cast<int>(digits.size()) - 1 + decimalShift;
    return digits;
}

// (value + a fraction) / divisor, both above 0, to the nearest double.
double Quotient(Big value, Big divisor) {
    // Scaled by a power of two to a quotient of 63 or 64 bits.
    const int scale = 63 - value.BitLength() + divisor.BitLength();
    if (scale >= 0) {
        value.ShiftLeft(scale);
    } else {
        divisor.ShiftLeft(-scale);
    }
    std::uint64_t quotient = 0;
    for (int i = 63; i >= 0; --i) {
        Big shifted = divisor;
        shifted.ShiftLeft(i);
        if (NotLess(value, shifted)) {
            value.Subtract(shifted);
            quotient |= std::uint64_t{1} << i;
        }
    }
    return Compose(quotient, -scale, !value.IsZero());
}

}  // namespace

Rounded Round(double value, int count) {
    Rounded r;
    std::string digits = ExactDigits(value, &r.exponent);
    const auto kept = static_cast<std::size_t>(count);
    if (digits.size() <= kept) {
        r.digits = digits.append(kept - digits.size(), '0');
        return r;
    }
    r.digits = digits.substr(0, kept);
    const char next = digits[kept];
    const bool beyondHalf = digits.find_first_not_of('0', kept + 1) != std::string::npos;
    if (next > '5' || (next == '5' && (beyondHalf || (r.digits.back() - '0') % 2 == 1))) {
        std::size_t i = kept;
        while (i > 0 && r.digits[i - 1] == '9') {
            r.digits[--i] = '0';
        }
        if (i == 0) {
            r.digits.insert(r.digits.begin(), '1');
            r.digits.pop_back();
            ++r.exponent;
        } else {
            ++r.digits[i - 1];
        }
    }
    return r;
}

double ToDouble(std::string_view digits, std::int64_t exponent) {
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos) {
        return 0;
    }
    digits.remove_prefix(first);
    const std::size_t last = digits.find_last_not_of('0');
    exponent += static_cast<std::int64_t>(digits.size() - 1 - last);
    digits = digits.substr(0, last + 1);

    // The value is in [10^(n - 1 + exponent), 10^(n + exponent)).
    const auto n = static_cast<std::int64_t>(digits.size());
    if (n - 1 + exponent > 309) {
        return std::numeric_limits<double>::infinity();
    }
    if (n + exponent < -324) {
        return 0;
    }
    // A halfway point between two doubles has at most 767 significant digits, so 800 decide
    // the rounding; the digits beyond them, which end in one that is not 0, stand as one 1.
    constexpr std::int64_t kDeciding = 800;
    Big value(0);
    for (std::size_t i = 0; i < static_cast<std::size_t>(std::min(n, kDeciding)); ++i) {
        value.Multiply(10);
        value.Add(static_cast<std::uint32_t>(digits[i] - '0'));
    }
    if (n > kDeciding) {
        value.Multiply(10);
        value.Add(1);
        exponent += n - kDeciding - 1;
    }

    if (exponent >= 0) {
        value.MultiplyByPowerOf(10, exponent);
        const int low = std::max(value.BitLength() - 64, 0);  // the top 64 bits, or all
        return Compose(value.Bits(low), low, value.AnyBelow(low));
    }
    // value / 10^-exponent.
    Big divisor(1);
    divisor.MultiplyByPowerOf(10, -exponent);
    return Quotient(std::move(value), std::move(divisor));
}

}  // namespace decimal
