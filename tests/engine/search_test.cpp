#include "engine/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "engine/candidates.h"
#include "support/parcels.h"

namespace zelkan {
namespace {

using sample::Polygon;

using Division = std::vector<int32_t>;  // st of each triangle

// A clock that moves on by a fixed step each time it is read.
class SteppingClock : public MillisecondClock {
public:
    explicit SteppingClock(uint32_t start, uint32_t step) : now_(start), step_(step) {}
    uint32_t NowMs() override {
        const uint32_t now = now_;
        now_ += step_;
        return now;
    }

private:
    uint32_t now_;
    uint32_t step_;
};

// Asks the search to stop once a number of divisions has been recorded, and
// counts what it is shown.
class RecordingControl : public SearchControl {
public:
    explicit RecordingControl(int32_t stopAfter = -1) : stopAfter_(stopAfter) {}
    void Pump(const SearchState& s) override {
        ++pumps;
        deepest = std::max(deepest, s.hhh);
    }
    bool StopRequested() override { return stop; }
    void DivisionRecorded(int32_t trisetnum) override {
        ++recorded;
        lastTrisetnum = trisetnum;
        if (recorded == stopAfter_) stop = true;
    }
    int64_t pumps = 0;
    int32_t deepest = 0;
    int32_t recorded = 0;
    int32_t lastTrisetnum = 0;
    bool stop = false;

private:
    int32_t stopAfter_;
};

class Search : public testing::Test {
protected:
    void Prepare(const Polygon& p) {
        sample::SetParcel(*t, p);
        ResetForRun(*t);
        EnumerateCandidates(*t);
        SortCandidates(*t);
    }

    uint64_t Run(SearchControl& control, MillisecondClock& clock, uint32_t calcTimeLimit) {
        TriangulationSearch search(*t, control, clock, calcTimeLimit);
        search.trianproc();
        hhhmax = search.state().hhhmax;
        return search.nodes();
    }

    uint64_t Run(uint32_t calcTimeLimit = 0) {
        SilentSearchControl control;
        SteppingClock clock(0, 0);
        return Run(control, clock, calcTimeLimit);
    }

    std::vector<Division> Stored() const {
        std::vector<Division> v;
        for (int32_t e = 1; e <= t->trisets.trisetnum(); ++e) {
            Division d;
            for (int32_t m = 1; m <= t->trisets.trinum(e); ++m) d.push_back(t->trisets.tri(e, m).st);
            v.push_back(d);
        }
        return v;
    }

    int32_t StOf(int32_t i, int32_t j, int32_t k) const {
        for (int32_t m = 1; m <= t->tritempnum; ++m) {
            const TTriTemp& c = t->tritemp[m];
            if (c.i == i && c.j == j && c.k == k) return m;
        }
        ADD_FAILURE() << "no candidate " << i << "," << j << "," << k;
        return 0;
    }

    std::unique_ptr<EngineTables> t = std::make_unique<EngineTables>();
    int32_t hhhmax = 0;
};

TEST_F(Search, QuadrilateralStoresBothDivisionsInTheOrderOfTheirFirstTriangles) {
    Prepare({{0, 0}, {10, 1}, {11, 8}, {1, 9}});
    ASSERT_EQ(t->tritempnum, 4);
    Run();
    const std::vector<Division> stored = Stored();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(t->dupnum, 0);
    // The divisions on the two diagonals, the one whose first triangle
    // comes first in the sorted table first.
    Division diagonal13 = {StOf(1, 2, 3), StOf(1, 3, 4)};
    Division diagonal24 = {StOf(1, 2, 4), StOf(2, 3, 4)};
    std::sort(diagonal13.begin(), diagonal13.end());
    std::sort(diagonal24.begin(), diagonal24.end());
    if (diagonal24[0] < diagonal13[0]) std::swap(diagonal13, diagonal24);
    EXPECT_EQ(stored, (std::vector<Division>{diagonal13, diagonal24}));
    EXPECT_EQ(hhhmax, 2);
}

TEST_F(Search, TriangularParcelStoresNothingAndTheFastPassYieldsIt) {
    Prepare({{0, 0}, {10, 1}, {3, 7}});
    Run();
    EXPECT_EQ(t->trisets.trisetnum(), 0);
    FastTriangulate(*t);
    ASSERT_EQ(t->trinum, 1);
    EXPECT_EQ(t->tritable[1].st, 1);
    EXPECT_EQ(t->tritable[1].i, 1);
    EXPECT_EQ(t->tritable[1].k, 3);
}

TEST_F(Search, RegularPolygonsStoreEveryTriangulationOnce) {
    const int catalan[] = {1, 1, 2, 5, 14, 42, 132, 429};
    for (int n = 5; n <= 9; ++n) {
        SCOPED_TRACE(n);
        Prepare(sample::RegularPolygon(n, 100, 0.1));
        RecordingControl control;
        SteppingClock clock(0, 0);
        Run(control, clock, 0);
        const std::vector<Division> stored = Stored();
        ASSERT_EQ(static_cast<int>(stored.size()), catalan[n - 2]);
        EXPECT_EQ(t->dupnum, 0);
        EXPECT_EQ(hhhmax, n - 2);
        EXPECT_EQ(control.lastTrisetnum, catalan[n - 2]);
        std::set<Division> distinct;
        for (const Division& d : stored) {
            EXPECT_EQ(static_cast<int>(d.size()), n - 2);
            EXPECT_TRUE(std::is_sorted(d.begin(), d.end()));
            distinct.insert(d);
        }
        EXPECT_EQ(distinct.size(), stored.size());
        // Found in order of their first triangles.
        for (size_t e = 1; e < stored.size(); ++e) EXPECT_LE(stored[e - 1][0], stored[e][0]);
    }
}

TEST_F(Search, FastPassTriangulatesAConvexParcel) {
    Prepare(sample::RegularPolygon(7, 100, 0.1));
    FastTriangulate(*t);
    EXPECT_EQ(t->trinum, 5);
    EXPECT_EQ(t->tritable[1].st, 1);
    for (int32_t m = 2; m <= t->trinum; ++m) EXPECT_LT(t->tritable[m - 1].st, t->tritable[m].st);
}

TEST_F(Search, StopRequestKeepsWhatWasFound) {
    Prepare(sample::RegularPolygon(6, 100, 0.1));
    Run();
    const std::vector<Division> all = Stored();
    ASSERT_EQ(all.size(), 14u);

    Prepare(sample::RegularPolygon(6, 100, 0.1));
    RecordingControl control(3);
    SteppingClock clock(0, 0);
    Run(control, clock, 0);
    const std::vector<Division> stopped = Stored();
    ASSERT_GE(stopped.size(), 3u);
    EXPECT_LT(stopped.size(), all.size());
    EXPECT_TRUE(std::equal(stopped.begin(), stopped.end(), all.begin()));
}

TEST_F(Search, StopRequestedBeforeTheStartStoresNothing) {
    Prepare(sample::RegularPolygon(6, 100, 0.1));
    RecordingControl control;
    control.stop = true;
    SteppingClock clock(0, 0);
    EXPECT_EQ(Run(control, clock, 0), 0u);
    EXPECT_EQ(t->trisets.trisetnum(), 0);
}

TEST_F(Search, TimeLimitStoresPartialDivisionsAtTheDeepestDepth) {
    // Each reading of the clock moves it 1 ms on: a first triangle's level is
    // entered at 1 ms, every level below it at 2 ms or later, beyond the limit.
    // So every compatible pair of a first and a later triangle is stored.
    Prepare(sample::RegularPolygon(5, 100, 0.1));
    SilentSearchControl control;
    SteppingClock clock(4294967290u, 1);  // the difference wraps around 2^32
    Run(control, clock, 1);
    const std::vector<Division> stored = Stored();
    EXPECT_EQ(hhhmax, 2);
    // In a convex pentagon every compatible pair lies in exactly one of the
    // five triangulations, three pairs each.
    EXPECT_EQ(stored.size(), 15u);
    for (const Division& d : stored) EXPECT_EQ(d.size(), 2u);
    EXPECT_EQ(t->dupnum, 0);
}

TEST_F(Search, GenerousTimeLimitChangesNothing) {
    Prepare(sample::RegularPolygon(7, 100, 0.1));
    Run();
    const std::vector<Division> unlimited = Stored();
    Prepare(sample::RegularPolygon(7, 100, 0.1));
    SilentSearchControl control;
    SteppingClock clock(0, 1);
    Run(control, clock, 100000);
    EXPECT_EQ(Stored(), unlimited);
}

TEST_F(Search, ControlIsCalledForEveryCandidateRead) {
    Prepare(sample::RegularPolygon(8, 100, 0.1));
    RecordingControl control;
    SteppingClock clock(0, 0);
    const uint64_t nodes = Run(control, clock, 0);
    EXPECT_GT(static_cast<uint64_t>(control.pumps), nodes * 2);
    EXPECT_EQ(control.deepest, 7);  // the level below a full division
}

TEST_F(Search, DuplicateIsAStoredDivisionThatIsAPrefixByTriangleNumber) {
    Prepare(sample::RegularPolygon(6, 100, 0.1));
    StoreDivision(*t, {2, 5});
    LoadDivision(*t, {2, 5, 9});
    EXPECT_TRUE(IsDuplicateSet(*t));
    LoadDivision(*t, {2, 6, 9});
    EXPECT_FALSE(IsDuplicateSet(*t));
}

TEST(SortTriTable, OrdersByTriangleNumber) {
    auto t = std::make_unique<EngineTables>();
    int32_t n = 0;
    AddTriangle(*t, 7, 1, 2, n, 3);
    AddTriangle(*t, 3, 2, 3, n, 4);
    AddTriangle(*t, 5, 3, 4, n, 5);
    SortTriTable(*t);
    EXPECT_EQ(t->tritable[1].st, 3);
    EXPECT_EQ(t->tritable[1].i, 2);
    EXPECT_EQ(t->tritable[2].st, 5);
    EXPECT_EQ(t->tritable[3].st, 7);
}

}  // namespace
}  // namespace zelkan
