#include "engine/fast_search.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/candidates.h"
#include "engine/evaluation.h"
#include "engine/search.h"
#include "support/parcels.h"

namespace zelkan {
namespace {

using sample::Polygon;

// Everything the search leaves that a user can see.
struct Outcome {
    std::vector<std::vector<int32_t>> divisions;
    int32_t dupnum = 0;
    int32_t hhhmax = 0;
    double evalDiff = 0;
    int32_t selected = 0;
    bool memoryFull = false;
    bool operator==(const Outcome&) const = default;
};

// Stops after a number of recorded divisions, and moves a clock on by 10 ms
// with each: both depend only on what the search has recorded, so both
// engines meet them at the same point of their control flow.
class RecordDrivenControl : public SearchControl, public MillisecondClock {
public:
    explicit RecordDrivenControl(int32_t stopAfter) : stopAfter_(stopAfter) {}
    void Pump(const SearchState&) override {}
    bool StopRequested() override { return stopAfter_ > 0 && recorded_ >= stopAfter_; }
    void DivisionRecorded(int32_t) override { ++recorded_; }
    uint32_t NowMs() override { return 10u * static_cast<uint32_t>(recorded_); }

private:
    int32_t stopAfter_;
    int32_t recorded_ = 0;
};

template <typename Engine>
Outcome Search(const Polygon& parcel, int32_t stopAfter, uint32_t timeLimit, uint64_t budget = UINT64_MAX) {
    // One set of tables per engine, refilled by every run as in the program.
    static const auto t = std::make_unique<EngineTables>();
    sample::PrepareCandidates(*t, parcel, MeasureRules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4});
    RecordDrivenControl control(stopAfter);
    t->trisets.SetBudget(budget);
    Engine engine(*t, control, control, timeLimit);
    engine.trianproc();
    Outcome o;
    o.memoryFull = engine.memoryFull();
    for (int32_t e = 1; e <= t->trisets.trisetnum(); ++e) {
        std::vector<int32_t> d;
        for (int32_t m = 1; m <= t->trisets.trinum(e); ++m) d.push_back(t->trisets.tri(e, m).st);
        o.divisions.push_back(d);
    }
    o.dupnum = t->dupnum;
    o.hhhmax = engine.state().hhhmax;
    EvaluationState evaluation;
    o.evalDiff = Evaluate(*t, evaluation, 100.0, SearchMode::Shape, false);
    o.selected = evaluation.bestShapeNo;
    return o;
}

void ExpectSameAsReference(const Polygon& parcel, int32_t stopAfter = 0, uint32_t timeLimit = 0,
                           uint64_t budget = UINT64_MAX) {
    const Outcome reference = Search<TriangulationSearch>(parcel, stopAfter, timeLimit, budget);
    const Outcome fast = Search<FastTriangulationSearch>(parcel, stopAfter, timeLimit, budget);
    ASSERT_EQ(fast.divisions.size(), reference.divisions.size());
    for (size_t e = 0; e < reference.divisions.size(); ++e) ASSERT_EQ(fast.divisions[e], reference.divisions[e]) << "entry " << e + 1;
    EXPECT_EQ(fast, reference);
}

TEST(FastSearch, RegularPolygonsOf3To11Vertices) {
    for (int n = 3; n <= 11; ++n) {
        SCOPED_TRACE(n);
        ExpectSameAsReference(sample::RegularPolygon(n, 100, 0.1));
    }
}

// Random simple parcels from fixed seeds, every third at survey
// coordinates. The nearly convex families stop at fewer vertices, where the
// reference still finishes in well under a second.
int CompareRandomParcels(uint32_t seeds, int maxVertices) {
    int compared = 0;
    for (uint32_t seed = 1; seed <= seeds; ++seed) {
        const auto size = [seed](int largest) { return 4 + static_cast<int>(seed % static_cast<uint32_t>(largest - 3)); };
        const std::vector<std::pair<std::string, Polygon>> parcels = {
            {"star", sample::StarShaped(size(maxVertices - 1), seed)},
            {"comb", sample::Comb(size(maxVertices), seed)},
            {"collinear", sample::CollinearRun(size(maxVertices - 4), seed)},
            {"rectilinear", sample::Rectilinear(size(maxVertices), seed)},
        };
        for (const auto& [family, parcel] : parcels) {
            SCOPED_TRACE(family + " seed " + std::to_string(seed) + " vertices " + std::to_string(parcel.size()));
            ExpectSameAsReference(seed % 3 == 0 ? sample::Shifted(parcel, -12000.0, -34000.0) : parcel);
            ++compared;
        }
    }
    return compared;
}

TEST(FastSearch, RandomParcelsFromFixedSeeds) { EXPECT_GE(CompareRandomParcels(80, 13), 300); }

// The longer comparison, not run by the test command:
// engine_tests --gtest_also_run_disabled_tests --gtest_filter='*Longer*'
TEST(FastSearch, DISABLED_LongerComparisonUpTo15Vertices) { CompareRandomParcels(400, 15); }

TEST(FastSearch, StopRequestsAtFixedPoints) {
    for (int32_t stopAfter : {1, 2, 5, 13, 40}) {
        SCOPED_TRACE(stopAfter);
        ExpectSameAsReference(sample::RegularPolygon(8, 100, 0.1), stopAfter);
        ExpectSameAsReference(sample::StarShaped(11, 7), stopAfter);
        ExpectSameAsReference(sample::Comb(12, 3), stopAfter);
    }
}

TEST(FastSearch, TimeLimitsAtFixedPoints) {
    // The clock moves 10 ms with each recorded division.
    for (uint32_t limit : {1u, 15u, 35u, 95u}) {
        SCOPED_TRACE(limit);
        ExpectSameAsReference(sample::RegularPolygon(8, 100, 0.1), 0, limit);
        ExpectSameAsReference(sample::StarShaped(11, 7), 0, limit);
        ExpectSameAsReference(sample::Comb(12, 3), 0, limit);
        ExpectSameAsReference(sample::RegularPolygon(8, 100, 0.1), 30, limit);
    }
}

TEST(FastSearch, MemoryBudgetEndsTheSearchAsAStopWould) {
    // A division of the octagon takes 32 + 6 * 4 bytes.
    for (uint64_t divisions : {1, 7, 50}) {
        SCOPED_TRACE(divisions);
        ExpectSameAsReference(sample::RegularPolygon(8, 100, 0.1), 0, 0, divisions * 56);
        const Outcome o = Search<FastTriangulationSearch>(sample::RegularPolygon(8, 100, 0.1), 0, 0, divisions * 56);
        EXPECT_TRUE(o.memoryFull);
        EXPECT_EQ(o.divisions.size(), divisions);
    }
    EXPECT_FALSE(Search<FastTriangulationSearch>(sample::RegularPolygon(8, 100, 0.1), 0, 0, 132 * 56).memoryFull);
}

TEST(FastSearch, AngleBoundIsUsedOnOrdinaryParcels) {
    auto t = std::make_unique<EngineTables>();
    sample::SetParcel(*t, sample::RegularPolygon(9, 100, 0.1));
    EnumerateCandidates(*t);
    SortCandidates(*t);
    SilentSearchControl control;
    SteadyMillisecondClock clock;
    FastTriangulationSearch search(*t, control, clock, 0);
    search.trianproc();
    EXPECT_TRUE(search.wedgeBound());
    // Nearly every level entered leads to a stored division.
    EXPECT_LE(search.nodes(), search.usefulNodes() * 12 / 10);
    EXPECT_EQ(t->trisets.trisetnum(), 429);
}

TEST(FastSearch, RepeatedCornersGiveNoPathDeeperThanItsTables) {
    // A boundary with repeated corners (the closing point again, doubled
    // corners) and every triple of it taken as a candidate, as no
    // enumeration admits them: overlapping triangles count as compatible,
    // and paths grow deeper than the parcel has corners. The sanitizer build
    // checks every write.
    Polygon parcel = sample::RegularPolygon(6, 100, 0.1);
    parcel.push_back(parcel.front());
    parcel.insert(parcel.begin() + 2, parcel[2]);
    auto t = std::make_unique<EngineTables>();
    sample::SetParcel(*t, parcel);
    BuildSideList(*t);
    const int32_t n = t->xynum;
    for (int32_t i = 1; i <= n - 2; ++i)
        for (int32_t j = i + 1; j <= n - 1; ++j)
            for (int32_t k = j + 1; k <= n; ++k) AddCandidate(*t, i, j, k, j - i == 1, k - j == 1, i == 1 && k == n);
    SortCandidates(*t);
    SilentSearchControl control;
    SteadyMillisecondClock clock;
    FastTriangulationSearch search(*t, control, clock, 0);
    search.trianproc();
    EXPECT_GT(search.state().hhhmax, t->xynum + 2);
    EXPECT_GT(t->trisets.trisetnum(), 0);
}

// Asks for a stop at the n-th time it is handed control.
class StopAtPump : public SearchControl {
public:
    explicit StopAtPump(int32_t n) : n_(n) {}
    void Pump(const SearchState& s) override {
        ++pumps;
        if (s.curstart != 0) firstTriangleStarted = true;
    }
    bool StopRequested() override { return pumps >= n_; }
    void DivisionRecorded(int32_t) override {}
    int32_t pumps = 0;
    bool firstTriangleStarted = false;

private:
    int32_t n_;
};

TEST(FastSearch, BuildingItsTablesHandsOverControlAndHonoursAStop) {
    auto t = std::make_unique<EngineTables>();
    sample::SetParcel(*t, sample::RegularPolygon(30, 100, 0.1));
    EnumerateCandidates(*t);
    SortCandidates(*t);
    SteadyMillisecondClock clock;
    // A stop asked for while the 4060 rows of the conflict table are built
    // ends the search there.
    StopAtPump stop(10);
    FastTriangulationSearch search(*t, stop, clock, 0);
    search.trianproc();
    EXPECT_EQ(stop.pumps, 10);
    EXPECT_FALSE(stop.firstTriangleStarted);
    EXPECT_EQ(t->trisets.trisetnum(), 0);
}

}  // namespace
}  // namespace zelkan
