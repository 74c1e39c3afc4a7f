#include "engine/exact_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "engine/area_units.h"
#include "engine/evaluation.h"
#include "engine/row_bound.h"
#include "support/parcels.h"

namespace zelkan {
namespace {

using sample::Polygon;

// The parcel's candidates, measured by the rules.
std::unique_ptr<EngineTables> Prepared(const Polygon& parcel, const MeasureRules& rules) {
    auto t = std::make_unique<EngineTables>();
    sample::PrepareCandidates(*t, parcel, rules);
    return t;
}

std::vector<int32_t> Entry(const EngineTables& t, int32_t r) {
    std::vector<int32_t> division;
    for (int32_t m = 1; m <= t.trisets.trinum(r); ++m) division.push_back(t.trisets.tri(r, m).st);
    return division;
}

std::vector<int32_t> SelectedByEvaluation(EngineTables& t, double menkei, SearchMode mode, bool heron) {
    EvaluationState e;
    Evaluate(t, e, menkei, mode, heron);
    const int32_t no = WinnerOf(e, mode, heron);
    return no == 0 ? std::vector<int32_t>{} : Entry(t, no);
}

const MeasureRules kFine{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4};
// Whole units: many divisions share a total.
const MeasureRules kCoarse{1, KetaMode::Cut, 0, KetaMode::HalfUp, 0};

// Searches every division and compares the evaluation's choice with the
// exact selection in every mode, with Heron on and off, at the parcel's own
// area and at areas half-way between two totals that occur.
void ExpectSameAsEvaluation(const Polygon& parcel, const MeasureRules& rules) {
    auto t = Prepared(parcel, rules);
    sample::SearchEveryDivision(*t);
    if (t->trisets.trisetnum() == 0) {
        // The evaluation has nothing to choose from; nor has the selection,
        // even where the polygon has a division.
        EXPECT_NE(SelectExactly(*t, 1.0, SearchMode::Shape, false).status, SelectionStatus::Selected);
        return;
    }

    std::vector<double> areas{sample::PolygonArea(parcel)};
    EvaluationState e;
    Evaluate(*t, e, areas[0], SearchMode::Shape, true);
    if (t->trisets.trisetnum() >= 2) {
        areas.push_back((t->trisets.sum(1).heronArea + t->trisets.sum(2).heronArea) / 2);
        areas.push_back((t->trisets.sum(1).sanshaArea + t->trisets.sum(t->trisets.trisetnum()).sanshaArea) / 2);
    }
    for (const double menkei : areas) {
        for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest, SearchMode::NotAbove}) {
            for (const bool heron : {false, true}) {
                SCOPED_TRACE("mode " + std::to_string(ModeNumber(mode)) + (heron ? " heron" : " sansha") + " area " +
                             std::to_string(menkei));
                const std::vector<int32_t> expected = SelectedByEvaluation(*t, menkei, mode, heron);
                const ExactSelection exact = SelectExactly(*t, menkei, mode, heron);
                if (expected.empty()) {
                    EXPECT_EQ(exact.status, SelectionStatus::NothingQualifies);
                } else {
                    ASSERT_EQ(exact.status, SelectionStatus::Selected);
                    EXPECT_EQ(exact.division, expected);
                }
            }
        }
    }
}

TEST(ExactSelection, ATriangleIsItsOwnDivision) {
    auto t = Prepared(sample::RegularPolygon(3, 10, 0), kFine);
    for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest}) {
        const ExactSelection exact = SelectExactly(*t, 43.3, mode, false);
        EXPECT_EQ(exact.status, SelectionStatus::Selected);
        EXPECT_EQ(exact.division, std::vector<int32_t>{1});
    }
}

TEST(ExactSelection, RegularPolygonsOf4To11Corners) {
    for (int n = 4; n <= 11; ++n) {
        SCOPED_TRACE(n);
        ExpectSameAsEvaluation(sample::RegularPolygon(n, 100, 0.1), kFine);
        ExpectSameAsEvaluation(sample::RegularPolygon(n, 10, 0), kCoarse);
    }
}

TEST(ExactSelection, RandomParcelsFromFixedSeeds) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        const auto size = [seed](int largest) { return 4 + static_cast<int>(seed % static_cast<uint32_t>(largest - 3)); };
        const std::vector<std::pair<std::string, Polygon>> parcels = {
            {"star", sample::StarShaped(size(11), seed)},
            {"comb", sample::Comb(size(12), seed)},
            {"collinear", sample::CollinearRun(size(9), seed)},
            {"rectilinear", sample::Rectilinear(size(12), seed)},
        };
        for (const auto& [family, parcel] : parcels) {
            SCOPED_TRACE(family + " seed " + std::to_string(seed) + " corners " + std::to_string(parcel.size()));
            const Polygon placed = seed % 3 == 0 ? sample::Shifted(parcel, -12000.0, -34000.0) : parcel;
            ExpectSameAsEvaluation(placed, seed % 2 == 0 ? kFine : kCoarse);
        }
    }
}

// Lots in metres to the millimetre with the default rounding, where the
// quick passes (a band around each part's share of the area) find the
// totals and a division is kept as soon as a known division with the
// preferred total holds it: the choice is still the full search's.
TEST(ExactSelection, LotsInMetresAsTheSearchChooses) {
    const MeasureRules rules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4};
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        const int corners = 6 + static_cast<int>(seed % 6);
        SCOPED_TRACE("seed " + std::to_string(seed) + " corners " + std::to_string(corners));
        ExpectSameAsEvaluation(sample::RoadCurveLot(corners, seed), rules);
        ExpectSameAsEvaluation(sample::Shifted(sample::IrregularLot(corners, seed), -33990.0, -11990.0), rules);
    }
}

TEST(ExactSelection, CornersOnStraightRunsAndVerticalSidesAsTheSearchChooses) {
    const std::vector<std::pair<std::string, Polygon>> parcels = {
        {"four on a slanted side", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 0}}},
        {"five on a slanted line", {{0, 0}, {10, 10}, {20, 20}, {30, 30}, {40, 40}, {60, 20}, {50, -10}}},
        {"three on x = 200",
         {{195.914, 0.0}, {195.544, 12.587}, {199.875, 2.131}, {200.0, 1.78}, {200.0, 0.0}, {200.0, -0.792}}},
        {"beside a vertical side", {{0.0, 0.0}, {4.331, -10.456}, {4.456, -10.807}, {4.456, -12.587}}},
    };
    for (const auto& [name, parcel] : parcels) {
        for (const MeasureRules& rules : {kCoarse, kFine}) {
            SCOPED_TRACE(name + (rules.areaDigits == 0 ? " whole units" : " fine"));
            auto t = Prepared(parcel, rules);
            EXPECT_EQ(SelectExactly(*t, sample::PolygonArea(parcel), SearchMode::Shape, false).division.size(),
                      parcel.size() - 2);
            ExpectSameAsEvaluation(parcel, rules);
        }
    }
}

// Beyond what the full search can store: a search cut short by a memory
// budget stores some divisions, and none of them is better than the
// selection by the mode's own measure.
TEST(ExactSelection, NeverWorseThanWhatABudgetedSearchStores) {
    const std::vector<std::pair<std::string, Polygon>> parcels = {
        {"convex 24", sample::IrregularConvex(24, 3)},
        {"star 40", sample::StarShaped(40, 5)},
        {"comb 40", sample::Comb(40, 5)},
    };
    for (const auto& [name, parcel] : parcels) {
        SCOPED_TRACE(name);
        auto t = Prepared(parcel, kFine);
        t->trisets.SetBudget(8u << 20);
        ASSERT_TRUE(sample::SearchEveryDivision(*t));
        const double menkei = sample::PolygonArea(parcel);
        for (const SearchMode mode : {SearchMode::Shape, SearchMode::Closest, SearchMode::NotAbove}) {
            SCOPED_TRACE(ModeNumber(mode));
            const ExactSelection exact = SelectExactly(*t, menkei, mode, false);
            ASSERT_EQ(exact.status, SelectionStatus::Selected);
            ASSERT_EQ(exact.division.size(), parcel.size() - 2);
            ASSERT_TRUE(PassesSearchCrossingTest(*t, exact.division));
            // The selection measured as the evaluation measures a stored division.
            EvaluationState e;
            const double best = ApplySelection(*t, e, exact, menkei, mode, false);
            const int32_t selected = WinnerOf(e, mode, false);
            const TTriSum chosen = t->trisets.sum(selected);
            for (int32_t r = 1; r <= t->trisets.trisetnum(); ++r) {
                if (t->trisets.trinum(r) != t->xynum - 2) continue;
                const TTriSum& other = t->trisets.sum(r);
                if (mode == SearchMode::Shape) {
                    ASSERT_LE(chosen.shapeSum, other.shapeSum) << r;
                } else if (mode == SearchMode::Closest || other.sanshaArea < menkei) {
                    ASSERT_LE(best, std::fabs(other.sanshaArea - menkei) + 1e-9) << r;
                }
            }
            if (mode == SearchMode::NotAbove) {
                EXPECT_LT(chosen.sanshaArea, menkei);
            }
        }
    }
}

// A part of a large parcel's selected division (between two of its
// corners, closed by a side of a selected triangle) is small enough for the
// full search: measured alone, its best shape sum is what the selection's
// triangles there sum to.
TEST(ExactSelection, PartsOfALargeParcelAreAsGoodAsTheFullSearchOfThePart) {
    const std::vector<std::pair<std::string, Polygon>> parcels = {
        {"convex 30", sample::IrregularConvex(30, 3)},
        {"star 40", sample::StarShaped(40, 5)},
        {"comb 40", sample::Comb(40, 5)},
    };
    for (const auto& [name, parcel] : parcels) {
        SCOPED_TRACE(name);
        auto t = Prepared(parcel, kFine);
        const ExactSelection exact = SelectExactly(*t, 0, SearchMode::Shape, false);
        ASSERT_EQ(exact.status, SelectionStatus::Selected);
        int compared = 0;
        for (const int32_t c : exact.division) {
            const TTriTemp& chosen = t->tritemp[static_cast<size_t>(c)];
            for (const auto& [a, b] : {std::pair(chosen.i, chosen.j), std::pair(chosen.j, chosen.k), std::pair(chosen.i, chosen.k)}) {
                if (b - a < 5 || b - a > 9) continue;
                double inside = 0;
                for (const int32_t d : exact.division) {
                    const TTriTemp& other = t->tritemp[static_cast<size_t>(d)];
                    if (other.i >= a && other.k <= b) inside += other.shape;
                }
                const Polygon part(parcel.begin() + (a - 1), parcel.begin() + b);
                auto alone = Prepared(part, kFine);
                sample::SearchEveryDivision(*alone);
                EvaluationState e;
                Evaluate(*alone, e, 0, SearchMode::Shape, false);
                ASSERT_GT(e.bestShapeNo, 0);
                EXPECT_EQ(alone->trisets.sum(e.bestShapeNo).shapeSum, inside) << "corners " << a << " to " << b;
                ++compared;
            }
        }
        EXPECT_GT(compared, 0);
    }
}

// The divisions one flip away from `division`: two of its triangles that
// share a side and form a convex four-sided figure, replaced by the two
// candidates on the figure's other diagonal.
std::vector<std::vector<int32_t>> FlipsOf(const EngineTables& t, const std::vector<int32_t>& division) {
    std::map<std::array<int32_t, 3>, int32_t> numberOf;
    for (int32_t c = 1; c <= t.tritempnum; ++c) {
        const TTriTemp& x = t.tritemp[static_cast<size_t>(c)];
        numberOf[{x.i, x.j, x.k}] = c;
    }
    const auto corners = [&](int32_t c) {
        const TTriTemp& x = t.tritemp[static_cast<size_t>(c)];
        return std::array<int32_t, 3>{x.i, x.j, x.k};
    };
    const auto twiceArea = [&](std::array<int32_t, 3> v) {
        const auto& p = t.xy;
        const auto at = [&](int32_t k) { return p[static_cast<size_t>(v[static_cast<size_t>(k)])]; };
        return std::fabs((at(1).x - at(0).x) * (at(2).y - at(0).y) - (at(2).x - at(0).x) * (at(1).y - at(0).y));
    };
    std::vector<std::vector<int32_t>> flips;
    for (size_t a = 0; a < division.size(); ++a) {
        for (size_t b = a + 1; b < division.size(); ++b) {
            const std::array<int32_t, 3> x = corners(division[a]), y = corners(division[b]);
            std::vector<int32_t> shared, apart;
            for (const int32_t v : x) (std::find(y.begin(), y.end(), v) != y.end() ? shared : apart).push_back(v);
            for (const int32_t v : y)
                if (std::find(x.begin(), x.end(), v) == x.end()) apart.push_back(v);
            if (shared.size() != 2) continue;
            std::array<int32_t, 3> u{apart[0], apart[1], shared[0]}, w{apart[0], apart[1], shared[1]};
            std::sort(u.begin(), u.end());
            std::sort(w.begin(), w.end());
            const auto cu = numberOf.find(u), cw = numberOf.find(w);
            if (cu == numberOf.end() || cw == numberOf.end()) continue;
            // Not convex: the other diagonal's triangles overlap.
            if (std::fabs(twiceArea(u) + twiceArea(w) - twiceArea(x) - twiceArea(y)) > 1e-6 * twiceArea(x)) continue;
            std::vector<int32_t> flipped = division;
            flipped[a] = cu->second;
            flipped[b] = cw->second;
            std::sort(flipped.begin(), flipped.end());
            flips.push_back(std::move(flipped));
        }
    }
    return flips;
}

// Long strips at survey coordinates and large round parcels (areas of 10^9
// units), their candidates within the row bound as a run leaves them: modes
// 1 and 2 select exactly within the default limits. Their totals are dense
// enough to reach the whole unit next to the coordinate area, so the
// selection is that close; and no division one flip away with the same
// total comes first in search order.
TEST(ExactSelection, LongAndLargeParcelsAreSelectedExactly) {
    const MeasureRules kWhole{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 0};
    const std::vector<std::tuple<std::string, Polygon, MeasureRules>> parcels = {
        {"strip 96", sample::Shifted(sample::NearStraightStrip(96, 880, 3), -34000, -12000), kFine},
        {"round 120", sample::Shifted(sample::LargeRoundParcel(120, 5), -30000, -11000), kFine},
        // Areas in whole square metres: many divisions share each total.
        {"round 80 in whole m²", sample::Shifted(sample::LargeRoundParcel(80, 7), -30000, -11000), kWhole},
    };
    for (const auto& [name, parcel, rules] : parcels) {
        for (const bool heron : {false, true}) {
            SCOPED_TRACE(name + (heron ? " heron" : " sansha"));
            auto t = Prepared(parcel, rules);
            KeepHonestCandidates(*t, RowBoundRules{rules, heron});
            const double menkei = sample::PolygonArea(parcel);
            const std::optional<AreaUnits> units = CandidateAreaUnits(*t, heron, menkei);
            ASSERT_TRUE(units);
            const auto total = [&](const std::vector<int32_t>& division) {
                Int128 sum = 0;
                for (const int32_t c : division) sum += units->units[static_cast<size_t>(c)];
                return sum;
            };
            for (const SearchMode mode : {SearchMode::Closest, SearchMode::NotAbove}) {
                SCOPED_TRACE(ModeNumber(mode));
                const ExactSelection exact = SelectExactly(*t, menkei, mode, heron);
                ASSERT_EQ(exact.status, SelectionStatus::Selected);
                ASSERT_EQ(exact.division.size(), parcel.size() - 2);
                EvaluationState e;
                const double distance = ApplySelection(*t, e, exact, menkei, mode, heron);
                const double unit = std::pow(10.0, -rules.areaDigits);
                EXPECT_LE(distance, mode == SearchMode::Closest ? unit / 2 : unit);
                for (const std::vector<int32_t>& flipped : FlipsOf(*t, exact.division)) {
                    if (total(flipped) == total(exact.division) && PassesSearchCrossingTest(*t, flipped)) {
                        EXPECT_LT(exact.division, flipped);
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace zelkan
