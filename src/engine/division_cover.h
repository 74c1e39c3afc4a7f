#pragma once
// Whether a division measures the whole parcel: exactly n - 2 triangles,
// none without area, no two overlapping, and their areas adding up to the
// polygon's. Whatever chose the division (the search, the evaluation, the
// exact selection, the fast mode, a viewer), one that fails this is not a
// measurement of the parcel and is never drawn or printed as one.
#include <cstdint>
#include <string>

#include "engine/tables.h"

namespace zelkan {

struct DivisionCover {
    bool covers = false;
    int32_t triangles = 0;  // in the division
    int32_t needed = 0;     // xynum - 2
    // Areas in measure units from the coordinates, unrounded.
    long double parcelArea = 0;
    long double divisionArea = 0;
    // Positions (1..triangles) of the first pair found overlapping, 0 when none.
    int32_t overlapFirst = 0, overlapSecond = 0;
    int32_t flatTriangle = 0;  // position of a triangle without area, 0 when none
};

// Checks the current division (tritable, trinum) against vertices 1..xynum.
DivisionCover CheckDivisionCover(const EngineTables& t, int32_t measureScaleDenom);

// What the front ends say when a division fails the check: how many
// triangles against how many needed, and how much of the parcel's area it
// leaves out (or overlaps).
std::string NotCoveredMessage(const DivisionCover& cover);

}  // namespace zelkan
