#pragma once
// The division that the full search followed by the evaluation would
// select, found without storing divisions.
//
// A complete division of the parcel into candidate triangles is a
// triangulation of its polygon. The part of the polygon between corners a
// and b (corners a, a+1, ..., b, closed by the chord a-b) is divided by one
// triangle (a, c, b) on the chord and the parts (a, c) and (c, b), so the
// best division of a part follows from the best divisions of smaller parts:
// - shape (mode 0): the smallest shape sum; among equal sums the one with
//   the lexicographically smallest ascending list of candidate numbers,
//   which is the one the search stores first (it visits divisions in that
//   order). That order is additive over disjoint parts, so the parts' own
//   best divisions combine into the best of the whole.
// - area (modes 1 and 2): the printed areas are whole numbers of units of
//   their last decimal; the totals a part can reach are kept as a bitset,
//   the total closest to the coordinate area is taken (below it in
//   magnitude for mode 2), and the first division in search order with such
//   a total is found by fixing candidates one at a time, in order, while a
//   division with that total remains.
// The result is checked against the search's own crossing test, which can
// refuse a pair of triangles that the polygon allows.
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/decimal_units.h"
#include "engine/evaluation.h"
#include "engine/tables.h"

namespace zelkan {

enum class SelectionStatus {
    Selected,          // `division` is the one the search and the evaluation would select
    NothingQualifies,  // complete divisions exist, none qualifies (mode 2): the evaluation selects nothing
    NoDivision,        // no complete division exists: the choice rests on what the search stores
    Unavailable,       // beyond the limits, texts that are not plain decimals, or the search's crossing test differs
};

struct ExactSelection {
    SelectionStatus status = SelectionStatus::Unavailable;
    std::vector<int32_t> division;  // candidate numbers, ascending
    // NothingQualifies in the area modes: the smallest total any division
    // has, as the evaluation sums it.
    std::optional<DecimalText> leastTotal;
    // Unavailable in the area modes when the limits ended the choice among
    // the divisions of the preferred total: one of them, not necessarily the
    // first in search order (ascending; empty if none was seen).
    std::vector<int32_t> preferredTotalDivision;
};

// The area modes keep a bitset of reachable totals per chord; where the
// rounding leaves a wide range of totals these become too large to work
// with. Word operations count the 64-bit words read and combined, about a
// billion a second: of parcels up to 120 corners and 50 000 candidates, a
// strip of 96 corners measured by Heron took the most, 1.4 billion; the
// limit keeps a margin above that and ends within about a second and a half
// where a parcel needs more.
struct SelectionLimits {
    uint64_t maxBitsetBytes = 64ull << 20;
    uint64_t maxWordOperations = 2'000'000'000;
};

// Needs the candidates sorted and measured (CandidateMetrics) and xynum
// vertices in boundary order; changes nothing in t but the side list.
ExactSelection SelectExactly(EngineTables& t, double menkei, SearchMode searchMode, bool useHeron,
                             const SelectionLimits& limits = {});

// Makes the selection the selected division of the store (seltri),
// storing it when the search did not, and leaves the sums and ranges of
// every entry as the evaluation does. Returns the selected division's
// distance from menkei by the chosen measure, as Evaluate returns it.
// Needs status Selected or NothingQualifies.
double ApplySelection(EngineTables& t, EvaluationState& e, const ExactSelection& selection, double menkei,
                      SearchMode searchMode, bool useHeron);

// Whether the search, placing these candidates in ascending order, finds no
// crossing between them.
bool PassesSearchCrossingTest(EngineTables& t, const std::vector<int32_t>& division);

}  // namespace zelkan
