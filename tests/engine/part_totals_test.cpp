#include "engine/part_totals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/area_units.h"
#include "support/parcels.h"

namespace zelkan {
namespace {

const MeasureRules kRules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4};

// The totals of every division the search stores.
std::set<Int128> EveryTotal(const EngineTables& t, const AreaUnits& units) {
    std::set<Int128> totals;
    for (const std::vector<int32_t>& division : sample::EveryStoredDivision(t)) {
        Int128 total = 0;
        for (const int32_t c : division) total += units.units[static_cast<size_t>(c)];
        totals.insert(total);
    }
    return totals;
}

std::set<Int128> RootTotals(const TotalSet& root) {
    std::set<Int128> totals;
    for (Int128 x = root.lo; x <= root.Last(); ++x)
        if (root.Has(x)) totals.insert(x);
    return totals;
}

// Against every division the search stores: a pass over every total holds
// exactly the totals inside its window, nothing beyond it; a banded or
// narrowed pass holds only totals some division reaches.
TEST(PartTotals, TheWindowHoldsExactlyTheTotalsOfTheDivisions) {
    size_t quickFound = 0;  // the quick passes hold some totals, not none
    for (const sample::NamedParcel& c : sample::SmallParcelsOfEachKind()) {
        auto t = std::make_unique<EngineTables>();
        sample::PrepareCandidates(*t, c.parcel, kRules);
        sample::SearchEveryDivision(*t);
        const PolygonParts model = PartsOfPolygon(*t);
        std::vector<uint8_t> allowed(static_cast<size_t>(t->tritempnum) + 1, 1);
        allowed[0] = 0;
        for (const bool heron : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (heron ? " heron" : " sansha"));
            const AreaUnits units = *CandidateAreaUnits(*t, heron, sample::PolygonArea(c.parcel));
            const std::set<Int128> every = EveryTotal(*t, units);
            ASSERT_FALSE(every.empty());
            const Int128 least = *every.begin(), most = *every.rbegin();
            const Int128 middle = least + (most - least) / 2;
            const std::pair<Int128, Int128> windows[] = {
                {-kEveryTotal, kEveryTotal}, {middle, middle + 70}, {least - 5, least + 1}, {middle - 1, middle - 1}};
            for (const auto& [lo, hi] : windows) {
                PartTotals totals(model, units.units, 64ull << 20, 1'000'000'000);
                ASSERT_TRUE(totals.Compute(allowed, lo, hi));
                std::set<Int128> inside;
                for (const Int128 x : every)
                    if (lo <= x && x <= hi) inside.insert(x);
                EXPECT_EQ(RootTotals(totals.Root()), inside) << static_cast<long long>(lo - least);
            }
            for (const Pass pass : {Pass::Narrowed, Pass::Band256}) {
                PartTotals totals(model, units.units, 64ull << 20, 1'000'000'000);
                ASSERT_TRUE(totals.Compute(allowed, least, most, pass));
                const std::set<Int128> found = RootTotals(totals.Root());
                EXPECT_TRUE(std::includes(every.begin(), every.end(), found.begin(), found.end()));
                quickFound += found.size();
            }
        }
    }
    EXPECT_GT(quickFound, 0u);
}

TEST(PartTotals, AWorkLimitTooSmallEndsThePass) {
    auto t = std::make_unique<EngineTables>();
    const sample::Polygon parcel = sample::IrregularLot(30, 4);
    sample::PrepareCandidates(*t, parcel, kRules);
    const PolygonParts model = PartsOfPolygon(*t);
    std::vector<uint8_t> allowed(static_cast<size_t>(t->tritempnum) + 1, 1);
    allowed[0] = 0;
    const AreaUnits units = *CandidateAreaUnits(*t, true, sample::PolygonArea(parcel));
    PartTotals ample(model, units.units, 64ull << 20, 1'000'000'000);
    ASSERT_TRUE(ample.Compute(allowed, -kEveryTotal, kEveryTotal));
    PartTotals small(model, units.units, 64ull << 20, ample.work() / 2);
    EXPECT_FALSE(small.Compute(allowed, -kEveryTotal, kEveryTotal));
    PartTotals fewBytes(model, units.units, 64, 1'000'000'000);
    EXPECT_FALSE(fewBytes.Compute(allowed, -kEveryTotal, kEveryTotal));
}

}  // namespace
}  // namespace zelkan
