#include "geometry/exact_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace zelkan {

namespace {

// A non-negative integer in base 10^9, least significant limb first, big
// enough for m * 5^k with the largest k an extended real can need
// (m < 2^64, k <= 16445: about 11 500 decimal digits).
class BigDecimal {
public:
    static constexpr uint32_t kBase = 1000000000u;

    explicit BigDecimal(uint64_t m) {
        do {
            limbs_[size_++] = static_cast<uint32_t>(m % kBase);
            m /= kBase;
        } while (m != 0);
    }

    void MultiplySmall(uint32_t factor) {  // factor <= 2^31
        uint64_t carry = 0;
        for (int i = 0; i < size_; ++i) {
            const uint64_t t = static_cast<uint64_t>(limbs_[i]) * factor + carry;
            limbs_[i] = static_cast<uint32_t>(t % kBase);
            carry = t / kBase;
        }
        while (carry != 0) {
            limbs_[size_++] = static_cast<uint32_t>(carry % kBase);
            carry /= kBase;
        }
    }

    void MultiplyByPowerOf5(int k) {
        constexpr uint32_t kFive13 = 1220703125u;  // 5^13
        for (; k >= 13; k -= 13) MultiplySmall(kFive13);
        uint32_t rest = 1;
        for (; k > 0; --k) rest *= 5;
        MultiplySmall(rest);
    }

    void MultiplyByPowerOf2(int k) {
        for (; k >= 30; k -= 30) MultiplySmall(1u << 30);
        MultiplySmall(1u << k);
    }

    int DigitCount() const {
        int count = 9 * (size_ - 1);
        for (uint32_t top = limbs_[size_ - 1]; top != 0; top /= 10) ++count;
        return count;
    }

    // The most significant digits into out, whole limbs at a time, until at
    // least `wanted` are written or all are; returns how many. The limbs
    // below those written are left for AnyNonZeroBelow. out must take
    // wanted + 17 characters.
    int LeadingDigits(char* out, int wanted, int& limbsLeft) const {
        char top[9];
        int t = 0;
        for (uint32_t v = limbs_[size_ - 1]; v != 0; v /= 10) top[t++] = static_cast<char>('0' + v % 10);
        int written = 0;
        while (t > 0) out[written++] = top[--t];
        int i = size_ - 2;
        for (; i >= 0 && written < wanted; --i, written += 9) {
            uint32_t v = limbs_[i];
            for (int k = 8; k >= 0; --k, v /= 10) out[written + k] = static_cast<char>('0' + v % 10);
        }
        limbsLeft = i + 1;
        return written;
    }

    // Whether any of the lowest `limbs` limbs is not zero.
    bool AnyNonZeroBelow(int limbs) const {
        for (int i = 0; i < limbs; ++i)
            if (limbs_[i] != 0) return true;
        return false;
    }

private:
    // Only limbs below size_ are ever read: left unset, as clearing all of
    // them took longer than the arithmetic of an ordinary coordinate.
    std::array<uint32_t, 1300> limbs_;
    int size_ = 0;
};

// Adds one unit in the last place of a digit string; true when it carried
// out of the first digit (all nines became zeros).
bool IncrementDigits(char* first, char* last) {
    for (char* p = last; p != first;) {
        --p;
        if (*p != '9') {
            ++*p;
            return false;
        }
        *p = '0';
    }
    return true;
}

constexpr int kSignificant = 18;
constexpr int kFieldWidth = 6;

}  // namespace

Decimal18 ToDecimal18(long double value) {
    Decimal18 result;
    if (value == 0.0L || !std::isfinite(value)) return result;
    result.zero = false;
    result.negative = value < 0.0L;

    // value = m * 2^e exactly, m odd or the full 64-bit significand.
    int exponent2 = 0;
    const long double fraction = std::frexp(std::fabs(value), &exponent2);
    uint64_t m = static_cast<uint64_t>(std::ldexp(fraction, 64));
    exponent2 -= 64;
    if (exponent2 < 0) {  // all trailing zero bits at once: a coordinate has dozens
        const int shift = std::min(std::countr_zero(m), -exponent2);
        m >>= shift;
        exponent2 += shift;
    }

    // value = N * 10^exponent10 with N an integer.
    BigDecimal n(m);
    int exponent10 = 0;
    if (exponent2 >= 0) {
        n.MultiplyByPowerOf2(exponent2);
    } else {
        n.MultiplyByPowerOf5(-exponent2);
        exponent10 = exponent2;
    }

    // The digits a rounding to kSignificant needs: one more, and whether
    // any below it is not zero.
    char leading[kSignificant + 1 + 17];
    int limbsLeft = 0;
    const int written = n.LeadingDigits(leading, kSignificant + 1, limbsLeft);
    const int count = n.DigitCount();
    const int kept = count < kSignificant ? count : kSignificant;
    for (int d = 0; d < kSignificant; ++d) result.digits[d] = d < kept ? leading[d] : '0';
    result.pointPosition = count + exponent10;

    if (count > kSignificant) {
        const int next = leading[kSignificant] - '0';
        const bool beyondHalf =
            std::any_of(leading + kSignificant + 1, leading + written, [](char c) { return c != '0'; }) ||
            n.AnyNonZeroBelow(limbsLeft);
        const bool lastOdd = ((result.digits[kSignificant - 1] - '0') & 1) != 0;
        if (next > 5 || (next == 5 && (beyondHalf || lastOdd))) {
            if (IncrementDigits(result.digits, result.digits + kSignificant)) {
                result.digits[0] = '1';
                ++result.pointPosition;
            }
        }
    }
    return result;
}

std::string FormatFixed(int precision, long double value) { return FormatFixedWidth(kFieldWidth, precision, value); }

std::string FormatIntWidth(int width, long long value) {
    std::string text = std::to_string(value);
    if (text.size() < static_cast<size_t>(width)) text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
    return text;
}

std::string FormatFixedWidth(int width, int precision, long double value) {
    if (precision > kSignificant) precision = 2;
    if (precision < 0) precision = 0;

    const Decimal18 d = ToDecimal18(value);

    // Integer and fraction digits of the 18-digit value, laid out in one
    // buffer with a leading '0' that can take a carry.
    // Digits at positions [0, pointPosition) are the integer part.
    std::string digits;
    int pointPosition = 1;
    if (d.zero) {
        digits = "0";
    } else {
        pointPosition = d.pointPosition;
        if (pointPosition <= 0) {
            digits.assign(static_cast<size_t>(1 - pointPosition), '0');
            pointPosition = 1;
        }
        digits.append(d.digits, kSignificant);
        if (static_cast<int>(digits.size()) < pointPosition)
            digits.append(static_cast<size_t>(pointPosition) - digits.size(), '0');
    }
    digits.insert(digits.begin(), '0');
    ++pointPosition;

    // Round at the precision-th decimal, ties (and above) away from zero.
    const int keep = pointPosition + precision;
    if (static_cast<int>(digits.size()) > keep) {
        const bool up = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        if (up) IncrementDigits(digits.data(), digits.data() + keep);
    } else {
        digits.append(static_cast<size_t>(keep) - digits.size(), '0');
    }

    size_t firstSignificant = 0;
    while (firstSignificant + 1 < static_cast<size_t>(pointPosition) && digits[firstSignificant] == '0')
        ++firstSignificant;
    const bool allZero = digits.find_first_not_of('0') == std::string::npos;

    std::string text;
    if (d.negative && !allZero) text += '-';
    text.append(digits, firstSignificant, static_cast<size_t>(pointPosition) - firstSignificant);
    if (precision > 0) {
        text += '.';
        text.append(digits, static_cast<size_t>(pointPosition), std::string::npos);
    }
    if (width > 0 && text.size() < static_cast<size_t>(width)) text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
    return text;
}

}  // namespace zelkan
