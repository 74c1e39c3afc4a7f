#include "geometry/lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace zelkan {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(DirectionAngle, QuadrantsAndAxes) {
    EXPECT_DOUBLE_EQ(DirectionAngle(1, -1), -kPi / 4);
    EXPECT_DOUBLE_EQ(DirectionAngle(-1, -1), 5 * kPi / 4);
    EXPECT_DOUBLE_EQ(DirectionAngle(-1, 1), 3 * kPi / 4);
    EXPECT_DOUBLE_EQ(DirectionAngle(1, 1), kPi / 4);
    EXPECT_EQ(DirectionAngle(0, -2), 4.71238898038469);
    EXPECT_EQ(DirectionAngle(0, 3), kPi / 2);
    EXPECT_EQ(DirectionAngle(0, 0), 0.0);
    EXPECT_EQ(DirectionAngle(-2, 0), kPi);
}

TEST(LineThrough, UnitNormalFormThroughBothPoints) {
    TLine L;
    ASSERT_TRUE(LineThrough(L, 1, 2, 4, 6));
    EXPECT_DOUBLE_EQ(L.a, -0.8);
    EXPECT_DOUBLE_EQ(L.b, 0.6);
    EXPECT_NEAR(L.a * 1 + L.b * 2 + L.c, 0.0, 1e-12);
    EXPECT_NEAR(L.a * 4 + L.b * 6 + L.c, 0.0, 1e-12);
}

TEST(LineThrough, FailsForCoincidentPointsAndLeavesTheLine) {
    TLine L{7, 8, 9};
    EXPECT_FALSE(LineThrough(L, 5, 5, 5 + 1e-12, 5));
    EXPECT_EQ(L.a, 7);
    EXPECT_EQ(L.b, 8);
    EXPECT_EQ(L.c, 9);
    EXPECT_TRUE(LineThrough(L, 0, 0, 1e-10, 0));
}

TEST(PerpendicularThrough, KeepsTheScaleAndPassesThroughThePoint) {
    TLine L{0.6, 0.8, -5};
    PerpendicularThrough(L, 3, 4);
    EXPECT_EQ(L.a, 0.8);
    EXPECT_EQ(L.b, -0.6);
    EXPECT_DOUBLE_EQ(L.a * 3 + L.b * 4 + L.c, 0.0);
}

TEST(IntersectLines, MeetingParallelAndFarAway) {
    double x = 1, y = 1;
    // x = 2 and y = 3
    EXPECT_TRUE(IntersectLines(TLine{1, 0, -2}, TLine{0, 1, -3}, x, y));
    EXPECT_DOUBLE_EQ(x, 2);
    EXPECT_DOUBLE_EQ(y, 3);

    x = y = 1;
    EXPECT_FALSE(IntersectLines(TLine{0, 1, -1}, TLine{0, 1, -2}, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    x = y = 1;
    EXPECT_FALSE(IntersectLines(TLine{1, 0, -3e9}, TLine{0, 1, 0}, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_TRUE(IntersectLines(TLine{1, 0, -2e9}, TLine{0, 1, 0}, x, y));
    EXPECT_EQ(x, 2e9);
}

TEST(FootOfPerpendicular, OnAHorizontalAndASlantedLine) {
    double fx = 9, fy = 9;
    ASSERT_TRUE(FootOfPerpendicular(fx, fy, -1, 0, 1, 0, 0, 5));
    EXPECT_NEAR(fx, 0.0, 1e-15);
    EXPECT_NEAR(fy, 0.0, 1e-15);

    ASSERT_TRUE(FootOfPerpendicular(fx, fy, 0, 0, 2, 2, 0, 2));
    EXPECT_DOUBLE_EQ(fx, 1);
    EXPECT_DOUBLE_EQ(fy, 1);
}

TEST(FootOfPerpendicular, FailsOnADegenerateBase) {
    double fx = 9, fy = 9;
    EXPECT_FALSE(FootOfPerpendicular(fx, fy, 1, 1, 1, 1, 0, 5));
}

}  // namespace
}  // namespace zelkan
