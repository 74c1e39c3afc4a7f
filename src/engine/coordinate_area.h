#pragma once
// The working order of the boundary's vertices and the coordinate area
// (座標面積) by the shoelace formula, term by term as the area log shows it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/decimal_units.h"
#include "engine/tables.h"

namespace zelkan {

// Rotates xy[1..xynum] to start at the vertex with the smallest x (ties within
// the same whole unit of x go to the smaller y, compared with the vertex
// taken so far), keeping the direction, and copies it into
// xy[xynum+1..2*xynum].
void NormalizeVertexOrder(EngineTables& t);

// One vertex's row of the shoelace table, in measure units.
struct ShoelaceRow {
    int32_t vertex = 0;
    long double x = 0, y = 0;     // the vertex
    double dx = 0, dy = 0, d = 0;  // to the next vertex, and its length
    std::string term;             // x * (y(v-1) - y(v+1)), printed to six decimals
};

struct CoordinateArea {
    // |S/2| from the printed terms.
    double area = 0;
    // |S/2| as the exact decimal of the printed terms; none where a term is
    // no plain decimal.
    std::optional<DecimalText> exact;
    std::vector<ShoelaceRow> rows;
    double sumDx = 0, sumDy = 0, sumD = 0;
    double S = 0;  // the sum of the printed terms
};

// The coordinate area in measure units (scaleDenom drawing units each),
// from the shoelace terms rounded to six decimals.
CoordinateArea MeasureCoordArea(const EngineTables& t, int32_t scaleDenom);

}  // namespace zelkan
