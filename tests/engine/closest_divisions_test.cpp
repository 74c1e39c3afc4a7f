#include "engine/closest_divisions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "engine/area_units.h"
#include "engine/exact_selection.h"
#include "support/parcels.h"

namespace zelkan {
namespace {

const MeasureRules kRules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4};

using Division = std::vector<int32_t>;

Int128 Total(const AreaUnits& units, const Division& division) {
    Int128 total = 0;
    for (const int32_t c : division) total += units.units[static_cast<size_t>(c)];
    return total;
}

bool EquallyNear(Int128 a, Int128 b, const ExactTarget& target) {
    return !Closer(a, b, target) && !Closer(b, a, target);
}

// Against every division the search stores, both measures, the coordinate
// area as it is and moved off the middle of the totals: the same divisions,
// each once, and the k-th as near the area as the k-th nearest of them all.
TEST(ClosestDivisions, TheNearestAreThoseOfEveryDivisionSortedByDistance) {
    for (const sample::NamedParcel& c : sample::SmallParcelsOfEachKind()) {
        auto t = std::make_unique<EngineTables>();
        sample::PrepareCandidates(*t, c.parcel, kRules);
        sample::SearchEveryDivision(*t);
        const std::vector<Division> every = sample::EveryStoredDivision(*t);
        ASSERT_GE(every.size(), 2u) << c.name;
        const double area = sample::PolygonArea(c.parcel);
        for (const bool heron : {true, false}) {
            for (const double menkei : {area, area * 1.0003, area - 0.00005}) {
                SCOPED_TRACE(std::string(c.name) + (heron ? " heron " : " sansha ") + std::to_string(menkei));
                const AreaUnits units = *CandidateAreaUnits(*t, heron, menkei);
                std::vector<Int128> totals;
                for (const Division& d : every) totals.push_back(Total(units, d));
                std::sort(totals.begin(), totals.end(),
                          [&](Int128 a, Int128 b) { return Closer(a, b, units.target); });

                const ClosestDivisions all = DivisionsClosestToArea(*t, menkei, heron, every.size() + 10);
                EXPECT_TRUE(all.complete);
                ASSERT_EQ(all.divisions.size(), every.size());
                EXPECT_EQ(std::set<Division>(all.divisions.begin(), all.divisions.end()),
                          std::set<Division>(every.begin(), every.end()));
                for (size_t k = 0; k < every.size(); ++k)
                    EXPECT_TRUE(EquallyNear(Total(units, all.divisions[k]), totals[k], units.target)) << k;

                // Fewer asked: the first of the same list.
                const ClosestDivisions few = DivisionsClosestToArea(*t, menkei, heron, 3);
                EXPECT_TRUE(few.complete);
                EXPECT_EQ(few.divisions, std::vector<Division>(all.divisions.begin(), all.divisions.begin() + 3));
            }
        }
    }
}

// Where no search can store every division: as many as asked, distinct,
// whole, nearest first, and the first as near as the exact selection's
// choice in mode 1. A work bound too small for them all still gives the
// first of the same list, and says it stopped.
TEST(ClosestDivisions, AParcelOfSixtyCornersGetsTheNearestInOrder) {
    auto t = std::make_unique<EngineTables>();
    const sample::Polygon parcel = sample::IrregularLot(60, 11);
    sample::PrepareCandidates(*t, parcel, kRules);
    const double menkei = sample::PolygonArea(parcel);
    const ExactSelection chosen = SelectExactly(*t, menkei, SearchMode::Closest, true);
    ASSERT_EQ(chosen.status, SelectionStatus::Selected);
    const AreaUnits units = *CandidateAreaUnits(*t, true, menkei);

    const ClosestDivisions nearest = DivisionsClosestToArea(*t, menkei, true, 300);
    EXPECT_TRUE(nearest.complete);
    ASSERT_EQ(nearest.divisions.size(), 300u);
    EXPECT_EQ(std::set<Division>(nearest.divisions.begin(), nearest.divisions.end()).size(), 300u);
    EXPECT_TRUE(EquallyNear(Total(units, nearest.divisions.front()), Total(units, chosen.division), units.target));
    for (size_t k = 0; k < nearest.divisions.size(); ++k) {
        EXPECT_EQ(nearest.divisions[k].size(), 58u);
        EXPECT_TRUE(PassesSearchCrossingTest(*t, nearest.divisions[k])) << k;
        if (k > 0) {
            EXPECT_FALSE(Closer(Total(units, nearest.divisions[k]), Total(units, nearest.divisions[k - 1]), units.target))
                << k;
        }
    }

    // The band alone, and then within work bounds too small for it: the
    // first of the same list, and a word that the listing stopped.
    ClosestLimits banded;
    banded.maxExactWork = 0;
    banded.narrowBand = banded.wideBand = Pass::Band4096;
    const ClosestDivisions balanced = DivisionsClosestToArea(*t, menkei, true, 300, banded);
    EXPECT_FALSE(balanced.exact);
    ASSERT_EQ(balanced.divisions.size(), 300u);
    EXPECT_TRUE(EquallyNear(Total(units, balanced.divisions.front()), Total(units, chosen.division), units.target));
    bool cutSeen = false;
    for (uint64_t work = 4'000'000; work >= 1000; work /= 4) {
        ClosestLimits small = banded;
        small.maxBandWork = work;
        const ClosestDivisions cut = DivisionsClosestToArea(*t, menkei, true, 300, small);
        if (cut.complete) continue;
        cutSeen = true;
        ASSERT_LT(cut.divisions.size(), 300u);
        EXPECT_EQ(cut.divisions, std::vector<Division>(balanced.divisions.begin(),
                                                       balanced.divisions.begin() + static_cast<ptrdiff_t>(cut.divisions.size())));
    }
    EXPECT_TRUE(cutSeen);
}

TEST(ClosestDivisions, NoneWithoutADivisionOfTheWholeParcel) {
    auto t = std::make_unique<EngineTables>();
    EXPECT_TRUE(DivisionsClosestToArea(*t, 100, true, 10).divisions.empty());
    const sample::Polygon triangle = {{0, 0}, {10, 0}, {0, 10}};
    sample::PrepareCandidates(*t, triangle, kRules);
    const ClosestDivisions one = DivisionsClosestToArea(*t, 50, true, 10);
    EXPECT_TRUE(one.complete);
    EXPECT_EQ(one.divisions.size(), 1u);  // a triangle is its own division
}

}  // namespace
}  // namespace zelkan
