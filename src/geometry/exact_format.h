#pragma once
// The exact fixed formatting every printed value goes through. It works on
// the exact binary value of an 80-bit extended real, so the Linux and the
// Windows builds print the same bytes whatever their C libraries do.
#include <cfloat>
#include <cstdint>
#include <string>

namespace zelkan {

static_assert(LDBL_MANT_DIG == 64, "the rounding rules need 80-bit extended reals (64-bit significand)");

// A finite value reduced to 18 significant decimal digits:
// value = (negative ? -1 : 1) * 0.d1d2...d18 * 10^pointPosition, or zero.
struct Decimal18 {
    bool negative = false;
    bool zero = true;
    char digits[18] = {};  // '0'..'9'; d1 is not '0' unless zero
    int pointPosition = 0;
};

// Nearest 18-significant-digit decimal, ties to even, from the exact value.
Decimal18 ToDecimal18(long double value);

// F(p, v): v reduced to 18 significant digits (ties to even), then rounded at
// the p-th decimal with ties away from zero; "-" only when a non-zero digit
// remains; left-padded with spaces to 6 characters. A precision above 18 is
// taken as 2, a negative one as 0.
std::string FormatFixed(int precision, long double value);

// The same digits right-aligned in a field of at least `width` characters
// (the Fw.p fields of the records); a wider value widens its field.
std::string FormatFixedWidth(int width, int precision, long double value);

// An integer right-aligned in a field of at least `width` characters.
std::string FormatIntWidth(int width, long long value);

}  // namespace zelkan
