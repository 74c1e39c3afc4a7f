#include "engine/decimal_units.h"

#include <algorithm>
#include <cmath>

namespace zelkan {

namespace {

constexpr int32_t kRoom = 125;  // bits an Int128 product may use here

int Sign(Int128 v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

Int128 Magnitude(Int128 v) { return v < 0 ? -v : v; }

int32_t BitLength(Int128 v) {
    int32_t bits = 0;
    for (Int128 m = Magnitude(v); m != 0; m >>= 1) ++bits;
    return bits;
}

Int128 Power10(int32_t n) {
    Int128 p = 1;
    for (int32_t i = 0; i < n; ++i) p *= 10;
    return p;
}

}  // namespace

std::optional<DecimalText> ParseDecimalText(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    DecimalText d;
    bool digits = false, point = false;
    for (const char ch : s) {
        if (ch == '.' && !point) {
            point = true;
            continue;
        }
        if (ch < '0' || ch > '9') return std::nullopt;
        digits = true;
        d.units = d.units * 10 + (ch - '0');
        if (point) ++d.decimals;
        if (BitLength(d.units) > kMaxUnitBits || d.decimals > kMaxTextDecimals) return std::nullopt;
    }
    if (!digits) return std::nullopt;
    if (negative) d.units = -d.units;
    return d;
}

Int128 UnitsAt(const DecimalText& text, int32_t decimals) { return text.units * Power10(decimals - text.decimals); }

std::string DecimalString(const DecimalText& value) {
    std::string digits;
    for (Int128 m = Magnitude(value.units); m != 0 || digits.size() <= static_cast<size_t>(value.decimals); m /= 10)
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(m % 10)));
    if (value.decimals > 0) digits.insert(digits.end() - value.decimals, '.');
    return value.units < 0 ? "-" + digits : digits;
}

DecimalText Difference(const DecimalText& a, const DecimalText& b) {
    const int32_t decimals = std::max(a.decimals, b.decimals);
    return DecimalText{UnitsAt(a, decimals) - UnitsAt(b, decimals), decimals};
}

std::optional<ExactTarget> TargetOf(double value, int32_t decimals, int32_t factor) {
    if (!std::isfinite(value)) return std::nullopt;
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);  // value = fraction x 2^exponent, |fraction| in [0.5, 1)
    // 53 bits of mantissa make the fraction a whole number exactly.
    const auto mantissa = static_cast<int64_t>(std::ldexp(fraction, 53));
    // 10^d = 5^d x 2^d: the power of five goes into the mantissa.
    Int128 m = static_cast<Int128>(mantissa) * factor;
    for (int32_t i = 0; i < decimals; ++i) m *= 5;
    return ExactTarget{m, exponent - 53 + decimals};
}

ExactTarget TargetOfDecimal(const DecimalText& value, int32_t decimals, int32_t factor) {
    const Int128 m = value.units * factor;
    if (decimals >= value.decimals) return ExactTarget{m * Power10(decimals - value.decimals), 0, 0};
    return ExactTarget{m, 0, value.decimals - decimals};
}

int CompareWithTarget(Int128 k, const ExactTarget& t) {
    if (t.tenths > 0) {
        // k against m / 10^q: k x 10^q against m.
        if (k == 0) return -Sign(t.mantissa);
        if (BitLength(k) + 4 * t.tenths > kRoom) return Sign(k);  // beyond any mantissa
        return CompareWithTarget(k * Power10(t.tenths), ExactTarget{t.mantissa, t.exponent, 0});
    }
    if (t.mantissa == 0) return Sign(k);
    if (t.exponent >= 0) {
        // |target| beyond any k this program forms
        if (BitLength(t.mantissa) + t.exponent > kRoom) return -Sign(t.mantissa);
        return Sign(k - (t.mantissa << t.exponent));
    }
    const int32_t shift = -t.exponent;
    if (k == 0) return -Sign(t.mantissa);
    if (BitLength(k) + shift > kRoom) return Sign(k);  // |k x 2^shift| beyond any mantissa
    return Sign((k << shift) - t.mantissa);
}

std::optional<Int128> FloorOf(const ExactTarget& target) {
    if (target.tenths > 0) {
        // floor(floor(x) / d) = floor(x / d) for a whole d > 0.
        const std::optional<Int128> whole = FloorOf(ExactTarget{target.mantissa, target.exponent, 0});
        if (!whole) return std::nullopt;
        const Int128 d = Power10(target.tenths);
        Int128 q = *whole / d;
        if (*whole % d != 0 && *whole < 0) --q;
        return q;
    }
    if (target.exponent >= 0) {
        // Room left for the sums and differences formed with it.
        if (BitLength(target.mantissa) + target.exponent > kRoom - 5) return std::nullopt;
        return target.mantissa << target.exponent;
    }
    if (-target.exponent >= 126) return target.mantissa < 0 ? -1 : 0;
    return target.mantissa >> -target.exponent;  // arithmetic: rounds towards minus infinity
}

bool Closer(Int128 a, Int128 b, const ExactTarget& t) {
    // |a - t| < |b - t|  <=>  (a - b)(a + b - 2t) < 0
    if (a == b) return false;
    const ExactTarget twice{t.mantissa, t.exponent + 1, t.tenths};
    return Sign(a - b) * CompareWithTarget(a + b, twice) < 0;
}

bool BelowInMagnitude(Int128 a, const ExactTarget& t) {
    const ExactTarget magnitude{Magnitude(t.mantissa), t.exponent, t.tenths};
    return CompareWithTarget(Magnitude(a), magnitude) < 0;
}

}  // namespace zelkan
