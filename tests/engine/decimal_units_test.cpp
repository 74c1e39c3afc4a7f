#include "engine/decimal_units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace zelkan {
namespace {

TEST(DecimalUnits, TextsAsPrinted) {
    struct Case {
        const char* text;
        bool parsed;
        int64_t units;
        int32_t decimals;
    };
    const Case cases[] = {
        {"  123.4500", true, 1234500, 4}, {"-0.05", true, -5, 2},  {"+7", true, 7, 0},     {"12.", true, 12, 0},
        {".5", true, 5, 1},               {"", false, 0, 0},       {"  ", false, 0, 0},    {"1e3", false, 0, 0},
        {"1.2.3", false, 0, 0},           {"--1", false, 0, 0},    {"1 2", false, 0, 0},   {"nan", false, 0, 0},
        {"0.1234567890123456789", false, 0, 0},  // more decimals than any rule prints
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto d = ParseDecimalText(c.text);
        ASSERT_EQ(d.has_value(), c.parsed);
        if (!d) continue;
        EXPECT_EQ(static_cast<int64_t>(d->units), c.units);
        EXPECT_EQ(d->decimals, c.decimals);
    }
    EXPECT_FALSE(ParseDecimalText(std::string(40, '9')));  // beyond the units a sum may hold
    EXPECT_EQ(static_cast<int64_t>(UnitsAt(*ParseDecimalText("1.5"), 4)), 15000);
}

TEST(DecimalUnits, ComparisonsWithABinaryAreaAreExact) {
    // 0.6 in binary is a little below 0.6: printed 0.600 lies above it.
    const ExactTarget sixTenths = *TargetOf(0.6, 3, 1);
    EXPECT_EQ(CompareWithTarget(600, sixTenths), 1);
    EXPECT_FALSE(BelowInMagnitude(600, sixTenths));
    EXPECT_TRUE(BelowInMagnitude(599, sixTenths));
    // 1.0625 (exact in binary) x 10^3 lies half-way between 1062 and 1063.
    const ExactTarget half = *TargetOf(1.0625, 3, 1);
    EXPECT_EQ(CompareWithTarget(1062, half), -1);
    EXPECT_FALSE(Closer(1062, 1063, half));
    EXPECT_FALSE(Closer(1063, 1062, half));
    EXPECT_TRUE(Closer(1062, 1064, half));
    // Doubled for base x height texts: 2 x 1.0625 x 10^3 = 2125 exactly.
    EXPECT_EQ(CompareWithTarget(2125, *TargetOf(1.0625, 3, 2)), 0);
    // Negative areas compare by magnitude.
    const ExactTarget negative = *TargetOf(-100.0, 2, 1);
    EXPECT_TRUE(BelowInMagnitude(-9999, negative));
    EXPECT_FALSE(BelowInMagnitude(-10000, negative));
    EXPECT_TRUE(Closer(-9999, -9990, negative));
}

TEST(DecimalUnits, ComparisonsWithADecimalAreaAreExact) {
    // 2781.15295 m2 against totals of 4 decimals: half-way between 27811529
    // and 27811530 units, exactly.
    const ExactTarget area = TargetOfDecimal(DecimalText{278115295, 5}, 4, 1);
    EXPECT_EQ(CompareWithTarget(27811529, area), -1);
    EXPECT_EQ(CompareWithTarget(27811530, area), 1);
    EXPECT_EQ(FloorOf(area), 27811529);
    EXPECT_FALSE(Closer(27811529, 27811530, area));
    EXPECT_FALSE(Closer(27811530, 27811529, area));
    EXPECT_TRUE(BelowInMagnitude(27811529, area));
    // Equal is not below, and base x height totals count twice the area.
    const ExactTarget equal = TargetOfDecimal(DecimalText{1200000, 7}, 4, 2);
    EXPECT_EQ(CompareWithTarget(2400, equal), 0);
    EXPECT_FALSE(BelowInMagnitude(2400, equal));
    EXPECT_TRUE(BelowInMagnitude(2399, equal));
    EXPECT_EQ(FloorOf(equal), 2400);
    // More decimals in the totals than in the area: a whole target.
    const ExactTarget whole = TargetOfDecimal(DecimalText{-673113750, 6}, 8, 1);
    EXPECT_EQ(CompareWithTarget(-67311375000, whole), 0);
    EXPECT_EQ(FloorOf(TargetOfDecimal(DecimalText{-67311375, 5}, 4, 1)), -6731138);
}

TEST(DecimalUnits, ExtremeAreasStayOrdered) {
    EXPECT_FALSE(TargetOf(std::nan(""), 2, 1));
    EXPECT_FALSE(TargetOf(INFINITY, 2, 1));
    const Int128 big = static_cast<Int128>(1) << 100;
    // Far beyond any total, and far below one unit.
    EXPECT_EQ(CompareWithTarget(big, *TargetOf(1e300, 15, 2)), -1);
    EXPECT_EQ(CompareWithTarget(-big, *TargetOf(-1e300, 15, 2)), 1);
    EXPECT_EQ(CompareWithTarget(0, *TargetOf(1e-300, 0, 1)), -1);
    EXPECT_EQ(CompareWithTarget(1, *TargetOf(1e-300, 0, 1)), 1);
    EXPECT_EQ(CompareWithTarget(0, *TargetOf(0.0, 4, 1)), 0);
    EXPECT_TRUE(Closer(big, big + 1, *TargetOf(1e-300, 0, 1)));
}

}  // namespace
}  // namespace zelkan
