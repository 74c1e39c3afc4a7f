#include "geometry/rounding.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>

#include "geometry/text_helpers.h"

namespace zelkan {
namespace {

// The rule by its number, as the surveyor's table lists them.
struct KetaCase {
    int rule;
    int digits;
    double value;
    const char* text;  // printed characters
    size_t spaces;     // leading spaces in front of them
};

void PrintTo(const KetaCase& c, std::ostream* os) {
    *os << "mode " << c.rule << ", " << c.digits << " decimals, " << c.value;
}

class KetaFormatTable : public testing::TestWithParam<KetaCase> {};

TEST_P(KetaFormatTable, PrintsTheRoundedTextWithItsPadding) {
    const KetaCase& c = GetParam();
    std::string text;
    KetaFormat(static_cast<KetaMode>(c.rule), c.digits, c.value, text);
    EXPECT_EQ(text, std::string(c.spaces, ' ') + c.text);
}

// The surveyor's rounding table, every row.
INSTANTIATE_TEST_SUITE_P(
    Rules, KetaFormatTable,
    testing::Values(KetaCase{1, 2, 1.23, "1.23", 2}, KetaCase{1, 2, 1.239, "1.23", 2},
                    KetaCase{1, 2, 1.2299999995, "1.23", 2}, KetaCase{1, 2, 1.2299999, "1.22", 2},
                    KetaCase{1, 2, -1.231, "-1.24", 1}, KetaCase{1, 0, 5.99, "5", 5},
                    KetaCase{2, 2, 0.125, "0.13", 2}, KetaCase{2, 2, -0.125, "-0.13", 1},
                    KetaCase{2, 2, 1.005, "1.00", 2}, KetaCase{2, 2, 2.675, "2.68", 2},
                    KetaCase{2, 0, 5.5, "6", 5}, KetaCase{2, 2, 123.456, "123.46", 0},
                    KetaCase{3, 2, 1.231, "1.24", 2}, KetaCase{3, 2, 1.23, "1.24", 2},
                    KetaCase{3, 2, 1.24, "1.25", 2}, KetaCase{3, 2, 0, "0.01", 2},
                    KetaCase{4, 1, 1.13, "1.2", 1}, KetaCase{4, 1, 1.23, "1.2", 1},
                    KetaCase{4, 1, 1.33, "1.4", 1}, KetaCase{4, 1, 1.1, "1.2", 1},
                    KetaCase{4, 1, 2.0, "2.0", 1}, KetaCase{4, 1, 1.93, "2.0", 3},
                    KetaCase{4, 1, 0.94, "1.0", 3}, KetaCase{4, 1, 1.25, "1.2", 3},
                    KetaCase{4, 1, 1.35, "1.4", 3}, KetaCase{4, 1, 1.15, "1.1", 3},
                    KetaCase{4, 1, 1.345, "1.3", 3}, KetaCase{4, 2, 1.21, "1.22", 0},
                    KetaCase{4, 2, 1.2951, "1.30", 2}, KetaCase{4, 2, 12.345, "12.35", 1},
                    KetaCase{4, 2, 9.99, "10.00", 1}, KetaCase{4, 0, 5.43, "5", 2},
                    KetaCase{4, 0, 7.3, "7", 2}, KetaCase{4, 0, 6.5, "6", 5}));

// Values a surveyor meets beyond the table: wide numbers, negatives that
// round to zero, many decimals.
INSTANTIATE_TEST_SUITE_P(
    Beyond, KetaFormatTable,
    testing::Values(KetaCase{2, 2, 123456.789, "123456.79", 0}, KetaCase{1, 4, 1234.56785, "1234.5678", 0},
                    KetaCase{2, 4, 83.24995, "83.2500", 0}, KetaCase{2, 2, -0.001, "0.00", 2}, KetaCase{3, 2, -0.01, "0.00", 2},
                    KetaCase{1, 2, 0, "0.00", 2}, KetaCase{2, 3, 0.0005, "0.001", 1},
                    KetaCase{1, 3, 1e-9, "0.000", 1}, KetaCase{2, 0, 0.49, "0", 5},
                    KetaCase{2, 8, 1.0 / 3.0, "0.33333334", 0},  // the 1e-8 reaches the last digit
                    KetaCase{4, 6, 1.0000005, "1.000000", 0}, KetaCase{4, 6, 1.0000015, "1.000002", 0}));

TEST(KetaFormat, ModeOutsideTheRulesLeavesTheText) {
    std::string text = "before";
    KetaFormat(KetaMode::None, 2, 1.5, text);
    EXPECT_EQ(text, "before");
    KetaFormat(static_cast<KetaMode>(5), 2, 1.5, text);
    EXPECT_EQ(text, "before");
}

TEST(KetaFormat, ValuesThatAreNotNumbersPrintAsZeroWithoutFailing) {
    // A scale of 0 in the settings would make lengths infinite.
    std::string text;
    for (const KetaMode mode : {KetaMode::Cut, KetaMode::HalfUp, KetaMode::Up, KetaMode::Even}) {
        KetaFormat(mode, 2, std::numeric_limits<double>::infinity(), text);
        EXPECT_EQ(text.find_first_not_of(" 0."), std::string::npos) << text;
        KetaFormat(mode, 2, std::numeric_limits<double>::quiet_NaN(), text);
        EXPECT_EQ(text.find_first_not_of(" 0."), std::string::npos) << text;
    }
}

TEST(KetaFormat, TextsReadBackToTheRoundedValue) {
    std::string text;
    KetaFormat(KetaMode::HalfUp, 4, 6.02365, text);
    EXPECT_EQ(StrToReal(text), 6.0237);
}

TEST(RoundHalfAway, DoubleProductDecidesTheHalves) {
    EXPECT_EQ(RoundHalfAway(2, 2.675), 268.0L * (1.0L / 100.0L));
    EXPECT_EQ(RoundHalfAway(2, 1.005), 100.0L * (1.0L / 100.0L));
    EXPECT_EQ(RoundHalfAway(0, -2.5), -3.0L);
    EXPECT_EQ(RoundHalfAway(0, 2.4999), 2.0L);
    EXPECT_EQ(RoundHalfAway(0, 1e300), static_cast<long double>(1e300));  // beyond 64-bit integers: unchanged
}

TEST(HeronArea, RightTriangleDegenerateAndImpossible) {
    EXPECT_EQ(HeronArea(3, 4, 5), 6.0);
    EXPECT_EQ(HeronArea(1, 2, 3), 0.0);
    // s = 2.5, p = 2.5 * 1.5 * 1.5 * -0.5
    EXPECT_DOUBLE_EQ(HeronArea(1, 1, 3), std::sqrt(2.8125));
    EXPECT_DOUBLE_EQ(HeronArea(2, 2, 2), std::sqrt(3.0));
}

TEST(ExtendedPrecision, ArithmeticRunsWithA64BitSignificand) {
    // The x87 precision control must not be lowered to 53 bits (as some
    // Windows runtimes do); the rounding rules would silently change.
    static_assert(LDBL_MANT_DIG == 64);
    volatile long double one = 1.0L;
    volatile long double tiny = 0x1p-60L;
    const long double sum = one + tiny;
    EXPECT_NE(sum, 1.0L);
}

}  // namespace
}  // namespace zelkan
