#include "geometry/exact_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace zelkan {
namespace {

struct FixedCase {
    int precision;
    long double value;
    const char* text;
};

void PrintTo(const FixedCase& c, std::ostream* os) { *os << "F(" << c.precision << ", " << c.text << ")"; }

class FormatFixedTable : public testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixedTable, PrintsExactly) {
    EXPECT_EQ(FormatFixed(GetParam().precision, GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatFixedTable,
    testing::Values(
        // Exact binary halves go away from zero.
        FixedCase{2, 0.125L, "  0.13"}, FixedCase{2, -0.125L, " -0.13"}, FixedCase{0, 2.5L, "     3"},
        FixedCase{0, -2.5L, "    -3"}, FixedCase{0, 999.5L, "  1000"}, FixedCase{1, 0.96875L, "   1.0"},
        // Two steps: 0.125 - 2^-66 has 18 significant digits 0.125000..., which
        // then round up; a single correct rounding would give 0.12.
        FixedCase{2, 0.125L - 0x1p-66L, "  0.13"},
        // Ties at the 19th digit go to even.
        FixedCase{0, 1000000000000000005.0L, "1000000000000000000"},
        FixedCase{0, 1000000000000000015.0L, "1000000000000000020"},
        FixedCase{0, 1000000000000000025.0L, "1000000000000000020"},
        FixedCase{0, 1000000000000000026.0L, "1000000000000000030"},
        // Zero and values that round to zero carry no sign.
        FixedCase{2, 0.0L, "  0.00"}, FixedCase{2, -0.0L, "  0.00"}, FixedCase{2, -0.004L, "  0.00"},
        FixedCase{0, -0.4L, "     0"}, FixedCase{2, -0.005L, " -0.01"},
        // Wide and tiny values, no field cut.
        FixedCase{2, 1e25L, "10000000000000000000000000.00"}, FixedCase{3, 123456789.0125L, "123456789.013"},
        FixedCase{18, 1e-18L, "0.000000000000000001"}, FixedCase{5, 1e-300L, "0.00000"},
        FixedCase{4, 0x1p-16445L, "0.0000"}, FixedCase{0, 0x1p+100L, "1267650600228229400000000000000"},
        // A carry through every digit, and a precision above 18 taken as 2.
        FixedCase{2, 99.999L, "100.00"}, FixedCase{19, 1.5L, "  1.50"}, FixedCase{-1, 1.5L, "     2"}));

TEST(ToDecimal18, SignificantDigitsAndPointPosition) {
    const Decimal18 d = ToDecimal18(-1234.5L);
    EXPECT_TRUE(d.negative);
    EXPECT_FALSE(d.zero);
    EXPECT_EQ(std::string(d.digits, 18), "123450000000000000");
    EXPECT_EQ(d.pointPosition, 4);

    const Decimal18 carried = ToDecimal18(9999999999999999999.0L);  // 19 nines round up to 10^19
    EXPECT_EQ(std::string(carried.digits, 18), "100000000000000000");
    EXPECT_EQ(carried.pointPosition, 20);

    EXPECT_TRUE(ToDecimal18(0.0L).zero);
}

#if defined(__GLIBC__)
// glibc converts extended values to decimal exactly, with ties to even: the
// first step of the formatting must agree with it digit for digit.
std::string GlibcDigits(long double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17Le", v);
    return buffer;
}

std::string OurDigits(long double v) {
    const Decimal18 d = ToDecimal18(v);
    std::string ours = d.negative ? "-" : "";
    ours += d.digits[0];
    ours += '.';
    ours.append(d.digits + 1, 17);
    char exponentText[16];
    std::snprintf(exponentText, sizeof exponentText, "e%+03d", d.pointPosition - 1);
    return ours + exponentText;
}

TEST(ToDecimal18, AgreesWithTheCLibraryOnRandomExtendedValues) {
    std::mt19937_64 random(20261210);
    std::uniform_int_distribution<int> exponent(-80, 80);
    for (int n = 0; n < 200000; ++n) {
        const uint64_t bits = random() | (uint64_t{1} << 63);
        long double v = std::ldexp(static_cast<long double>(bits), exponent(random) - 63);
        if (n % 3 == 0) v = std::ldexp(static_cast<long double>(random() % 100000), -(n % 40));
        if (n % 2) v = -v;
        if (v == 0.0L) continue;
        ASSERT_EQ(OurDigits(v), GlibcDigits(v)) << "value bits " << std::hexfloat << v;
    }
}

// The ends of the range, where the exact value has thousands of digits, and
// values whose 19th digit is a tie or just beside one.
TEST(ToDecimal18, AgreesWithTheCLibraryAtTheEndsAndOnTies) {
    const long double values[] = {
        std::numeric_limits<long double>::max(), std::numeric_limits<long double>::min(),
        std::numeric_limits<long double>::denorm_min(), 0.1L, 1e4000L, 1e-4000L,
        1000000000000000005.0L, 1000000000000000015.0L, 1000000000000000025.0L, 999999999999999999.5L,
        12345678901234567890.0L, 0.12345678901234567850L, 34010.663L, -42255.230L};
    for (const long double value : values) {
        for (const long double v : {value, std::nextafter(value, 0.0L), std::nextafter(value, 2 * value)}) {
            if (v == 0.0L || !std::isfinite(v)) continue;
            EXPECT_EQ(OurDigits(v), GlibcDigits(v)) << std::hexfloat << v;
        }
    }
}
#endif

}  // namespace
}  // namespace zelkan
