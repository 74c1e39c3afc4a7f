#include "engine/row_bound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/parcels.h"

namespace zelkan {
namespace {

const MeasureRules kCentimetres{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4};

// The lowest corner, a hair below the straight line of its neighbours, sits
// under a notch that reaches down to 0.15 m above it: every triangle at it is
// a sliver, and Heron on centimetres cannot measure those.
const sample::Polygon kNotchedLot = {{0, 0},    {30, -0.05}, {60, 0},     {60, 20}, {31, 20},
                                     {30.5, 0.1}, {29.5, 0.1},  {29, 20}, {0, 20}};

struct BoundCase {
    const char* what;
    long double area;
    MeasureRules rules;
    bool heron;
    double factor;
    double expected;
};

TEST(RowBound, IsFourTimesTheRoundingErrorOfTheEquilateralTriangleOfTheSameArea) {
    const BoundCase cases[] = {
        {"4.6 m2 to the centimetre", 4.6L, kCentimetres, true, 4, 0.113},
        {"540 m2 to the centimetre", 540, kCentimetres, true, 4, 1.224},
        {"off: told against the default", 540, kCentimetres, true, 0, 1.224},
        {"a factor of 2", 540, kCentimetres, true, 2, 0.612},
        {"cut lengths err by a whole centimetre", 540, {1, KetaMode::Cut, 2, KetaMode::HalfUp, 4}, true, 4, 2.447},
        {"millimetres", 540, {1, KetaMode::HalfUp, 3, KetaMode::HalfUp, 4}, true, 4, 0.1225},
        // Whole square metres: the area's own rounding is honest too.
        {"areas to the square metre", 4.6L, {1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 0}, true, 4, 2.113},
        {"base x height prints twice the area", 4.6L, {1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 0}, false, 4, 1.113},
    };
    for (const BoundCase& c : cases) {
        const long double bound = RowBound(c.area, RowBoundRules{c.rules, c.heron, c.factor});
        EXPECT_NEAR(static_cast<double>(bound), c.expected, 0.001) << c.what;
    }
}

TEST(RowBound, ExactAreaKeepsItsDigitsAtSurveyCoordinates) {
    const TAcadPoint a{-34000.123L, -12000.456L, 0}, b{-33899.003L, -12000.406L, 0}, c{-33950.0L, -11999.79L, 0};
    const TAcadPoint a0{0, 0, 0}, b0{b.x - a.x, b.y - a.y, 0}, c0{c.x - a.x, c.y - a.y, 0};
    EXPECT_NEAR(static_cast<double>(ExactTriangleArea(a, b, c, 1)), static_cast<double>(ExactTriangleArea(a0, b0, c0, 1)),
                1e-9);
    // Drawing units over the scale, squared.
    EXPECT_NEAR(static_cast<double>(ExactTriangleArea(a0, b0, c0, 10)),
                static_cast<double>(ExactTriangleArea(a0, b0, c0, 1)) / 100, 1e-12);
}

// Every division's worst row, the least of them, by storing every division.
double LeastWorstBySearch(EngineTables& t, const std::vector<double>& ratios) {
    EXPECT_FALSE(sample::SearchEveryDivision(t));
    double least = kNoHonestDivision;
    for (int32_t r = 1; r <= t.trisets.trisetnum(); ++r) {
        if (t.trisets.trinum(r) != t.xynum - 2) continue;
        double worst = 0;
        for (int32_t m = 1; m <= t.trisets.trinum(r); ++m)
            worst = std::max(worst, ratios[static_cast<size_t>(t.trisets.tri(r, m).st)]);
        least = std::min(least, worst);
    }
    return least;
}

TEST(RowBound, LeastWorstRatioIsTheLeastOfEveryDivisionsWorstRow) {
    const sample::Polygon parcels[] = {
        sample::Shifted(sample::NearStraightStrip(12, 120, 3), -34000, -12000),
        sample::NearStraightStrip(14, 200, 5),
        sample::RoadCurveLot(10, 7),
        kNotchedLot,
    };
    for (const sample::Polygon& parcel : parcels) {
        for (const bool heron : {true, false}) {
            auto t = std::make_unique<EngineTables>();
            sample::PrepareCandidates(*t, parcel, kCentimetres);
            const std::vector<double> ratios = CandidateRatios(*t, RowBoundRules{kCentimetres, heron, 4});
            EXPECT_EQ(LeastWorstRatio(*t, ratios), LeastWorstBySearch(*t, ratios)) << parcel.size() << heron;
        }
    }
}

TEST(RowBound, KeepsTheHonestCandidatesInTheirOrder) {
    auto t = std::make_unique<EngineTables>();
    sample::PrepareCandidates(*t, sample::NearStraightStrip(16, 160, 11), kCentimetres);
    const RowBoundRules rules{kCentimetres, true, 4};
    const std::vector<double> ratios = CandidateRatios(*t, rules);
    std::vector<std::vector<int32_t>> honest;
    for (int32_t m = 1; m <= t->tritempnum; ++m) {
        const TTriTemp& c = t->tritemp[static_cast<size_t>(m)];
        if (ratios[static_cast<size_t>(m)] <= 1) honest.push_back({c.i, c.j, c.k});
    }
    const int32_t before = t->tritempnum;
    const RowBoundChoice choice = KeepHonestCandidates(*t, rules);
    EXPECT_TRUE(choice.honestDivision);
    EXPECT_GT(choice.removed, 0);  // the strip has slivers
    EXPECT_EQ(choice.removed, before - static_cast<int32_t>(honest.size()));
    ASSERT_EQ(t->tritempnum, static_cast<int32_t>(honest.size()));
    for (int32_t m = 1; m <= t->tritempnum; ++m) {
        const TTriTemp& c = t->tritemp[static_cast<size_t>(m)];
        EXPECT_EQ((std::vector<int32_t>{c.i, c.j, c.k}), honest[static_cast<size_t>(m) - 1]);
    }

    // Off, nothing changes.
    auto off = std::make_unique<EngineTables>();
    sample::PrepareCandidates(*off, sample::NearStraightStrip(16, 160, 11), kCentimetres);
    EXPECT_EQ(KeepHonestCandidates(*off, RowBoundRules{kCentimetres, true, 0}).removed, 0);
    EXPECT_EQ(off->tritempnum, before);
}

TEST(RowBound, WhereNoDivisionIsHonestKeepsTheLeastDishonest) {
    auto t = std::make_unique<EngineTables>();
    sample::PrepareCandidates(*t, kNotchedLot, kCentimetres);
    const RowBoundRules rules{kCentimetres, true, 4};
    const RowBoundChoice choice = KeepHonestCandidates(*t, rules);
    EXPECT_FALSE(choice.honestDivision);
    EXPECT_TRUE(choice.sanshaHonest);  // base and height measures the slivers
    EXPECT_GT(choice.leastWorst, 1);
    EXPECT_GT(choice.removed, 0);
    // What is left still divides the parcel, no worse than it must.
    const std::vector<double> ratios = CandidateRatios(*t, rules);
    EXPECT_EQ(LeastWorstRatio(*t, ratios), choice.leastWorst);
    EXPECT_LE(*std::max_element(ratios.begin(), ratios.end()), choice.leastWorst);
}

}  // namespace
}  // namespace zelkan
