#pragma once
// The printed area of every candidate in exact decimal units, for sums that
// compare as the printed totals do.
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/decimal_units.h"
#include "engine/tables.h"

namespace zelkan {

struct AreaUnits {
    // By candidate index (slot 0 unused): base x height of the measured base
    // (twice the area, as the 三斜 texts hold it) or the Heron area.
    std::vector<Int128> units;
    int32_t decimals = 0;
    // The coordinate area in the same units (doubled for base x height).
    ExactTarget target;
};

// Nothing when a text is not a plain decimal or the coordinate area is not
// finite: the caller then compares as before, in extended precision.
std::optional<AreaUnits> CandidateAreaUnits(const EngineTables& t, bool heron, double menkei);

}  // namespace zelkan
