#pragma once
// How far a row of the area table may stray from its triangle's exact area.
//
// Rounding the printed lengths moves a triangle's area: for one of good
// shape by a fraction of a square metre, for a sliver (an angle near 180
// degrees) measured by Heron's formula by tens of square metres, so that a
// triangle of 34 m2 can print as 0. A row is honest when its printed area
// lies within a bound of the exact area that rounding can honestly explain:
// `factor` times the error that rounding the printed lengths makes in the
// equilateral triangle of the same area, (e/2)·√3·s for its side s and the
// rounding e of the last printed digit (a whole e where lengths are cut or
// raised), plus the rounding of the printed area itself.
#include <cstdint>
#include <limits>
#include <vector>

#include "engine/candidates.h"
#include "engine/tables.h"

namespace zelkan {

// Four times the equilateral error, not two: a parcel whose every division
// avoids slivers may still need well over twice it for its worst row, and
// the bound is to catch slivers, not honest rounding.
inline constexpr double kDefaultRowBoundFactor = 4.0;

inline constexpr double kNoHonestDivision = std::numeric_limits<double>::infinity();

struct RowBoundRules {
    MeasureRules measure;
    bool useHeron = true;
    double factor = kDefaultRowBoundFactor;  // 0: the bound is off
};

// The factor multiples are told in: the setting, or the default where the
// bound is off, so that a table measured without it still says how it fares.
double ReferenceFactor(double factor);

// The triangle's area from its corners, in measure units (drawing units
// over scale, squared).
long double ExactTriangleArea(const TAcadPoint& a, const TAcadPoint& b, const TAcadPoint& c, int32_t scale);

// The bound for a triangle of this exact area, with the reference factor.
long double RowBound(long double exactArea, const RowBoundRules& rules);

// |printed - exact| as a multiple of the bound. printedArea is the area the
// row adds to the total (half of base x height for the 三斜 table).
double RowErrorRatio(long double printedArea, long double exactArea, const RowBoundRules& rules);

// Each candidate's ratio by the measure of the rules (index 1..tritempnum;
// needs CandidateMetrics).
std::vector<double> CandidateRatios(const EngineTables& t, const RowBoundRules& rules);

// The least worst ratio any division of the whole parcel into these
// candidates has (kNoHonestDivision where no division exists).
double LeastWorstRatio(const EngineTables& t, const std::vector<double>& ratios);

// What the bound did to a run's candidates.
struct RowBoundChoice {
    double factor = 0;            // as set; 0: nothing was removed
    int32_t removed = 0;          // candidates taken out of tritemp
    double leastWorst = 0;        // LeastWorstRatio of the measure in use
    bool honestDivision = true;   // some division keeps every row within the bound
    bool sanshaHonest = true;     // base and height has such a division
};

// Takes out of tritemp (keeping the order of the rest) every candidate
// beyond the bound; where no division of the whole parcel stays within it,
// every candidate beyond the least worst ratio a division allows, so that
// every mode chooses among the least dishonest divisions. Nothing changes
// with the factor 0, or where the candidates hold no division at all.
RowBoundChoice KeepHonestCandidates(EngineTables& t, const RowBoundRules& rules);

}  // namespace zelkan
