#pragma once
// The divisions of a parcel whose totals lie nearest the coordinate area,
// many at once, for the viewers' second ordering: found from the reachable
// totals of the parts of the polygon, not from a search cut short.
//
// The total of a division is the sum of its printed areas in whole units of
// their last decimal (base x height or Heron, as the run measures), so that
// equal printed totals compare as equal. Each part of the polygon between
// corners a and b keeps, as a bitset, the totals its divisions reach that can
// still give a whole-parcel total inside a window around the coordinate
// area; the window widens until it holds as many divisions as asked. The
// divisions of one total are listed part by part, each part's ways in
// candidate order (the best-shaped triangles first), which only follows
// divisions that reach the total: the work is that of the divisions listed.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/part_totals.h"
#include "engine/tables.h"

namespace zelkan {

// The work of one call is counted, never timed, so that a parcel gives the
// same divisions on every run and every machine.
// Every total of every part costs too much where the rounding leaves wide
// ranges of totals (tens of corners, areas to four decimals): past
// maxExactWork the parts keep only the totals within a band of units around
// their share of the coordinate area, which a division whose parts all
// measure close to their own areas keeps; the narrow band first, the wide
// one where the narrow holds too few.
struct ClosestLimits {
    uint64_t maxBitsetBytes = 64ull << 20;
    uint64_t maxExactWork = 40'000'000;  // 64-bit words read and combined, and totals tried
    uint64_t maxBandWork = 200'000'000;  // for each band
    Pass narrowBand = Pass::Band1024;
    Pass wideBand = Pass::Band4096;
};

struct ClosestDivisions {
    // Candidate numbers, ascending, per division; the nearest total first,
    // of two as near the smaller, of one total in the order listed.
    std::vector<std::vector<int32_t>> divisions;
    // Every division asked for, or every division there is, was found. When
    // false the work bound ended the listing: those found are still the
    // nearest, in order, but fewer.
    bool complete = false;
    // The nearest of every division; false: of those whose parts all stay
    // within the band of their shares.
    bool exact = false;
};

// Needs the candidates sorted and measured, and xynum corners in boundary
// order. Nothing where the printed areas are not plain decimals, the
// coordinate area is not finite, or no division of the parcel exists.
ClosestDivisions DivisionsClosestToArea(const EngineTables& t, double menkei, bool useHeron, size_t count,
                                        const ClosestLimits& limits = {});

}  // namespace zelkan
