#pragma once
// The best divisions of a parcel by their shape sums, many at once, for the
// viewers: found from the parts of the polygon as the exact selection finds
// its one, so that a parcel of any size has divisions to compare where the
// search could store only a few in its time.
//
// A division is a triangulation of the polygon by candidate triangles: the
// part between corners a and b (closed by the chord a-b) is one triangle
// (a, c, b) on the chord and the parts (a, c) and (c, b). Shape sums add up
// over the parts, so the k-th best division of a part is made of ranked
// divisions of its smaller parts; they are found lazily, best first.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/tables.h"

namespace zelkan {

// How the divisions the viewers show were found.
enum class DivisionSource {
    AllDivisions,   // the search stored every division
    BestByShape,    // the best by shape sum, from the parts of the polygon, and the closest by area
    BestByShapeAndArea,        // the best by shape sum and the closest by area, both from the parts of the polygon
    BestByShapeAndBandedArea,  // the same, the closest among divisions whose parts keep near their shares
    SearchCut,      // what the search stored before it was cut short
};

// Up to `count` complete divisions, the smallest shape sum first (equal sums
// in a fixed order), each as its candidate numbers in ascending order.
// Needs the candidates enumerated and sorted, and xynum corners in boundary
// order.
std::vector<std::vector<int32_t>> BestDivisionsByShape(const EngineTables& t, size_t count);

// How many complete divisions the candidates allow; it grows like the
// Catalan numbers, hence a long double.
long double CountDivisions(const EngineTables& t);

// Stores a division (its candidate numbers, ascending) unless the store
// has it already; true when it was stored.
bool StoreDivisionOnce(EngineTables& t, const std::vector<int32_t>& division);

// Stores those of the divisions (candidate numbers, ascending) that the
// store does not hold, in their order, while the store's budget allows; the
// number stored.
int32_t StoreDivisionsOnce(EngineTables& t, const std::vector<std::vector<int32_t>>& divisions);

// Replaces the store's divisions by the `count` best by shape; the number stored.
int32_t StoreBestDivisionsByShape(EngineTables& t, size_t count);

}  // namespace zelkan
