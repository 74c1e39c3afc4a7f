#pragma once
// Exact arithmetic on printed decimals. A text such as " 123.4500" is held
// as a whole number of units of its last decimal, so that sums of texts and
// their comparison with the coordinate area carry no rounding at all: two
// divisions whose printed totals are equal compare as equal.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelkan {

__extension__ typedef __int128 Int128;

// Values beyond this many units are not taken: sums of a thousand of them,
// doubled, still fit an Int128 with room to compare.
inline constexpr int32_t kMaxUnitBits = 100;
// The most decimals a text may have (the rules allow 15).
inline constexpr int32_t kMaxTextDecimals = 18;

struct DecimalText {
    Int128 units = 0;
    int32_t decimals = 0;
};

// [blanks][sign]digits[.digits][blanks], as the rounding rules print them;
// nothing otherwise.
std::optional<DecimalText> ParseDecimalText(std::string_view text);

// units at a scale of `decimals` (>= text.decimals).
Int128 UnitsAt(const DecimalText& text, int32_t decimals);

// The value written out with all its decimals ("-12.3400").
std::string DecimalString(const DecimalText& value);

// a - b, at the larger count of decimals.
DecimalText Difference(const DecimalText& a, const DecimalText& b);

// factor x value x 10^decimals, held exactly as mantissa x 2^exponent /
// 10^tenths: a binary value (tenths 0) or a decimal one (exponent 0).
struct ExactTarget {
    Int128 mantissa = 0;
    int32_t exponent = 0;
    int32_t tenths = 0;
};
// Nothing for a value that is not finite.
std::optional<ExactTarget> TargetOf(double value, int32_t decimals, int32_t factor);
// The same for a decimal value, exactly as written.
ExactTarget TargetOfDecimal(const DecimalText& value, int32_t decimals, int32_t factor);

// The sign of k - target.
int CompareWithTarget(Int128 k, const ExactTarget& target);

// The whole number at or just below the target; nothing when it is
// beyond any total this program forms.
std::optional<Int128> FloorOf(const ExactTarget& target);

// |a - target| < |b - target|.
bool Closer(Int128 a, Int128 b, const ExactTarget& target);

// |a| < |target|.
bool BelowInMagnitude(Int128 a, const ExactTarget& target);

}  // namespace zelkan
