#include "engine/division_cover.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/evaluation.h"
#include "engine/exact_selection.h"
#include "engine/search.h"
#include "support/parcels.h"

namespace zelkan {
namespace {

using Triple = std::array<int32_t, 3>;

// The hexagon (0,0) (10,0) (15,8) (10,16) (0,16) (-5,8): area 240.
std::unique_ptr<EngineTables> Hexagon(const std::vector<Triple>& division) {
    auto t = std::make_unique<EngineTables>();
    sample::SetParcel(*t, {{0, 0}, {10, 0}, {15, 8}, {10, 16}, {0, 16}, {-5, 8}});
    LoadDivision(*t, sample::CandidatesOf(*t, division));
    return t;
}

struct CoverCase {
    const char* name;
    std::vector<Triple> division;
    bool covers;
    double divisionArea;
    int32_t overlapFirst, overlapSecond, flat;
};

class CoverTable : public testing::TestWithParam<CoverCase> {};

TEST_P(CoverTable, Decides) {
    const CoverCase& c = GetParam();
    const DivisionCover cover = CheckDivisionCover(*Hexagon(c.division), 1);
    EXPECT_EQ(cover.covers, c.covers);
    EXPECT_EQ(cover.needed, 4);
    EXPECT_EQ(cover.triangles, static_cast<int32_t>(c.division.size()));
    EXPECT_NEAR(static_cast<double>(cover.parcelArea), 240, 1e-12);
    EXPECT_NEAR(static_cast<double>(cover.divisionArea), c.divisionArea, 1e-12);
    EXPECT_EQ(cover.overlapFirst, c.overlapFirst);
    EXPECT_EQ(cover.overlapSecond, c.overlapSecond);
    EXPECT_EQ(cover.flatTriangle, c.flat);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CoverTable,
    testing::Values(CoverCase{"fan", {{1, 2, 3}, {1, 3, 4}, {1, 4, 5}, {1, 5, 6}}, true, 240, 0, 0, 0},
                    CoverCase{"strip", {{1, 2, 6}, {2, 3, 6}, {3, 5, 6}, {3, 4, 5}}, true, 240, 0, 0, 0},
                    CoverCase{"a triangle short", {{1, 2, 3}, {1, 3, 4}, {1, 4, 5}}, false, 200, 0, 0, 0},
                    CoverCase{"nothing", {}, false, 0, 0, 0, 0},
                    // Four triangles, two of them over the same ground and a gap.
                    CoverCase{"overlapping", {{1, 2, 3}, {1, 3, 4}, {1, 3, 5}, {1, 5, 6}}, false, 280, 2, 3, 0},
                    CoverCase{"stacked twice", {{1, 2, 3}, {1, 2, 3}, {1, 3, 4}, {1, 4, 5}}, false, 240, 1, 2, 0}),
    [](const testing::TestParamInfo<CoverCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

TEST(DivisionCover, AFlatTriangleCoversNothing) {
    // A square with a corner half-way along its bottom side.
    auto t = std::make_unique<EngineTables>();
    sample::SetParcel(*t, {{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}});
    LoadDivision(*t, sample::CandidatesOf(*t, {{1, 2, 3}, {1, 3, 4}, {1, 4, 5}}));
    const DivisionCover cover = CheckDivisionCover(*t, 1);
    EXPECT_FALSE(cover.covers);
    EXPECT_EQ(cover.flatTriangle, 1);
}

TEST(DivisionCover, TheMessageSaysHowMuchIsLeftOutInMeasureUnits) {
    auto t = Hexagon({{1, 2, 3}, {1, 3, 4}});
    EXPECT_EQ(NotCoveredMessage(CheckDivisionCover(*t, 2)),
              "分割が筆全体を覆っていません: 三角形 2 個（必要 4 個）、座標面積 60.000 のうち覆っていない面積 30.000");
    t = Hexagon({{1, 2, 3}, {1, 3, 4}, {1, 3, 5}, {1, 5, 6}});
    EXPECT_EQ(NotCoveredMessage(CheckDivisionCover(*t, 1)),
              "分割が筆全体を覆っていません: 三角形 4 個（必要 4 個）、三角形 2 と 3 が重なっています、座標面積 240.000 "
              "のうち重なった面積 40.000");
}

// Candidate tables that hold no division of the whole parcel: every mode
// of the selection, the search and the evaluation ends without one, and
// nothing reads beyond a table (the sanitizer build runs this).
TEST(NoDivisionAmongTheCandidates, EveryModeEndsWithoutOne) {
    const MeasureRules rules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 2};
    const std::vector<std::pair<const char*, std::function<bool(const TTriTemp&)>>> keeps = {
        {"no candidate", [](const TTriTemp&) { return false; }},
        {"one candidate", [](const TTriTemp& c) { return c.i == 2 && c.j == 3 && c.k == 4; }},
        {"none on the first and the last corner", [](const TTriTemp& c) { return !(c.i == 1 && c.k == 6); }},
        {"none at corner 4", [](const TTriTemp& c) { return c.i != 4 && c.j != 4 && c.k != 4; }},
    };
    for (const auto& [name, keep] : keeps) {
        SCOPED_TRACE(name);
        auto t = std::make_unique<EngineTables>();
        sample::PrepareCandidates(*t, sample::RegularPolygon(6, 10, 0.1), rules);
        int32_t kept = 0;
        for (int32_t c = 1; c <= t->tritempnum; ++c)
            if (keep(t->tritemp[static_cast<size_t>(c)])) t->tritemp[static_cast<size_t>(++kept)] = t->tritemp[static_cast<size_t>(c)];
        t->tritempnum = kept;

        for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest, SearchMode::NotAbove}) {
            for (const bool heron : {false, true})
                EXPECT_EQ(SelectExactly(*t, 259.8, mode, heron).status, SelectionStatus::NoDivision) << ModeNumber(mode);
        }
        sample::SearchEveryDivision(*t);
        for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest, SearchMode::NotAbove}) {
            EvaluationState e;
            Evaluate(*t, e, 259.8, mode, true);
            RestoreSelection(*t);
            EXPECT_FALSE(CheckDivisionCover(*t, 1).covers) << ModeNumber(mode);
        }
        FastTriangulate(*t);
        EXPECT_FALSE(CheckDivisionCover(*t, 1).covers);
    }
}

// Sample parcels of every family, the grid-like ones with exactly vertical
// sides at the origin and at survey coordinates: the candidates always hold
// a division of the whole parcel, and the exact selection and the fast
// mode's greedy pass each find one that covers it.
TEST(DivisionCover, EverySampleParcelIsDividedWhole) {
    const MeasureRules rules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 2};
    auto t = std::make_unique<EngineTables>();
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        const auto size = [seed](int largest) { return 4 + static_cast<int>(seed % static_cast<uint32_t>(largest - 3)); };
        const std::vector<std::pair<std::string, sample::Polygon>> parcels = {
            {"star", sample::StarShaped(size(14), seed)},
            {"comb", sample::Comb(size(16), seed)},
            {"collinear", sample::CollinearRun(size(12), seed)},
            {"rectilinear", sample::Rectilinear(size(16), seed)},
            {"rectilinear at survey coordinates", sample::Shifted(sample::Rectilinear(size(16), seed), -33990.0, -11990.0)},
        };
        for (const auto& [family, parcel] : parcels) {
            SCOPED_TRACE(family + " seed " + std::to_string(seed) + " corners " + std::to_string(parcel.size()));
            sample::PrepareCandidates(*t, parcel, rules);
            const ExactSelection exact = SelectExactly(*t, sample::PolygonArea(parcel), SearchMode::Shape, false);
            ASSERT_EQ(exact.status, SelectionStatus::Selected);
            LoadDivision(*t, exact.division);
            EXPECT_TRUE(CheckDivisionCover(*t, 1).covers) << NotCoveredMessage(CheckDivisionCover(*t, 1));
            FastTriangulate(*t);
            EXPECT_TRUE(CheckDivisionCover(*t, 1).covers) << NotCoveredMessage(CheckDivisionCover(*t, 1));
        }
    }
}

}  // namespace
}  // namespace zelkan
