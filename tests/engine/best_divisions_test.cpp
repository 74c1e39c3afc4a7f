#include "engine/best_divisions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/parcels.h"

namespace zelkan {
namespace {

const MeasureRules kRules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4};

int64_t ShapeSum(const EngineTables& t, const std::vector<int32_t>& division) {
    int64_t sum = 0;
    for (const int32_t c : division) sum += std::llround(t.tritemp[static_cast<size_t>(c)].shape);
    return sum;
}

// Against every division the search stores: the same divisions, each once,
// and the first k of them have the k smallest shape sums, in order.
TEST(BestDivisions, TheBestByShapeAreThoseOfEveryDivisionSortedByShape) {
    for (const sample::NamedParcel& c : sample::SmallParcelsOfEachKind()) {
        SCOPED_TRACE(c.name);
        auto t = std::make_unique<EngineTables>();
        sample::PrepareCandidates(*t, c.parcel, kRules);
        sample::SearchEveryDivision(*t);
        const std::vector<std::vector<int32_t>> every = sample::EveryStoredDivision(*t);
        ASSERT_GE(every.size(), 2u);
        std::vector<int64_t> sums;
        for (const auto& d : every) sums.push_back(ShapeSum(*t, d));
        std::sort(sums.begin(), sums.end());

        EXPECT_EQ(CountDivisions(*t), static_cast<long double>(every.size()));
        const std::vector<std::vector<int32_t>> best = BestDivisionsByShape(*t, every.size() + 10);
        EXPECT_EQ(std::set<std::vector<int32_t>>(best.begin(), best.end()),
                  std::set<std::vector<int32_t>>(every.begin(), every.end()));
        ASSERT_EQ(best.size(), every.size());
        for (size_t k = 0; k < best.size(); ++k) EXPECT_EQ(ShapeSum(*t, best[k]), sums[k]) << k;

        // Fewer asked: the first of the same order.
        const std::vector<std::vector<int32_t>> few = BestDivisionsByShape(*t, 3);
        EXPECT_EQ(few, std::vector<std::vector<int32_t>>(best.begin(), best.begin() + 3));
    }
}

TEST(BestDivisions, AParcelOfSixtyCornersGetsAsManyAsAsked) {
    auto t = std::make_unique<EngineTables>();
    sample::PrepareCandidates(*t, sample::IrregularLot(60, 11), kRules);
    EXPECT_GT(CountDivisions(*t), 1e20L);
    EXPECT_EQ(StoreBestDivisionsByShape(*t, 300), 300);
    int64_t last = -1;
    std::set<std::vector<int32_t>> distinct;
    for (const std::vector<int32_t>& division : sample::EveryStoredDivision(*t)) {
        EXPECT_EQ(division.size(), 58u);
        const int64_t sum = ShapeSum(*t, division);
        EXPECT_GE(sum, last);
        last = sum;
        distinct.insert(division);
    }
    EXPECT_EQ(distinct.size(), 300u);
}

TEST(BestDivisions, NoneWithoutADivisionOfTheWholeParcel) {
    auto t = std::make_unique<EngineTables>();
    EXPECT_TRUE(BestDivisionsByShape(*t, 10).empty());
    sample::PrepareCandidates(*t, {{0, 0}, {10, 0}, {0, 10}}, kRules);
    EXPECT_EQ(BestDivisionsByShape(*t, 10).size(), 1u);  // a triangle is its own division
}

}  // namespace
}  // namespace zelkan
