#include "engine/candidates.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "geometry/errors.h"
#include "support/parcels.h"

namespace zelkan {
namespace {

using sample::Polygon;
using sample::SetParcel;

struct Triple {
    int32_t i, j, k;
    bool operator==(const Triple&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Triple& t) { return os << "(" << t.i << "," << t.j << "," << t.k << ")"; }

class Candidates : public testing::Test {
protected:
    void Enumerate(const Polygon& p) {
        SetParcel(*t, p);
        EnumerateCandidates(*t);
    }
    std::vector<Triple> Triples() const {
        std::vector<Triple> v;
        for (int32_t m = 1; m <= t->tritempnum; ++m) v.push_back({t->tritemp[m].i, t->tritemp[m].j, t->tritemp[m].k});
        return v;
    }
    std::unique_ptr<EngineTables> t = std::make_unique<EngineTables>();
};

TEST_F(Candidates, TriangularParcelIsItsOnlyCandidateWithEveryEdgeFlag) {
    Enumerate({{0, 0}, {10, 1}, {3, 7}});
    ASSERT_EQ(Triples(), (std::vector<Triple>{{1, 2, 3}}));
    EXPECT_EQ(t->tritemp[1].ijEdge, 1);
    EXPECT_EQ(t->tritemp[1].jkEdge, 1);
    EXPECT_EQ(t->tritemp[1].kiEdge, 1);
}

TEST_F(Candidates, ConvexQuadrilateralHasFourReflexOneTwo) {
    Enumerate({{0, 0}, {10, 1}, {11, 8}, {1, 9}});
    EXPECT_EQ(Triples(), (std::vector<Triple>{{1, 2, 3}, {1, 2, 4}, {1, 3, 4}, {2, 3, 4}}));
    // Vertex 3 is reflex: only the triangles on the inner diagonal 1-3.
    Enumerate({{0, 0}, {10, 1}, {4, 3}, {1, 9}});
    EXPECT_EQ(Triples(), (std::vector<Triple>{{1, 2, 3}, {1, 3, 4}}));
}

TEST_F(Candidates, EdgeFlagsOfTheTriangleOnTheClosingSide) {
    Enumerate(sample::RegularPolygon(5, 100, 0.1));
    ASSERT_EQ(t->tritempnum, 10);
    const TTriTemp& c = t->tritemp[3];  // (1,2,5) in enumeration order
    ASSERT_EQ((Triple{c.i, c.j, c.k}), (Triple{1, 2, 5}));
    EXPECT_EQ(c.ijEdge, 1);
    EXPECT_EQ(c.jkEdge, 0);
    EXPECT_EQ(c.kiEdge, 1);
}

TEST_F(Candidates, ConcaveParcelKeepsOnlyInsideTriangles) {
    // A U shape: the notch between vertices 5 and 8 is outside.
    Enumerate({{0, 0}, {30, 0.5}, {30.5, 20}, {20.5, 20.2}, {20, 10.3}, {10.2, 10}, {10, 20.1}, {0.3, 20}});
    const auto uses = [](const Triple& c, int32_t a, int32_t b) {
        return c.i == a || c.j == a || c.k == a || c.i == b || c.j == b || c.k == b;
    };
    for (const Triple& c : Triples()) {
        // No candidate joins the tops of the two arms across the notch.
        EXPECT_FALSE(uses(c, 3, 4) && uses(c, 7, 8)) << c;
    }
    // A triangulation of 8 vertices needs 6 triangles; there are enough.
    EXPECT_GE(t->tritempnum, 6);
}

TEST_F(Candidates, OverflowOfTheCandidateTableEndsTheRun) {
    // A convex parcel of 86 vertices has C(86, 3) = 102 340 admissible triples.
    SetParcel(*t, sample::RegularPolygon(86, 1000, 0.1));
    try {
        EnumerateCandidates(*t);
        FAIL() << "no capacity error";
    } catch (const CapacityError& e) {
        EXPECT_STREQ(e.what(), "tritempnum が制限を越えました");
    }
    EXPECT_EQ(t->tritempnum, 99999);
}

struct CrossCase {
    const char* name;
    TAcadPoint a, b, c, d;
    bool crosses;
};

class SidesCrossTable : public testing::TestWithParam<CrossCase> {};

TEST_P(SidesCrossTable, Decides) {
    const CrossCase& c = GetParam();
    EXPECT_EQ(SidesCross(c.a, c.b, c.c, c.d), c.crosses) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SidesCrossTable,
    testing::Values(
        CrossCase{"proper crossing", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true},
        CrossCase{"common end point", {0, 0}, {10, 10}, {10, 10}, {20, 0}, false},
        CrossCase{"touching at a vertex it does not own", {0, 0}, {10, 0}, {5, 0}, {8, 6}, true},
        CrossCase{"apart", {0, 0}, {10, 1}, {0, 5}, {10, 6}, false},
        CrossCase{"parallel", {0, 0}, {10, 1}, {0, 1}, {10, 2}, false},
        CrossCase{"collinear and overlapping", {0, 0}, {10, 1}, {5, 0.5}, {15, 1.5}, false},
        // Exactly vertical segments are decided as any other, in metres at
        // survey coordinates too: a near miss of a millimetre is a miss.
        CrossCase{"near miss with a vertical segment", {0, 0}, {0, 10}, {0.3, 5}, {5, 5}, false},
        CrossCase{"the same near miss without a vertical segment", {0, 0}, {0.01, 10}, {0.3, 5}, {5, 5}, false},
        CrossCase{"vertical near miss beyond its end", {200, 0}, {200, 1.78}, {195.9, 1.781}, {205, 1.781}, false},
        CrossCase{"vertical near miss of a millimetre", {-33990, -11990}, {-33990, -11980}, {-33989.999, -11985}, {-33980, -11984}, false},
        CrossCase{"vertical crossing", {0, 0}, {0, 10}, {-3, 5}, {5, 6}, true},
        CrossCase{"vertical crossing, vertical second", {-3, 5}, {5, 6}, {0, 0}, {0, 10}, true},
        CrossCase{"vertical touched at a vertex it does not own", {0, 0}, {0, 10}, {0, 4}, {5, 6}, true},
        CrossCase{"vertical reaching a segment's end", {0, 0}, {0, 10}, {-5, 10}, {5, 12}, false},
        CrossCase{"vertical and parallel", {0, 0}, {0, 10}, {1, 0}, {1, 10}, false},
        CrossCase{"vertical and collinear", {0, 0}, {0, 10}, {0, 5}, {0, 15}, false}),
    [](const testing::TestParamInfo<CrossCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST_F(Candidates, PointOnAHorizontalRunIsDecidedByTheRunsFirstVertex) {
    // A step whose run at y = 5 goes from x = 10 to x = 4 (counter-clockwise)
    // or from x = 4 to x = 10 (clockwise).
    const Polygon ccw = {{0, 0}, {10, 0}, {10, 5}, {4, 5}, {4, 10}, {0, 10}};
    SetParcel(*t, ccw);
    EXPECT_TRUE(PointInParcel(*t, 7, 5));
    EXPECT_TRUE(PointInParcel(*t, 2, 5));
    EXPECT_FALSE(PointInParcel(*t, 10.5, 5));
    EXPECT_TRUE(PointInParcel(*t, 2, 7));
    EXPECT_FALSE(PointInParcel(*t, 7, 7));
    EXPECT_EQ(t->xy[7].x, 0.0L) << "vertex 1 is copied behind the last";

    SetParcel(*t, {{0, 10}, {4, 10}, {4, 5}, {10, 5}, {10, 0}, {0, 0}});
    EXPECT_FALSE(PointInParcel(*t, 7, 5));
    EXPECT_TRUE(PointInParcel(*t, 2, 5));
}

TEST_F(Candidates, PointWhereTheBoundaryTouchesTheRayAndReturns) {
    // The apex (5, 10) of the top edge touches the line y = 10 from below.
    SetParcel(*t, {{0, 0}, {10, 0}, {5, 10}});
    EXPECT_FALSE(PointInParcel(*t, 1, 10));
    EXPECT_TRUE(PointInParcel(*t, 5, 5));
    EXPECT_FALSE(PointInParcel(*t, 11, 5));
}

TEST_F(Candidates, SurveyCoordinatesAdmitWhatTheOriginAdmits) {
    // 9 cm across, with a corner level with the midpoint of its neighbours'
    // diagonal: at a million the ray through that midpoint once missed the
    // corner by a rounding, and a diagonal outside the parcel became a side.
    const Polygon small = {{-0.001, 0.028}, {-0.026, 0.024}, {-0.026, 0.011}, {-0.037, -0.002},
                           {0.001, -0.042}, {0.009, -0.038}, {0.023, -0.019}};
    const auto triples = [this](const Polygon& p) {
        SetParcel(*t, p);
        EnumerateCandidates(*t);
        std::vector<std::vector<int32_t>> list;
        for (int32_t m = 1; m <= t->tritempnum; ++m)
            list.push_back({t->tritemp[static_cast<size_t>(m)].i, t->tritemp[static_cast<size_t>(m)].j,
                            t->tritemp[static_cast<size_t>(m)].k});
        return list;
    };
    const auto atOrigin = triples(small);
    EXPECT_EQ(atOrigin.size(), 30u);
    for (const auto& [dx, dy] : {std::pair{999000.0, -999000.0}, std::pair{-34000.0, -12000.0}}) {
        EXPECT_EQ(triples(sample::Shifted(small, dx, dy)), atOrigin) << dx;
        const Polygon shifted = sample::Shifted(small, dx, dy);
        SetParcel(*t, shifted);
        // The literal reference agrees.
        EnumerateCandidatesLiterally(*t);
        EXPECT_EQ(t->tritempnum, 30) << dx;
    }
}

TEST_F(Candidates, ShapeDeviationInWholeDegrees) {
    SetParcel(*t, {{0, 0}, {10, 0}, {5, 8.660254037844386}, {0, 10}, {20, 0}});
    EXPECT_EQ(ShapeDeviation(*t, 1, 2, 3), 0.0);   // equilateral
    EXPECT_EQ(ShapeDeviation(*t, 1, 2, 4), 60.0);  // right isosceles
    EXPECT_EQ(ShapeDeviation(*t, 1, 2, 5), 240.0); // collinear
    EXPECT_EQ(ShapeDeviation(*t, 4, 1, 2), 60.0);  // vertex order does not matter
}

TEST_F(Candidates, SortPutsFatTrianglesFirstAndKeepsTheOrderOfEqualShapes) {
    // In a regular pentagon the five triangles of two diagonals (72-72-36
    // degrees, shape 48) come before the five ears (36-36-108, shape 96).
    Enumerate(sample::RegularPolygon(5, 100, 0.1));
    SortCandidates(*t);
    EXPECT_EQ(Triples(), (std::vector<Triple>{{1, 2, 4}, {1, 3, 4}, {1, 3, 5}, {2, 3, 5}, {2, 4, 5},
                                              {1, 2, 3}, {1, 2, 5}, {1, 4, 5}, {2, 3, 4}, {3, 4, 5}}));
    EXPECT_EQ(t->tritemp[1].shape, 48.0);
    EXPECT_EQ(t->tritemp[10].shape, 96.0);
}

MeasureRules Rules(KetaMode lengthMode, int32_t lengthDigits, KetaMode areaMode, int32_t areaDigits, int32_t scale = 1) {
    return MeasureRules{scale, lengthMode, lengthDigits, areaMode, areaDigits};
}

TEST_F(Candidates, MetricsOfARightTriangle) {
    Enumerate({{0, 0}, {4, 0}, {0, 3}});
    CandidateMetrics(*t, Rules(KetaMode::HalfUp, 2, KetaMode::HalfUp, 4));
    const TTriTemp& c = t->tritemp[1];
    EXPECT_EQ(c.lenIJ, 4.0);
    EXPECT_EQ(c.lenIJText, "  4.00");
    EXPECT_EQ(c.lenJKText, "  5.00");
    EXPECT_EQ(c.lenKIText, "  3.00");
    EXPECT_EQ(c.heron, 6.0);
    EXPECT_EQ(c.heronText, "6.0000");
    // Base ij with apex k: the foot is vertex 1.
    EXPECT_EQ(c.ij.footX, 0.0);
    EXPECT_EQ(c.ij.footY, 0.0);
    EXPECT_EQ(c.ij.heightText, "  3.00");
    EXPECT_EQ(c.ij.areaText, "12.0000");
    // Base jk (the hypotenuse) with apex i: height 2.4.
    EXPECT_NEAR(c.jk.footX, 1.44, 1e-12);
    EXPECT_NEAR(c.jk.footY, 1.92, 1e-12);
    EXPECT_EQ(c.jk.heightText, "  2.40");
    EXPECT_EQ(c.jk.areaText, "12.0000");
    EXPECT_EQ(c.ki.heightText, "  4.00");
    EXPECT_EQ(c.ki.areaText, "12.0000");
}

TEST_F(Candidates, MetricsWorkInMeasureUnitsFromTheRoundedTexts) {
    // Scale 2 halves every length; lengths cut to whole units give sides
    // 2, 2 and 3, and Heron's area of those texts, not of the true sides.
    Enumerate({{0, 0}, {4.6, 0}, {0, 3.5}});
    CandidateMetrics(*t, Rules(KetaMode::Cut, 0, KetaMode::HalfUp, 4, 2));
    const TTriTemp& c = t->tritemp[1];
    EXPECT_EQ(c.lenIJ, 2.3);
    EXPECT_EQ(c.lenIJText, "     2");
    EXPECT_EQ(c.lenJKText, "     2");  // 2.89...
    EXPECT_EQ(c.lenKIText, "     1");  // 1.75
    EXPECT_EQ(c.heronText, "0.9682");  // Heron of 2, 2, 1; the true area would be 2.0125
}

TEST_F(Candidates, LongTextsAreStoredCutTo16Characters) {
    Enumerate({{0, 0}, {4e7, 0}, {0, 3e7}});
    CandidateMetrics(*t, Rules(KetaMode::HalfUp, 8, KetaMode::HalfUp, 8));
    const TTriTemp& c = t->tritemp[1];
    EXPECT_EQ(c.lenIJText, "40000000.0000000");  // 40000000.00000000
    EXPECT_EQ(c.ij.areaText, "1200000000000000");  // 1200000000000000.00000000
    EXPECT_EQ(c.heronText, "600000000000000.");
}

TEST_F(Candidates, ABaseWithoutAFootKeepsItsPreviousContent) {
    // Vertices 1 and 2 coincide: no line through them.
    Enumerate({{0, 0}, {4, 0}, {0, 3}});
    t->xy[2] = TAcadPoint{0, 0, 0};
    t->tritemp[1].ij.heightText = "old";
    t->tritemp[1].ij.footX = 99;
    CandidateMetrics(*t, Rules(KetaMode::HalfUp, 2, KetaMode::HalfUp, 4));
    EXPECT_EQ(t->tritemp[1].ij.heightText, "old");
    EXPECT_EQ(t->tritemp[1].ij.footX, 99);
    EXPECT_EQ(t->tritemp[1].jk.heightText, "  0.00");
}

}  // namespace
}  // namespace zelkan

namespace zelkan {
namespace {

// The pairwise enumeration admits exactly the triples of the literal one.
TEST(EnumerationByPairs, SameCandidatesAsTheTripleByTripleTests) {
    auto literal = std::make_unique<EngineTables>();
    auto byPairs = std::make_unique<EngineTables>();
    int compared = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        const int n = 4 + static_cast<int>(seed % 25);
        for (const sample::Polygon& parcel :
             {sample::StarShaped(n, seed), sample::Comb(n, seed), sample::CollinearRun(n, seed),
              sample::Rectilinear(n, seed), sample::Shifted(sample::StarShaped(n, seed + 100), -12000, -34000),
              sample::RegularPolygon(n, 100, 0.0)}) {
            sample::SetParcel(*literal, parcel);
            sample::SetParcel(*byPairs, parcel);
            EnumerateCandidatesLiterally(*literal);
            EnumerateCandidates(*byPairs);
            ASSERT_EQ(byPairs->tritempnum, literal->tritempnum) << "seed " << seed << " vertices " << parcel.size();
            for (int32_t m = 1; m <= literal->tritempnum; ++m) {
                const TTriTemp &a = literal->tritemp[m], &b = byPairs->tritemp[m];
                ASSERT_TRUE(a.i == b.i && a.j == b.j && a.k == b.k && a.shape == b.shape && a.ijEdge == b.ijEdge &&
                            a.jkEdge == b.jkEdge && a.kiEdge == b.kiEdge)
                    << "seed " << seed << " candidate " << m;
            }
            ++compared;
        }
    }
    EXPECT_EQ(compared, 240);
}

}  // namespace
}  // namespace zelkan
